// The working copy a run reads: renumbering, hours, slots, absences spread to
// pairs by exact member names, derived apart rows, eighth hours, and a
// preparation that either completes or leaves the previous copy untouched.
#include <QSqlQuery>
#include <functional>
#include <set>

#include "core/solver/errors.h"
#include "data/entry/entry_support.h"
#include "data/entry/validation.h"
#include "data/prepare/requested_solutions.h"
#include "working_copy_support.h"

namespace taktirio::data::testing {
namespace {

using Table = QList<QStringList>;

TEST_F(WorkingCopyTest, RenumbersClassesInEntryOrderAndSingleTeachersBeforePairs) {
    // Old class ids 2, 3, 4 (the first one deleted), not in name order.
    Classes({"Χ", "Β1", "Α1", "Γ1"});
    DeleteClass(session_, detail::ClassIdByName(session_, U("Χ")));
    // The pair is entered between single teachers: old ids 1, 2, (3, 4), 5.
    Teachers({"Τ1", "Τ2"});
    Pair("Τ1", "Τ2");
    Teachers({"Τ3"});
    Allocate("Α1", "Τ3", 3, 2);
    Allocate("Β1", "Τ1+Τ2", 1);
    Prepare();

    EXPECT_EQ(WorkingRows("SELECT CLASS_ID, CLASS FROM CLASSES ORDER BY CLASS_ID"),
              (Table{{U("1"), U("Β1")}, {U("2"), U("Α1")}, {U("3"), U("Γ1")}}));
    EXPECT_EQ(
        WorkingRows("SELECT TEACHER_ID, TEACHER FROM TEACHERS ORDER BY TEACHER_ID"),
        (Table{{U("1"), U("Τ1")}, {U("2"), U("Τ2")}, {U("3"), U("Τ3")}, {U("4"), U("Τ1+Τ2")}}));
    // HOURS = 3 + 2 x 2.
    EXPECT_EQ(WorkingRows("SELECT CLASS_ID, TEACHER_ID, HOURS, DYOWRA FROM TEACHERS_OF_CLASS "
                          "ORDER BY CLASS_ID"),
              (Table{{U("1"), U("4"), U("1"), U("0")}, {U("2"), U("3"), U("7"), U("2")}}));
}

TEST_F(WorkingCopyTest, CopiesTheSchoolRowAndReplacesAnEarlierCopy) {
    Classes({"Α1", "Α2"});
    Teachers({"Τ1"});
    Allocate("Α1", "Τ1", 5);
    StoreRequestedSolutions(session_, 7);
    Prepare();
    DeleteClass(session_, detail::ClassIdByName(session_, U("Α2")));
    Prepare();
    EXPECT_EQ(WorkingRows("SELECT SCHOOL_NAME, USERNAME, NUMBER_OF_SOLUTIONS_REQUESTED, STEP "
                          "FROM SCHOOLS"),
              (Table{{U("2ο Γυμνάσιο Πάτρας"), session_.school, U("7"), U("10")}}));
    EXPECT_EQ(WorkingRows("SELECT CLASS_ID, CLASS FROM CLASSES"), (Table{{U("1"), U("Α1")}}));
    EXPECT_EQ(WorkingRows("SELECT COUNT(*) FROM TEACHERS_OF_CLASS"), (Table{{U("1")}}));
}

TEST_F(WorkingCopyTest, RebuildsACopyWhoseRowsOutlivedTheirSchoolRow) {
    Classes({"Α1"});
    Teachers({"Τ1", "Τ2"});
    Pair("Τ1", "Τ2");
    Allocate("Α1", "Τ1+Τ2", 5);
    InsertAbsentDay(session_, T("Τ1"), U("Τρίτη"));
    Prepare();
    const auto good = WorkingSnapshot();
    // A damaged file: the school row gone, its rows left behind.
    Force(W(), "DELETE FROM SCHOOLS");
    Prepare();
    const auto rebuilt = WorkingSnapshot();
    ASSERT_EQ(rebuilt.size(), good.size());
    for (qsizetype k = 0; k < good.size(); ++k) {
        EXPECT_EQ(rebuilt[k].size(), good[k].size()) << DesignTables()[k].toStdString();
    }
}

TEST_F(WorkingCopyTest, StoresRequestedSolutionsFrom1To254Only) {
    const struct {
        int value;
        bool stored;
    } cases[] = {{1, true}, {254, true}, {0, false}, {255, false}, {-3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        StoreRequestedSolutions(session_, 5);
        if (c.stored) {
            StoreRequestedSolutions(session_, c.value);
        } else {
            EXPECT_THROW(StoreRequestedSolutions(session_, c.value), EntryRefusedError);
        }
        EXPECT_EQ(ScalarInt(session_.db, U("SELECT NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS")),
                  c.stored ? c.value : 5);
    }
}

TEST(SlotOfHourText, TurnsEntryTextsIntoSlotsAndWorkingTexts) {
    const struct {
        const char* text;
        int slot;  // 0: not a day-and-hour text
        const char* working;
    } cases[] = {
        {"Δευτέρα Ωρα 1", 1, "ΜΕΡΑ=ΔΕΥΤΕΡΑ ΩΡΑ=1"},
        {"Παρασκευή Ωρα 1", 5, "ΜΕΡΑ=ΠΑΡΑΣΚΕΥΗ ΩΡΑ=1"},
        {"Δευτέρα Ωρα 2", 6, "ΜΕΡΑ=ΔΕΥΤΕΡΑ ΩΡΑ=2"},
        {"Τρίτη Ωρα 3", 12, "ΜΕΡΑ=ΤΡΙΤΗ ΩΡΑ=3"},
        {"Παρασκευή Ωρα 7", 35, "ΜΕΡΑ=ΠΑΡΑΣΚΕΥΗ ΩΡΑ=7"},
        {"Πέμπτη Ωρα 8", 39, "ΜΕΡΑ=ΠΕΜΠΤΗ ΩΡΑ=8"},
        {"Παρασκευή Ωρα 10", 50, "ΜΕΡΑ=ΠΑΡΑΣΚΕΥΗ ΩΡΑ=10"},
        {"Σάββατο Ωρα 1", 0, ""},
        {"Τρίτη Ωρα 11", 0, ""},
        {"Τρίτη Ωρα 0", 0, ""},
        {"Τρίτη ώρα 3", 0, ""},
        {"Τρίτη", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int slot = 0;
        QString working;
        EXPECT_EQ(SlotOfHourText(U(c.text), slot, working), c.slot != 0);
        if (c.slot != 0) {
            EXPECT_EQ(slot, c.slot);
            EXPECT_EQ(working, U(c.working));
        }
    }
}

// Names that hold one another: containment would pass each one's absences to
// the others and to their pairs.
class PrefixNamesTest : public WorkingCopyTest {
  public:
    void Build() {
        Classes({"Α1"});
        Teachers({"ΝΙΚΟΛΑΟΥ", "ΝΙΚΟΛΑΟΥΔΗΣ", "T2", "T20"});
        Pair("ΝΙΚΟΛΑΟΥΔΗΣ", "T20");
        Pair("T2", "ΝΙΚΟΛΑΟΥ");
    }
    // Receiver name -> the slots written for it, and the texts beside them.
    std::map<QString, std::pair<QList<int>, QStringList>> Written(const char* table,
                                                                  const char* text) {
        std::map<QString, std::pair<QList<int>, QStringList>> rows;
        for (const QStringList& row :
             Rows(W(), QStringLiteral("SELECT t.TEACHER, d.WRA, d.%1 FROM %2 d JOIN TEACHERS t "
                                      "ON t.TEACHER_ID = d.TEACHER_ID ORDER BY d.rowid")
                           .arg(QLatin1String(text), QLatin1String(table)))) {
            rows[row[0]].first.append(row[1].toInt());
            rows[row[0]].second.append(row[2]);
        }
        return rows;
    }
};

TEST_F(PrefixNamesTest, AbsencesReachTheTeacherAndTheirPairsOnly) {
    Build();
    const struct {
        const char* teacher;
        std::set<QString> receivers;
    } cases[] = {
        {"ΝΙΚΟΛΑΟΥ", {U("ΝΙΚΟΛΑΟΥ"), U("T2+ΝΙΚΟΛΑΟΥ")}},
        {"ΝΙΚΟΛΑΟΥΔΗΣ", {U("ΝΙΚΟΛΑΟΥΔΗΣ"), U("ΝΙΚΟΛΑΟΥΔΗΣ+T20")}},
        {"T2", {U("T2"), U("T2+ΝΙΚΟΛΑΟΥ")}},
        {"T20", {U("T20"), U("ΝΙΚΟΛΑΟΥΔΗΣ+T20")}},
    };
    const QList<int> wednesday = {3, 8, 13, 18, 23, 28, 33, 38, 43, 48};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.teacher);
        data::Run(session_.db, U("DELETE FROM DENY_TEACHERS_DAYS"));
        data::Run(session_.db, U("DELETE FROM DENY_TEACHERS_HOURS"));
        InsertAbsentDay(session_, T(c.teacher), U("Τετάρτη"));
        InsertFreeHour(session_, T(c.teacher), U("Τρίτη"), U("3"));
        Prepare();

        const auto days = Written("DENY_TEACHERS_DAYS", "DISPLAY_DAY");
        const auto hours = Written("DENY_TEACHERS_HOURS", "DISPLAY_DAY_HOUR");
        EXPECT_EQ(WorkingRows("SELECT COUNT(*) FROM DENY_TEACHERS_DAYS"), (Table{{U("20")}}));
        std::set<QString> day_receivers;
        for (const auto& [name, written] : days) {
            day_receivers.insert(name);
            EXPECT_EQ(written.first, wednesday) << name.toStdString();
            EXPECT_EQ(written.second, QStringList(10, U("Τετάρτη")));
        }
        EXPECT_EQ(day_receivers, c.receivers);
        std::set<QString> hour_receivers;
        for (const auto& [name, written] : hours) {
            hour_receivers.insert(name);
            EXPECT_EQ(written.first, QList<int>{12});
            EXPECT_EQ(written.second, QStringList{U("ΜΕΡΑ=ΤΡΙΤΗ ΩΡΑ=3")});
        }
        EXPECT_EQ(hour_receivers, c.receivers);
    }
}

TEST_F(PrefixNamesTest, EachPairIsKeptApartFromExactlyItsTwoMembers) {
    Build();
    Prepare();
    EXPECT_EQ(WorkingRows("SELECT FIRST_TEACHER, SECOND_TEACHER, SET_FROM_HUMAN FROM "
                          "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR ORDER BY rowid"),
              (Table{{U("ΝΙΚΟΛΑΟΥΔΗΣ+T20"), U("ΝΙΚΟΛΑΟΥΔΗΣ"), U("0")},
                     {U("ΝΙΚΟΛΑΟΥΔΗΣ+T20"), U("T20"), U("0")},
                     {U("T2+ΝΙΚΟΛΑΟΥ"), U("T2"), U("0")},
                     {U("T2+ΝΙΚΟΛΑΟΥ"), U("ΝΙΚΟΛΑΟΥ"), U("0")}}));
}

TEST_F(WorkingCopyTest, APairHeldByTwoAbsentMembersGetsEachSlotOnce) {
    Classes({"Α1"});
    Teachers({"Α", "Β"});
    Pair("Α", "Β");
    for (const char* member : {"Α", "Β"}) {
        InsertAbsentDay(session_, T(member), U("Δευτέρα"));
        InsertFreeHour(session_, T(member), U("Τρίτη"), U("2"));
    }
    InsertAbsentDay(session_, T("Β"), U("Πέμπτη"));
    Prepare();
    const int pair = WorkingTeacher(W(), "Α+Β");
    EXPECT_EQ(
        ScalarInt(W(), U("SELECT COUNT(*) FROM DENY_TEACHERS_DAYS WHERE TEACHER_ID = ?"), {pair}),
        20);
    EXPECT_EQ(
        ScalarInt(W(), U("SELECT COUNT(*) FROM DENY_TEACHERS_HOURS WHERE TEACHER_ID = ?"), {pair}),
        1);
}

TEST_F(WorkingCopyTest, PairsSharingAMemberAreKeptApartOnceInListOrder) {
    Classes({"Α1"});
    Teachers({"Α", "Β", "Γ", "Δ", "Ε"});
    Pair("Α", "Β");
    Pair("Α", "Γ");
    Pair("Δ", "Ε");
    Pair("Β", "Γ");
    InsertApart(session_, T("Δ"), T("Ε"));
    Prepare();
    EXPECT_EQ(WorkingRows("SELECT FIRST_TEACHER, SECOND_TEACHER FROM "
                          "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR WHERE SET_FROM_HUMAN = 1"),
              (Table{{U("Δ"), U("Ε")}}));
    // After the rows against members: one row per couple of pairs sharing a
    // member, the earlier pair first; Δ+Ε shares none.
    const Table derived = WorkingRows(
        "SELECT FIRST_TEACHER, SECOND_TEACHER FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR "
        "WHERE SET_FROM_HUMAN = 0 ORDER BY rowid");
    ASSERT_EQ(derived.size(), 11);
    EXPECT_EQ(derived.mid(8),
              (Table{{U("Α+Β"), U("Α+Γ")}, {U("Α+Β"), U("Β+Γ")}, {U("Α+Γ"), U("Β+Γ")}}));
    for (const QStringList& row : derived.mid(0, 8)) {
        QString first;
        QString second;
        PairMemberNames(row[0], first, second);
        EXPECT_TRUE(row[1] == first || row[1] == second) << row.join(u',').toStdString();
    }
}

TEST_F(WorkingCopyTest, EighthHourSlotsOnlyWhenTheBusiestClassHas36To39Hours) {
    const struct {
        int busiest;
        Table expected;
    } cases[] = {
        {35, {}},
        {36, {{U("36")}, {U("39")}}},
        {37, {{U("36")}, {U("39")}}},
        {39, {{U("36")}, {U("39")}}},
        {40, {}},
    };
    Classes({"Α1", "Α2"});
    Teachers({"Φ1", "Φ2", "Φ3"});
    Allocate("Α1", "Φ1", 15);
    Allocate("Α1", "Φ2", 15);
    Allocate("Α2", "Φ1", 10);
    InsertEighthHourDay(session_, U("Δευτέρα"));
    InsertEighthHourDay(session_, U("Πέμπτη"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.busiest);
        data::Run(session_.db, U("DELETE FROM TEACHERS_OF_CLASS WHERE TEACHER_ID = ?"), {T("Φ3")});
        Allocate("Α1", "Φ3", c.busiest - 30);
        Prepare();
        EXPECT_EQ(WorkingRows("SELECT DISPLAY_DAY FROM LAST_DAYS ORDER BY DISPLAY_DAY"),
                  c.expected);
    }
}

TEST_F(WorkingCopyTest, RulesAreCopiedWithWorkingIdentifiersSlotsAndNames) {
    Classes({"Χ", "Α1", "Α2"});
    DeleteClass(session_, detail::ClassIdByName(session_, U("Χ")));
    Teachers({"Ψ", "Τ1", "Τ2"});
    DeleteTeacher(session_, detail::TeacherIdByName(session_, U("Ψ")));
    Allocate("Α1", "Τ1", 4);
    Allocate("Α2", "Τ1", 4);
    Allocate("Α1", "Τ2", 4);
    InsertJoint(session_, C("Α1"), T("Τ1"), C("Α2"));
    InsertSplit(session_, C("Α1"), T("Τ1"), T("Τ2"));
    InsertPinned(session_, C("Α2"), T("Τ1"), U("Παρασκευή"), U("7"));
    Prepare();
    EXPECT_EQ(WorkingRows("SELECT TEACHER_ID, CLASS_ID_1, CLASS_ID_2, TEACHER_NAME, CLASS_1, "
                          "CLASS_2 FROM KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA ORDER BY rowid"),
              (Table{{U("1"), U("1"), U("2"), U("Τ1"), U("Α1"), U("Α2")},
                     {U("1"), U("2"), U("1"), U("Τ1"), U("Α2"), U("Α1")}}));
    EXPECT_EQ(WorkingRows("SELECT CLASS_ID, TEACHER_ID_1, TEACHER_ID_2, TEACHER_1, TEACHER_2 "
                          "FROM XWRISMOS_MATHIMATOS"),
              (Table{{U("1"), U("1"), U("2"), U("Τ1"), U("Τ2")}}));
    EXPECT_EQ(WorkingRows("SELECT CLASS_ID, TEACHER_ID, [HOUR], DISPLAY_DAY_HOUR FROM KARFWTOI"),
              (Table{{U("2"), U("1"), U("35"), U("ΜΕΡΑ=ΠΑΡΑΣΚΕΥΗ ΩΡΑ=7")}}));
}

TEST_F(WorkingCopyTest, ReportsEachOfItsSixteenSteps) {
    Classes({"Α1"});
    Teachers({"Τ1"});
    Allocate("Α1", "Τ1", 5);
    std::vector<std::pair<int, int>> steps;
    PrepareWorkingCopy(session_, W(),
                       [&steps](int step, int total) { steps.emplace_back(step, total); });
    ASSERT_EQ(steps.size(), 16u);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(steps[static_cast<std::size_t>(k)], std::make_pair(k + 1, kPreparationSteps));
    }
}

// A run interrupted during its preparation (its progress report throws) rolls
// the working copy back to the last good one.
TEST_F(WorkingCopyTest, AnInterruptedPreparationLeavesThePreviousCopyIntact) {
    Classes({"Α1", "Α2"});
    Teachers({"Τ1", "Τ2"});
    Allocate("Α1", "Τ1", 5);
    Prepare();
    const auto good = WorkingSnapshot();
    InsertClass(session_, U("Α3"));
    Allocate("Α3", "Τ2", 4);
    struct Interrupted {};
    for (const int at : {3, 8, 15}) {
        EXPECT_THROW(PrepareWorkingCopy(session_, W(),
                                        [at](int step, int) {
                                            if (step == at) {
                                                throw Interrupted{};
                                            }
                                        }),
                     Interrupted)
            << "step " << at;
        EXPECT_EQ(WorkingSnapshot(), good) << "step " << at;
    }
    Prepare();  // the connections are usable afterwards
    EXPECT_EQ(WorkingRows("SELECT COUNT(*) FROM CLASSES"), (Table{{U("3")}}));
}

// The entry database is read in one read transaction: a class section another
// connection adds while the preparation runs is either kept out by the
// preparation's read lock or not seen by it, never copied halfway through.
TEST_F(WorkingCopyTest, ThePreparationCopiesOneStateOfTheEntryDatabase) {
    Classes({"Α1", "Α2"});
    Teachers({"Τ1"});
    Allocate("Α1", "Τ1", 5);
    const QString name = QStringLiteral("intruder");
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(path_);
        other.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        ASSERT_TRUE(other.open());
        PrepareWorkingCopy(session_, W(), [&other](int step, int) {
            if (step == 2) {  // counted, nothing copied yet
                QSqlQuery insert(other);
                insert.exec(QStringLiteral(
                    "INSERT INTO CLASSES(CLASS, SCHOOL_USERNAME) VALUES('Ω1', 'HOMEBASE')"));
            }
        });
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    EXPECT_EQ(WorkingRows("SELECT CLASS FROM CLASSES ORDER BY CLASS_ID"),
              (Table{{U("Α1")}, {U("Α2")}}));
}

// Every refusal, whether before or after the old copy is deleted, leaves the
// working database exactly as the last good preparation wrote it.
TEST_F(WorkingCopyTest, ARefusedPreparationLeavesThePreviousCopyIntact) {
    const auto base = [](WorkingCopyTest& t) {
        t.Classes({"Α1", "Α2"});
        t.Teachers({"Τ1", "Τ2"});
        t.Pair("Τ1", "Τ2");
        t.Allocate("Α1", "Τ1", 15, 5);
        t.Allocate("Α2", "Τ1+Τ2", 3);
        InsertAbsentDay(t.session_, t.T("Τ1"), U("Τρίτη"));
        InsertPinned(t.session_, t.C("Α1"), t.T("Τ1"), U("Δευτέρα"), U("1"));
    };
    base(*this);
    Prepare();
    const auto good = WorkingSnapshot();
    ASSERT_GT(good[static_cast<qsizetype>(DesignTables().indexOf(U("DENY_TEACHERS_DAYS")))].size(),
              0);

    const struct {
        const char* name;
        std::function<void(WorkingCopyTest&)> corrupt;
        const char* detail;
    } cases[] = {
        {"256 class sections",
         [](WorkingCopyTest& t) {
             for (int c = 1; c <= 254; ++c) {
                 Force(t.session_.db, "INSERT INTO CLASSES(CLASS, SCHOOL_USERNAME) VALUES(?, ?)",
                       {QStringLiteral("Κ%1").arg(c), t.session_.school});
             }
         },
         "256 classes"},
        {"256 teachers and pairs",
         [](WorkingCopyTest& t) {
             for (int k = 1; k <= 253; ++k) {
                 Force(t.session_.db, "INSERT INTO TEACHERS(TEACHER, SCHOOL_USERNAME) VALUES(?, ?)",
                       {QStringLiteral("Δ%1").arg(k), t.session_.school});
             }
         },
         "256 teachers"},
        {"an hour total above 255",
         [](WorkingCopyTest& t) {
             Force(t.session_.db, "UPDATE TEACHERS_OF_CLASS SET MONOWRA = 200, DYOWRA = 30");
         },
         "hours 260"},
        {"an allocation row of a class that is gone",
         [](WorkingCopyTest& t) {
             Force(t.session_.db,
                   "INSERT INTO TEACHERS_OF_CLASS(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, "
                   "MONOWRA, DYOWRA) VALUES(?, 999, ?, 1, 0)",
                   {t.session_.school, t.T("Τ2")});
         },
         "TEACHERS_OF_CLASS: no class 999"},
        {"an absent day of a teacher who is gone",
         [](WorkingCopyTest& t) {
             Force(t.session_.db,
                   "INSERT INTO DENY_TEACHERS_DAYS(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY) "
                   "VALUES(?, 999, ?)",
                   {t.session_.school, U("Τρίτη")});
         },
         "DENY_TEACHERS_DAYS: no teacher 999"},
        {"an allocation row naming the pair's other orientation",
         [](WorkingCopyTest& t) {
             Force(t.session_.db,
                   "INSERT INTO TEACHERS_OF_CLASS(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, "
                   "MONOWRA, DYOWRA) VALUES(?, ?, ?, 1, 0)",
                   {t.session_.school, t.C("Α1"), t.T("Τ2+Τ1")});
         },
         "TEACHERS_OF_CLASS: no teacher"},
        {"an absent day that is not a day",
         [](WorkingCopyTest& t) {
             Force(t.session_.db,
                   "INSERT INTO DENY_TEACHERS_DAYS(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY) "
                   "VALUES(?, ?, ?)",
                   {t.session_.school, t.T("Τ2"), U("Κυριακή")});
         },
         "DENY_TEACHERS_DAYS: unknown day or hour"},
        {"a pinned lesson on Saturday",
         [](WorkingCopyTest& t) {
             Force(t.session_.db,
                   "INSERT INTO KARFWTOI(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, DISPLAY_DAY_HOUR) "
                   "VALUES(?, ?, ?, ?)",
                   {t.session_.school, t.C("Α2"), t.T("Τ1+Τ2"), U("Σάββατο Ωρα 1")});
         },
         "KARFWTOI: unknown day or hour 'Σάββατο Ωρα 1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearEntry();
        base(*this);
        c.corrupt(*this);
        try {
            Prepare();
            ADD_FAILURE() << "prepared";
        } catch (const PreparationError& error) {
            EXPECT_NE(std::string(error.what()).find(c.detail), std::string::npos) << error.what();
            EXPECT_TRUE(error.message().startsWith(U(kContradictoryDataMessage) + u'\r'));
        }
        EXPECT_EQ(WorkingSnapshot(), good);
    }
}

}  // namespace
}  // namespace taktirio::data::testing
