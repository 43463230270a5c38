// The data-entry operations of the eleven windows against a real entry file.
#include <QSqlError>
#include <QSqlQueryModel>
#include <QSqlRecord>

#include "data/database/errors.h"
#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/delete_row.h"
#include "data/entry/pairing_rules.h"
#include "data/entry/validation.h"
#include "data/entry/windows.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(Validation, IsValidInputRefusesTheFourCharactersAndWhatPagesCannotHold) {
    const std::vector<std::pair<const char*, bool>> cases = {
        {"", true},
        {"Α1", true},
        {"ΠΑΠΑΔΟΠΟΥΛΟΣ Γ.", true},
        {"Ά-Ώ ά-ώ ϊ ΰ ς (1) & ; + - / · «»", true},
        {"O'Neil", false},
        {"\"Α\"", false},
        {"50%", false},
        {"Γεια!", false},
        {"'; DROP TABLE CLASSES; --", false},
        {"Α<1", false},         // the readers take a name up to its first "<"
        {"Α>1 ‹›&", true},      // nothing the readers stop at
        {"Α＜1", false},        // a full-width "<" is no windows-1253 character
        {"Ελένη ☃", false},     // outside windows-1253
        {"Ζωή 😀", false},       // outside the basic plane
        {"Αλβανικά ë", false},  // Latin-1 letter windows-1253 lacks
        {"Α\nΒ", false},        // a line break would split a page line
        {"Α\tΒ", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(is_valid_input(U(text)), valid) << text;
    }
    EXPECT_FALSE(IsAcceptableName(U("   ")));
    EXPECT_TRUE(IsAcceptableName(U(" Α1 ")));
}

// Half a UTF-16 surrogate pair, as a JSON escape or a typed text can give it.
QString WithUnits(const char* before, std::initializer_list<char16_t> units) {
    QString text = U(before);
    for (const char16_t unit : units) {
        text += QChar(unit);
    }
    return text;
}

TEST(Validation, HalfASurrogatePairAndTooLongNamesAreRefused) {
    for (const QString& text :
         {WithUnits("Α", {0xD800}), WithUnits("Α", {0xDC00}), WithUnits("", {0xD800, u'Β'}),
          WithUnits("", {0xDBFF, 0xD800}), WithUnits("Ζωή ", {0xD83D, 0xDE00})}) {
        EXPECT_FALSE(is_valid_input(text)) << text.size();
        EXPECT_FALSE(IsAcceptableName(text, kMaxTeacherNameLength));
    }
    const QString fifty(kMaxTeacherNameLength, u'Α');
    EXPECT_TRUE(IsAcceptableName(fifty, kMaxTeacherNameLength));
    EXPECT_FALSE(IsAcceptableName(fifty + u'Α', kMaxTeacherNameLength));
    // A pair "A+B" of the longest names fits a cell; so does "A,B" of classes.
    EXPECT_EQ(2 * kMaxTeacherNameLength + 1, kMaxCellTextLength);
    EXPECT_EQ(2 * kMaxClassNameLength + 1, kMaxCellTextLength);
}

TEST(Validation, DayAndHourTexts) {
    EXPECT_EQ(DayHourText(2, 3), U("Τρίτη Ωρα 3"));
    int day = 0;
    int hour = 0;
    EXPECT_TRUE(ParseDayHourText(U("Παρασκευή Ωρα 10"), day, hour));
    EXPECT_EQ(day, 5);
    EXPECT_EQ(hour, 10);
    for (const char* bad : {"Σάββατο Ωρα 1", "Τρίτη Ωρα 11", "Τρίτη Ωρα 03", "Τρίτη ώρα 3", ""}) {
        EXPECT_FALSE(ParseDayHourText(U(bad), day, hour)) << bad;
    }
}

