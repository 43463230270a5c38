// The checks before a run and the teacher detailed view.
#include <functional>

#include "data/checks/presolve.h"
#include "data/checks/teacher_view.h"
#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/pairing_rules.h"
#include "data/entry/validation.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

class ChecksTest : public SchoolTest {
  public:
    int Id(const char* table, const char* id, const char* column, const QString& name) {
        return static_cast<int>(
            ScalarInt(session_.db,
                      QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                          .arg(QLatin1String(id), QLatin1String(table), QLatin1String(column)),
                      {name}));
    }
    int C(const char* name) { return Id("CLASSES", "CLASS_ID", "CLASS", U(name)); }
    int T(const char* name) { return Id("TEACHERS", "TEACHER_ID", "TEACHER", U(name)); }
    // Classes Α1, Α2, teachers Τ1, Τ2, Τ3 without lessons and fillers Φ1..Φ3.
    void Base() {
        InsertClass(session_, U("Α1"));
        InsertClass(session_, U("Α2"));
        for (const char* name : {"Τ1", "Τ2", "Τ3", "Φ1", "Φ2", "Φ3"}) {
            InsertTeacher(session_, U(name));
        }
    }
    // Gives a class `hours` weekly hours taught by the fillers.
    void Hours(const char* cls, int hours) {
        const int singles = std::min(hours, 15);
        const int doubles = std::min((hours - singles) / 2, 10);
        const int rest = hours - singles - 2 * doubles;
        InsertAllocation(session_, C(cls), T("Φ1"), singles, 0);
        if (doubles > 0) {
            InsertAllocation(session_, C(cls), T("Φ2"), 0, doubles);
        }
        if (rest > 0) {
            InsertAllocation(session_, C(cls), T("Φ3"), rest, 0);
        }
    }
};

TEST_F(ChecksTest, VerdictsOnSchoolsOfEveryKind) {
    struct Case {
        const char* name;
        std::function<void(ChecksTest&)> build;
        DataProblem expected;
    };
    const std::vector<Case> cases = {
        {"no classes", [](ChecksTest&) {}, DataProblem::kMessageA},
        {"a class without lessons",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 35);
         },
         DataProblem::kMessageB},
        {"two classes of 35 and 50",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 35);
             t.Hours("Α2", 50);
         },
         DataProblem::kNone},
        {"a class over 50 hours (rows written past the entry check)",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 35);
             t.Hours("Α2", 35);
             data::Run(t.session_.db,
                       QStringLiteral("UPDATE TEACHERS_OF_CLASS SET MONOWRA = MONOWRA + 16 "
                                      "WHERE CLASS_ID = ? AND TEACHER_ID = ?"),
                       {t.C("Α2"), t.T("Φ1")});
         },
         DataProblem::kMessageB},
        {"three pins against two single hours",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 33);
             t.Hours("Α2", 35);
             InsertAllocation(t.session_, t.C("Α1"), t.T("Τ3"), 2, 0);
             for (const char* hour : {"1", "2", "3"}) {
                 InsertPinned(t.session_, t.C("Α1"), t.T("Τ3"), U("Τρίτη"), U(hour));
             }
         },
         DataProblem::kMessageA},
        {"a pin without an allocation row",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 35);
             t.Hours("Α2", 35);
             InsertPinned(t.session_, t.C("Α1"), t.T("Τ3"), U("Τρίτη"), U("1"));
         },
         DataProblem::kMessageA},
        {"joint lesson with equal hours",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 33);
             t.Hours("Α2", 33);
             InsertAllocation(t.session_, t.C("Α1"), t.T("Τ3"), 2, 0);
             InsertAllocation(t.session_, t.C("Α2"), t.T("Τ3"), 2, 0);
             InsertJoint(t.session_, t.C("Α1"), t.T("Τ3"), t.C("Α2"));
         },
         DataProblem::kNone},
        {"joint lesson with different double hours",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 33);
             t.Hours("Α2", 31);
             InsertAllocation(t.session_, t.C("Α1"), t.T("Τ3"), 2, 0);
             InsertAllocation(t.session_, t.C("Α2"), t.T("Τ3"), 2, 1);
             InsertJoint(t.session_, t.C("Α1"), t.T("Τ3"), t.C("Α2"));
         },
         DataProblem::kMessageA},
        {"37 hours and two eighth-hour days",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 37);
             t.Hours("Α2", 35);
             InsertEighthHourDay(t.session_, U("Δευτέρα"));
             InsertEighthHourDay(t.session_, U("Πέμπτη"));
         },
         DataProblem::kNone},
        {"37 hours and one eighth-hour day",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 37);
             t.Hours("Α2", 35);
             InsertEighthHourDay(t.session_, U("Δευτέρα"));
         },
         DataProblem::kMessageA},
        {"37 hours and no eighth-hour day",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 37);
             t.Hours("Α2", 35);
         },
         DataProblem::kNone},
        {"40 hours and one eighth-hour day",
         [](ChecksTest& t) {
             t.Base();
             t.Hours("Α1", 40);
             t.Hours("Α2", 35);
             InsertEighthHourDay(t.session_, U("Δευτέρα"));
         },
         DataProblem::kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString& table :
             {QStringLiteral("CLASSES"), QStringLiteral("TEACHERS"), QStringLiteral("LAST_DAYS")}) {
            data::Run(session_.db, QStringLiteral("DELETE FROM %1").arg(table));
        }
        c.build(*this);
        EXPECT_EQ(CheckBeforeSolving(session_), c.expected);
    }
}

