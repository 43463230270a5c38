// The solution page: head and scripts, credits, the solution's header, the
// general plan (a row per teacher), a table per class section and a table per
// single teacher. The readers take values back from fixed lines and columns,
// so every line's text, order and line break is part of the format.
#include "core/pages/solution_page_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <utility>

#include "core/common/narrow.h"
#include "core/common/system_errors.h"
#include "core/pages/page_errors.h"
#include "core/pages/page_line_writer.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/solver/slots.h"
#include "core/text/cp1253.h"
#include "core/text/trim.h"

namespace taktirio {

namespace {

std::string Num(int v) {
    return std::to_string(v);
}

// The page's fixed texts that hold Greek letters, converted once.
struct GreekTexts {
    std::string solution = Utf8ToCp1253("<p>Λύση=<strong>");
    std::string time = Utf8ToCp1253("<p>Συνολικός Χρόνος Επεξεργασίας=<strong>");
    std::string title = Utf8ToCp1253(
        "<p align='center'><b><font size='4'>ΩΡΟΛΟΓΙΟ ΠΡΟΓΡΑΜΜΑ ΔΙΔΑΣΚΟΝΤΩΝ</font></b></td>");
    std::string year = Utf8ToCp1253("<p align='right'><b><font size='3'>ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ ");
    std::string ordinal_head = Utf8ToCp1253("<div align='center'><strong>Α/Α</strong></div></td>");
    std::string name_head =
        Utf8ToCp1253("<div align='center'><strong>ΟΝΟΜΑΤΕΠΩΝΥΜΟ ΚΑΘΗΓΗΤΗ</strong></div></td>");
    std::string hours_head = Utf8ToCp1253("<div align='center'><strong>ΩΡΕΣ</strong></div></td>");
    std::string class_header = Utf8ToCp1253("<p><strong>ΤΜΗΜΑ: <u>");
    std::string teacher_header = Utf8ToCp1253("<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>");
    std::array<std::string, kDays + 1> days;
    std::array<std::string, 15> table_head;

    GreekTexts() {
        for (int d = 1; d <= kDays; ++d) {
            days[AsIndex(d)] = Utf8ToCp1253(kDayNamesUpper[AsIndex(d)]);
        }
        static constexpr std::array<std::pair<const char*, const char*>, 6> kColumns = {{
            {"7%", "ΩΡΕΣ"},
            {"12%", "ΔΕΥΤΕΡΑ"},
            {"7%", "ΤΡΙΤΗ"},
            {"11%", "ΤΕΤΑΡΤΗ"},
            {"8%", "ΠΕΜΠΤΗ"},
            {"55%", "ΠΑΡΑΣΚΕΥΗ"},
        }};
        std::size_t n = 0;
        table_head[n++] = "<table width='41%' border='1' cellspacing='0'>";
        table_head[n++] = "<tr bgcolor='#CCCCCC'>";
        for (const auto& [width, title_text] : kColumns) {
            table_head[n++] = std::string("<td width='") + width + "' nowrap>";
            table_head[n++] = Utf8ToCp1253(std::string("<div align='center'><strong>") +
                                           title_text + "</strong></div></td>");
        }
        table_head[n++] = "</tr>";
    }
};

const GreekTexts& Greek() {
    static const GreekTexts texts;
    return texts;
}

constexpr std::string_view kSeparator = "<p>&nbsp;</p>";
constexpr std::string_view kDaySeparator =
    "<td colspan='1' nowrap bordercolor='#000000' bgcolor='#000000'><div "
    "align='center'><strong></strong></div></td>";
constexpr std::string_view kEmptyCell = "<td nowrap>&nbsp;</td>";

// Converts one name, saying which one when windows-1253 cannot hold it.
std::string Encode(std::string_view utf8, const std::string& what) {
    try {
        return Utf8ToCp1253(utf8);
    } catch (const EncodingError& e) {
        throw EncodingError(what + " cannot be written in windows-1253: " + e.what(), e.offset());
    }
}

void Require(bool condition, const std::string& what) {
    if (!condition) {
        throw ContradictoryDataError("solution page: " + what);
    }
}

// Builds one page; lives for one rendering.
class PageBuilder {
  public:
    PageBuilder(const SolutionPageInfo& info, const SolutionPageContent& content)
        : info_(info),
          content_(content),
          C_(content.number_of_classes),
          T_(content.number_of_teachers),
          H_(PageHoursPerDay(info.max_class_week_hours)),
          class_of_teacher_(AsIndex(T_) + 1, kSlotColumns),
          grey_(AsIndex(T_) + 1, kSlotColumns),
          teacher_program_(AsIndex(T_) + 1, std::vector<std::string>(kSlotColumns)) {
        CheckContent();
        EncodeNames();
        MarkDeniedHours();
    }

