// verify reads a page whole: every reader to its end, and the general plan
// and the teachers' timetables against the page's class timetables. A page
// cut anywhere, or altered where only the plan or the teachers' tables show,
// is told apart from the page the writer wrote.
#include "core/verify/page_verdict.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/pages/page_errors.h"
#include "core/pages/page_fixtures.h"
#include "core/text/cp1253.h"

namespace taktirio::testing {
namespace {

// The small school's names and joint lesson as the school's data hold them.
struct SmallSchoolData {
    SolverInputs inputs;
    RuleTables rules;
    SmallSchoolData() {
        const SmallSchool school;
        inputs = SolverInputs::Sized(3, 4);
        inputs.class_names = school.classes;
        inputs.teacher_names = school.teachers;
        rules.AddJointLesson(1, 2, 2);
    }
};

std::string Replaced(std::string page, const std::string& from, const std::string& to) {
    const std::size_t at = page.find(Utf8ToCp1253(from));
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? page
                                   : page.replace(at, Utf8ToCp1253(from).size(), Utf8ToCp1253(to));
}

// Everything after the fourth separator: the teachers' timetables.
std::string EmptiedTeacherTables(std::string page) {
    std::size_t at = 0;
    for (int k = 0; k < 4; ++k) {
        at = page.find("<p>&nbsp;</p>", at) + 1;
    }
    const std::string cell = "<td nowrap><div align='center'><strong>";
    while ((at = page.find(cell, at)) != std::string::npos) {
        const std::size_t end = page.find("</td>", at) + 5;
        page.replace(at, end - at, "<td nowrap>&nbsp;</td>");
    }
    return page;
}

TEST(PageVerdict, OnlyThePageTheClassTimetablesMakeIsWhole) {
    const SmallSchool school;
    const SmallSchoolData data;
    const std::string written = RenderSolutionPage(school.info, school.Content());
    const auto cut_before = [&written](const std::string& line) {
        return written.substr(0, written.rfind(line));
    };
    struct Case {
        const char* name;
        std::string page;
        enum { kWhole, kUnreadable, kDeparts } verdict;
    };
    const Case cases[] = {
        {"as written", written, Case::kWhole},
        {"saved with bare line feeds",
         [&] {
             std::string page;
             for (const char ch : written) {
                 if (ch != '\r') {
                     page += ch;
                 }
             }
             return page;
         }(),
         Case::kWhole},
        {"a grey free cell of the plan's own",
         Replaced(written, "<td  nowrap>&nbsp;</td>", "<td bgcolor='#CCCCCC' nowrap>&nbsp;</td>"),
         Case::kWhole},
        {"cut at 70 %", written.substr(0, written.size() * 7 / 10), Case::kUnreadable},
        {"cut at 99 %", written.substr(0, written.size() * 99 / 100), Case::kUnreadable},
        {"cut before </body>", cut_before("</body>"), Case::kUnreadable},
        {"cut before </html>", cut_before("</html>"), Case::kDeparts},
        {"without its last line break", written.substr(0, written.size() - 2), Case::kDeparts},
        {"a line after its end", written + "<p>more</p>\r\n", Case::kDeparts},
        {"the teachers' timetables emptied", EmptiedTeacherTables(written), Case::kDeparts},
        {"a name of the plan changed",
         Replaced(written, "<td nowrap><strong>ΝΙΚΟΛΑΟΥ</strong></td>",
                  "<td nowrap><strong>ΑΛΛΟΣ</strong></td>"),
         Case::kDeparts},
        {"a lesson of the plan moved to another class section",
         Replaced(written, "<td nowrap><strong>Β1,Α1</strong></td>",
                  "<td nowrap><strong>Γ1</strong></td>"),
         Case::kDeparts},
        {"a lesson of a teacher's timetable changed",
         Replaced(written, "<td nowrap><div align='center'><strong>Β1,Α1</strong></td>",
                  "<td nowrap><div align='center'><strong>Α1</strong></td>"),
         Case::kDeparts},
        {"a year of the school year changed", Replaced(written, "2024-2025", "2024-2026"),
         Case::kDeparts},
        {"a credit line changed", Replaced(written, "Created by", "Made by"), Case::kDeparts},
    };
    const std::filesystem::path dir = FreshDirectory("taktirio_page_verdict");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir / "page.htm").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.page;
        try {
            const WholePage page = ReadWholePage(path);
            EXPECT_NE(c.verdict, Case::kUnreadable) << "read whole";
            const std::optional<std::string> departs =
                PageDisagreement(page, data.inputs, data.rules);
            EXPECT_EQ(departs.has_value(), c.verdict == Case::kDeparts) << departs.value_or("");
        } catch (const PageReadError& error) {
            EXPECT_EQ(c.verdict, Case::kUnreadable) << error.what();
        }
    }
}

