// The eleven data-entry windows and the teacher detailed view, driven through
// their controls: inserts, refusals, deletes answered Yes and No, the
// validator, the allocation window's class and total, and the teacher view
// of the demo school against what the data layer reads.
#include "gui/forms/entry_windows.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <algorithm>
#include <functional>
#include <memory>

#include "core/run/solution_files.h"
#include "data/checks/teacher_view.h"
#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/delete_row.h"
#include "data/entry/entry_support.h"
#include "data/entry/messages.h"
#include "data/entry/validation.h"
#include "data/entry/windows.h"
#include "data/exchange/exchange.h"
#include "data/run/run_sequence.h"
#include "gui/forms/entry_window.h"
#include "gui/forms/teacher_view_window.h"
#include "gui/shell/menu_windows.h"
#include "gui_test_support.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;
using data::EntryWindow;

namespace {

// A logged-in school with classes Α1, Α2 and teachers Τ1, Τ2, Τ3.
struct School {
    School() {
        folder.RegisterSchool();
        entry.emplace(data::Database::Open(folder.context.paths.entry_database));
        folder.context.school = data::Login(entry->connection());
        for (const char* name : {"Α1", "Α2"}) {
            data::InsertClass(session(), U(name));
        }
        for (const char* name : {"Τ1", "Τ2", "Τ3"}) {
            data::InsertTeacher(session(), U(name));
        }
    }
    data::Session session() const { return {entry->connection(), folder.context.school}; }
    int Rows(EntryWindow window, int class_id = 0) const {
        return data::CountRows(session(), window, class_id);
    }

    ProgramFolder folder;
    std::optional<data::Database> entry;
};

void Choose(QWidget* window, const char* list, const char* text) {
    auto* combo = Child<QComboBox>(window, list);
    QVERIFY2(combo != nullptr, list);
    const int index = combo->findText(U(text));
    QVERIFY2(index >= 0, text);
    combo->setCurrentIndex(index);
}

void SetSpin(QWidget* window, const char* name, int value) {
    Child<QSpinBox>(window, name)->setValue(value);
}

QString CountText(QWidget* window) {
    return Child<QLabel>(window, "Label_count")->text();
}

int GridRows(QWidget* window) {
    return Child<QTableView>(window, "DBGrid1")->model()->rowCount();
}

// What the grid shows, left to right as a person sees it, row by row.
QList<QStringList> ShownGrid(QWidget* window) {
    auto* grid = Child<QTableView>(window, "DBGrid1");
    const QHeaderView* header = grid->horizontalHeader();
    QList<QStringList> rows;
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        QStringList row;
        for (int v = 0; v < header->count(); ++v) {
            const int logical = header->logicalIndex(v);
            if (!grid->isColumnHidden(logical)) {
                row.append(grid->model()->index(r, logical).data().toString());
            }
        }
        rows.append(row);
    }
    return rows;
}

using Fill = std::function<void(QWidget*)>;

struct WindowCase {
    EntryWindow window;
    const char* form;
    Fill prepare;       // before the first insert (the allocation window's class)
    Fill valid;         // inputs of an entry that is stored
    QString counted;    // the count label after it
    QStringList shown;  // the grid's row after it, as shown
    Fill refused;       // inputs of an entry that is refused
    QString empty;      // the count label of the empty list
};

