// The positional readers of a solution page. Each walks the page's lines with
// one cursor, compares whole lines with the landmarks the writer puts there,
// and takes values from fixed columns up to the next "<".
#include "core/pages/solution_page_reader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "core/common/name_limits.h"
#include "core/common/system_errors.h"
#include "core/pages/page_errors.h"
#include "core/solver/slots.h"
#include "core/text/cp1253.h"
#include "core/text/trim.h"
#include "core/text/wording.h"

namespace taktirio {

namespace {

constexpr std::string_view kSeparator = "<p>&nbsp;</p>";
constexpr std::string_view kEmptyCell = "<td nowrap>&nbsp;</td>";
constexpr std::string_view kPlanEmptyCell = "<td  nowrap>&nbsp;</td>";
constexpr std::string_view kPlanGreyCell = "<td bgcolor='#CCCCCC' nowrap>&nbsp;</td>";
constexpr std::string_view kHeaderStart = "<p><strong>";
constexpr std::string_view kClassCellStart = "<td nowrap><strong>";  // text at 20
constexpr std::string_view kTeacherCellStart = "<td nowrap><div align='center'><strong>";  // at 40
constexpr std::string_view kSchoolNameStart = "<font size='3'>";                           // at 16
constexpr std::string_view kSchoolYearStart = "<p align='right'><b><font size='3'>";       // at 36
constexpr std::size_t kSchoolYearLength = 24;
constexpr std::string_view kDocumentType =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">";
constexpr std::string_view kCharsetLine =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1253\">";
constexpr int kTableHeadLines = 16;  // "<p></p>" and the 15 lines of the table head

constexpr char kCutShort[] = "η σελίδα τελειώνει πριν από το τέλος της: είναι κομμένη";
constexpr char kAlteredLine[] =
    "η γραμμή δεν έχει τη μορφή που έχει σε αυτή τη θέση μια σελίδα λύσης";
constexpr char kNotAPage[] = "δεν είναι σελίδα λύσης";

// The longest name each place of a page holds, as every way in allows it.
struct NameLimit {
    std::size_t most;
    const char* what;   // in the technical reason
    const char* greek;  // "ένα όνομα … με N χαρακτήρες"
    const char* whose;  // "… ενώ τα ονόματα … έχουν έως M"
};
// In the order of SolutionPageReader::NamePlace.
constexpr NameLimit kNameLimits[] = {
    {kMaxSchoolNameLength, "the school name", "ένα όνομα σχολείου", "των σχολείων"},
    {kMaxClassNameLength, "a class section name", "ένα όνομα τμήματος", "των τμημάτων"},
    {kMaxTeacherNameLength, "a teacher name", "ένα όνομα διδάσκοντα", "των διδασκόντων"},
    {kMaxPairNameLength, "a general plan row name", "ένα όνομα διδάσκοντα ή ζεύγους",
     "των ζευγών διδασκόντων"},
    {kMaxCellTextLength, "a timetable cell", "ένα κελί ωρολογίου προγράμματος", "των κελιών"},
};

}  // namespace

std::string PageReadError::explanation() const {
    if (!explanation_.empty()) {
        return explanation_;
    }
    return line_ == 0 ? "το αρχείο δεν μπορεί να διαβαστεί" : kAlteredLine;
}

std::string PageReadErrorText(const PageReadError& error) {
    if (error.line() == 0) {
        return "Αιτία: " + error.explanation();
    }
    return "Γραμμή " + std::to_string(error.line()) + ": " + error.explanation();
}

SolutionPageReader SolutionPageReader::Open(const std::string& path) {
    // Asked before opening: a pipe would keep the open waiting for a writer
    // and a device such as /dev/zero never ends; a folder is no page either.
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw PageReadError(path, 0, "not a regular file",
                            "δεν είναι κανονικό αρχείο (είναι φάκελος, συσκευή ή σωλήνας)");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int cause = errno;
        throw PageReadError(path, 0, std::string("cannot open: ") + std::strerror(cause),
                            "το αρχείο δεν μπορεί να ανοίξει: " + SystemErrorText(cause));
    }
    std::string bytes;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kMaxPageBytes) {
            throw PageReadError(path, 0, "too large to be a solution page",
                                "το αρχείο είναι μεγαλύτερο από " +
                                    std::to_string(kMaxPageBytes >> 20) +
                                    " MiB: δεν είναι σελίδα λύσης");
        }
    }
    if (in.bad()) {
        const int cause = errno;
        throw PageReadError(path, 0, "cannot read the file",
                            "σφάλμα ανάγνωσης του αρχείου: " + SystemErrorText(cause));
    }
    return SolutionPageReader(path, std::move(bytes));
}

