// Loading a prepared working copy into the solver's inputs and rule tables,
// and refusing, before any search, a copy that would put an index or a
// counter out of range.
#include <functional>

#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "data/prepare/requested_solutions.h"
#include "working_copy_support.h"

namespace taktirio::data::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::string>;

std::string Str(const char* text) {
    return text;
}

// Two class sections of 32 hours, three teachers and a pair (working ids:
// Τ1 1, Τ2 2, Τ3 3, Τ1+Τ2 4). Α1 has a lesson pinned beyond its 32 hour
// positions (Friday hour 7, slot 35), Α2 one within them (slot 20).
class LoaderTest : public WorkingCopyTest {
  public:
    void Build() {
        Classes({"Α1", "Α2"});
        Teachers({"Τ1", "Τ2", "Τ3"});
        Pair("Τ1", "Τ2");
        Allocate("Α1", "Τ1", 15);
        Allocate("Α1", "Τ2", 11, 2);
        Allocate("Α1", "Τ3", 2);
        Allocate("Α2", "Τ1+Τ2", 2);
        Allocate("Α2", "Τ3", 15);
        Allocate("Α2", "Τ1", 15);
        InsertPinned(session_, C("Α1"), T("Τ1"), U("Παρασκευή"), U("7"));
        InsertPinned(session_, C("Α2"), T("Τ3"), U("Παρασκευή"), U("4"));
        InsertAbsentDay(session_, T("Τ3"), U("Δευτέρα"));
        InsertAbsentDay(session_, T("Τ3"), U("Τετάρτη"));
        InsertFreeHour(session_, T("Τ1"), U("Τρίτη"), U("3"));
        StoreRequestedSolutions(session_, 3);
    }
};

TEST_F(LoaderTest, LoadsEveryInputAndRuleOfAPreparedSchool) {
    Build();
    Prepare();
    const LoadedProblem p = Load();
    const SolverInputs& in = p.inputs;
    EXPECT_EQ(in.number_of_classes, 2);
    EXPECT_EQ(in.number_of_teachers, 4);
    EXPECT_EQ(in.class_names, (Names{"", Str("Α1"), Str("Α2")}));
    EXPECT_EQ(in.teacher_names, (Names{"", Str("Τ1"), Str("Τ2"), Str("Τ3"), Str("Τ1+Τ2")}));
    EXPECT_EQ(in.class_week_hours, (Bytes{0, 32, 32}));
    EXPECT_EQ(in.class_hours, (Bytes{0, 31, 32}));  // slot 35 lies beyond Α1's positions
    EXPECT_EQ(in.class_teacher_count, (Bytes{0, 3, 3}));
    EXPECT_EQ(Bytes(in.class_teachers.row(1), in.class_teachers.row(1) + 5),
              (Bytes{0, 1, 2, 3, 0}));
    EXPECT_EQ(Bytes(in.class_teachers.row(2), in.class_teachers.row(2) + 5),
              (Bytes{0, 1, 3, 4, 0}));
    EXPECT_EQ(in.teacher_class_hours(1, 1), 14);
    EXPECT_EQ(p.rules.teacher_class_hours_all(1, 1), 15);
    EXPECT_EQ(in.teacher_class_hours(3, 2), 14);
    EXPECT_EQ(p.rules.teacher_class_hours_all(3, 2), 15);
    EXPECT_EQ(in.teacher_class_hours(2, 1), 15);
    EXPECT_EQ(in.teacher_class_hours(4, 2), 2);
    EXPECT_EQ(in.teacher_class_hours(4, 1), 0);
    EXPECT_EQ(in.pinned_lessons(1, 35), 1);
    EXPECT_EQ(in.pinned_lessons(2, 20), 3);
    EXPECT_EQ(in.two_hour_lessons(1, 2), 2);
    EXPECT_EQ(in.two_hour_lessons(1, 1), 0);

    // Τ3's two absent days (twenty slots) and Τ1's free hour, also the pair's.
    EXPECT_EQ(p.rules.DeniedSlots().size(), 22u);
    EXPECT_TRUE(std::ranges::equal(p.rules.AbsentDaysOfTeachers(),
                                   std::vector<AbsentDays>{{.teacher = 3, .days = 2}}));
    // Which refused slots are absent days: every slot of Τ3's Monday and
    // Wednesday; Τ1's free hour (Tuesday 3rd, slot 12) and the pair's are not.
    ASSERT_TRUE(p.denied_slots.known());
    int absent_slots = 0;
    for (int t = 1; t <= 4; ++t) {
        for (int s = 1; s <= kSlots; ++s) {
            const bool absent = p.denied_slots.OnAbsentDay(t, s);
            absent_slots += absent ? 1 : 0;
            EXPECT_EQ(absent, t == 3 && (DayOfSlot(s) == 1 || DayOfSlot(s) == 3))
                << "teacher " << t << " slot " << s;
        }
    }
    EXPECT_EQ(absent_slots, 20);
    EXPECT_FALSE(p.denied_slots.OnAbsentDay(1, 12));
    // The pair against each member.
    EXPECT_TRUE(
        std::ranges::equal(p.rules.SameHourPairs(), std::vector<SameHourPair>{{4, 1}, {4, 2}}));
    EXPECT_TRUE(p.rules.JointLessons().empty());
    EXPECT_TRUE(p.rules.Splits().empty());
    EXPECT_FALSE(p.rules.HasEighthHours());

    EXPECT_EQ(p.page_info.school_name, Str("2ο Γυμνάσιο Πάτρας"));
    EXPECT_EQ(p.page_info.user_name, session_.school.toStdString());
    EXPECT_EQ(p.page_info.max_class_week_hours, 32);
    ASSERT_EQ(p.page_info.single_teacher_count, 3);  // not the pair
    EXPECT_EQ(p.page_info.single_teachers[3].teacher_number, 3);
    EXPECT_EQ(p.page_info.single_teachers[3].teacher_name, Str("Τ3"));
    EXPECT_EQ(p.page_info.deny_hours_count, 2);
    EXPECT_EQ(p.page_info.deny_hours, (Bytes{0, 0, 1, 12, 4, 12}));
    EXPECT_EQ(p.solutions_requested, 3);

    RunContext context;
    context.rules = p.rules;
    EXPECT_NO_THROW(PrepareSearch(in, context));
}