QList<WindowCase> Cases() {
    const Fill nothing = [](QWidget*) {};
    const QString total = U("Συνολικός αριθμός=");
    return {
        {EntryWindow::kClasses,
         "TForm10",
         nothing,
         [](QWidget* w) { Type(Child(w, "Edit1"), U("Β1")); },
         U("Τμήματα=3"),
         {U("Β1")},
         [](QWidget* w) { Type(Child(w, "Edit1"), U("Α1")); },
         U("Τμήματα=2")},
        {EntryWindow::kTeachers,
         "TForm11",
         nothing,
         [](QWidget* w) { Type(Child(w, "Edit1"), U("  Τ4 ")); },
         U("Διδάσκοντες=4"),
         {U("Τ4")},
         [](QWidget* w) { Type(Child(w, "Edit1"), U("Τ2")); },
         U("Διδάσκοντες=3")},
        {EntryWindow::kPairs,
         "TForm12",
         nothing,
         [](QWidget* w) {
             Choose(w, "TeacherList1", "Τ1");
             Choose(w, "TeacherList2", "Τ3");
         },
         U("Ζεύγη Διδασκόντων=1"),
         {U("Τ1+Τ3")},
         [](QWidget* w) {
             Choose(w, "TeacherList1", "Τ2");
             Choose(w, "TeacherList2", "Τ2");
         },
         U("Ζεύγη Διδασκόντων=0")},
        {EntryWindow::kAllocation,
         "TForm13",
         [](QWidget* w) { Choose(w, "ClassList", "Α2"); },
         [](QWidget* w) {
             Choose(w, "TeacherList", "Τ3");
             SetSpin(w, "SpinEdit1", 3);
             SetSpin(w, "SpinEdit2", 2);
         },
         U("Διδάσκοντες=1 , Ώρες=7"),
         {U("Τ3"), U("3"), U("2")},
         [](QWidget* w) {
             Choose(w, "TeacherList", "Τ1");
             SetSpin(w, "SpinEdit1", 0);
             SetSpin(w, "SpinEdit2", 0);
         },
         U("Διδάσκοντες=0 , Ώρες=0")},
        {EntryWindow::kEighthHourDays,
         "TForm14",
         nothing,
         [](QWidget* w) { Choose(w, "DayList", "Τετάρτη"); },
         U("Μέρες=1"),
         {U("Τετάρτη")},
         [](QWidget* w) { Child<QComboBox>(w, "DayList")->setCurrentIndex(-1); },
         U("Μέρες=0")},
        {EntryWindow::kPinned,
         "TForm15",
         nothing,
         [](QWidget* w) {
             Choose(w, "ClassList", "Α2");
             Choose(w, "TeacherList", "Τ1");
             Choose(w, "DayList", "Τρίτη");
             Choose(w, "HourList", "3");
         },
         total + u'1',
         {U("Τ1"), U("Α2"), U("Τρίτη Ωρα 3")},
         [](QWidget* w) { Child<QComboBox>(w, "HourList")->setCurrentIndex(-1); },
         total + u'0'},
        {EntryWindow::kAbsentDays,
         "TForm16",
         nothing,
         [](QWidget* w) {
             Choose(w, "TeacherList", "Τ2");
             Choose(w, "DayList", "Παρασκευή");
         },
         total + u'1',
         {U("Τ2"), U("Παρασκευή")},
         [](QWidget* w) { Child<QComboBox>(w, "TeacherList")->setCurrentIndex(-1); },
         total + u'0'},
        {EntryWindow::kFreeHours,
         "TForm17",
         nothing,
         [](QWidget* w) {
             Choose(w, "TeacherList", "Τ2");
             Choose(w, "DayList", "Δευτέρα");
             Choose(w, "HourList", "10");
         },
         total + u'1',
         {U("Τ2"), U("Δευτέρα Ωρα 10")},
         [](QWidget* w) { Child<QComboBox>(w, "DayList")->setCurrentIndex(-1); },
         total + u'0'},
        {EntryWindow::kJoint,
         "TForm18",
         nothing,
         [](QWidget* w) {
             Choose(w, "ClassList1", "Α2");
             Choose(w, "TeacherList", "Τ3");
             Choose(w, "ClassList2", "Α1");
         },
         total + u'1',
         {U("Τ3"), U("Α2"), U("Α1")},
         [](QWidget* w) { Choose(w, "ClassList2", "Α2"); },
         total + u'0'},
        {EntryWindow::kSplit,
         "TForm19",
         nothing,
         [](QWidget* w) {
             Choose(w, "ClassList", "Α1");
             Choose(w, "TeacherList1", "Τ2");
             Choose(w, "TeacherList2", "Τ3");
         },
         total + u'1',
         {U("Α1"), U("Τ2"), U("Τ3")},
         [](QWidget* w) { Choose(w, "TeacherList2", "Τ2"); },
         total + u'0'},
        {EntryWindow::kApart,
         "TForm20",
         nothing,
         [](QWidget* w) {
             Choose(w, "TeacherList1", "Τ3");
             Choose(w, "TeacherList2", "Τ1");
         },
         U("Ζεύγη διδασκόντων=1"),
         {U("Τ3"), U("Τ1")},
         [](QWidget* w) { Choose(w, "TeacherList1", "Τ1"); },
         U("Ζεύγη διδασκόντων=0")},
    };
}

}  // namespace

