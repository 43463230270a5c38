// The print window TForm1A, the general plan and summary windows and the
// free-hour window TForm24, offscreen: the file choice and its cancelling,
// the busy state while a page is read off the window's thread, the reports
// asked for, and the free-hour answer for a solved page of the demo school.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/generator/school_generator.h"
#include "core/pages/solution_page_writer.h"
#include "core/text/wording.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/reports/work_tables.h"
#include "gui/common/file_dialog.h"
#include "gui/common/look.h"
#include "gui/reports/free_hour_window.h"
#include "gui/reports/plan_window.h"
#include "gui/reports/print_window.h"
#include "gui/reports/report_viewer.h"
#include "gui/reports/solution_choice.h"
#include "gui/reports/summary_window.h"
#include "gui/shell/main_window.h"
#include "gui_test_support.h"
#include "reports/layouts/report_layout.h"
#include "solved_demo.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

// Records the reports asked for, with the rows they were given.
class RecordingViewer : public ReportViewer {
  public:
    void Show(QWidget*, const reports::ReportLayout& layout) override {
        shown.append(layout.Name());
        rows.append(static_cast<int>(layout.tables().rows.size()));
        names.append(static_cast<int>(layout.tables().names.size()));
    }
    QString PdfPath(QWidget*, const QString& name) override {
        pdf_asked.append(name);
        return pdf_path;
    }
    QStringList shown;
    QStringList pdf_asked;
    QString pdf_path;
    QList<int> rows;
    QList<int> names;
};

class PrintWindowsTest : public QObject {
    Q_OBJECT

  private:
    // The demo school imported and solved once by the command-line tool:
    // its page in the school's solutions folder.
    QTemporaryDir demo_;
    QString demo_page_;

    struct Fixture {
        explicit Fixture(bool school_folder = true) {
            folder.context.school = QString::fromLatin1(data::kAccessCode);
            if (school_folder) {
                QDir().mkpath(SchoolFolder());
            }
        }
        QString SchoolFolder() const {
            return QDir(folder.context.paths.solutions).filePath(folder.context.school);
        }
        QString WorkTables() const {
            return data::ReportDatabasePath(folder.context.paths.directory);
        }
        ProgramFolder folder;
        ScriptedChooser chooser;
        RecordingViewer viewer;
    };