class EntryTest : public SchoolTest {
  protected:
    int Class(const char* name) { return detail_class(U(name)); }
    int Teacher(const char* name) { return detail_teacher(U(name)); }
    int detail_class(const QString& name) {
        return static_cast<int>(ScalarInt(
            session_.db, QStringLiteral("SELECT CLASS_ID FROM CLASSES WHERE CLASS = ?"), {name}));
    }
    int detail_teacher(const QString& name) {
        return static_cast<int>(
            ScalarInt(session_.db,
                      QStringLiteral("SELECT TEACHER_ID FROM TEACHERS WHERE TEACHER = ?"), {name}));
    }
    qint64 RowsIn(const char* table) {
        return ScalarInt(session_.db,
                         QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)));
    }
    template <typename Insert>
    void ExpectRefused(Insert insert, const char* why) {
        try {
            insert();
            ADD_FAILURE() << "accepted: " << why;
        } catch (const EntryRefusedError& error) {
            EXPECT_EQ(error.message(), U("Δεν επιτρέπεται αυτή η καταχώρηση.")) << why;
        }
    }
};

TEST_F(EntryTest, HostileNamesAreRefusedByEveryFreeTextInsert) {
    InsertClass(session_, U("Α1"));
    const char* names[] = {"Α'1",     "50%",  "Γεια!", "\"Β\"", "'; DROP TABLE CLASSES; --",
                           "Ελένη ☃", "Α\nΒ", "   ",   "Α<1"};
    for (const char* name : names) {
        ExpectRefused([&] { InsertClass(session_, U(name)); }, name);
        ExpectRefused([&] { InsertTeacher(session_, U(name)); }, name);
    }
    // The prints mark a teacher's common free hour "K.KENH": a class section of
    // that name would read as a free hour.
    ExpectRefused([&] { InsertClass(session_, U(" K.KENH ")); }, "K.KENH");
    EXPECT_EQ(RowsIn("CLASSES"), 1);
    EXPECT_EQ(RowsIn("TEACHERS"), 0);
    // Values are bound, never spliced into the text: an odd but valid name is data.
    InsertClass(session_, U("Α1; DELETE FROM CLASSES; --"));
    EXPECT_EQ(RowsIn("CLASSES"), 2);
}

TEST_F(EntryTest, NamesBeyondTheirMaximumOrWithHalfASurrogateAreNeverStored) {
    const QString longest_class = QString(kMaxClassNameLength, u'Κ');
    const QString longest_teacher = QString(kMaxTeacherNameLength, u'Δ');
    InsertClass(session_, longest_class);
    InsertTeacher(session_, U("  ") + longest_teacher + U(" "));  // trimmed first
    const QString refused[] = {longest_class + u'Κ',     longest_teacher + u'Δ',
                               QString(1000000, u'Χ'),   WithUnits("Α", {0xD800}),
                               WithUnits("Α", {0xDC00}), WithUnits("", {0xD800, u'Β'})};
    for (const QString& name : refused) {
        ExpectRefused([&] { InsertClass(session_, name); }, "class");
        ExpectRefused([&] { InsertTeacher(session_, name); }, "teacher");
    }
    EXPECT_EQ(RowsIn("CLASSES"), 1);
    EXPECT_EQ(RowsIn("TEACHERS"), 1);
    // The longest pair, "A+B" of two longest names, fits.
    const QString other = QString(kMaxTeacherNameLength, u'Ε');
    InsertTeacher(session_, other);
    InsertPair(session_, longest_teacher, other);
    EXPECT_EQ(RowsIn("TEACHERS"), 4);
    // A member stored before names had a maximum cannot make a longer pair.
    data::Run(session_.db,
              QStringLiteral("INSERT INTO TEACHERS(SCHOOL_USERNAME, TEACHER) VALUES(?, ?)"),
              {session_.school, longest_teacher + u'Ζ'});
    ExpectRefused([&] { InsertPair(session_, other, longest_teacher + u'Ζ'); }, "long pair");
    EXPECT_EQ(RowsIn("TEACHERS"), 5);
}

