#include "verify/page_verdict.h"

#include <map>
#include <string_view>

#include "common/narrow.h"
#include "solver/slots.h"
#include "text/wording.h"

namespace taktirio {

namespace {

// The page's class tables, each named "ΤΜΗΜΑ: " + the class section's name.
class ClassTablesSink : public PageSink {
  public:
    explicit ClassTablesSink(PageClassTables& tables) : tables_(tables) {}

    void Row(const PageRow& row) override {
        tables_.rows.push_back(row);
        std::string& name = tables_.rows.back().table_name;
        if (name.starts_with(kClassPrefix)) {
            name.erase(0, kClassPrefix.size());
        }
    }
    void Header(const SchoolHeader& header) override { tables_.school_name = header.school_name; }

  private:
    static constexpr std::string_view kClassPrefix = "ΤΜΗΜΑ: ";
    PageClassTables& tables_;
};

std::map<std::string, int> Numbers(const std::vector<std::string>& names) {
    std::map<std::string, int> numbers;
    for (std::size_t i = 1; i < names.size(); ++i) {
        numbers.emplace(names[i], static_cast<int>(i));
    }
    return numbers;
}

}  // namespace

PageClassTables ReadPageClassTables(const std::string& path) {
    PageClassTables tables;
    ClassTablesSink sink(tables);
    SolutionPageReader reader = SolutionPageReader::Open(path);
    reader.ReadSchoolHeader(sink);
    reader.ReadClassTables(sink);
    return tables;
}

PageTimetable TimetableOfPage(const PageClassTables& page, const SolverInputs& inputs) {
    const std::map<std::string, int> classes = Numbers(inputs.class_names);
    const std::map<std::string, int> teachers = Numbers(inputs.teacher_names);
    PageTimetable result{ByteMatrix(AsIndex(inputs.number_of_classes) + 1, kSlotColumns), {}};
    std::vector<bool> seen(AsIndex(inputs.number_of_classes) + 1, false);
    for (const PageRow& row : page.rows) {
        const auto c = classes.find(row.table_name);
        if (c == classes.end()) {
            result.unknown.push_back("τμήμα «" + row.table_name + "»");
            continue;
        }
        seen[AsIndex(c->second)] = true;
        for (int s = 1; s <= kSlots; ++s) {
            const std::string& name = row.cells[AsIndex(s)];
            if (name.empty()) {
                continue;
            }
            const auto t = teachers.find(name);
            if (t == teachers.end()) {
                result.unknown.push_back("διδάσκων «" + name + "» στο τμήμα " + row.table_name +
                                         ", " + SlotName(s));
                continue;
            }
            result.timetable(AsIndex(c->second), AsIndex(s)) = AsByte(t->second);
        }
    }
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        if (!seen[AsIndex(c)]) {
            result.unknown.push_back("το τμήμα " + inputs.class_names[AsIndex(c)] +
                                     " του σχολείου λείπει από τη σελίδα");
        }
    }
    return result;
}

std::vector<Violation> JudgePageTimetable(const SolverInputs& inputs, const RunOptions& options,
                                          const RuleTables& rules, const ByteMatrix& timetable) {
    std::vector<Violation> violations = VerifyTimetable(inputs, options, rules, timetable);
    if (!violations.empty() &&
        VerifyTimetable(inputs, options, rules, timetable, VerifyMode::kFinished).empty()) {
        violations.clear();
    }
    return violations;
}

std::string ViolationLine(const Violation& v, const SolverInputs& inputs) {
    std::string where;
    const auto add = [&where](const std::string& part) {
        where += where.empty() ? part : ", " + part;
    };
    if (v.class_section >= 1 && v.class_section <= inputs.number_of_classes) {
        add("τμήμα " + ClassName(inputs, v.class_section));
    }
    if (v.teacher >= 1 && v.teacher <= inputs.number_of_teachers) {
        add("διδάσκων " + TeacherName(inputs, v.teacher));
    }
    if (IsSlot(v.slot)) {
        add(SlotName(v.slot));
    }
    std::string line(RuleName(v.rule));
    line += where.empty() ? "" : ": " + where;
    line += v.detail.empty() ? "" : " (" + v.detail + ")";
    return line;
}

}  // namespace taktirio
