// The names the door accepts are the names the solution pages give back:
// every character a name may hold goes through the page writer and every
// reader unchanged, and the characters the readers cannot carry are refused.
#include <gtest/gtest.h>

#include <QString>
#include <set>
#include <string>
#include <vector>

#include "core/pages/solution_page_reader.h"
#include "core/pages/solution_page_writer.h"
#include "core/solver/byte_matrix.h"
#include "core/text/cp1253.h"
#include "data/entry/validation.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

struct Names {
    std::string school;
    std::string class_section;
    std::string teacher;
};

// What every reader gives back of a page.
struct Readback : PageSink {
    void Row(const PageRow& row) override { rows.push_back(row); }
    void Header(const SchoolHeader& header) override { school = header.school_name; }
    void CommonFreeHour(const std::string& name, int /*column*/) override {
        grey_rows.push_back(name);
    }
    void SummaryNames(const std::vector<std::string>& names) override { summary = names; }

    std::vector<PageRow> rows;
    std::string school;
    std::vector<std::string> grey_rows;
    std::vector<std::string> summary;
};

// One class section of five hours, all with the one teacher, who has a free
// hour shown grey at slot 6.
std::string PageOf(const Names& names) {
    static const std::vector<std::uint8_t> kWeekHours{0, 5};
    ByteMatrix timetable(2, 51);
    for (std::size_t s = 1; s <= 5; ++s) {
        timetable(1, s) = 1;
    }
    const std::vector<std::string> classes{"", names.class_section};
    const std::vector<std::string> teachers{"", names.teacher};
    SolutionPageInfo info;
    info.school_name = names.school;
    info.max_class_week_hours = 5;
    info.AddSingleTeacher(1, names.teacher);
    info.AddDenyHour(1, 6);
    SolutionPageContent content;
    content.number_of_classes = 1;
    content.number_of_teachers = 1;
    content.class_week_hours = kWeekHours;
    content.timetable = &timetable;
    content.class_names = classes;
    content.teacher_names = teachers;
    content.solution_time_text = "0:0:0:1";
    content.year = 2025;
    return RenderSolutionPage(info, content);
}

// Reads the page with every reader and checks each name it gives back.
void ExpectNamesBack(const Names& names) {
    SolutionPageReader reader("page.htm", PageOf(names));
    Readback classes;
    reader.ReadClassTables(classes);
    ASSERT_EQ(classes.rows.size(), 1u);
    EXPECT_EQ(classes.rows[0].table_name, "ΤΜΗΜΑ: " + names.class_section);
    EXPECT_EQ(classes.rows[0].cells[1], names.teacher);

    Readback teachers;
    reader.ReadTeacherTables(teachers);
    ASSERT_EQ(teachers.rows.size(), 1u);
    EXPECT_EQ(teachers.rows[0].table_name, "ΚΑΘΗΓΗΤΗΣ: " + names.teacher);
    EXPECT_EQ(teachers.rows[0].cells[5], names.class_section);

    Readback summary;
    reader.ReadSummaryTables(summary);
    ASSERT_EQ(summary.rows.size(), 1u);
    EXPECT_EQ(summary.rows[0].table_name, names.class_section);
    EXPECT_EQ(summary.summary, (std::vector<std::string>{"", names.teacher}));

    Readback plan;
    reader.ReadSchoolHeader(plan);
    reader.ReadGeneralPlanTeachers(plan);
    reader.MarkCommonFreeHours(plan);
    EXPECT_EQ(plan.school, names.school);
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_EQ(plan.rows[0].table_name, names.teacher);
    EXPECT_EQ(plan.grey_rows, std::vector<std::string>{names.teacher});
}

TEST(PageNames, EveryCharacterANameMayHoldComesBackFromEveryReader) {
    std::set<std::string> refused;
    for (int byte = 0x20; byte <= 0xFF; ++byte) {
        std::string character;
        try {
            character = Cp1253ToUtf8(std::string(1, static_cast<char>(byte)));
        } catch (const EncodingError&) {
            continue;  // a byte windows-1253 leaves undefined
        }
        const QString c = QString::fromStdString(character);
        if (!is_valid_input(c)) {
            refused.insert(character);
            continue;
        }
        SCOPED_TRACE("character " + character);
        const Names names{"Σχολείο " + character + "Α", "Α" + character + "1",
                          "ΚΩ" + (c == u'+' ? std::string("-") : character) + "Δ"};
        EXPECT_TRUE(IsAcceptableSchoolName(QString::fromStdString(names.school)));
        EXPECT_TRUE(IsAcceptableClassName(QString::fromStdString(names.class_section)));
        EXPECT_TRUE(IsAcceptableTeacherName(QString::fromStdString(names.teacher)));
        ExpectNamesBack(names);
    }
    // The four the windows always refused, the page's own "<", and DEL, a
    // control character.
    EXPECT_EQ(refused, (std::set<std::string>{"!", "\"", "%", "'", "<", "\x7F"}));
}

TEST(PageNames, APageMarkIsNoClassSectionAndAPlusMakesNoSingleTeacher) {
    EXPECT_FALSE(IsAcceptableClassName(QStringLiteral("K.KENH")));
    EXPECT_TRUE(IsAcceptableClassName(QStringLiteral("K.KENH1")));
    EXPECT_TRUE(IsAcceptableTeacherName(QStringLiteral("K.KENH")));
    EXPECT_FALSE(IsAcceptableTeacherName(U("Α+Β")));
    EXPECT_TRUE(IsAcceptablePairName(U("Α+Β")));
    EXPECT_FALSE(IsAcceptablePairName(U("Α+Β<")));
    EXPECT_FALSE(IsAcceptablePairName(U("Α+")));
    EXPECT_FALSE(IsAcceptableClassName(U(" Α1")));  // stored names are trimmed
}

}  // namespace
}  // namespace taktirio::data::testing
