// Feeds arbitrary bytes to every solution page reader. A reading may end with
// a PageReadError; any other exception, a sanitizer report, or a delivered
// value outside what a page can hold is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/pages/page_errors.h"
#include "core/pages/solution_page_reader.h"

namespace {

using taktirio::PageRow;
using taktirio::SolutionPageReader;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Checks the limits every delivered value must keep.
class CheckingSink : public taktirio::PageSink {
  public:
    void Row(const PageRow& row) override {
        Check(!row.ordinal || (*row.ordinal >= 1 && *row.ordinal <= 255));
        Check(!row.weekly_hours || (*row.weekly_hours >= 0 && *row.weekly_hours <= 50));
        Check(row.cells[0].empty());
    }
    void CommonFreeHour(const std::string& /*name*/, int column) override {
        Check(column >= 1 && column <= 50);
    }
    void SummaryNames(const std::vector<std::string>& names) override {
        Check(!names.empty() && names.size() <= 1001 && names[0].empty());
    }
};

template <typename Reading>
void Try(const std::string& bytes, Reading reading) {
    SolutionPageReader reader("fuzz.htm", bytes);
    CheckingSink sink;
    try {
        reading(reader, sink);
    } catch (const taktirio::PageReadError& e) {
        Check(e.path() == "fuzz.htm");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Try(bytes, [](SolutionPageReader& r, CheckingSink& s) { r.ReadClassTables(s); });
    Try(bytes, [](SolutionPageReader& r, CheckingSink& s) { r.ReadTeacherTables(s); });
    Try(bytes, [](SolutionPageReader& r, CheckingSink& s) { r.ReadSummaryTables(s); });
    Try(bytes, [](SolutionPageReader& r, CheckingSink& s) {
        r.ReadSchoolHeader(s);
        r.ReadGeneralPlanTeachers(s);
    });
    Try(bytes, [](SolutionPageReader& r, CheckingSink& s) { r.MarkCommonFreeHours(s); });
    return 0;
}