    static QList<QPushButton*> PrintButtons(QWidget* window) {
        QList<QPushButton*> buttons;
        for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button5"}) {
            buttons.append(Child<QPushButton>(window, name));
        }
        return buttons;
    }

    static bool AllEnabled(const QList<QPushButton*>& buttons, bool enabled) {
        return std::all_of(buttons.begin(), buttons.end(),
                           [enabled](QPushButton* b) { return b->isEnabled() == enabled; });
    }

    static QList<QStringList> Table(const QString& path, const char* sql) {
        const data::Database db = data::Database::Open(path, data::ReportDesign());
        return data::Rows(db.connection(), QString::fromLatin1(sql));
    }

    // The teachers whose own timetable on the page has nothing at (day,
    // hour): read with the teacher-timetable reader, not the general plan's.
    QSet<QString> TeachersWithoutLesson(int day, int hour) {
        QTemporaryDir dir;
        const data::Database db =
            data::Database::Open(data::ReportDatabasePath(dir.path()), data::ReportDesign());
        data::ReadIntoWorkTables(db.connection(), demo_page_, data::PrintReading::kTeachers);
        QSet<QString> free;
        const int column = (hour - 1) * 5 + day;
        for (const QStringList& row :
             data::Rows(db.connection(),
                        QStringLiteral("SELECT TABLENAME, [%1] IS NULL FROM TABLE1").arg(column))) {
            if (row[1] == QLatin1String("1")) {
                free.insert(row[0].mid(U("ΚΑΘΗΓΗΤΗΣ: ").size()));
            }
        }
        return free;
    }

    static QStringList GridTexts(QTableWidget* grid) {
        QStringList texts;
        for (int r = 0; r < grid->rowCount(); ++r) {
            texts.append(grid->item(r, 0)->text());
        }
        return texts;
    }

  private slots:
    void initTestCase() {
        ApplyProgramLook(*qApp);
        QVERIFY(demo_.isValid());
        QString error;
        demo_page_ = SolveDemoInto(demo_.path(), error);
        QVERIFY2(!demo_page_.isEmpty(), qPrintable(error));
    }

    // Each window is sky-blue, of a fixed size that leaves no text clipped,
    // in the middle of the screen, with its captions and hints.
    void windowsFollowTheConventions() {
        Fixture f;
        std::vector<std::unique_ptr<Window>> windows;
        windows.push_back(
            std::make_unique<PrintWindow>(&f.folder.context, nullptr, &f.chooser, &f.viewer));
        windows.push_back(std::make_unique<PlanWindow>(&f.folder.context, f.viewer));
        windows.push_back(std::make_unique<SummaryWindow>(&f.folder.context, f.viewer));
        windows.push_back(std::make_unique<FreeHourWindow>(&f.folder.context, nullptr, &f.chooser));
        for (const auto& window : windows) {
            window->show();
            const QString name = window->objectName();
            QCOMPARE(window->palette().color(QPalette::Window), kSkyBlue);
            QCOMPARE(window->minimumSize(), window->maximumSize());
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if ((qobject_cast<QLabel*>(control) != nullptr ||
                     qobject_cast<QAbstractButton*>(control) != nullptr) &&
                    control->isVisibleTo(window.get())) {
                    const QSize need = control->sizeHint();
                    QVERIFY2(control->width() >= need.width() && control->height() >= need.height(),
                             qPrintable(name + u'.' + control->objectName()));
                }
                if (auto* button = qobject_cast<QPushButton*>(control)) {
                    QVERIFY2(!button->toolTip().isEmpty() && !button->toolTip().contains(u'&'),
                             qPrintable(name + u'.' + button->objectName()));
                }
            }
            const QPoint centre = window->screen()->availableGeometry().center();
            QVERIFY(qAbs(window->frameGeometry().center().x() - centre.x()) <= 1);
        }
        QCOMPARE(windows[0]->windowTitle(), U("Εκτυπώσεις"));
        QCOMPARE(windows[1]->windowTitle(), U("Παρουσίαση / Εκτύπωση του γενικού πλάνου"));
        QCOMPARE(windows[2]->windowTitle(),
                 U("Παρουσίαση / Εκτύπωση Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος "));
        QCOMPARE(windows[3]->windowTitle(), U("Διδάσκοντες που έχουν κενή ώρα"));
        QCOMPARE(Child<QPushButton>(windows[0].get(), "Button1")->toolTip(),
                 U("Παρουσίαση / Εκτύπωση του προγράμματος των τμημημάτων"));
        QCOMPARE(Child<QPushButton>(windows[1].get(), "Button8")->toolTip(),
                 U("Παρουσίαση / Εκτύπωση συνόλου ωρών διδασκαλίας"));
        // The general plan and the summary are left by their exit buttons.
        QVERIFY(!windows[1]->windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(windows[3]->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    }

    // The classes and the teachers: the choice starts in the school's folder,
    // the window is busy while the page is read, then the report comes with
    // one row per timetable and the window is idle again.
    void singleReportsReadTheChosenPage_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("progress");
        QTest::newRow("classes") << "Button1"
                                 << "REPORT2" << U("ΤΜΗΜΑ: ");
        QTest::newRow("teachers") << "Button3"
                                  << "REPORT1" << U("ΚΑΘΗΓΗΤΗΣ: ");
    }

    void singleReportsReadTheChosenPage() {
        QFETCH(QString, button);
        QFETCH(QString, report);
        QFETCH(QString, progress);
        Fixture f;
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        const QList<QPushButton*> buttons = PrintButtons(&window);
        auto* wait = Child<QLabel>(&window, "Label1");
        auto* progress_label = Child<QLabel>(&window, "Label2");
        QVERIFY(AllEnabled(buttons, true) && !wait->isVisible() && !progress_label->isVisible());

        QSignalSpy idle(&window, &PrintWindow::idle);
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, button.toLatin1().constData())->click();
        // The click returns while the page is still being read.
        QVERIFY(window.busy());
        QVERIFY(AllEnabled(buttons, false));
        QVERIFY(wait->isVisible() && progress_label->isVisible());
        QCOMPARE(wait->text(), U(kPleaseWaitText));

        QVERIFY(idle.wait(30000));
        QCOMPARE(f.chooser.folders, QStringList{f.SchoolFolder()});
        QCOMPARE(f.viewer.shown, QStringList{report});
        const int timetables =
            static_cast<int>(Table(f.WorkTables(), "SELECT TABLENAME FROM TABLE1").size());
        QVERIFY(timetables > 0);
        QCOMPARE(f.viewer.rows, QList<int>{timetables});
        QVERIFY(progress_label->text().startsWith(progress));
        QVERIFY(AllEnabled(buttons, true) && !wait->isVisible() && !progress_label->isVisible());
        QVERIFY(!window.busy());
        QVERIFY(f.folder.asker.messages.isEmpty());
    }

    // Cancelling the choice says so and leaves the work tables as they were;
    // without the school's folder the choice starts in the common one.
    void cancellingTheChoiceKeepsTheTables() {
        Fixture f(false);
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        QSignalSpy idle(&window, &PrintWindow::idle);
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button3")->click();
        QVERIFY(idle.wait(30000));
        const QList<QStringList> before = Table(f.WorkTables(), "SELECT * FROM TABLE1");
        QVERIFY(!before.isEmpty());

        for (const char* button : {"Button1", "Button3", "Button4", "Button5"}) {
            f.folder.asker.messages.clear();
            Child<QPushButton>(&window, button)->click();
            QCOMPARE(f.folder.asker.Texts(Kind::kInform), QStringList{U(kNoSolutionChosenMessage)});
            QVERIFY(!window.busy());
            QVERIFY(AllEnabled(PrintButtons(&window), true));
        }
        QCOMPARE(Table(f.WorkTables(), "SELECT * FROM TABLE1"), before);
        QCOMPARE(f.viewer.shown, QStringList{QStringLiteral("REPORT1")});
        QCOMPARE(f.chooser.folders.constFirst(), QDir(f.folder.context.paths.solutions).path());
        QVERIFY(ShownWindow("TForm4A") == nullptr && ShownWindow("TForm23") == nullptr);
    }

    // A file that is not a solution page: the reading's message, nothing
    // shown, and the window ready for another file.
    void aFailedReadingLeavesTheWindowReady() {
        Fixture f;
        const QString bad = f.folder.path("SOLUTION9.htm");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<html>\r\n<p>not a page</p>\r\n");
        file.close();
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        QSignalSpy idle(&window, &PrintWindow::idle);
        f.chooser.answers = {bad};
        Child<QPushButton>(&window, "Button1")->click();
        QVERIFY(idle.wait(30000));
        const QStringList errors = f.folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(QStringLiteral("SOLUTION9.htm")), qPrintable(errors[0]));
        QVERIFY(f.viewer.shown.isEmpty());
        QVERIFY(AllEnabled(PrintButtons(&window), true));
        QVERIFY(!Child<QLabel>(&window, "Label1")->isVisible());
    }

    // The general plan opens TForm4A, whose strips can be shown in any order
    // and again; closing it gives the print window its buttons back.
    void generalPlanWindowRunsItsStrips() {
        Fixture f;
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button4")->click();
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm4A") != nullptr, 30000);
        QWidget* plan = ShownWindow("TForm4A");
        QVERIFY(window.busy() && AllEnabled(PrintButtons(&window), false));
        const char* const kButtons[] = {"Button1", "Button2", "Button3", "Button4",
                                        "Button5", "Button6", "Button8", "Button2"};
        for (const char* name : kButtons) {
            Child<QPushButton>(plan, name)->click();
        }
        QCOMPARE(f.viewer.shown.join(u' '),
                 QStringLiteral("REPORT3 REPORT4 REPORT5 REPORT6 REPORT7 REPORT8 REPORT9 REPORT4"));
        const int teachers =
            static_cast<int>(Table(f.WorkTables(), "SELECT TABLENAME FROM TABLE1").size());
        QVERIFY(std::all_of(f.viewer.rows.begin(), f.viewer.rows.end(),
                            [teachers](int rows) { return rows == teachers; }));
        QCOMPARE(Child<QPushButton>(plan, "Button2")->toolTip(),
                 U("Παρουσίαση / Εκτύπωση της Δευτέρας"));
        Child<QPushButton>(plan, "Button7")->click();
        QTRY_VERIFY(ShownWindow("TForm4A") == nullptr);
        QTRY_VERIFY(!window.busy());
        QVERIFY(AllEnabled(PrintButtons(&window), true));
    }

    // The summary opens TForm23 with its two parts and the legend's names.
    void summaryWindowRunsBothParts() {
        Fixture f;
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button5")->click();
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm23") != nullptr, 30000);
        QWidget* summary = ShownWindow("TForm23");
        Child<QPushButton>(summary, "Button3")->click();
        Child<QPushButton>(summary, "Button2")->click();
        QCOMPARE(f.viewer.shown.join(u' '), QStringLiteral("REPORT12 REPORT11"));
        const int names = static_cast<int>(Table(f.WorkTables(), "SELECT ID FROM TABLE3").size());
        QVERIFY(names > 0);
        QCOMPARE(f.viewer.names, (QList<int>{names, names}));
        Child<QPushButton>(summary, "Button1")->click();
        QTRY_VERIFY(!window.busy());
    }

    // A report button's "Αποθήκευση ως PDF" writes the report without the
    // preview: the classes after their reading, a strip of the plan.
    void reportsAreSavedAsPdfWithoutThePreview() {
        Fixture f;
        f.viewer.pdf_path = f.folder.path("classes.pdf");
        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        QSignalSpy idle(&window, &PrintWindow::idle);
        f.chooser.answers = {demo_page_};
        window.findChild<QAction*>(QStringLiteral("Button1SavePdf"))->trigger();
        QVERIFY(idle.wait(30000));
        QVERIFY(f.viewer.shown.isEmpty());
        QCOMPARE(f.viewer.pdf_asked, QStringList{QStringLiteral("REPORT2")});
        const int classes =
            static_cast<int>(Table(f.WorkTables(), "SELECT TABLENAME FROM TABLE1").size());
        QFile pdf(f.viewer.pdf_path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        QCOMPARE(
            f.folder.asker.Texts(Kind::kInform),
            QStringList{U(kPdfSavedMessage)
                            .arg(QDir::toNativeSeparators(f.viewer.pdf_path))
                            .arg(QString::fromStdString(CountOf(classes, "σελίδα", "σελίδες")))});

        // Cancelling the file name writes nothing and says nothing.
        f.folder.asker.messages.clear();
        f.viewer.pdf_path.clear();
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button4")->click();
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm4A") != nullptr, 30000);
        QWidget* plan = ShownWindow("TForm4A");
        plan->findChild<QAction*>(QStringLiteral("Button2SavePdf"))->trigger();
        QCOMPARE(f.viewer.pdf_asked.constLast(), QStringLiteral("REPORT4"));
        QVERIFY(f.folder.asker.messages.isEmpty());
        f.viewer.pdf_path = f.folder.path("monday.pdf");
        plan->findChild<QAction*>(QStringLiteral("Button2SavePdf"))->trigger();
        QVERIFY(QFile::exists(f.viewer.pdf_path));
        QCOMPARE(f.folder.asker.Texts(Kind::kInform).size(), 1);
        QVERIFY(f.viewer.shown.isEmpty());
        Child<QPushButton>(plan, "Button7")->click();
        QTRY_VERIFY(!window.busy());
    }

    // The PDF is offered in the user's documents folder, then in the folder
    // last saved to, for as long as that folder exists.
    void thePdfFolderIsTheDocumentsFolderOrTheLastOneUsed() {
        // The documents folder where the user has one, else the home folder.
        QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QDir(documents).exists()) {
            documents = QDir::homePath();
        }
        QTemporaryDir chosen;
        QVERIFY(chosen.isValid());
        const QString gone = chosen.filePath(QStringLiteral("gone"));
        QVERIFY(QDir().mkpath(gone));
        PdfFolder folder;
        QCOMPARE(QDir(folder.Folder()), QDir(documents));
        folder.Remember(QString());  // cancelled: nothing to remember
        QCOMPARE(QDir(folder.Folder()), QDir(documents));
        folder.Remember(QDir(gone).filePath(QStringLiteral("REPORT2.pdf")));
        QCOMPARE(QDir(folder.Folder()), QDir(gone));
        QVERIFY(QDir(gone).removeRecursively());
        QCOMPARE(QDir(folder.Folder()), QDir(documents));  // the folder went: back to documents
        folder.Remember(chosen.filePath(QStringLiteral("REPORT1.pdf")));
        QCOMPARE(QDir(folder.Folder()), QDir(chosen.path()));

        struct Case {
            QString given;
            QString offered;
        };
        for (const Case& c : {Case{QString(), documents}, Case{chosen.path(), chosen.path()},
                              Case{gone, documents}}) {
            const std::unique_ptr<FileDialog> dialog =
                MakePdfDialog(nullptr, QStringLiteral("REPORT1"), c.given);
            QCOMPARE(QDir(dialog->directory()), QDir(c.offered));
        }
    }

    // The menu item opens the one print window, again and again.
    void printMenuItemReusesTheWindow() {
        Fixture f;
        f.folder.RegisterSchool();
        MainWindow main(&f.folder.context);
        main.showMaximized();
        auto* item = main.findChild<QAction*>(QStringLiteral("N2"));
        item->trigger();
        QWidget* first = ShownWindow("TForm1A");
        QVERIFY(first != nullptr);
        QVERIFY(first->isModal());
        QVERIFY(main.isMaximized());  // stays so behind the print window
        Child<QPushButton>(first, "Button2")->click();
        QTRY_VERIFY(ShownWindow("TForm1A") == nullptr);
        item->trigger();
        QCOMPARE(ShownWindow("TForm1A"), first);
        Child<QPushButton>(first, "Button2")->click();
    }

    // Before a reading only the two buttons; right after it no day and hour,
    // so no answer; then each choice lists exactly the teachers without a
    // lesson at that hour, and past the last lesson every teacher.
    void freeHourWindowAnswersForTheDemoPage() {
        Fixture f;
        FreeHourWindow window(&f.folder.context, nullptr, &f.chooser);
        window.show();
        auto* day = Child<QComboBox>(&window, "ComboBox1");
        auto* hour = Child<QComboBox>(&window, "ComboBox2");
        auto* grid = Child<QTableWidget>(&window, "DBGrid1");
        auto* count = Child<QLabel>(&window, "Label3");
        QVERIFY(!day->isVisible() && !hour->isVisible() && !grid->isVisible() &&
                !count->isVisible());
        QVERIFY(Child<QPushButton>(&window, "Button1")->isVisible());

        Child<QPushButton>(&window, "Button1")->click();
        QCOMPARE(f.folder.asker.Texts(Kind::kInform), QStringList{U(kNoSolutionChosenMessage)});
        QVERIFY(!day->isVisible());

        QSignalSpy ended(&window, &FreeHourWindow::readingEnded);
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button1")->click();
        QVERIFY(window.busy());
        QVERIFY(Child<QLabel>(&window, "Label1")->isVisible());
        QVERIFY(!Child<QPushButton>(&window, "Button1")->isEnabled());
        QVERIFY(ended.wait(30000));
        QVERIFY(day->isVisible() && hour->isVisible() && grid->isVisible() && count->isVisible());
        QVERIFY(!Child<QLabel>(&window, "Label1")->isVisible());
        QCOMPARE(grid->rowCount(), 0);
        QCOMPARE(count->text(), QString());

        const QSet<QString> free = TeachersWithoutLesson(2, 3);
        const QSet<QString> everyone = TeachersWithoutLesson(5, 10);
        QVERIFY(!free.isEmpty() && free.size() < everyone.size());
        day->setCurrentIndex(1);        // Τρίτη
        QCOMPARE(grid->rowCount(), 0);  // no hour yet
        hour->setCurrentIndex(2);       // 3
        const QStringList listed = GridTexts(grid);
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()), free);
        QCOMPARE(count->text(), U("Συνολικός αριθμός=") + QString::number(free.size()));
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), U("Διδάσκοντες"));

        day->setCurrentIndex(4);
        hour->setCurrentIndex(9);  // Παρασκευή, 10: past every lesson
        const QStringList all = GridTexts(grid);
        QCOMPARE(QSet<QString>(all.begin(), all.end()), everyone);
        QCOMPARE(count->text(), U("Συνολικός αριθμός=") + QString::number(everyone.size()));
        QVERIFY(f.folder.asker.Texts(Kind::kError).isEmpty());
    }

    // With the school's data, the answer is of teachers who can stand in:
    // ΚΟΥΤΣΟΥΚΗ ΕΙΡΗΝΗ, absent on Fridays, is left out on a Friday and named
    // under the count, and listed on any other day.
    void freeHourWindowLeavesOutTheTeachersAbsentThatDay() {
        Fixture f;
        f.folder.RegisterSchool();
        {
            const data::Database entry =
                data::Database::Open(f.folder.context.paths.entry_database);
            data::ImportSchool({entry.connection(), f.folder.context.school},
                               data::ParseSchoolDocument(data::ReadSchoolFile(
                                   QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"))));
        }
        FreeHourWindow window(&f.folder.context, nullptr, &f.chooser);
        window.show();
        QSignalSpy ended(&window, &FreeHourWindow::readingEnded);
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button1")->click();
        QVERIFY(ended.wait(30000));
        auto* grid = Child<QTableWidget>(&window, "DBGrid1");
        auto* count = Child<QLabel>(&window, "Label3");
        auto* absent = Child<QLabel>(&window, "LabelAbsent");
        const QString koutsouki = U("ΚΟΥΤΣΟΥΚΗ ΕΙΡΗΝΗ");
        const QSet<QString> everyone = TeachersWithoutLesson(5, 10);
        QVERIFY(everyone.contains(koutsouki));
        struct Case {
            int day;
            bool away;
        };
        for (const Case& c : {Case{4, true}, Case{0, false}}) {
            Child<QComboBox>(&window, "ComboBox1")->setCurrentIndex(c.day);
            Child<QComboBox>(&window, "ComboBox2")->setCurrentIndex(9);  // past every lesson
            const QStringList listed = GridTexts(grid);
            QSet<QString> expected = everyone;
            if (c.away) {
                expected.remove(koutsouki);
            }
            QCOMPARE(QSet<QString>(listed.begin(), listed.end()), expected);
            QCOMPARE(count->text(), U("Συνολικός αριθμός=") + QString::number(expected.size()));
            QCOMPARE(absent->text(),
                     c.away ? U("Δεν εμφανίζεται, γιατί απουσιάζει την ημέρα αυτή: ") + koutsouki
                            : QString());
        }
        QVERIFY(f.folder.asker.Texts(Kind::kError).isEmpty());
    }

    // The 254th page of a 30-class school: the window keeps handling events
    // while the page is read, and the answer comes for the new page.
    // Another print (another window, the tool) reading a page into the same
    // work tables after a window's reading changes nothing of what that
    // window answers or draws: each answers from its own reading.
    void windowsAnswerFromTheirOwnReadingWhateverIsReadAfter() {
        Fixture f;
        const auto another_print = [this, &f] {
            const data::Database db = data::Database::Open(f.WorkTables(), data::ReportDesign());
            data::ReadIntoWorkTables(db.connection(), demo_page_, data::PrintReading::kClasses);
        };

        FreeHourWindow free_window(&f.folder.context, nullptr, &f.chooser);
        free_window.show();
        QSignalSpy ended(&free_window, &FreeHourWindow::readingEnded);
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&free_window, "Button1")->click();
        QVERIFY(ended.wait(30000));
        another_print();
        Child<QComboBox>(&free_window, "ComboBox1")->setCurrentIndex(1);
        Child<QComboBox>(&free_window, "ComboBox2")->setCurrentIndex(2);
        const QStringList listed = GridTexts(Child<QTableWidget>(&free_window, "DBGrid1"));
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()), TeachersWithoutLesson(2, 3));
        free_window.close();

        PrintWindow window(&f.folder.context, nullptr, &f.chooser, &f.viewer);
        window.show();
        f.chooser.answers = {demo_page_};
        Child<QPushButton>(&window, "Button4")->click();
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm4A") != nullptr, 30000);
        const int teachers =
            static_cast<int>(Table(f.WorkTables(), "SELECT TABLENAME FROM TABLE1").size());
        another_print();
        QWidget* plan = ShownWindow("TForm4A");
        Child<QPushButton>(plan, "Button1")->click();
        QCOMPARE(f.viewer.shown, QStringList{QStringLiteral("REPORT3")});
        QCOMPARE(f.viewer.rows, QList<int>{teachers});
        Child<QPushButton>(plan, "Button7")->click();
        QTRY_VERIFY(!window.busy());
    }

    void aLargePageReadsWithoutFreezingTheWindow() {
        Fixture f;
        const GeneratedSchool school = GenerateSchool(TypicalSchool(30, 2026));
        const SolverInputs& in = school.inputs;
        SolutionPageInfo info;
        info.school_name = "ΓΕΝΙΚΟ ΛΥΚΕΙΟ ΔΟΚΙΜΩΝ";
        info.max_class_week_hours =
            *std::max_element(in.class_week_hours.begin(), in.class_week_hours.end());
        int single_teachers = 0;
        for (int t = 1; t <= in.number_of_teachers; ++t) {
            const std::string& name = in.teacher_names[static_cast<std::size_t>(t)];
            if (name.find('+') == std::string::npos) {
                info.AddSingleTeacher(static_cast<std::uint8_t>(t), name);
                ++single_teachers;
            }
        }
        SolutionPageContent content;
        content.number_of_classes = in.number_of_classes;
        content.number_of_teachers = in.number_of_teachers;
        content.class_week_hours = in.class_week_hours;
        content.timetable = &school.witness;
        content.class_names = in.class_names;
        content.teacher_names = in.teacher_names;
        content.solution_time_text = "0:0:2:125";
        content.joint_lessons = school.rules.JointLessons();
        content.year = 2026;
        const QString page = QDir(f.SchoolFolder()).filePath(QStringLiteral("SOLUTION254.htm"));
        SolutionPageWriter::WriteFile(QFile::encodeName(page).toStdString(),
                                      RenderSolutionPage(info, content));

        FreeHourWindow window(&f.folder.context, nullptr, &f.chooser);
        window.show();
        auto* wait = Child<QLabel>(&window, "Label1");
        int ticks_while_reading = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout,
                [&] { ticks_while_reading += wait->isVisible() ? 1 : 0; });
        ticker.start(0);
        QSignalSpy ended(&window, &FreeHourWindow::readingEnded);
        f.chooser.answers = {page};
        Child<QPushButton>(&window, "Button1")->click();
        QVERIFY(ended.wait(60000));
        ticker.stop();
        QVERIFY2(ticks_while_reading > 0, "no event was handled while the page was read");
        const QString last = Child<QLabel>(&window, "Label2")->text();
        QVERIFY2(
            last.startsWith(U("ΔΙΔΑΣΚΩΝ: ")) || last.startsWith(U("ΚΟΙΝΕΣ ΚΕΝΕΣ ΔΙΔΑΣΚΩΝΤΩΝ: ")),
            qPrintable(last));
        Child<QComboBox>(&window, "ComboBox1")->setCurrentIndex(0);
        Child<QComboBox>(&window, "ComboBox2")->setCurrentIndex(9);
        QCOMPARE(Child<QTableWidget>(&window, "DBGrid1")->rowCount(), single_teachers);
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::PrintWindowsTest)
#include "print_windows_test.moc"