    std::string Build() {
        out_.Reserve(AsIndex(T_ * 5 * H_ + (C_ + info_.single_teacher_count) * 60) * 48 + 8192);
        Head();
        Credits();
        SolutionHeader();
        FillClassOfTeacher();
        PlanTitle();
        PlanHeads();
        for (int i = 1; i <= T_; ++i) {
            PlanRow(i);
        }
        out_.Line("</tr>");
        out_.Line("</table>");
        PlanFooter();
        ClassTables();
        TeacherTables();
        out_.Line("</body>");
        out_.Line("</html>");
        return out_.Take();
    }

  private:
    void CheckContent() const {
        Require(content_.timetable != nullptr, "no timetable");
        Require(
            content_.timetable->rows() > AsIndex(C_) && content_.timetable->cols() >= kSlotColumns,
            "the timetable is smaller than the school");
        Require(content_.class_names.size() > AsIndex(C_) &&
                    content_.class_week_hours.size() > AsIndex(C_),
                "fewer class names or weekly hours than class sections");
        Require(content_.teacher_names.size() > AsIndex(T_), "fewer teacher names than teachers");
        Require(info_.single_teachers.size() > info_.single_teacher_count,
                "fewer single teachers than their count");
        Require(info_.deny_hours.size() >= AsIndex(2 * info_.deny_hours_count + 2),
                "fewer denied hours than their count");
        for (int c = 1; c <= C_; ++c) {
            Require(content_.class_week_hours[AsIndex(c)] <= kSlots,
                    "class section " + Num(c) + " has more than 50 weekly hours");
            for (int p = 1; p <= kSlots; ++p) {
                Require((*content_.timetable)(AsIndex(c), AsIndex(p)) <= T_,
                        "class section " + Num(c) + " holds an unknown teacher at slot " + Num(p));
            }
        }
    }

    void EncodeNames() {
        school_ = Encode(info_.school_name, "the school name");
        time_text_ = Encode(content_.solution_time_text, "the solution time");
        classes_.resize(AsIndex(C_) + 1);
        for (int c = 1; c <= C_; ++c) {
            classes_[AsIndex(c)] =
                Encode(content_.class_names[AsIndex(c)], "class section name " + Num(c));
        }
        teachers_.resize(AsIndex(T_) + 1);
        for (int t = 1; t <= T_; ++t) {
            teachers_[AsIndex(t)] =
                Encode(content_.teacher_names[AsIndex(t)], "teacher name " + Num(t));
        }
        singles_.resize(AsIndex(info_.single_teacher_count) + 1);
        for (std::size_t k = 1; k <= info_.single_teacher_count; ++k) {
            singles_[k] = Encode(info_.single_teachers[k].teacher_name,
                                 "single teacher name " + Num(static_cast<int>(k)));
        }
    }

    // Entries naming no teacher or slot of this school can never match a cell.
    void MarkDeniedHours() {
        for (int k = 1; k <= info_.deny_hours_count; ++k) {
            const int t = info_.deny_hours[AsIndex(2 * k)];
            const int p = info_.deny_hours[AsIndex(2 * k + 1)];
            if (t <= T_ && IsSlot(p)) {
                grey_(AsIndex(t), AsIndex(p)) = 1;
            }
        }
    }

    // For each teacher and slot, the highest-numbered class section taught then.
    void FillClassOfTeacher() {
        for (int c = 1; c <= C_; ++c) {
            for (int p = 1; p <= kSlots; ++p) {
                class_of_teacher_((*content_.timetable)(AsIndex(c), AsIndex(p)), AsIndex(p)) =
                    static_cast<std::uint8_t>(c);
            }
        }
    }