TEST(PageVerdict, TheWholeReadingKeepsWhatTheChecksNeed) {
    const SmallSchool school;
    const std::filesystem::path dir = FreshDirectory("taktirio_page_verdict_reading");
    const std::string path = (dir / "SOLUTION3.htm").string();
    std::ofstream(path, std::ios::binary) << RenderSolutionPage(school.info, school.Content());
    const WholePage page = ReadWholePage(path);
    EXPECT_EQ(page.classes.school_name, "2ο ΓΥΜΝΑΣΙΟ ΠΑΤΡΩΝ");
    ASSERT_EQ(page.classes.rows.size(), 3u);
    EXPECT_EQ(page.classes.rows[0].hour_rows, 2);  // 7 hours
    EXPECT_EQ(page.classes.rows[2].hour_rows, 0);
    EXPECT_EQ(page.school_year, "ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2024-2025");
    EXPECT_EQ(page.solution.solution, 3);
    EXPECT_EQ(page.solution.requested, 5);
    EXPECT_EQ(page.solution.time_text, "0:0:1:250");
    EXPECT_EQ(page.plan_rows, (std::vector<std::string>{"ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ",
                                                        "ΠΑΠΑΔΟΠΟΥΛΟΣ + ΓΕΩΡΓΙΟΥ"}));
    EXPECT_EQ(page.grey_cells.size(), 2u);
}

// A rule line begins with the rule's Greek name and names the school's class
// section, teacher and slot; only the tool asks for the key at the end. What
// the school does not name, or a slot 0 (the whole week), is left out.
TEST(PageVerdict, ARuleLineBeginsWithTheRulesGreekName) {
    const SmallSchoolData data;
    struct Case {
        Violation violation;
        RuleKeyShown key;
        std::string line;
    };
    const std::vector<Case> cases = {
        {{VerifyRule::kFiveInARow, 1, 2, 17, "5 ώρες συνεχόμενες"},
         RuleKeyShown::kNo,
         "πέντε ώρες στη σειρά: τμήμα Α1, διδάσκων ΓΕΩΡΓΙΟΥ, Τρίτη 4η ώρα (5 ώρες συνεχόμενες)"},
        {{VerifyRule::kFiveInARow, 1, 2, 17, "5 ώρες συνεχόμενες"},
         RuleKeyShown::kAtEnd,
         "πέντε ώρες στη σειρά: τμήμα Α1, διδάσκων ΓΕΩΡΓΙΟΥ, Τρίτη 4η ώρα (5 ώρες συνεχόμενες) "
         "[five_in_a_row]"},
        {{VerifyRule::kHours, 3, 1, 0, "3 ώρες τοποθετημένες"},
         RuleKeyShown::kAtEnd,
         "ώρες της εβδομάδας: τμήμα Γ1, διδάσκων ΠΑΠΑΔΟΠΟΥΛΟΣ (3 ώρες τοποθετημένες) [hours]"},
        {{VerifyRule::kPositions, 2, 0, 0, ""}, RuleKeyShown::kNo, "ώρες του τμήματος: τμήμα Β1"},
        {{VerifyRule::kPinned, 9, 9, 0, "λείπει"},
         RuleKeyShown::kAtEnd,
         "καρφωμένο μάθημα (λείπει) [pinned]"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ViolationLine(c.violation, data.inputs, c.key), c.line);
    }
}

}  // namespace
}  // namespace taktirio::testing