TEST_F(ChecksTest, MessagesAAndBDifferInOneWord) {
    const QString a = DataProblemMessage(DataProblem::kMessageA);
    const QString b = DataProblemMessage(DataProblem::kMessageB);
    EXPECT_TRUE(a.contains(U("2) Aκατάλληλη ή ελλειπής κατανομή")));
    EXPECT_TRUE(b.contains(U("2) Aκατάλληλη ή ελλιπής κατανομή")));
    EXPECT_TRUE(a.startsWith(U("Υπάρχει πρόβλημα με τα δεδομένα.\r\rΠιθανά προβλήματα\r\r")));
    EXPECT_TRUE(a.contains(U("μέρα && ώρα")));
    EXPECT_TRUE(DataProblemMessage(DataProblem::kNone).isEmpty());
}

TEST_F(ChecksTest, EightHourDaysAllowedOnlyFor36To39Hours) {
    Base();
    EXPECT_FALSE(EightHourDaysAllowed(session_));  // no rows
    for (const auto& [hours, allowed] :
         std::vector<std::pair<int, bool>>{{35, false}, {36, true}, {39, true}, {40, false}}) {
        data::Run(session_.db, QStringLiteral("DELETE FROM TEACHERS_OF_CLASS"));
        Hours("Α1", hours);
        EXPECT_EQ(EightHourDaysAllowed(session_), allowed) << hours;
    }
}

TEST_F(ChecksTest, TeacherDetailedViewSections) {
    Base();
    InsertPair(session_, U("Τ2"), U("Τ3"));
    const int t1 = T("Τ1");
    const int pair = T("Τ2+Τ3");
    EXPECT_EQ(ReadTeacherDetails(session_, t1)[0].result, U("0 Ώρες την εβδομάδα"));

    InsertAllocation(session_, C("Α1"), t1, 3, 2);
    InsertAllocation(session_, C("Α2"), t1, 4, 0);
    InsertPinned(session_, C("Α2"), t1, U("Δευτέρα"), U("1"));
    InsertAbsentDay(session_, t1, U("Τετάρτη"));
    InsertFreeHour(session_, t1, U("Πέμπτη"), U("6"));
    InsertJoint(session_, C("Α1"), t1, C("Α2"));
    InsertSplit(session_, C("Α1"), t1, T("Τ2"));
    InsertSplit(session_, C("Α2"), pair, t1);
    InsertApart(session_, t1, T("Τ2"));
    InsertApart(session_, pair, t1);

    const TeacherDetails d = ReadTeacherDetails(session_, t1);
    EXPECT_EQ(d[0].rows, (QList<QStringList>{{U("Α1"), U("3"), U("2"), U("7")},
                                             {U("Α2"), U("4"), U("0"), U("4")}}));
    EXPECT_EQ(d[0].result, U("11 Ώρες την εβδομάδα"));
    EXPECT_EQ(d[1].rows, (QList<QStringList>{{U("Α2"), U("Δευτέρα Ωρα 1")}}));
    EXPECT_EQ(d[2].rows, (QList<QStringList>{{U("Τετάρτη")}}));
    EXPECT_EQ(d[3].rows, (QList<QStringList>{{U("Πέμπτη Ωρα 6")}}));
    EXPECT_EQ(d[4].rows, (QList<QStringList>{{U("Α1"), U("Α2")}}));
    EXPECT_EQ(d[5].rows, (QList<QStringList>{{U("Α1"), U("Τ2")}, {U("Α2"), U("Τ2+Τ3")}}));
    EXPECT_EQ(d[6].rows, (QList<QStringList>{{U("Τ2")}, {U("Τ2+Τ3")}}));
    EXPECT_EQ(d[6].result, U("Συνολικός αριθμός=2"));
    EXPECT_EQ(ReadTeacherDetails(session_, pair)[6].rows, (QList<QStringList>{{U("Τ1")}}));
}

}  // namespace
}  // namespace taktirio::data::testing