    void Head() {
        const std::string_view e1 = kMakerEmails[0];
        const std::string_view e2 = kMakerEmails[1];
        const std::string alert =
            std::string(
                "window.alert(\"Application TAKTIRIO Created by\\nMERIDON SOFTWARE "
                "DEVELOPMENT\\n\\n\\nEmail: ") +
            std::string(e1) + "\\n          " + std::string(e2) + "\\n\\nWeb Sites:\\n" +
            std::string(kMakerWebSites[0]) + "\\n" + std::string(kMakerWebSites[1]) + "\\n" +
            std::string(kMakerWebSites[2]) + "\");";
        out_.Line("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">");
        out_.Line("<html>");
        out_.Line("<head>");
        out_.Line({"<title>Application TAKTIRIO Created by MERIDON SOFTWARE DEVELOPMENT Emails: ",
                   e1, " , ", e2, "</title>"});
        out_.Line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1253\">");
        out_.Line("<script id=clientEventHandlersJS language=javascript>");
        out_.Line("<!--");
        out_.Line("");
        out_.Line("function window_onload() {");
        out_.Line(alert);
        out_.Line("}");
        out_.Line("");
        out_.Line("function window_onunload() {");
        out_.Line(alert);
        out_.Line("}");
        out_.Line("");
        out_.Line("//-->");
        out_.Line("</script>");
        out_.Line("</head>");
        out_.Line(
            "<body link='#0000FF' vlink='#0000FF' language=javascript onload='return "
            "window_onload()' onunload='return window_onunload()'>");
    }

    void Credits() {
        out_.Line(
            "<p>Application <strong>TAKTIRIO</strong> Created by <strong>MERIDON SOFTWARE "
            "DEVELOPMENT</strong></p>");
        for (const std::string_view site : kMakerWebSites) {
            out_.Line({"<p>Website: <a href='", site, "'><strong>", site, "</strong></a></p>"});
        }
        for (const std::string_view mail : kMakerEmails) {
            out_.Line(
                {"<p>Email: <a href='mailto:", mail, "'><strong>", mail, "</strong></a></p>"});
        }
        out_.Line(kSeparator);
    }

    void SolutionHeader() {
        const GreekTexts& g = Greek();
        const std::string n = Num(content_.current_solution);
        out_.Line({g.solution, n, "/", Num(content_.solutions_requested), "</strong></p>"});
        out_.Line({"<p>File Name=<strong>SOLUTION", n, ".htm</strong></p>"});
        out_.Line({g.time, time_text_, "</strong></p>"});
        out_.Line(kSeparator);
    }

    void PlanTitle() {
        const GreekTexts& g = Greek();
        out_.Line(
            "<table width='75%' border='1' cellspacing='0' style='border-left-width: 0; "
            "border-right-width: 0; border-top-width: 0' >");
        out_.Line({"<td nowrap bgcolor='#FFFFFF' colspan='", Num(5 * H_ + 7),
                   "' style='border-left-style: none; border-left-width: medium; "
                   "border-right-style: none; border-right-width: medium; border-top-style: "
                   "none; border-top-width: medium' bordercolor='#FFFFFF' "
                   "bordercolorlight='#FFFFFF' bordercolordark='#FFFFFF' >"});
        out_.Line(
            "<table border='1' height='41' cellpadding='0' cellspacing='0' "
            "style='border-collapse: collapse; border-width: 0' bordercolor='#111111' "
            "width='100%' id='AutoNumber1'>");
        out_.Line("<tr>");
        out_.Line("<td width='33%' style='border-style: none; border-width: medium'><b>");
        out_.Line({"<font size='3'>", school_, "</font></b></td>"});
        out_.Line("<td width='33%' style='border-style: none; border-width: medium'>");
        out_.Line(g.title);
        out_.Line("<td width='34%' style='border-style: none; border-width: medium'>");
        out_.Line({g.year, Num(content_.year), "-", Num(content_.year + 1), "</font></b></td>"});
        out_.Line("</tr>");
        out_.Line("</table>");
        out_.Line("</td>");
    }