TEST_F(EntryTest, ClassesAreTrimmedUniqueCountedAndDeleted) {
    EXPECT_EQ(CountLabel(session_, EntryWindow::kClasses), U("Τμήματα=0"));
    InsertClass(session_, U("  Α1 "));
    InsertClass(session_, U("Β1"));
    ExpectRefused([&] { InsertClass(session_, U("Α1")); }, "duplicate");
    EXPECT_EQ(ListRows(session_, EntryWindow::kClasses)[0][0], U("Α1"));
    EXPECT_EQ(CountLabel(session_, EntryWindow::kClasses), U("Τμήματα=2"));
    EXPECT_EQ(DeleteQuestion(EntryWindow::kClasses, {U("Α1"), U("1")}),
              U("Διαγραφή του τμήματος Α1;"));
    // The row carries the class's identifier, which the delete goes by.
    const QStringList first = ListRows(session_, EntryWindow::kClasses)[0];
    EXPECT_EQ(first, (QStringList{U("Α1"), QString::number(Class("Α1"))}));
    EXPECT_EQ(DeleteRow(session_, EntryWindow::kClasses, first), 1);
    EXPECT_EQ(ListRows(session_, EntryWindow::kClasses)[0][0], U("Β1"));
    EXPECT_EQ(CountRows(session_, EntryWindow::kClasses), 1);
}

TEST_F(EntryTest, PairsAreStoredTwiceShownOnceAndDeletedWhole) {
    for (const char* name : {"ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ", "ΠΑΠΑ", "ΠΑΠΑΔΟΠΟΥΛΟΣ"}) {
        InsertTeacher(session_, U(name));
    }
    ExpectRefused([&] { InsertTeacher(session_, U("Α+Β")); }, "plus in a single name");
    InsertPair(session_, U("ΓΕΩΡΓΙΟΥ"), U("ΝΙΚΟΛΑΟΥ"));
    EXPECT_EQ(RowsIn("TEACHERS"), 6);
    const auto pairs = ListRows(session_, EntryWindow::kPairs);
    ASSERT_EQ(pairs.size(), 1);
    EXPECT_EQ(pairs[0][1], U("ΓΕΩΡΓΙΟΥ+ΝΙΚΟΛΑΟΥ"));
    EXPECT_EQ(CountLabel(session_, EntryWindow::kPairs), U("Ζεύγη Διδασκόντων=1"));
    EXPECT_EQ(CountLabel(session_, EntryWindow::kTeachers), U("Διδάσκοντες=4"));
    EXPECT_EQ(PickItems(session_, PickList::kTeachersAndPairs).size(), 5);

    ExpectRefused([&] { InsertPair(session_, U("ΝΙΚΟΛΑΟΥ"), U("ΓΕΩΡΓΙΟΥ")); }, "again reversed");
    ExpectRefused([&] { InsertPair(session_, U("ΓΕΩΡΓΙΟΥ"), U("ΓΕΩΡΓΙΟΥ")); }, "same twice");
    ExpectRefused([&] { InsertPair(session_, QString(), QString()); }, "no choice");
    ExpectRefused([&] { InsertPair(session_, U("ΓΕΩΡΓΙΟΥ"), QString()); }, "one choice");
    EXPECT_EQ(RowsIn("TEACHERS"), 6);

    EXPECT_EQ(DeleteQuestion(EntryWindow::kPairs, pairs[0]),
              U("Διαγραφή του ζεύγους διδασκόντων \rΓΕΩΡΓΙΟΥ+ΝΙΚΟΛΑΟΥ;"));
    EXPECT_EQ(DeleteRow(session_, EntryWindow::kPairs, pairs[0]), 2);
    EXPECT_EQ(RowsIn("TEACHERS"), 4);

    // Deleting a teacher takes the pairs they belong to, not those of a
    // teacher whose name merely contains theirs.
    InsertPair(session_, U("ΠΑΠΑ"), U("ΓΕΩΡΓΙΟΥ"));
    InsertPair(session_, U("ΠΑΠΑΔΟΠΟΥΛΟΣ"), U("ΝΙΚΟΛΑΟΥ"));
    EXPECT_EQ(DeleteTeacher(session_, Teacher("ΠΑΠΑ")), 3);
    const auto left = ListRows(session_, EntryWindow::kPairs);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0][1], U("ΠΑΠΑΔΟΠΟΥΛΟΣ+ΝΙΚΟΛΑΟΥ"));
    EXPECT_EQ(CountRows(session_, EntryWindow::kTeachers), 3);
}

