// Who can stand in at an hour: the free teachers of a plan, less those whose
// absent day it is in the school's entry data.
#include <gtest/gtest.h>

#include "core/solver/slots.h"
#include "data/reports/work_tables.h"
#include "working_copy_support.h"

namespace taktirio::data::testing {
namespace {

class FreeHourAnswerTest : public WorkingCopyTest {
  protected:
    // Τ1, Τ2, Τ3 and the pair Τ1+Τ2; Τ2 is absent on Tuesdays, Τ3 on
    // Tuesdays and Fridays, Τ1 must be free at Tuesday's third hour (a free
    // hour, not an absent day).
    void Build() {
        Teachers({"Τ1", "Τ2", "Τ3", "Τ4"});
        Pair("Τ1", "Τ2");
        InsertAbsentDay(session_, T("Τ2"), U("Τρίτη"));
        InsertAbsentDay(session_, T("Τ3"), U("Τρίτη"));
        InsertAbsentDay(session_, T("Τ3"), U("Παρασκευή"));
        InsertFreeHour(session_, T("Τ1"), U("Τρίτη"), U("3"));
    }
    // A plan where nobody teaches: every row is free at every hour.
    static PrintTables EmptyPlan(std::initializer_list<const char*> names) {
        PrintTables plan;
        for (const char* name : names) {
            WorkRow row;
            row.name = U(name);
            plan.rows.append(row);
        }
        return plan;
    }
};

TEST_F(FreeHourAnswerTest, AbsentTeachersAreReadByDay) {
    Build();
    struct Case {
        int day;
        QStringList absent;
    };
    for (const Case& c :
         {Case{1, {}}, Case{2, {U("Τ2"), U("Τ3")}}, Case{3, {}}, Case{5, {U("Τ3")}}}) {
        EXPECT_EQ(AbsentTeachers(session_.db, session_.school, c.day), c.absent) << c.day;
    }
    // Another school's rows are not this one's.
    EXPECT_TRUE(AbsentTeachers(session_.db, QStringLiteral("OTHER"), 2).isEmpty());
    EXPECT_THROW(AbsentTeachers(session_.db, session_.school, 0), EntryRefusedError);
    EXPECT_THROW(AbsentTeachers(session_.db, session_.school, 6), EntryRefusedError);
}

TEST_F(FreeHourAnswerTest, TeachersAbsentThatDayAreLeftOutAndNamed) {
    Build();
    PrintTables plan = EmptyPlan({"Τ4", "Τ3", "Τ1+Τ2", "Τ2", "Τ1"});
    // Τ4 teaches at Tuesday's third hour: not free, absent or not.
    plan.rows[0].cells[static_cast<std::size_t>(SlotOf(2, 3))] = QStringLiteral("Α1");
    struct Case {
        int day, hour;
        QStringList at_school, absent;
        QString line;
    };
    const QString one = U("Δεν εμφανίζεται, γιατί απουσιάζει την ημέρα αυτή: ");
    const QString many = U("Δεν εμφανίζονται, γιατί απουσιάζουν την ημέρα αυτή: ");
    for (const Case& c :
         {Case{2, 3, {U("Τ1")}, {U("Τ3"), U("Τ1+Τ2"), U("Τ2")}, many + U("Τ3, Τ1+Τ2, Τ2")},
          Case{5, 1, {U("Τ4"), U("Τ1+Τ2"), U("Τ2"), U("Τ1")}, {U("Τ3")}, one + U("Τ3")},
          Case{1, 1, {U("Τ4"), U("Τ3"), U("Τ1+Τ2"), U("Τ2"), U("Τ1")}, {}, {}}}) {
        const FreeHourAnswer answer = FreeTeachersAtSchool(
            plan, c.day, c.hour, AbsentTeachers(session_.db, session_.school, c.day));
        EXPECT_EQ(answer.at_school, c.at_school) << c.day << "/" << c.hour;
        EXPECT_EQ(answer.absent, c.absent) << c.day << "/" << c.hour;
        EXPECT_EQ(AbsentLeftOutLine(answer.absent), c.line) << c.day << "/" << c.hour;
    }
}

}  // namespace
}  // namespace taktirio::data::testing