    void PlanHeads() {
        const GreekTexts& g = Greek();
        out_.Line("<tr>");
        out_.Line("<td rowspan='2' nowrap bgcolor='#CCCCCC'>");
        out_.Line(g.ordinal_head);
        out_.Line("<td rowspan='2' nowrap bgcolor='#CCCCCC'>");
        out_.Line(g.name_head);
        const std::string hours = Num(H_);
        for (int d = 1; d <= kDays; ++d) {
            if (d > 1) {
                out_.Line(kDaySeparator);
            }
            out_.Line({"<td colspan='", hours,
                       "' nowrap bgcolor='#CCCCCC'> <div align='center'><strong>",
                       g.days[AsIndex(d)], "</strong></div></td>"});
        }
        out_.Line("<td rowspan='2' nowrap bgcolor='#CCCCCC'>");
        out_.Line(g.hours_head);
        out_.Line("</tr>");
        out_.Line("<tr>");
        for (int d = 1; d <= kDays; ++d) {
            for (int h = 1; h <= H_; ++h) {
                out_.Line(
                    {"<td nowrap><div align='center'><strong>", Num(h), "</strong></div></td>"});
            }
            if (d < kDays) {
                out_.Line(kDaySeparator);
            }
        }
    }

    // A teacher pair's two members among the single teachers, (i, 0) for a
    // teacher whose name holds no plus sign; 0 for a part that matches none.
    std::pair<int, int> SplitPairName(int i) const {
        const std::string& name = content_.teacher_names[AsIndex(i)];
        const std::size_t plus = name.find('+');
        if (plus == std::string::npos) {
            return {i, 0};
        }
        const std::string_view whole = name;
        const std::string_view first_part = TrimBlanksAndControls(whole.substr(0, plus));
        const std::string_view second_part = TrimBlanksAndControls(whole.substr(plus + 1));
        int first = 0;
        int second = 0;
        for (std::size_t k = 1; k <= info_.single_teacher_count && (first == 0 || second == 0);
             ++k) {
            const KATGHIGITES_SINGLE_STRUCTURE& entry = info_.single_teachers[k];
            if (first == 0 && entry.teacher_name == first_part) {
                first = entry.teacher_number;
            }
            if (second == 0 && entry.teacher_name == second_part) {
                second = entry.teacher_number;
            }
        }
        return {first, second};
    }

    // The other class section of teacher i's first joint lesson that involves
    // class section k; 0 when there is none.
    int JointPartner(int i, int k) const {
        int entry = 0;
        for (const JointLesson& joint : content_.joint_lessons) {
            ++entry;
            const int partner = joint.PartnerOf(k);
            if (joint.teacher == i && partner != 0) {
                Require(partner >= 1 && partner <= C_,
                        "joint lesson " + Num(entry) + " names an unknown class section");
                return partner;
            }
        }
        return 0;
    }

    void PlanRow(int i) {
        const auto [first, second] = SplitPairName(i);
        int lessons = 0;
        out_.Line("<tr>");
        out_.Line({"<td nowrap bgcolor='#CCCCCC'><div align='center'><strong>", Num(i),
                   "</strong></div></td>"});
        out_.Line({"<td nowrap><strong>", teachers_[AsIndex(i)], "</strong></td>"});
        for (int d = 1; d <= kDays; ++d) {
            for (int h = 1; h <= H_; ++h) {
                const int p = SlotOf(d, h);
                const int k = class_of_teacher_(AsIndex(i), AsIndex(p));
                if (k == 0) {
                    out_.Line(grey_(AsIndex(i), AsIndex(p)) != 0
                                  ? "<td bgcolor='#CCCCCC' nowrap>&nbsp;</td>"
                                  : "<td  nowrap>&nbsp;</td>");
                    continue;
                }
                ++lessons;
                std::string text = classes_[AsIndex(k)];
                if (const int partner = JointPartner(i, k); partner != 0) {
                    text += ",";
                    text += classes_[AsIndex(partner)];
                }
                out_.Line({"<td nowrap><strong>", text, "</strong></td>"});
                teacher_program_[AsIndex(first)][AsIndex(p)] = text;
                if (second != 0) {
                    teacher_program_[AsIndex(second)][AsIndex(p)] = std::move(text);
                }
            }
            if (d < kDays) {
                out_.Line(kDaySeparator);
            }
        }
        out_.Line(
            {"<td nowrap><div align='center'><strong>", Num(lessons), "</strong></div></td>"});
        out_.Line("</tr>");
    }