TEST_F(EntryTest, DeletingAClassOrTeacherLeavesNoRowsReferringToIt) {
    InsertClass(session_, U("Α1"));
    InsertClass(session_, U("Α2"));
    InsertTeacher(session_, U("Τ1"));
    InsertTeacher(session_, U("Τ2"));
    InsertPair(session_, U("Τ1"), U("Τ2"));
    const int pair = Teacher("Τ1+Τ2");
    InsertAllocation(session_, Class("Α1"), Teacher("Τ1"), 3, 0);
    InsertAllocation(session_, Class("Α1"), pair, 2, 0);
    InsertAllocation(session_, Class("Α2"), pair, 2, 0);
    InsertPinned(session_, Class("Α1"), pair, U("Τρίτη"), U("2"));
    InsertAbsentDay(session_, Teacher("Τ2"), U("Δευτέρα"));
    InsertFreeHour(session_, Teacher("Τ1"), U("Πέμπτη"), U("4"));
    InsertJoint(session_, Class("Α1"), pair, Class("Α2"));
    InsertSplit(session_, Class("Α2"), Teacher("Τ2"), pair);
    InsertApart(session_, Teacher("Τ1"), pair);

    DeleteClass(session_, Class("Α2"));
    EXPECT_EQ(RowsIn("TEACHERS_OF_CLASS"), 2);
    EXPECT_EQ(RowsIn("KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA"), 0);
    EXPECT_EQ(RowsIn("XWRISMOS_MATHIMATOS"), 0);

    DeleteTeacher(session_, Teacher("Τ2"));     // and with it the pair
    EXPECT_EQ(RowsIn("TEACHERS_OF_CLASS"), 1);  // Τ1 in Α1
    EXPECT_EQ(RowsIn("KARFWTOI"), 0);
    EXPECT_EQ(RowsIn("DENY_TEACHERS_DAYS"), 0);
    EXPECT_EQ(RowsIn("DENY_TEACHERS_HOURS"), 1);
    EXPECT_EQ(RowsIn("TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR"), 0);
}

TEST_F(EntryTest, AllocationChecksHoursAndTheClassTotal) {
    InsertClass(session_, U("Α1"));
    for (const char* name : {"Τ1", "Τ2", "Τ3", "Τ4", "Τ5"}) {
        InsertTeacher(session_, U(name));
    }
    const int c = Class("Α1");
    InsertAllocation(session_, c, Teacher("Τ1"), 15, 10);  // 35
    InsertAllocation(session_, c, Teacher("Τ2"), 13, 0);   // 48
    EXPECT_EQ(ClassTotal(session_, c), 48);
    struct Case {
        const char* why;
        int teacher;
        int singles;
        int doubles;
    };
    const std::vector<Case> refused = {
        {"total 51", Teacher("Τ3"), 1, 1},
        {"no hours", Teacher("Τ3"), 0, 0},
        {"16 singles", Teacher("Τ3"), 16, 0},
        {"11 doubles", Teacher("Τ3"), 0, 11},
        {"negative", Teacher("Τ3"), -1, 1},
        {"same teacher again", Teacher("Τ1"), 1, 0},
        {"no teacher", 0, 1, 0},
        {"unknown teacher", 999, 1, 0},
    };
    for (const Case& r : refused) {
        ExpectRefused([&] { InsertAllocation(session_, c, r.teacher, r.singles, r.doubles); },
                      r.why);
    }
    ExpectRefused([&] { InsertAllocation(session_, 0, Teacher("Τ3"), 1, 0); }, "no class");
    InsertAllocation(session_, c, Teacher("Τ3"), 2, 0);  // exactly 50
    EXPECT_EQ(CountLabel(session_, EntryWindow::kAllocation, c), U("Διδάσκοντες=3 , Ώρες=50"));
    const auto rows = ListRows(session_, EntryWindow::kAllocation, c);
    EXPECT_EQ(rows[2], (QStringList{U("Τ3"), U("2"), U("0"), QString::number(Teacher("Τ3")),
                                    QString::number(c)}));
    EXPECT_EQ(DeleteQuestion(EntryWindow::kAllocation, rows[2]),
              U("Διαγραφή της εγγραφής;\rΔιδάσκων:Τ3\rΜονόωρα:2\rΔίωρα:0;"));
    EXPECT_EQ(DeleteRow(session_, EntryWindow::kAllocation, rows[2]), 1);
    EXPECT_EQ(CountLabel(session_, EntryWindow::kAllocation, c), U("Διδάσκοντες=2 , Ώρες=48"));
}

