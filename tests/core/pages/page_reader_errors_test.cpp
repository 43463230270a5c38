// Pages that are cut short, altered, oversized or no solution pages at all:
// every reading ends with a PageReadError naming the file and the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "core/pages/page_errors.h"
#include "core/pages/page_fixtures.h"
#include "core/pages/solution_page_reader.h"
#include "core/text/cp1253.h"

namespace taktirio {
namespace {

using testing::FixturePath;
using testing::JoinLines;
using testing::ReadBytes;
using testing::Reading;
using testing::ReadPage;
using testing::SplitLines;

constexpr Reading kReadings[] = {Reading::kClasses, Reading::kTeachers, Reading::kSummary,
                                 Reading::kPlan};

std::vector<std::string> GoldenLines() {
    return SplitLines(ReadBytes(FixturePath("small_school.htm")));
}

std::string Cp(const std::string& utf8) {
    return Utf8ToCp1253(utf8);
}

// 1-based number of the n-th line equal to `text` (windows-1253 of it).
std::size_t LineOf(const std::vector<std::string>& lines, const std::string& text, int n = 1) {
    const std::string bytes = Cp(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == bytes && --n == 0) {
            return i + 1;
        }
    }
    ADD_FAILURE() << "no line " << text;
    return 0;
}

// The line of the PageReadError a reading of `bytes` ends with; 0 when it succeeds.
std::size_t ErrorLine(const std::string& bytes, Reading reading, std::string* message = nullptr) {
    SolutionPageReader reader("page.htm", bytes);
    try {
        ReadPage(reader, reading);
        return 0;
    } catch (const PageReadError& e) {
        EXPECT_EQ(e.path(), "page.htm");
        EXPECT_NE(std::string(e.what()).find("page.htm, line " + std::to_string(e.line())),
                  std::string::npos);
        if (message != nullptr) {
            *message = e.what();
        }
        return e.line();
    }
}

TEST(PageReaderErrors, PageCutAfterAnyLineFailsAtItsEndUnlessTheReadingIsComplete) {
    const auto lines = GoldenLines();
    const std::size_t class_end = LineOf(lines, "<p>&nbsp;</p>", 4);
    const std::size_t body_end = LineOf(lines, "</body>");
    for (std::size_t n = 0; n <= lines.size(); ++n) {
        const std::string cut = JoinLines({lines.begin(), lines.begin() + static_cast<long>(n)});
        for (const Reading reading : kReadings) {
            const bool classes = reading == Reading::kClasses || reading == Reading::kSummary;
            const bool complete = n >= (classes ? class_end : body_end);
            EXPECT_EQ(ErrorLine(cut, reading), complete ? 0 : n + 1)
                << "cut after line " << n << ", reading " << static_cast<int>(reading);
        }
    }
}

TEST(PageReaderErrors, PageCutInsideALineNeverReadsBeyondIt) {
    const std::string page = ReadBytes(FixturePath("small_school.htm"));
    for (std::size_t size = 0; size < page.size(); size += 37) {
        const std::string cut = page.substr(0, size);
        for (const Reading reading : kReadings) {
            SolutionPageReader reader("cut.htm", cut);
            try {
                ReadPage(reader, reading);
            } catch (const PageReadError&) {
            }
        }
    }
}

TEST(PageReaderErrors, AlteredLineIsNamedWithTheReason) {
    struct Case {
        const char* what;
        std::string line;  // UTF-8 text of the line to alter
        int occurrence;
        std::string replacement;
        Reading reading;
        std::string reason;
    };
    const Case cases[] = {
        {"class cell without <", "<td nowrap><strong>ΓΕΩΡΓΙΟΥ</strong></td>", 2,
         "<td nowrap><strong>ΓΕΩΡΓΙΟΥ", Reading::kSummary, "after column 20"},
        {"teacher cell without <", "<td nowrap><div align='center'><strong>Α1</strong></td>", 1,
         "<td nowrap><div align='center'><strong>Α1", Reading::kTeachers, "after column 40"},
        {"class header without <", "<p><strong>ΤΜΗΜΑ: <u>Β1</u></strong></p>", 1,
         "<p><strong>ΤΜΗΜΑ: <u>Β1", Reading::kClasses, "after column 22"},
        {"short class header", "<p><strong>ΤΜΗΜΑ: <u>Β1</u></strong></p>", 1, "<p><strong>ΤΜ",
         Reading::kClasses, "after column 12"},
        {"school name without <", "<font size='3'>2ο ΓΥΜΝΑΣΙΟ ΠΑΤΡΩΝ</font></b></td>", 1,
         "<font size='3'>2ο ΓΥΜΝΑΣΙΟ", Reading::kPlan, "after column 16"},
        {"plan name without <", "<td nowrap><strong>ΝΙΚΟΛΑΟΥ</strong></td>", 1,
         "<td nowrap><strong>ΝΙΚΟΛΑΟΥ", Reading::kPlan, "after column 20"},
        {"byte undefined in windows-1253", "<td nowrap><strong>ΓΕΩΡΓΙΟΥ</strong></td>", 3,
         "<td nowrap><strong>\xFF</strong></td>", Reading::kClasses, "undefined"},
        {"row end replaced by </body>", "</tr>", 16, "</body>", Reading::kTeachers,
         "expected </tr>"},
        {"a cell line of another form", "<td nowrap>&nbsp;</td>", 20, "<td>?</td>",
         Reading::kTeachers, "expected a cell"},
        {"not a timetable header", "<p><strong>ΤΜΗΜΑ: <u>Γ1</u></strong></p>", 1, "<p>Γ1</p>",
         Reading::kClasses, "expected the header line"},
        {"another kind of page",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=windows-1253\">",
         1, "<meta charset=\"utf-8\">", Reading::kClasses, "not a solution page"},
    };
    for (const Case& c : cases) {
        auto lines = GoldenLines();
        const std::size_t at = LineOf(lines, c.line, c.occurrence);
        ASSERT_GT(at, 0u) << c.what;
        // The replacement may hold raw bytes on purpose; convert only valid UTF-8.
        lines[at - 1] = FitsCp1253(c.replacement) ? Cp(c.replacement) : c.replacement;
        std::string message;
        EXPECT_EQ(ErrorLine(JoinLines(lines), c.reading, &message), at) << c.what;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
    }
}

TEST(PageReaderErrors, WhatIsNoSolutionPageIsRefusedByEveryReader) {
    const std::string not_pages[] = {
        "",
        "<html><body><p>hello</p></body></html>\r\n",
        std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
        "<p>&nbsp;</p>\r\n<p>&nbsp;</p>\r\n<p>&nbsp;</p>\r\n<p>&nbsp;</p>\r\n<tr>\r\n",
    };
    for (const std::string& bytes : not_pages) {
        for (const Reading reading : kReadings) {
            EXPECT_NE(ErrorLine(bytes, reading), 0u) << static_cast<int>(reading);
        }
    }
}

TEST(PageReaderErrors, FileThatCannotBeOpenedIsLineZero) {
    try {
        SolutionPageReader::Open("/nonexistent/SOLUTION1.htm");
        FAIL() << "opened a missing file";
    } catch (const PageReadError& e) {
        EXPECT_EQ(e.line(), 0u);
        EXPECT_EQ(e.path(), "/nonexistent/SOLUTION1.htm");
    }
}

// The golden page with its teacher tables replaced by `count` copies of
// ΝΙΚΟΛΑΟΥ's table, each under a name of its own.
std::string PageWithTeachers(int count) {
    const auto lines = GoldenLines();
    const std::size_t first =
        LineOf(lines, "<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>ΠΑΠΑΔΟΠΟΥΛΟΣ</u></strong></p>");
    const std::size_t empty = LineOf(lines, "<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>ΝΙΚΟΛΑΟΥ</u></strong></p>");
    const std::size_t body = LineOf(lines, "</body>");
    std::vector<std::string> page(lines.begin(), lines.begin() + static_cast<long>(first) - 1);
    for (int t = 1; t <= count; ++t) {
        page.push_back(Cp("<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>Τ" + std::to_string(t) + "</u></strong></p>"));
        page.insert(page.end(), lines.begin() + static_cast<long>(empty),
                    lines.begin() + static_cast<long>(body) - 1);
    }
    page.insert(page.end(), lines.begin() + static_cast<long>(body) - 1, lines.end());
    return JoinLines(page);
}

TEST(PageReaderErrors, MoreThan255TeachersStopTheReading) {
    SolutionPageReader reader("t255.htm", PageWithTeachers(255));
    const auto sink = ReadPage(reader, Reading::kPlan);
    ASSERT_EQ(sink.rows.size(), 255u);
    EXPECT_EQ(sink.rows.back().ordinal, 255);
    EXPECT_EQ(sink.rows.back().table_name, "Τ255");

    std::string message;
    EXPECT_NE(ErrorLine(PageWithTeachers(256), Reading::kPlan, &message), 0u);
    EXPECT_NE(message.find("more than 255 teachers"), std::string::npos) << message;
}

// A page whose class section holds `tables` timetables of `rows` hour rows,
// every cell naming a different teacher.
std::string PageWithClasses(int tables, int rows) {
    const auto lines = GoldenLines();
    const std::size_t third = LineOf(lines, "<p>&nbsp;</p>", 3);
    const std::size_t fourth = LineOf(lines, "<p>&nbsp;</p>", 4);
    const std::size_t head = LineOf(lines, "<p><strong>ΤΜΗΜΑ: <u>Α1</u></strong></p>") + 1;
    std::vector<std::string> page(lines.begin(), lines.begin() + static_cast<long>(third));
    int name = 0;
    for (int t = 1; t <= tables; ++t) {
        page.push_back(Cp("<p><strong>ΤΜΗΜΑ: <u>Τ" + std::to_string(t) + "</u></strong></p>"));
        page.insert(page.end(), lines.begin() + static_cast<long>(head) - 1,
                    lines.begin() + static_cast<long>(head) + 15);
        for (int r = 1; r <= rows; ++r) {
            page.push_back("<tr>");
            page.push_back("<td nowrap bgcolor='#CCCCCC'>");
            page.push_back("<div align='center'><strong>" + std::to_string(r) +
                           "</strong></div></td>");
            for (int d = 1; d <= 5; ++d) {
                page.push_back("<td nowrap><strong>N" + std::to_string(++name) + "</strong></td>");
            }
            page.push_back("</tr>");
        }
        page.push_back("</table>");
    }
    page.insert(page.end(), lines.begin() + static_cast<long>(fourth) - 1, lines.end());
    return JoinLines(page);
}

TEST(PageReaderErrors, MoreThan1000NamesStopTheSummary) {
    SolutionPageReader reader("n1000.htm", PageWithClasses(20, 10));
    const auto sink = ReadPage(reader, Reading::kSummary);
    ASSERT_EQ(sink.names.size(), 1001u);
    EXPECT_EQ(sink.names[1000], "N1000");
    EXPECT_EQ(sink.rows.back().cells[50], "1000");

    std::string message;
    EXPECT_NE(ErrorLine(PageWithClasses(21, 10), Reading::kSummary, &message), 0u);
    EXPECT_NE(message.find("more than 1000"), std::string::npos) << message;
    // The class reader has no names list: the same page reads whole.
    EXPECT_EQ(ErrorLine(PageWithClasses(21, 10), Reading::kClasses), 0u);
}

TEST(PageReaderErrors, TimetableOfMoreThanTenRowsIsRefused) {
    std::string message;
    EXPECT_EQ(ErrorLine(PageWithClasses(1, 10), Reading::kClasses), 0u);
    EXPECT_NE(ErrorLine(PageWithClasses(1, 11), Reading::kClasses, &message), 0u);
    EXPECT_NE(message.find("more than 10 hour rows"), std::string::npos) << message;
}

// The explanation of a reading of `bytes` that fails; empty when it succeeds.
std::string Explanation(const std::string& bytes, Reading reading, std::size_t* line) {
    SolutionPageReader reader("page.htm", bytes);
    try {
        ReadPage(reader, reading);
        *line = 0;
        return {};
    } catch (const PageReadError& e) {
        *line = e.line();
        return e.explanation();
    }
}

// Every name a page holds is at most as long as any way in lets it be: one
// longer was not written by the program and is refused at its line, before
// it is taken (a name of megabytes made every print of it take minutes).
TEST(PageReaderErrors, NamesLongerThanAnyWayInAllowsAreRefusedAtTheirLine) {
    struct Case {
        const char* what;
        std::string line;  // UTF-8 text of the line to alter
        int occurrence;
        std::string before;  // the altered line: before + name + after
        std::string after;
        std::vector<Reading> readings;
        int most;
    };
    const Case cases[] = {
        {"school name",
         "<font size='3'>2ο ΓΥΜΝΑΣΙΟ ΠΑΤΡΩΝ</font></b></td>",
         1,
         "<font size='3'>",
         "</font></b></td>",
         {Reading::kPlan},
         100},
        {"class section",
         "<p><strong>ΤΜΗΜΑ: <u>Α1</u></strong></p>",
         1,
         "<p><strong>ΤΜΗΜΑ: <u>",
         "</u></strong></p>",
         {Reading::kClasses, Reading::kSummary},
         50},
        {"teacher",
         "<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>ΠΑΠΑΔΟΠΟΥΛΟΣ</u></strong></p>",
         1,
         "<p><strong>ΚΑΘΗΓΗΤΗΣ: <u>",
         "</u></strong></p>",
         {Reading::kTeachers, Reading::kPlan},
         50},
        {"teacher in a class's cell",
         "<td nowrap><strong>ΓΕΩΡΓΙΟΥ</strong></td>",
         2,
         "<td nowrap><strong>",
         "</strong></td>",
         {Reading::kClasses, Reading::kSummary},
         101},
        {"pair in the general plan",
         "<td nowrap><strong>ΠΑΠΑΔΟΠΟΥΛΟΣ + ΓΕΩΡΓΙΟΥ</strong></td>",
         1,
         "<td nowrap><strong>",
         "</strong></td>",
         {Reading::kPlan},
         101},
        {"class sections in a teacher's cell",
         "<td nowrap><div align='center'><strong>Α1</strong></td>",
         1,
         "<td nowrap><div align='center'><strong>",
         "</strong></td>",
         {Reading::kTeachers, Reading::kPlan},
         101},
    };
    for (const Case& c : cases) {
        for (const std::size_t length :
             {static_cast<std::size_t>(c.most), static_cast<std::size_t>(c.most) + 1,
              std::size_t{1000000}}) {
            auto lines = GoldenLines();
            const std::size_t at = LineOf(lines, c.line, c.occurrence);
            ASSERT_GT(at, 0u) << c.what;
            lines[at - 1] = Cp(c.before) + std::string(length, 'N') + Cp(c.after);
            for (const Reading reading : c.readings) {
                std::size_t line = 0;
                const std::string explanation = Explanation(JoinLines(lines), reading, &line);
                if (length <= static_cast<std::size_t>(c.most)) {
                    EXPECT_EQ(line, 0u) << c.what << " of " << length << ": " << explanation;
                    continue;
                }
                EXPECT_EQ(line, at) << c.what << " of " << length;
                EXPECT_NE(explanation.find(std::to_string(length) + " χαρακτήρες"),
                          std::string::npos)
                    << explanation;
                EXPECT_NE(explanation.find("έως " + std::to_string(c.most)), std::string::npos)
                    << explanation;
            }
        }
    }
}

// What the user reads of a page that cannot be read is Greek, with the line:
// the system's causes and the readers' reasons alike.
TEST(PageReaderErrors, TheExplanationOfEveryFailureIsGreek) {
    const auto lines = GoldenLines();
    auto altered = lines;
    altered[LineOf(lines, "</tr>", 16) - 1] = "</body>";
    auto bad_byte = lines;
    bad_byte[LineOf(lines, "<td nowrap><strong>ΓΕΩΡΓΙΟΥ</strong></td>", 2) - 1] =
        "<td nowrap><strong>\xFF</strong></td>";
    const std::string page = JoinLines(lines);
    struct Case {
        const char* what;
        std::string bytes;
        Reading reading;
        const char* greek;
    };
    const Case cases[] = {
        {"another kind of file", "<html><body></body></html>\r\n", Reading::kClasses,
         "δεν είναι σελίδα λύσης"},
        {"cut short", page.substr(0, page.size() / 2), Reading::kTeachers, "είναι κομμένη"},
        {"altered line", JoinLines(altered), Reading::kTeachers, "δεν έχει τη μορφή"},
        {"byte outside windows-1253", JoinLines(bad_byte), Reading::kClasses,
         "δεν υπάρχει στην κωδικοσελίδα"},
        {"too many teachers", PageWithTeachers(256), Reading::kPlan, "περισσότεροι από 255"},
        {"too many hour rows", PageWithClasses(1, 11), Reading::kClasses,
         "περισσότερες από 10 ώρες"},
    };
    const auto english = [](const std::string& text) {
        static const std::regex kWord("[A-Za-z]{3,}");
        std::string rest = text;
        for (const char* allowed : {"windows", "MiB"}) {
            for (std::size_t at = rest.find(allowed); at != std::string::npos;
                 at = rest.find(allowed)) {
                rest.erase(at, std::string(allowed).size());
            }
        }
        return std::regex_search(rest, kWord);
    };
    for (const Case& c : cases) {
        SolutionPageReader reader("page.htm", c.bytes);
        try {
            ReadPage(reader, c.reading);
            ADD_FAILURE() << c.what << " was read";
        } catch (const PageReadError& e) {
            const std::string text = PageReadErrorText(e);
            EXPECT_EQ(text.rfind("Γραμμή " + std::to_string(e.line()) + ": ", 0), 0u) << text;
            EXPECT_NE(text.find(c.greek), std::string::npos) << c.what << ": " << text;
            EXPECT_FALSE(english(text)) << c.what << ": " << text;
        }
    }
    try {
        SolutionPageReader::Open("/nonexistent/SOLUTION1.htm");
        ADD_FAILURE() << "opened a missing file";
    } catch (const PageReadError& e) {
        const std::string text = PageReadErrorText(e);
        EXPECT_NE(text.find("δεν υπάρχει τέτοιο αρχείο"), std::string::npos) << text;
        EXPECT_FALSE(english(text)) << text;
    }
}

}  // namespace
}  // namespace taktirio