// Lines end with CR LF as written; a bare LF (a page saved by an editor) is
// accepted too. A last line without a line break still counts.
SolutionPageReader::SolutionPageReader(std::string path, std::string bytes)
    : path_(std::move(path)), bytes_(std::move(bytes)) {
    std::size_t start = 0;
    while (start < bytes_.size()) {
        std::size_t end = bytes_.find('\n', start);
        const std::size_t next = end == std::string::npos ? bytes_.size() : end + 1;
        if (end == std::string::npos) {
            end = bytes_.size();
        }
        if (end > start && bytes_[end - 1] == '\r') {
            --end;
        }
        lines_.push_back({start, end - start});
        start = next;
    }
}

void SolutionPageReader::ReadClassTables(PageSink& sink) {
    ReadTimetables(Kind::kClasses, sink);
}

void SolutionPageReader::ReadTeacherTables(PageSink& sink) {
    ReadTimetables(Kind::kTeachers, sink);
}

void SolutionPageReader::ReadSummaryTables(PageSink& sink) {
    names_.assign(1, std::string());
    name_numbers_.clear();
    ReadTimetables(Kind::kSummary, sink);
    sink.SummaryNames(names_);
}

// After the first "<tr>" (the small title table's row): one line, the school
// name line, three lines, the school-year line. The cursor stays after it.
void SolutionPageReader::ReadSchoolHeader(PageSink& sink) {
    CheckSignature();
    while (true) {
        if (AtEnd()) {
            FailAtEnd("not a solution page: it has no <tr> line",
                      std::string(kNotAPage) + ": δεν έχει τον τίτλο του γενικού πλάνου");
        }
        if (Next("") == "<tr>") {
            break;
        }
    }
    Next("the school name");
    const std::string_view name_line = Next("the school name");
    if (!name_line.starts_with(kSchoolNameStart)) {
        Fail("expected the school name line");
    }
    SchoolHeader header;
    header.school_name =
        Decode(Bounded(TextFrom(name_line, kSchoolNameStart.size() + 1), NamePlace::kSchool));
    for (int i = 0; i < 3; ++i) {
        Next("the school year");
    }
    const std::string_view year_line = Next("the school year");
    if (!year_line.starts_with(kSchoolYearStart)) {
        Fail("expected the school year line");
    }
    header.school_year = Decode(year_line.substr(kSchoolYearStart.size(), kSchoolYearLength));
    sink.Header(header);
    header_read_ = true;
}

// Continues after the school header: two more separators lead past the
// general plan and the class sections to the single teachers' timetables.
void SolutionPageReader::ReadGeneralPlanTeachers(PageSink& sink) {
    if (!header_read_) {
        throw std::logic_error("ReadGeneralPlanTeachers continues where ReadSchoolHeader stopped");
    }
    header_read_ = false;
    teacher_ordinal_ = 0;
    SkipSeparators(2);
    while (TableStep(Kind::kPlanTeachers, sink)) {
    }
}

void SolutionPageReader::ReadTimetables(Kind kind, PageSink& sink) {
    CheckSignature();
    SkipSeparators(kind == Kind::kTeachers ? 4 : 3);
    while (TableStep(kind, sink)) {
    }
}

// Every reading starts from the top. A solution page opens with the document
// type line and declares windows-1253 on its fifth line; anything else is
// refused before a value is taken from it.
void SolutionPageReader::CheckSignature() {
    next_ = 0;
    header_read_ = false;
    if (Next("its first line") != kDocumentType) {
        Fail("not a solution page: the first line is not the page's document type",
             std::string(kNotAPage) +
                 ": η πρώτη γραμμή δεν είναι ο τύπος εγγράφου μιας σελίδας "
                 "λύσης");
    }
    for (int i = 2; i < 5; ++i) {
        Next("its character set line");
    }
    if (Next("its character set line") != kCharsetLine) {
        Fail("not a solution page: the fifth line does not declare windows-1253",
             std::string(kNotAPage) +
                 ": η πέμπτη γραμμή δεν δηλώνει την κωδικοσελίδα "
                 "windows-1253");
    }
}