TEST_F(LoaderTest, ALoadAfterThePinsAreGoneStartsFromZeroedArrays) {
    Build();
    Prepare();
    ASSERT_EQ(Load().inputs.pinned_lessons(1, 35), 1);
    data::Run(session_.db, U("DELETE FROM KARFWTOI"));
    Prepare();
    const LoadedProblem p = Load();
    EXPECT_EQ(p.inputs.pinned_lessons, ByteMatrix(3, kSlotColumns));
    EXPECT_EQ(p.inputs.class_hours, p.inputs.class_week_hours);
    EXPECT_EQ(p.inputs.teacher_class_hours, p.rules.teacher_class_hours_all);
}

TEST_F(LoaderTest, ReportsEachOfItsSeventeenSteps) {
    Build();
    Prepare();
    std::vector<std::pair<int, int>> steps;
    LoadProblem(W(), session_.school,
                [&steps](int step, int total) { steps.emplace_back(step, total); });
    ASSERT_EQ(steps.size(), 17u);
    for (int k = 0; k < 17; ++k) {
        EXPECT_EQ(steps[static_cast<std::size_t>(k)], std::make_pair(k + 1, kLoadingSteps));
    }
}

TEST_F(LoaderTest, RefusesACopyThatWouldLeaveARangeBeforeAnySearch) {
    Build();
    const struct {
        const char* name;
        std::function<void(const QSqlDatabase& w, const QString& school)> corrupt;
        const char* detail;
    } cases[] = {
        {"no working copy",
         [](const QSqlDatabase& w, const QString&) {
             data::Run(w, QStringLiteral("DELETE FROM SCHOOLS"));
         },
         "no working copy"},
        {"256 class sections",
         [](const QSqlDatabase& w, const QString& school) {
             for (int c = 3; c <= 256; ++c) {
                 Force(w, "INSERT INTO CLASSES(CLASS_ID, CLASS, SCHOOL_USERNAME) VALUES(?, ?, ?)",
                       {c, QStringLiteral("Κ%1").arg(c), school});
             }
         },
         "CLASSES: 256 rows, limit 255"},
        {"class identifiers with a gap",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE CLASSES SET CLASS_ID = 7 WHERE CLASS_ID = 2");
         },
         "CLASSES: id 7 at 2"},
        {"a class section without allocation rows",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "DELETE FROM TEACHERS_OF_CLASS WHERE CLASS_ID = 2");
         },
         "class 2 without allocation rows"},
        {"a class section above 50 hours",
         [](const QSqlDatabase& w, const QString&) {
             Force(w,
                   "UPDATE TEACHERS_OF_CLASS SET HOURS = 40 WHERE CLASS_ID = 1 AND TEACHER_ID = 1");
         },
         "class 1: 57 weekly hours"},
        {"an allocation row without hours",
         [](const QSqlDatabase& w, const QString&) {
             Force(
                 w,
                 "UPDATE TEACHERS_OF_CLASS SET HOURS = NULL WHERE CLASS_ID = 1 AND TEACHER_ID = 3");
         },
         "TEACHERS_OF_CLASS: not a number"},
        {"a pinned slot above 50",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE KARFWTOI SET [HOUR] = 51 WHERE CLASS_ID = 1");
         },
         "KARFWTOI: slot 51 outside 1..50"},
        {"a pinned lesson of a teacher without hours there",
         [](const QSqlDatabase& w, const QString& school) {
             Force(w,
                   "INSERT INTO KARFWTOI(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, DISPLAY_DAY_HOUR, "
                   "[HOUR]) VALUES(?, 1, 4, 'x', 7)",
                   {school});
         },
         "teacher 4 class 1: more pinned lessons than hours"},
        {"two lessons pinned at one slot",
         [](const QSqlDatabase& w, const QString& school) {
             Force(w,
                   "INSERT INTO KARFWTOI(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, DISPLAY_DAY_HOUR, "
                   "[HOUR]) VALUES(?, 1, 3, 'y', 35)",
                   {school});
         },
         "class 1: two pinned lessons at 35"},
        {"two-hour lessons beyond a byte",
         [](const QSqlDatabase& w, const QString&) {
             Force(
                 w,
                 "UPDATE TEACHERS_OF_CLASS SET DYOWRA = 300 WHERE CLASS_ID = 1 AND TEACHER_ID = 2");
         },
         "teacher 2 class 1: 300 doubles"},
        {"a free hour at slot 0",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE DENY_TEACHERS_HOURS SET WRA = 0");
         },
         "GENERAL_DENY_DAYS_OR_HOURS: slot 0 outside 1..50"},
        {"an apart row naming teacher 9 of 4",
         [](const QSqlDatabase& w, const QString&) {
             Force(w,
                   "UPDATE TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR SET SECOND_TEACHER_ID = 9 "
                   "WHERE SECOND_TEACHER_ID = 2");
         },
         "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR: teacher 9 outside 1..4"},
        {"six absent days",
         [](const QSqlDatabase& w, const QString& school) {
             for (const char* day : {"Α", "Β", "Γ", "Δ"}) {
                 Force(w,
                       "INSERT INTO DENY_TEACHERS_DAYS(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY, "
                       "WRA) VALUES(?, 3, ?, 1)",
                       {school, U(day)});
             }
         },
         "teacher 3: 6 absent days"},
        {"an eighth hour at slot 41",
         [](const QSqlDatabase& w, const QString& school) {
             Force(w, "INSERT INTO LAST_DAYS(SCHOOL_USERNAME, DISPLAY_DAY) VALUES(?, '41')",
                   {school});
         },
         "LAST_DAYS: slot 41"},
        // Names the import refuses, put into the database by hand: their
        // pages could not be read back.
        {"a class name of 51 characters",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE CLASSES SET CLASS = ? WHERE CLASS_ID = 2", {QString(51, u'Κ')});
         },
         "class name (51 characters)"},
        {"a class name of a million characters",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE CLASSES SET CLASS = ? WHERE CLASS_ID = 1", {QString(1000001, u'Κ')});
         },
         "class name (1000001 characters)"},
        {"< in a class name",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE CLASSES SET CLASS = ? WHERE CLASS_ID = 1", {U("Α<1")});
         },
         "class name (3 characters)"},
        {"the prints' common free hour as a class name",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE CLASSES SET CLASS = 'K.KENH' WHERE CLASS_ID = 1");
         },
         "class name (6 characters)"},
        {"a teacher name ending in a blank",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE TEACHERS SET TEACHER = ? WHERE TEACHER_ID = 3", {U("Τ3 ")});
         },
         "teacher name (3 characters)"},
        {"a pair with a quote",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE TEACHERS SET TEACHER = ? WHERE TEACHER_ID = 4", {U("Τ1+Τ'2")});
         },
         "pair name (6 characters)"},
        {"< in the school's name",
         [](const QSqlDatabase& w, const QString&) {
             Force(w, "UPDATE SCHOOLS SET SCHOOL_NAME = ?", {U("Γυμνάσιο <Α>")});
         },
         "school name (12 characters)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Prepare();
        c.corrupt(W(), session_.school);
        try {
            Load();
            ADD_FAILURE() << "loaded";
        } catch (const ProblemLoadError& error) {
            EXPECT_NE(std::string(error.what()).find(c.detail), std::string::npos) << error.what();
            EXPECT_TRUE(error.message().startsWith(U(kContradictoryDataMessage) + u'\r'));
        }
    }
}

}  // namespace
}  // namespace taktirio::data::testing