TEST_F(EntryTest, DayAndHourRules) {
    InsertClass(session_, U("Α1"));
    InsertClass(session_, U("Α2"));
    InsertTeacher(session_, U("Τ1"));
    InsertTeacher(session_, U("Τ2"));
    InsertPair(session_, U("Τ1"), U("Τ2"));
    InsertAllocation(session_, Class("Α1"), Teacher("Τ1"), 15, 10);
    InsertAllocation(session_, Class("Α1"), Teacher("Τ2"), 3, 0);  // 38
    EXPECT_EQ(RequiredEighthHourDaysText(session_),
              U("Ο αριθμός των ημερών με 8 ωρο που πρέπει να δηλώσεις είναι:3"));

    InsertEighthHourDay(session_, U("Δευτέρα"));
    ExpectRefused([&] { InsertEighthHourDay(session_, U("Δευτέρα")); }, "day twice");
    ExpectRefused([&] { InsertEighthHourDay(session_, QString()); }, "no day");
    EXPECT_EQ(CountLabel(session_, EntryWindow::kEighthHourDays), U("Μέρες=1"));

    InsertPinned(session_, Class("Α1"), Teacher("Τ1"), U("Τρίτη"), U("3"));
    InsertPinned(session_, Class("Α2"), Teacher("Τ1"), U("Τρίτη"), U("3"));  // two classes at once
    InsertPinned(session_, Class("Α1"), Teacher("Τ1"), U("Τρίτη"), U("4"));
    ExpectRefused(
        [&] { InsertPinned(session_, Class("Α1"), Teacher("Τ1"), U("Τρίτη"), QString()); },
        "no hour");
    ExpectRefused([&] { InsertPinned(session_, Class("Α1"), Teacher("Τ2"), U("Τρίτη"), U("3")); },
                  "a second lesson in the same class and slot");
    ExpectRefused([&] { InsertPinned(session_, Class("Α1"), Teacher("Τ1"), U("Τρίτη"), U("11")); },
                  "hour 11");
    const auto pinned = ListRows(session_, EntryWindow::kPinned);
    ASSERT_EQ(pinned.size(), 3);
    EXPECT_EQ(DeleteQuestion(EntryWindow::kPinned, pinned[0]),
              U("Διαγραφή της εγγραφής;\rΔιδάσκων:Τ1\rTμήμα:") + pinned[0][0] +
                  U("\rΜέρα και Ώρα:") + pinned[0][1]);
    EXPECT_EQ(DeletePinned(session_, Class("Α2"), Teacher("Τ1"), U("Τρίτη Ωρα 3")), 1);
    EXPECT_EQ(CountLabel(session_, EntryWindow::kPinned), U("Συνολικός αριθμός=2"));

    InsertAbsentDay(session_, Teacher("Τ2"), U("Τετάρτη"));
    ExpectRefused([&] { InsertAbsentDay(session_, Teacher("Τ1+Τ2"), U("Πέμπτη")); }, "pair absent");
    ExpectRefused([&] { InsertAbsentDay(session_, 0, U("Πέμπτη")); }, "no teacher");
    InsertFreeHour(session_, Teacher("Τ2"), U("Παρασκευή"), U("7"));
    ExpectRefused([&] { InsertFreeHour(session_, Teacher("Τ1+Τ2"), U("Πέμπτη"), U("1")); },
                  "pair free hour");
    const QString t2 = QString::number(Teacher("Τ2"));
    const QStringList absent = ListRows(session_, EntryWindow::kAbsentDays)[0];
    const QStringList free = ListRows(session_, EntryWindow::kFreeHours)[0];
    EXPECT_EQ(absent, (QStringList{U("Τετάρτη"), U("Τ2"), t2}));
    EXPECT_EQ(free, (QStringList{U("Παρασκευή Ωρα 7"), U("Τ2"), t2}));
    EXPECT_EQ(DeleteRow(session_, EntryWindow::kAbsentDays, absent), 1);
    EXPECT_EQ(DeleteRow(session_, EntryWindow::kFreeHours, free), 1);
}