void SolutionPageReader::SkipSeparators(int count) {
    int seen = 0;
    while (seen < count) {
        if (AtEnd()) {
            FailAtEnd("not a solution page or cut short: it ends before separator line " +
                      std::to_string(seen + 1) + " of the " + std::to_string(count) +
                      " needed here");
        }
        if (Next("") == kSeparator) {
            ++seen;
        }
    }
}

// One timetable: its header line, its rows, and the row handed to the sink.
// False when the section ended instead: the separator after the class
// sections, or "</body>" after the teachers.
bool SolutionPageReader::TableStep(Kind kind, PageSink& sink) {
    const bool classes = kind == Kind::kClasses || kind == Kind::kSummary;
    const std::string_view line =
        Next(classes ? "the separator after the class timetables" : "</body>");
    if (line == kSeparator || (!classes && line == "</body>")) {
        return false;
    }
    if (!line.starts_with(kHeaderStart)) {
        Fail("expected the header line of a timetable");
    }
    PageRow row;
    row.table_name = TableName(kind, line, sink);
    if (kind == Kind::kPlanTeachers) {
        if (++teacher_ordinal_ > kMaxTeachers) {
            Fail("more than " + std::to_string(kMaxTeachers) + " teachers",
                 "περισσότεροι από " + CountOf(kMaxTeachers, "διδάσκοντα", "διδάσκοντες"));
        }
        row.ordinal = teacher_ordinal_;
        row.weekly_hours = 0;
    }
    ReadRows(kind, row);
    sink.Row(row);
    return true;
}

std::string SolutionPageReader::TableName(Kind kind, std::string_view header, PageSink& sink) {
    if (kind == Kind::kPlanTeachers) {
        std::string name = Decode(Bounded(TextFrom(header, 26), NamePlace::kTeacher));
        sink.Progress("ΔΙΔΑΣΚΩΝ: " + name);
        return name;
    }
    // "ΤΜΗΜΑ: " from column 12 and the name from 22; "ΚΑΘΗΓΗΤΗΣ: " and 26.
    std::string bytes(TextFrom(header, 12));
    bytes += kind == Kind::kTeachers ? Bounded(TextFrom(header, 26), NamePlace::kTeacher)
                                     : Bounded(TextFrom(header, 22), NamePlace::kClass);
    std::string name = Decode(bytes);
    sink.Progress(name);
    if (kind != Kind::kSummary) {
        return name;
    }
    // The class name alone: characters 8 to 207, trimmed.
    const std::string_view whole = bytes;
    return Decode(TrimBlanksAndControls(whole.substr(std::min<std::size_t>(7, whole.size()), 200)));
}

// After the header: "<p></p>" and the table head, then rows of "<tr>", two
// opening lines, five cells and "</tr>", until "</table>". A table may have no
// rows (a class section without hours) and has at most 10.
void SolutionPageReader::ReadRows(Kind kind, PageRow& row) {
    for (int i = 0; i < kTableHeadLines; ++i) {
        Next("the end of the timetable");
    }
    std::string_view line = Next("the end of the timetable");
    for (int hour = 1; line != "</table>"; ++hour) {
        row.hour_rows = hour;
        if (hour > kMaxHoursPerDay) {
            Fail("a timetable has more than " + std::to_string(kMaxHoursPerDay) + " hour rows",
                 "ένα ωρολόγιο πρόγραμμα με περισσότερες από " +
                     CountOf(kMaxHoursPerDay, "ώρα", "ώρες") + " την ημέρα");
        }
        if (line != "<tr>") {
            Fail("expected <tr> or </table>");
        }
        Next("the end of the timetable");
        Next("the end of the timetable");
        for (int day = 1; day <= kDays; ++day) {
            ReadCell(kind, row, SlotOf(day, hour));
        }
        if (Next("the end of the timetable") != "</tr>") {
            Fail("expected </tr> after the five cells of an hour");
        }
        line = Next("the end of the timetable");
    }
}

