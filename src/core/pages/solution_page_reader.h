#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace taktirio {

// One timetable read back from a page, as a print work table row holds it.
// Texts are UTF-8.
struct PageRow {
    std::string table_name;
    std::optional<int> ordinal;         // general-plan teachers: 1, 2, … in page order
    std::array<std::string, 51> cells;  // [column 1..50]; empty: no lesson; [0] unused
    std::optional<int> weekly_hours;    // general-plan teachers: their filled cells
    int hour_rows = 0;                  // the timetable's rows of hours (0 to 10)
};

// The school name and the school year ("ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2024-2025") of a page.
struct SchoolHeader {
    std::string school_name;
    std::string school_year;
};

// The solution's own lines: "Λύση=n/m" and its processing time.
struct SolutionHeader {
    int solution = 0;
    int requested = 0;
    std::string time_text;
};

// The first line where a page departs from the page it should be: its
// number (1-based), and both texts in UTF-8, shortened; either is empty where
// its page has already ended.
struct LineDifference {
    std::size_t line = 0;
    std::string expected;
    std::string found;
};

// Receives what the readers take from a page. The print work tables are one
// sink, tests use others. A reader does not empty anything: the caller clears
// its tables before a reading. Rows arrive whole, each when its timetable ends.
class PageSink {
  public:
    virtual ~PageSink() = default;
    virtual void Row(const PageRow& row) = 0;
    virtual void Header(const SchoolHeader& /*header*/) {}
    // A grey free cell of the general plan: `teacher_name`'s row gets "K.KENH"
    // in `column` (1 to 50), when such a row exists.
    virtual void CommonFreeHour(const std::string& /*teacher_name*/, int /*column*/) {}
    // The summary reading's names list: entry n is the teacher of number n; [0] empty.
    virtual void SummaryNames(const std::vector<std::string>& /*names*/) {}
    // MarkCommonFreeHours: each row of the general plan, by its name, in order.
    virtual void PlanRowName(const std::string& /*teacher_name*/) {}
    virtual void Progress(const std::string& /*text*/) {}
};

// Reads a solution page back by position: whole-line landmarks, fixed columns
// and fixed numbers of lines between them, exactly as the writer lays the page
// out. Every departure from that layout (a page that ends too early, a line of
// the wrong form at its place, a value with no "<" after its column, a count
// beyond what the page can hold) is a PageReadError naming the file and the
// line; nothing is read outside the page.
//
// One object is one reading of one page. ReadSchoolHeader, ReadGeneralPlanTeachers
// and MarkCommonFreeHours are called in this order, the second continuing where
// the first stopped; every other reader starts from the top of the page.
class SolutionPageReader {
  public:
    // Loads the page; throws PageReadError (line 0) when it cannot be read.
    static SolutionPageReader Open(const std::string& path);
    // A page already in memory, `path` naming it in errors.
    SolutionPageReader(std::string path, std::string bytes);

    // "ΤΜΗΜΑ: " + class name, cells = teacher names.
    void ReadClassTables(PageSink& sink);
    // "ΚΑΘΗΓΗΤΗΣ: " + teacher name, cells = class sections.
    void ReadTeacherTables(PageSink& sink);
    // Class name alone, cells = teacher numbers in the names list (first
    // appearance order), then the list itself.
    void ReadSummaryTables(PageSink& sink);
    void ReadSchoolHeader(PageSink& sink);
    // The single teachers' timetables: teacher name, ordinal and filled cells.
    void ReadGeneralPlanTeachers(PageSink& sink);
    // The grey free cells of the general plan's rows.
    void MarkCommonFreeHours(PageSink& sink);
    // Lines 28 to 30: the solution's number, the number requested and the
    // processing time.
    SolutionHeader ReadSolutionHeader();
    // Compares the page, line by line, with `expected`, a whole page as the
    // writer writes it; nothing when every line is the same and neither has
    // a line more.
    std::optional<LineDifference> FirstLineDifference(std::string_view expected) const;
    // The writer ends every line, the last one too, with a line break.
    bool EndsWithLineBreak() const { return !bytes_.empty() && bytes_.back() == '\n'; }

    static constexpr int kMaxTeachers = 255;
    static constexpr int kMaxNames = 1000;
    static constexpr std::size_t kMaxPageBytes = 64u << 20;

  private:
    enum class Kind { kClasses, kTeachers, kSummary, kPlanTeachers };

    void ReadTimetables(Kind kind, PageSink& sink);
    bool TableStep(Kind kind, PageSink& sink);
    std::string TableName(Kind kind, std::string_view header, PageSink& sink);
    void ReadRows(Kind kind, PageRow& row);
    void ReadCell(Kind kind, PageRow& row, int column);
    int NameNumber(const std::string& name);
    void SkipSeparators(int count);
    void CheckSignature();

    bool AtEnd() const { return next_ >= lines_.size(); }
    std::string_view Next(const char* what);
    std::string_view TextFrom(std::string_view line, std::size_t column) const;
    // The places of a page that hold a name, each with its longest name.
    enum class NamePlace { kSchool, kClass, kTeacher, kPlanRow, kCell };
    std::string_view Bounded(std::string_view text, NamePlace place) const;
    std::string Decode(std::string_view bytes) const;
    // At the last line read; FailAtEnd at the line after the page's last.
    // `explanation` says it for the user (PageReadError::explanation); a
    // line out of place, or a page cut short, when none is given.
    [[noreturn]] void Fail(const std::string& reason, std::string explanation = {}) const;
    [[noreturn]] void FailAtEnd(const std::string& reason, std::string explanation = {}) const;

    std::string path_;
    std::string bytes_;
    struct LineSpan {
        std::size_t start;
        std::size_t length;
    };
    std::vector<LineSpan> lines_;  // offsets, so that the reader can be moved
    std::size_t next_ = 0;         // index of the next line; also the number of the last one read
    bool header_read_ = false;
    int teacher_ordinal_ = 0;
    std::vector<std::string> names_{""};
    std::unordered_map<std::string, int> name_numbers_;
};

}  // namespace taktirio