class EntryWindowsTest : public QObject {
    Q_OBJECT

  private slots:
    void everyWindowInsertsRefusesAndDeletes() {
        for (const WindowCase& c : Cases()) {
            const QByteArray form(c.form);
            School school;
            RecordingAsker& asker = school.folder.asker;
            std::unique_ptr<DataEntryWindow> window(
                MakeEntryWindow(c.window, &school.folder.context));
            window->show();
            QCOMPARE(window->objectName(), QString::fromLatin1(form));
            QCOMPARE(window->windowTitle(), data::InfoOf(c.window).caption);
            auto* insert = Child<QPushButton>(window.get(), "Button1");
            auto* remove = Child<QPushButton>(window.get(), "Button2");
            c.prepare(window.get());
            const int class_id =
                c.window == EntryWindow::kAllocation
                    ? DataEntryWindow::ChosenId(Child<QComboBox>(window.get(), "ClassList"))
                    : 0;
            QCOMPARE(CountText(window.get()), c.empty);
            const int before = school.Rows(c.window, class_id);
            QCOMPARE(remove->isEnabled(), before != 0);

            // A valid entry: stored, counted and shown; the grid grows.
            c.valid(window.get());
            insert->click();
            QVERIFY2(asker.messages.isEmpty(), form);
            QCOMPARE(school.Rows(c.window, class_id), before + 1);
            QCOMPARE(CountText(window.get()), c.counted);
            QCOMPARE(GridRows(window.get()), before + 1);
            QVERIFY2(ShownGrid(window.get()).contains(c.shown), form);
            QVERIFY2(remove->isEnabled(), form);

            // Delete answered No: the question names the entry, nothing goes.
            auto* grid = Child<QTableView>(window.get(), "DBGrid1");
            const int row = static_cast<int>(ShownGrid(window.get()).indexOf(c.shown));
            grid->selectRow(row);
            asker.answers = {false};
            remove->click();
            const QList<QStringList> listed = data::ListRows(school.session(), c.window, class_id);
            const QStringList questions = asker.Texts(Kind::kConfirm);
            QCOMPARE(questions.size(), 1);
            QVERIFY2(questions[0].contains(c.shown.first()), form);
            QVERIFY2(std::any_of(listed.begin(), listed.end(),
                                 [&](const QStringList& r) {
                                     return data::DeleteQuestion(c.window, r) == questions[0];
                                 }),
                     form);
            QCOMPARE(school.Rows(c.window, class_id), before + 1);

            // The Delete key asks the same; Yes deletes the entry.
            asker.messages.clear();
            asker.answers = {true};
            grid->selectRow(row);
            QTest::keyClick(grid, Qt::Key_Delete);
            QCOMPARE(asker.Texts(Kind::kConfirm), questions);
            QCOMPARE(school.Rows(c.window, class_id), before);
            QCOMPARE(GridRows(window.get()), before);
            QCOMPARE(CountText(window.get()), c.empty);
            QCOMPARE(remove->isEnabled(), before != 0);

            // A refused entry: the refusal, and nothing changed.
            asker.messages.clear();
            c.refused(window.get());
            if (insert->isEnabled()) {
                insert->click();
            } else {
                QTest::keyClick(window.get(), Qt::Key_Return);
            }
            QCOMPARE(asker.Texts(Kind::kError), QStringList{U(data::kEntryRefusedMessage)});
            QCOMPARE(school.Rows(c.window, class_id), before);
            QCOMPARE(GridRows(window.get()), before);
            QCOMPARE(CountText(window.get()), c.empty);
            QCOMPARE(school.folder.asker.unanswered, 0);
        }
    }