void SolutionPageReader::ReadCell(Kind kind, PageRow& row, int column) {
    const std::string_view line = Next("the end of the timetable");
    if (line == kEmptyCell) {
        return;
    }
    const bool classes = kind == Kind::kClasses || kind == Kind::kSummary;
    const std::string_view start = classes ? kClassCellStart : kTeacherCellStart;
    if (!line.starts_with(start)) {
        Fail("expected a cell of the timetable");
    }
    const std::string_view text = Bounded(TextFrom(line, start.size() + 1), NamePlace::kCell);
    if (text.empty()) {
        return;
    }
    std::string& cell = row.cells[static_cast<std::size_t>(column)];
    if (kind == Kind::kSummary) {
        cell = std::to_string(NameNumber(Decode(text)));
        return;
    }
    cell = Decode(text);
    if (kind == Kind::kPlanTeachers) {
        // At most 10 rows of 5 cells: the count stays far below 255.
        row.weekly_hours = *row.weekly_hours + 1;
    }
}

// The number of a teacher's name in the summary's list, adding it when new.
int SolutionPageReader::NameNumber(const std::string& name) {
    const auto found = name_numbers_.find(name);
    if (found != name_numbers_.end()) {
        return found->second;
    }
    const int number = static_cast<int>(names_.size());
    if (number > kMaxNames) {
        Fail("more than " + std::to_string(kMaxNames) + " different teacher names",
             "περισσότερα από " + std::to_string(kMaxNames) + " διαφορετικά ονόματα διδασκόντων");
    }
    names_.push_back(name);
    name_numbers_.emplace(name, number);
    return number;
}

// The general plan from its fourth "<tr>" (the first teacher row): every
// teacher row's name, then its cells counted day by day, hour by hour, with a
// "<td colspan" separator line between two days.
void SolutionPageReader::MarkCommonFreeHours(PageSink& sink) {
    CheckSignature();
    for (int rows = 0; rows < 4;) {
        if (AtEnd()) {
            FailAtEnd("not a solution page: it has no general plan");
        }
        const std::string_view line = Next("");
        if (line == "<tr>") {
            ++rows;
        } else if (rows == 3 && line == "</table>") {
            return;  // a plan without teacher rows
        }
    }
    Next("the first teacher of the general plan");  // the row's ordinal cell
    bool name_pending = true;
    std::string name;
    int day = 1;
    int hour = 0;
    while (true) {
        std::string_view line = Next("the end of the general plan");
        if (line == "</table>") {
            return;
        }
        if (line == "<tr>") {
            if (Next("the end of the general plan") == "</table>") {
                return;
            }
            line = Next("the end of the general plan");
            if (line == "</table>") {
                return;
            }
            name_pending = true;
        }
        if (name_pending) {
            if (!line.starts_with(kClassCellStart)) {
                Fail("expected the name line of a general plan row");
            }
            name = Decode(Bounded(TextFrom(line, kClassCellStart.size() + 1), NamePlace::kPlanRow));
            sink.PlanRowName(name);
            name_pending = false;
            day = 1;
            hour = 0;
            continue;
        }
        if (line.starts_with("<td colspan")) {
            hour = 0;
            ++day;
        }
        if (line.starts_with("<td nowrap>") || line == kPlanEmptyCell) {
            ++hour;
        }
        if (line == kPlanGreyCell) {
            ++hour;
            if (day > kDays || hour > kMaxHoursPerDay) {
                Fail("a grey cell beyond hour 10 or Friday");
            }
            sink.Progress("ΚΟΙΝΕΣ ΚΕΝΕΣ ΔΙΔΑΣΚΩΝΤΩΝ: " + name);
            sink.CommonFreeHour(name, SlotOf(day, hour));
        }
    }
}

// After the first separator: "<p>Λύση=<strong>" n "/" m "</strong></p>",
// the file name line, and the time "…Επεξεργασίας=<strong>" t "</strong></p>".
SolutionHeader SolutionPageReader::ReadSolutionHeader() {
    static const std::string kNumberStart = Utf8ToCp1253("<p>Λύση=<strong>");
    static const std::string kTimeStart = Utf8ToCp1253("<p>Συνολικός Χρόνος Επεξεργασίας=<strong>");
    CheckSignature();
    SkipSeparators(1);
    const std::string_view numbers = Next("the solution's number");
    if (!numbers.starts_with(kNumberStart)) {
        Fail("expected the solution's number line");
    }
    const std::string_view text = TextFrom(numbers, kNumberStart.size() + 1);
    SolutionHeader header;
    const char* end = text.data() + text.size();
    auto parsed = std::from_chars(text.data(), end, header.solution);
    if (parsed.ec != std::errc() || parsed.ptr == end || *parsed.ptr != '/') {
        Fail("expected the solution's number and the number requested");
    }
    parsed = std::from_chars(parsed.ptr + 1, end, header.requested);
    if (parsed.ec != std::errc() || parsed.ptr != end) {
        Fail("expected the solution's number and the number requested");
    }
    Next("the solution's file name");
    const std::string_view time = Next("the solution's time");
    if (!time.starts_with(kTimeStart)) {
        Fail("expected the solution's time line");
    }
    header.time_text = Decode(TextFrom(time, kTimeStart.size() + 1));
    return header;
}