TEST_F(EntryTest, SymmetricRulesAreTwoRowsShownOnceAndRefusedInEitherOrderAgain) {
    InsertClass(session_, U("Α1"));
    InsertClass(session_, U("Α2"));
    for (const char* name : {"Τ1", "Τ2", "Τ3"}) {
        InsertTeacher(session_, U(name));
    }
    InsertPair(session_, U("Τ2"), U("Τ3"));
    const int a1 = Class("Α1");
    const int a2 = Class("Α2");
    const int t1 = Teacher("Τ1");
    const int pair = Teacher("Τ2+Τ3");

    InsertJoint(session_, a1, t1, a2);
    ExpectRefused([&] { InsertJoint(session_, a2, t1, a1); }, "joint reversed");
    ExpectRefused([&] { InsertJoint(session_, a1, t1, a1); }, "same class");
    InsertSplit(session_, a1, t1, pair);
    ExpectRefused([&] { InsertSplit(session_, a1, pair, t1); }, "split reversed");
    ExpectRefused([&] { InsertSplit(session_, a1, t1, t1); }, "same teacher");
    InsertApart(session_, pair, t1);  // a pair may be a member
    ExpectRefused([&] { InsertApart(session_, t1, pair); }, "apart reversed");
    ExpectRefused([&] { InsertApart(session_, 0, 0); }, "no choices");

    struct Shown {
        EntryWindow window;
        const char* table;
        QStringList row;
        QString question;
    };
    const std::vector<Shown> shown = {
        {EntryWindow::kJoint,
         "KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA",
         {U("Α1"), U("Α2"), U("Τ1"), QString::number(t1), QString::number(a1), QString::number(a2)},
         U("Διαγραφή της εγγραφής;\rΔιδάσκων:Τ1\rTμήμα 1:Α1\rTμήμα 2:Α2")},
        {EntryWindow::kSplit,
         "XWRISMOS_MATHIMATOS",
         {U("Α1"), U("Τ1"), U("Τ2+Τ3"), QString::number(a1), QString::number(t1),
          QString::number(pair)},
         U("Διαγραφή της εγγραφής;\rΤμήμα:Α1\rΔιδάσκων 1:Τ1\rΔιδάσκων 2:Τ2+Τ3")},
        {EntryWindow::kApart,
         "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR",
         {U("Τ2+Τ3"), U("Τ1"), QString::number(pair), QString::number(t1)},
         U("Διαγραφή της εγγραφής;\rΔιδάσκων 1:Τ2+Τ3\rΔιδάσκων 2:Τ1")},
    };
    for (const Shown& s : shown) {
        SCOPED_TRACE(s.table);
        EXPECT_EQ(RowsIn(s.table), 2);
        const auto rows = ListRows(session_, s.window);
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0], s.row);
        EXPECT_EQ(DeleteQuestion(s.window, rows[0]), s.question);
        EXPECT_EQ(DeleteRow(session_, s.window, rows[0]), 2);
        EXPECT_EQ(RowsIn(s.table), 0);
        EXPECT_EQ(CountRows(session_, s.window), 0);
    }
}