    void PlanFooter() {
        const std::string_view e1 = kMakerEmails[0];
        const std::string_view e2 = kMakerEmails[1];
        out_.Line(
            "Application <strong>TAKTIRIO</strong> Created by <strong>MERIDON SOFTWARE "
            "DEVELOPMENT</strong>");
        out_.Line({" Emails: <a href='mailto:", e1, "'><strong>", e1, "</strong></a>"});
        out_.Line({" , <a href='mailto:", e2, "'><strong>", e2, "</strong></a>"});
        for (const std::string_view site : kMakerWebSites) {
            out_.Line("<p></p>");
            out_.Line({" Website: <a href='", site, "'><strong>", site, "</strong></a>"});
        }
        out_.Line(kSeparator);
    }

    void TableHead() {
        for (const std::string& line : Greek().table_head) {
            out_.Line(line);
        }
    }

    void RowOpening(int r) {
        out_.Line("<tr>");
        out_.Line("<td nowrap bgcolor='#CCCCCC'>");
        out_.Line({"<div align='center'><strong>", Num(r), "</strong></div></td>"});
    }

    void ClassTables() {
        for (int c = 1; c <= C_; ++c) {
            out_.Line({Greek().class_header, classes_[AsIndex(c)], "</u></strong></p>"});
            out_.Line("<p></p>");
            TableHead();
            const int rows = (content_.class_week_hours[AsIndex(c)] + kDays - 1) / kDays;
            for (int r = 1; r <= rows; ++r) {
                RowOpening(r);
                for (int d = 1; d <= kDays; ++d) {
                    const int t = (*content_.timetable)(AsIndex(c), AsIndex(SlotOf(d, r)));
                    if (t == 0) {
                        out_.Line(kEmptyCell);
                    } else {
                        out_.Line({"<td nowrap><strong>", teachers_[AsIndex(t)], "</strong></td>"});
                    }
                }
                out_.Line("</tr>");
            }
            out_.Line("</table>");
        }
        out_.Line(kSeparator);
    }

    // Each table is looked up by the entry's teacher number, which the working
    // copy makes equal to k; an entry whose number names no teacher gets an
    // empty table instead of a read beyond the table.
    void TeacherTables() {
        static const std::vector<std::string> kNoLessons(kSlotColumns);
        for (std::size_t k = 1; k <= info_.single_teacher_count; ++k) {
            const int number = info_.single_teachers[k].teacher_number;
            const std::vector<std::string>& program =
                number <= T_ ? teacher_program_[AsIndex(number)] : kNoLessons;
            out_.Line({Greek().teacher_header, singles_[k], "</u></strong></p>"});
            out_.Line("<p></p>");
            TableHead();
            for (int h = 1; h <= H_; ++h) {
                RowOpening(h);
                for (int d = 1; d <= kDays; ++d) {
                    const std::string& text = program[AsIndex(SlotOf(d, h))];
                    if (text.empty()) {
                        out_.Line(kEmptyCell);
                    } else {
                        out_.Line(
                            {"<td nowrap><div align='center'><strong>", text, "</strong></td>"});
                    }
                }
                out_.Line("</tr>");
            }
            out_.Line("</table>");
        }
    }