namespace {

// A line of a page as a message shows it: UTF-8, a byte windows-1253 leaves
// undefined as "?", and a long line by its start.
std::string Shown(std::string_view bytes) {
    constexpr std::size_t kShown = 120;
    std::string text;
    for (const char byte : bytes.substr(0, kShown)) {
        try {
            text += Cp1253ToUtf8(std::string_view(&byte, 1));
        } catch (const EncodingError&) {
            text += '?';
        }
    }
    return bytes.size() > kShown ? text + "…" : text;
}

}  // namespace

std::optional<LineDifference> SolutionPageReader::FirstLineDifference(
    std::string_view expected) const {
    const SolutionPageReader other(path_, std::string(expected));
    const auto line = [](const SolutionPageReader& page, std::size_t i) {
        const LineSpan span = page.lines_[i];
        return std::string_view(page.bytes_).substr(span.start, span.length);
    };
    const std::size_t lines = std::max(lines_.size(), other.lines_.size());
    for (std::size_t i = 0; i < lines; ++i) {
        if (i >= lines_.size()) {
            return LineDifference{i + 1, Shown(line(other, i)), {}};
        }
        if (i >= other.lines_.size()) {
            return LineDifference{i + 1, {}, Shown(line(*this, i))};
        }
        if (line(*this, i) != line(other, i)) {
            return LineDifference{i + 1, Shown(line(other, i)), Shown(line(*this, i))};
        }
    }
    return std::nullopt;
}

std::string_view SolutionPageReader::Next(const char* what) {
    if (AtEnd()) {
        FailAtEnd(std::string("the page is cut short: it ends before ") + what);
    }
    const LineSpan span = lines_[next_++];
    return std::string_view(bytes_).substr(span.start, span.length);
}

// The characters from 1-based `column` up to, not including, the next "<".
std::string_view SolutionPageReader::TextFrom(std::string_view line, std::size_t column) const {
    const std::size_t end = column <= line.size() ? line.find('<', column - 1) : std::string::npos;
    if (end == std::string_view::npos) {
        Fail("no \"<\" after column " + std::to_string(column));
    }
    return line.substr(column - 1, end - (column - 1));
}

// A name of the page: a page that holds a longer one than any way in allows
// was not written by the program, and is refused before the name is taken
// (a name of megabytes would make every print of it crawl).
std::string_view SolutionPageReader::Bounded(std::string_view text, NamePlace place) const {
    const NameLimit& limit = kNameLimits[static_cast<std::size_t>(place)];
    if (text.size() > limit.most) {
        Fail(std::string(limit.what) + " of " + std::to_string(text.size()) +
                 " characters, longer than " + std::to_string(limit.most),
             std::string(limit.greek) + " με " + std::to_string(text.size()) +
                 " χαρακτήρες, ενώ τα ονόματα " + limit.whose + " έχουν έως " +
                 std::to_string(limit.most));
    }
    return text;
}

std::string SolutionPageReader::Decode(std::string_view bytes) const {
    try {
        return Cp1253ToUtf8(bytes);
    } catch (const EncodingError& e) {
        Fail(e.what(), "ένας χαρακτήρας που δεν υπάρχει στην κωδικοσελίδα windows-1253");
    }
}

void SolutionPageReader::Fail(const std::string& reason, std::string explanation) const {
    throw PageReadError(path_, next_, reason, std::move(explanation));
}

void SolutionPageReader::FailAtEnd(const std::string& reason, std::string explanation) const {
    throw PageReadError(path_, lines_.size() + 1, reason,
                        explanation.empty() ? std::string(kCutShort) : std::move(explanation));
}

}  // namespace taktirio