TEST_F(EntryTest, ListsBackAQueryModelWithTheirIdentifiersHidden) {
    InsertClass(session_, U("Α1"));
    InsertClass(session_, U("Α2"));
    InsertTeacher(session_, U("Τ1"));
    InsertTeacher(session_, U("Τ2"));
    InsertPair(session_, U("Τ1"), U("Τ2"));
    const int a1 = Class("Α1");
    InsertAllocation(session_, a1, Teacher("Τ1"), 2, 1);
    InsertEighthHourDay(session_, U("Τρίτη"));
    InsertPinned(session_, a1, Teacher("Τ1+Τ2"), U("Τρίτη"), U("2"));
    InsertAbsentDay(session_, Teacher("Τ1"), U("Πέμπτη"));
    InsertFreeHour(session_, Teacher("Τ2"), U("Πέμπτη"), U("1"));
    InsertJoint(session_, a1, Teacher("Τ1"), Class("Α2"));
    InsertSplit(session_, a1, Teacher("Τ1"), Teacher("Τ2"));
    InsertApart(session_, Teacher("Τ1"), Teacher("Τ2"));

    for (int w = 0; w <= static_cast<int>(EntryWindow::kApart); ++w) {
        const auto window = static_cast<EntryWindow>(w);
        SCOPED_TRACE(w);
        QSqlQueryModel model;
        model.setQuery(ListQuery(session_, window, a1));
        ASSERT_FALSE(model.lastError().isValid()) << model.lastError().text().toStdString();
        ASSERT_GE(model.rowCount(), 1);
        // Every grid column is in the list; every other column is an identifier.
        const QSqlRecord record = model.record();
        for (const GridColumn& column : InfoOf(window).columns) {
            EXPECT_GE(record.indexOf(column.field), 0) << column.field.toStdString();
        }
        for (int c = 0; c < record.count(); ++c) {
            if (!IsShownColumn(window, record.fieldName(c))) {
                EXPECT_TRUE(record.fieldName(c).endsWith(QLatin1String("_ID")) ||
                            record.fieldName(c).startsWith(QLatin1String("CLASS_ID")) ||
                            record.fieldName(c).startsWith(QLatin1String("TEACHER_ID")) ||
                            record.fieldName(c) == QLatin1String("SCHOOL_USERNAME"))
                    << record.fieldName(c).toStdString();
            }
        }
        // The model's row is the row the delete goes by.
        QStringList row;
        for (int c = 0; c < record.count(); ++c) {
            row.append(model.index(0, c).data().toString());
        }
        EXPECT_EQ(row, ListRows(session_, window, a1)[0]);
    }
    // An identifier of the wrong kind deletes nothing: a pair's row is not a
    // single teacher, a single teacher's row is not a pair.
    EXPECT_EQ(DeleteTeacher(session_, Teacher("Τ1+Τ2")), 0);
    EXPECT_EQ(DeletePair(session_, Teacher("Τ1")), 0);
    EXPECT_EQ(RowsIn("TEACHERS"), 4);
}

TEST_F(EntryTest, ASchoolHoldsAtMost255ClassesAnd255Teachers) {
    {
        Transaction transaction(session_.db);
        for (int i = 1; i <= 255; ++i) {
            InsertClass(session_, QStringLiteral("C%1").arg(i));
        }
        for (int i = 1; i <= 253; ++i) {
            InsertTeacher(session_, QStringLiteral("T%1").arg(i));
        }
        InsertPair(session_, QStringLiteral("T1"), QStringLiteral("T2"));
        InsertPair(session_, QStringLiteral("T1"), QStringLiteral("T3"));  // 255 with pairs
        transaction.Commit();
    }
    ExpectRefused([&] { InsertClass(session_, U("C256")); }, "256th class");
    ExpectRefused([&] { InsertTeacher(session_, U("T254")); }, "256th teacher");
    ExpectRefused([&] { InsertPair(session_, U("T2"), U("T3")); }, "256th with a pair");
}

TEST_F(EntryTest, PickListsAreInGreekOrder) {
    for (const char* name : {"Ωμέγα", "Άλφα", "Βήτα"}) {
        InsertTeacher(session_, U(name));
    }
    QStringList names;
    for (const PickItem& item : PickItems(session_, PickList::kSingleTeachers)) {
        names.append(item.name);
    }
    EXPECT_EQ(names, (QStringList{U("Άλφα"), U("Βήτα"), U("Ωμέγα")}));
    EXPECT_EQ(DayItems().first(), U("Δευτέρα"));
    EXPECT_EQ(HourItems().size(), 10);
}

}  // namespace
}  // namespace taktirio::data::testing