    void nameBoxesEmptyAndKeepTheFocusAfterAnInsert() {
        for (EntryWindow kind : {EntryWindow::kClasses, EntryWindow::kTeachers}) {
            School school;
            std::unique_ptr<DataEntryWindow> window(MakeEntryWindow(kind, &school.folder.context));
            window->show();
            QApplication::setActiveWindow(window.get());
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            auto* edit = Child<QLineEdit>(window.get(), "Edit1");
            QCOMPARE(QApplication::focusWidget(), edit);
            Type(edit, U("Νέο"));
            QTest::keyClick(edit, Qt::Key_Return);  // Enter presses the insert button
            QCOMPARE(school.Rows(kind), kind == EntryWindow::kClasses ? 3 : 4);
            QVERIFY(edit->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), edit);
            Type(edit, U("Νέο"));  // again: refused, and emptied as well
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(school.folder.asker.Texts(Kind::kError).size(), 1);
            QVERIFY(edit->text().isEmpty());
        }
    }

    void aSortedGridIsInGreekOrderAndDeletesTheRowShown() {
        School school;
        for (const char* name : {"Ωμέγα", "άλφα", "Βήτα", "Άλφα"}) {
            data::InsertTeacher(school.session(), U(name));
        }
        std::unique_ptr<DataEntryWindow> window(
            MakeEntryWindow(EntryWindow::kTeachers, &school.folder.context));
        window->show();
        auto* grid = Child<QTableView>(window.get(), "DBGrid1");
        const int column = grid->horizontalHeader()->logicalIndex(0);
        grid->sortByColumn(column, Qt::AscendingOrder);
        const QList<QStringList> sorted = {{U("Άλφα")}, {U("άλφα")}, {U("Βήτα")}, {U("Τ1")},
                                           {U("Τ2")},   {U("Τ3")},   {U("Ωμέγα")}};
        QCOMPARE(ShownGrid(window.get()), sorted);
        // The row selected in the sorted grid is the one asked about and deleted.
        grid->selectRow(2);
        school.folder.asker.answers = {true};
        Child<QPushButton>(window.get(), "Button2")->click();
        QCOMPARE(school.folder.asker.Texts(Kind::kConfirm),
                 QStringList{U("Διαγραφή του διδάσκοντος Βήτα;")});
        QVERIFY(!ShownGrid(window.get()).contains(QStringList{U("Βήτα")}));
        QCOMPARE(school.Rows(EntryWindow::kTeachers), 6);
    }

    // The grid always shows a selected row while it has rows: the first at
    // the opening, after a delete the row that took the deleted one's place
    // (or the one before, for the last row), even after a Ctrl+click on the
    // selected row; so the delete button and the Delete key always delete
    // the row shown selected.
    void aRowIsSelectedWhileTheGridHasRows() {
        School school;
        std::unique_ptr<DataEntryWindow> window(
            MakeEntryWindow(EntryWindow::kTeachers, &school.folder.context));
        window->show();
        auto* grid = Child<QTableView>(window.get(), "DBGrid1");
        auto* remove = Child<QPushButton>(window.get(), "Button2");
        const auto selected = [&]() -> QString {
            const QModelIndexList rows = grid->selectionModel()->selectedRows();
            return rows.size() == 1 ? ShownGrid(window.get()).at(rows[0].row()).first() : QString();
        };
        QCOMPARE(selected(), U("Τ1"));

        const QRect first = grid->visualRect(grid->model()->index(0, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, first.center());
        QCOMPARE(selected(), U("Τ1"));

        school.folder.asker.answers = {true};
        QTest::keyClick(grid, Qt::Key_Delete);  // nothing chosen by hand
        QCOMPARE(school.folder.asker.Texts(Kind::kConfirm),
                 QStringList{U("Διαγραφή του διδάσκοντος Τ1;")});
        QCOMPARE(selected(), U("Τ2"));

        grid->selectRow(1);  // the last row
        school.folder.asker.answers = {true};
        remove->click();
        QCOMPARE(ShownGrid(window.get()), QList<QStringList>{{U("Τ2")}});
        QCOMPARE(selected(), U("Τ2"));

        school.folder.asker.answers = {true};
        remove->click();
        QCOMPARE(GridRows(window.get()), 0);
        QCOMPARE(selected(), QString());
        QVERIFY(!remove->isEnabled());
        QCOMPARE(school.folder.asker.unanswered, 0);
    }

    void insertButtonFollowsTheValidatorAsItIsTyped() {
        School school;
        std::unique_ptr<DataEntryWindow> window(
            MakeEntryWindow(EntryWindow::kTeachers, &school.folder.context));
        window->show();
        auto* edit = Child<QLineEdit>(window.get(), "Edit1");
        auto* insert = Child<QPushButton>(window.get(), "Button1");
        QCOMPARE(edit->maxLength(), data::kMaxTeacherNameLength);
        QCOMPARE(Child<QLabel>(window.get(), "Label_note")->text(), U(data::kQuoteNote));
        QVERIFY(!insert->isEnabled());
        // Each step: what is typed (or erased) and whether insert is enabled.
        const QList<QPair<QString, bool>> steps = {
            {U("   "), false}, {U("Π"), true},    {U("'"), false},  {QString(), true},
            {U("%"), false},   {QString(), true}, {U("!"), false},  {QString(), true},
            {U("\""), false},  {QString(), true}, {U(" Α."), true},
        };
        for (const auto& [typed, enabled] : steps) {
            if (typed.isEmpty()) {
                QTest::keyClick(edit, Qt::Key_Backspace);
            } else {
                Type(edit, typed);
            }
            QVERIFY2(insert->isEnabled() == enabled, qPrintable(edit->text()));
        }
        edit->clear();
        QVERIFY(!insert->isEnabled());
        // The allocation window has no name box: its insert is always enabled.
        std::unique_ptr<DataEntryWindow> allocation(
            MakeEntryWindow(EntryWindow::kAllocation, &school.folder.context));
        QVERIFY(Child<QPushButton>(allocation.get(), "Button1")->isEnabled());
    }

    void allocationFollowsTheChosenClassAndKeepsItsTotalAtMost50() {
        School school;
        const data::Session s = school.session();
        const auto id = [&](const char* table, const char* name) {
            return table[0] == 'C' ? data::detail::ClassIdByName(s, U(name))
                                   : data::detail::TeacherIdByName(s, U(name));
        };
        data::InsertAllocation(s, id("C", "Α1"), id("T", "Τ1"), 15, 10);  // 35
        data::InsertAllocation(s, id("C", "Α1"), id("T", "Τ2"), 13, 0);   // 48
        data::InsertAllocation(s, id("C", "Α2"), id("T", "Τ3"), 1, 0);
        std::unique_ptr<DataEntryWindow> window(
            MakeEntryWindow(EntryWindow::kAllocation, &school.folder.context));
        window->show();
        QCOMPARE(Child<QSpinBox>(window.get(), "SpinEdit1")->maximum(), data::kMaxSingleHours);
        QCOMPARE(Child<QSpinBox>(window.get(), "SpinEdit2")->maximum(), data::kMaxDoubleHours);
        // Until a class is chosen: no rows, no count, no delete.
        QCOMPARE(GridRows(window.get()), 0);
        QVERIFY(CountText(window.get()).isEmpty());
        QVERIFY(!Child<QPushButton>(window.get(), "Button2")->isEnabled());

        Choose(window.get(), "ClassList", "Α1");
        QCOMPARE(CountText(window.get()), U("Διδάσκοντες=2 , Ώρες=48"));
        QCOMPARE(ShownGrid(window.get()),
                 (QList<QStringList>{{U("Τ1"), U("15"), U("10")}, {U("Τ2"), U("13"), U("0")}}));
        Choose(window.get(), "ClassList", "Α2");
        QCOMPARE(CountText(window.get()), U("Διδάσκοντες=1 , Ώρες=1"));
        QCOMPARE(ShownGrid(window.get()), (QList<QStringList>{{U("Τ3"), U("1"), U("0")}}));

        Choose(window.get(), "ClassList", "Α1");
        Choose(window.get(), "TeacherList", "Τ3");
        SetSpin(window.get(), "SpinEdit1", 1);
        SetSpin(window.get(), "SpinEdit2", 1);  // 51
        Child<QPushButton>(window.get(), "Button1")->click();
        QCOMPARE(school.folder.asker.Texts(Kind::kError),
                 QStringList{U(data::kEntryRefusedMessage)});
        QCOMPARE(CountText(window.get()), U("Διδάσκοντες=2 , Ώρες=48"));
        SetSpin(window.get(), "SpinEdit1", 2);
        SetSpin(window.get(), "SpinEdit2", 0);  // exactly 50
        Child<QPushButton>(window.get(), "Button1")->click();
        QCOMPARE(school.folder.asker.Texts(Kind::kError).size(), 1);
        QCOMPARE(CountText(window.get()), U("Διδάσκοντες=3 , Ώρες=50"));
        // The spin boxes keep their values after an insert.
        QCOMPARE(Child<QSpinBox>(window.get(), "SpinEdit1")->value(), 2);
    }

    void eighthHourWindowNamesTheDaysToDeclare() {
        School school;
        const data::Session s = school.session();
        const int a1 = data::detail::ClassIdByName(s, U("Α1"));
        data::InsertAllocation(s, a1, data::detail::TeacherIdByName(s, U("Τ1")), 15, 10);
        data::InsertAllocation(s, a1, data::detail::TeacherIdByName(s, U("Τ2")), 3, 0);  // 38
        std::unique_ptr<DataEntryWindow> window(
            MakeEntryWindow(EntryWindow::kEighthHourDays, &school.folder.context));
        QCOMPARE(Child<QLabel>(window.get(), "Label_required")->text(),
                 U("Ο αριθμός των ημερών με 8 ωρο που πρέπει να δηλώσεις είναι:3"));
        QCOMPARE(Child<QComboBox>(window.get(), "DayList")->count(), 5);
        QCOMPARE(Child<QComboBox>(window.get(), "DayList")->currentIndex(), -1);
    }

    void teacherViewShowsWhatTheDataSay() {
        ProgramFolder folder;
        folder.RegisterSchool();
        const data::Database entry = data::Database::Open(folder.context.paths.entry_database);
        folder.context.school = data::Login(entry.connection());
        const data::Session session{entry.connection(), folder.context.school};
        QFile demo(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"));
        QVERIFY(demo.open(QIODevice::ReadOnly));
        data::ImportSchool(session, data::ParseSchoolDocument(demo.readAll()));

        TeacherViewWindow window(&folder.context);
        window.show();
        QCOMPARE(window.objectName(), QStringLiteral("TForm25"));
        QCOMPARE(window.windowTitle(), U("Αναλυτική εικόνα του διδάσκοντος"));
        QCOMPARE(Child<QLabel>(&window, "Label1")->text(), U("Υπό έρευνα καθηγητής:"));
        auto* teachers = Child<QComboBox>(&window, "DBLookupComboBox1");
        const QList<data::PickItem> items =
            data::PickItems(session, data::PickList::kTeachersAndPairs);
        QCOMPARE(teachers->count(), items.size());
        QCOMPARE(teachers->currentIndex(), -1);
        for (char s = '1'; s <= '7'; ++s) {
            QCOMPARE(Child<QTableWidget>(&window, QByteArray("DBGrid") + s)->rowCount(), 0);
            QVERIFY(Child<QLabel>(&window, QByteArray("Result") + s)->text().isEmpty());
        }
        QCOMPARE(Child<QTableWidget>(&window, "DBGrid1")->horizontalHeaderItem(3)->text(),
                 U("Σύνολο"));

        int sections_with_rows = 0;
        for (int i = 0; i < teachers->count(); ++i) {
            teachers->setCurrentIndex(i);
            QCOMPARE(teachers->currentText(), items[i].name);
            const data::TeacherDetails details = data::ReadTeacherDetails(session, items[i].id);
            for (int s = 0; s < 7; ++s) {
                const QByteArray grid_name = QByteArray("DBGrid") + char('1' + s);
                const QByteArray result_name = QByteArray("Result") + char('1' + s);
                auto* grid = Child<QTableWidget>(&window, grid_name.constData());
                QList<QStringList> shown;
                for (int r = 0; r < grid->rowCount(); ++r) {
                    QStringList row;
                    for (int c = 0; c < grid->columnCount(); ++c) {
                        row.append(grid->item(r, c)->text());
                    }
                    shown.append(row);
                }
                const auto& section = details[static_cast<std::size_t>(s)];
                QCOMPARE(shown, section.rows);
                QCOMPARE(Child<QLabel>(&window, result_name.constData())->text(), section.result);
                sections_with_rows += shown.isEmpty() ? 0 : 1;
            }
        }
        // The demo school has rows in every kind of section.
        QVERIFY(sections_with_rows >= 7);
    }

    // With solution pages present, the chosen teacher's gaps in them are
    // shown under the choice, read off the window's thread; a teacher chosen
    // while the pages are being read is the one shown.
    void teacherViewShowsTheGapsInTheSolutions() {
        QSize without_pages;
        ProgramFolder folder;
        folder.RegisterSchool();
        {
            const data::Database entry = data::Database::Open(folder.context.paths.entry_database);
            folder.context.school = data::Login(entry.connection());
            QFile demo(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"));
            QVERIFY(demo.open(QIODevice::ReadOnly));
            data::ImportSchool({entry.connection(), folder.context.school},
                               data::ParseSchoolDocument(demo.readAll()));
        }
        {
            TeacherViewWindow window(&folder.context);
            window.show();
            Child<QComboBox>(&window, "DBLookupComboBox1")->setCurrentIndex(0);
            QVERIFY(!window.readingGaps());
            // No pages: neither the table nor the summary is seen.
            QVERIFY(!Child<QTableWidget>(&window, "GapsInSolutions")->isVisible());
            QVERIFY(!Child<QLabel>(&window, "GapsSummary")->isVisible());
            without_pages = window.frameGeometry().size();
        }
        {
            data::RunSequence sequence(folder.context.paths);
            sequence.Lock();
            QCOMPARE(sequence.Check(), data::DataProblem::kNone);
            sequence.Prepare();
            sequence.Load();
            data::SearchRequest request;
            request.settings.solutions_requested = 3;
            request.seed = 5;
            request.threads = 1;
            QCOMPARE(sequence.Search(request).found, 3);
        }
        const std::filesystem::path pages = SolutionsDirectory(
            folder.context.paths.directory.toStdString(), folder.context.school.toStdString());

        TeacherViewWindow window(&folder.context);
        window.show();
        auto* teachers = Child<QComboBox>(&window, "DBLookupComboBox1");
        auto* gaps = Child<QTableWidget>(&window, "GapsInSolutions");
        auto* summary = Child<QLabel>(&window, "GapsSummary");
        const int pair = teachers->findText(U("ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ+ΡΗΓΑ ΧΡΥΣΟΥΛΑ"));
        QVERIFY(pair >= 0);
        teachers->setCurrentIndex(pair == 0 ? 1 : 0);
        teachers->setCurrentIndex(pair);  // while the first reading is under way
        QTRY_VERIFY_WITH_TIMEOUT(!window.readingGaps(), 30000);
        const data::GapsInPages read =
            data::ReadGapsInPages(pages, teachers->currentText().toStdString());
        QVERIFY(gaps->isVisible() && summary->isVisible());
        QCOMPARE(summary->text(), data::GapsInPagesSummary(read));
        const QStringList lines = summary->text().split(u'\n');
        QCOMPARE(lines.size(), 2);  // the pair's two members, fewest first
        QVERIFY2(lines[0].startsWith(U("Λιγότερα κενά στις λύσεις (ΤΣΙΡΩΝΗΣ ΜΙΧΑΗΛ): Λύση ")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(U("Λιγότερα κενά στις λύσεις (ΡΗΓΑ ΧΡΥΣΟΥΛΑ): Λύση ")),
                 qPrintable(lines[1]));
        // Every page's count, a row per page and member, under its titles.
        const QStringList columns = data::GapsInPagesColumns(read);
        QCOMPARE(gaps->columnCount(), columns.size());
        for (int c = 0; c < gaps->columnCount(); ++c) {
            QCOMPARE(gaps->horizontalHeaderItem(c)->text(), columns[c]);
        }
        const QList<QStringList> rows = data::GapsInPagesRows(read);
        QCOMPARE(gaps->rowCount(), 6);  // three pages, two members
        for (int r = 0; r < gaps->rowCount(); ++r) {
            for (int c = 0; c < gaps->columnCount(); ++c) {
                QCOMPARE(gaps->item(r, c)->text(), rows[r][c]);
            }
        }
        // Each member's fewest row is in bold, and only those.
        for (std::size_t m = 0; m < read.people.size(); ++m) {
            for (int page = 0; page < 3; ++page) {
                const int r = page * 2 + static_cast<int>(m);
                QCOMPARE(gaps->item(r, 0)->font().bold(), page == read.people[m].fewest);
            }
        }
        // The gaps take their room from the sections: the window keeps the
        // size it has without pages, and fits a 1024 x 768 screen.
        QTRY_COMPARE(window.frameGeometry().size(), without_pages);
        QVERIFY(window.frameGeometry().height() <= 768 && window.frameGeometry().width() <= 1024);
        // All of the summary's lines show whole: none is cut by the table.
        QVERIFY(summary->height() >= summary->heightForWidth(summary->width()));
        // A school of 254 pages scrolls within the same few rows.
        QVERIFY(gaps->height() < 8 * gaps->verticalHeader()->defaultSectionSize());
    }

    void menuItemsOpenTheirWindows() {
        School school;
        const QList<QPair<MenuWindow, const char*>> items = {
            {MenuWindow::kClasses, "TForm10"},          {MenuWindow::kTeachers, "TForm11"},
            {MenuWindow::kTeacherPairs, "TForm12"},     {MenuWindow::kAllocation, "TForm13"},
            {MenuWindow::kEightHourDays, "TForm14"},    {MenuWindow::kPinnedLessons, "TForm15"},
            {MenuWindow::kAbsentDays, "TForm16"},       {MenuWindow::kFreeHours, "TForm17"},
            {MenuWindow::kTwoClassTeachers, "TForm18"}, {MenuWindow::kLessonSplit, "TForm19"},
            {MenuWindow::kExclusivePairs, "TForm20"},   {MenuWindow::kTeacherView, "TForm25"},
        };
        for (const auto& [item, form] : items) {
            QVERIFY(OpenMenuWindow(item, &school.folder.context, nullptr));
            QWidget* shown = ShownWindow(form);
            QVERIFY2(shown != nullptr, form);
            QCOMPARE(shown->windowModality(), Qt::ApplicationModal);
            shown->close();
            QVERIFY2(ShownWindow(form) == nullptr, form);
        }
        // Every window at once, as a school at its limits opens them.
        for (const auto& [item, form] : items) {
            QVERIFY(OpenMenuWindow(item, &school.folder.context, nullptr));
        }
        for (const auto& [item, form] : items) {
            QWidget* shown = ShownWindow(form);
            QVERIFY2(shown != nullptr, form);
            shown->close();
        }
        QVERIFY(school.folder.asker.messages.isEmpty());
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::EntryWindowsTest)
#include "entry_windows_test.moc"