    const SolutionPageInfo& info_;
    const SolutionPageContent& content_;
    const int C_;
    const int T_;
    const int H_;
    ByteMatrix class_of_teacher_;  // [teacher][slot] = highest class section taught then
    ByteMatrix grey_;              // [teacher][slot] = 1 for a denied hour
    std::vector<std::vector<std::string>> teacher_program_;  // [teacher number][slot]
    std::string school_;
    std::string time_text_;
    std::vector<std::string> classes_;
    std::vector<std::string> teachers_;
    std::vector<std::string> singles_;
    PageLineWriter out_;
};

}  // namespace

void SolutionPageInfo::AddSingleTeacher(std::uint8_t number, std::string name) {
    single_teachers.push_back({number, std::move(name)});
    single_teacher_count = static_cast<std::uint8_t>(single_teachers.size() - 1);
}

void SolutionPageInfo::AddDenyHour(std::uint8_t teacher, std::uint8_t slot) {
    deny_hours.push_back(teacher);
    deny_hours.push_back(slot);
    ++deny_hours_count;
}

int PageHoursPerDay(int max_class_week_hours) {
    if (max_class_week_hours >= 36 && max_class_week_hours <= 40) {
        return 8;
    }
    if (max_class_week_hours >= 41 && max_class_week_hours <= 45) {
        return 9;
    }
    if (max_class_week_hours >= 46 && max_class_week_hours <= 50) {
        return 10;
    }
    return 7;
}

std::string RenderSolutionPage(const SolutionPageInfo& info, const SolutionPageContent& content) {
    return PageBuilder(info, content).Build();
}

std::optional<std::string> UnwritableNameMessage(const SolutionPageInfo& info,
                                                 std::span<const std::string> class_names,
                                                 std::span<const std::string> teacher_names) {
    const auto refused = [](const std::string& what, const std::string& name) {
        return what + " «" + name +
               "» έχει χαρακτήρα που δεν γράφεται στις σελίδες των λύσεων (windows-1253).\r"
               "Διόρθωσε το όνομα και ξεκίνησε ξανά τον υπολογισμό λύσεων.";
    };
    if (!FitsCp1253(info.school_name)) {
        return refused("Το όνομα του σχολείου", info.school_name);
    }
    for (std::size_t c = 1; c < class_names.size(); ++c) {
        if (!FitsCp1253(class_names[c])) {
            return refused("Το τμήμα " + std::to_string(c), class_names[c]);
        }
    }
    for (std::size_t t = 1; t < teacher_names.size(); ++t) {
        if (!FitsCp1253(teacher_names[t])) {
            return refused("Ο διδάσκων " + std::to_string(t), teacher_names[t]);
        }
    }
    for (std::size_t k = 1; k < info.single_teachers.size(); ++k) {
        const KATGHIGITES_SINGLE_STRUCTURE& single = info.single_teachers[k];
        if (!FitsCp1253(single.teacher_name)) {
            return refused("Ο διδάσκων " + std::to_string(single.teacher_number),
                           single.teacher_name);
        }
    }
    return std::nullopt;
}

std::string SolutionPagePath(const SolutionPageInfo& info, int solution) {
    return (SolutionsDirectory(info.program_directory, info.user_name) / SolutionPageName(solution))
        .string();
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

SolutionPageWriter::SolutionPageWriter(SolutionPageInfo info, std::function<int()> year)
    : info_(std::move(info)), year_(std::move(year)) {}

void SolutionPageWriter::WriteSolution(const ClaimedSolution& solution) {
    SolutionPageContent content;
    content.number_of_classes = solution.inputs.number_of_classes;
    content.number_of_teachers = solution.inputs.number_of_teachers;
    content.class_week_hours = solution.inputs.class_week_hours;
    content.timetable = &solution.timetable;
    content.class_names = solution.inputs.class_names;
    content.teacher_names = solution.inputs.teacher_names;
    content.current_solution = solution.number;
    content.solutions_requested = solution.requested;
    content.solution_time_text = solution.time_text;
    content.joint_lessons = solution.joint_lessons;
    content.year = year_();
    const std::string bytes = RenderSolutionPage(info_, content);
    WriteFile(SolutionPagePath(info_, solution.number), bytes);
}

namespace {

// Gives up a page being written: the temporary file goes, the page is left as
// it was.
[[noreturn]] void AbandonPage(int fd, const std::filesystem::path& temporary,
                              const std::string& path, int code) {
    if (fd >= 0) {
        ::close(fd);
    }
    ::unlink(temporary.c_str());
    throw PageWriteError(path, SystemErrorText(code));
}

}  // namespace

// The page is written to a new temporary file beside it and renamed over its
// name: a kill or a full disk leaves the old page or the new one, never part
// of one, and a page name that is a link is replaced, not written through.
// There is no fsync: it guards against power loss only, and at several
// milliseconds a page it would make a run of 254 pages seconds slower.
void SolutionPageWriter::WriteFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path target(path);
    std::filesystem::path temporary;
    std::error_code error;
    const int fd =
        CreateUniqueFile(target.parent_path(), "." + target.filename().string(), temporary, error);
    if (fd < 0) {
        throw PageWriteError(path, SystemErrorText(error));
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            AbandonPage(fd, temporary, path, n < 0 ? errno : ENOSPC);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        AbandonPage(-1, temporary, path, errno);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        AbandonPage(-1, temporary, path, errno);
    }
}

}  // namespace taktirio
