// The way into a run through the windows: the checks from the menu command,
// the requested solutions, the preparation and the run window, driven by
// objectName with a recording asker, over the demo school.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSqlQuery>

#include "core/exact/exact_search.h"
#include "core/run/run_messages.h"
#include "core/run/run_settings.h"
#include "core/solver/errors.h"
#include "data/checks/presolve.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/run/run_sequence.h"
#include "data/shell/program_lock.h"
#include "gui/run/run_window.h"
#include "gui/shell/main_window.h"
#include "gui_test_support.h"
#include "support/school_without_timetable.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

namespace {

constexpr int kRunTimeoutMs = 60000;

QByteArray DemoSchool() {
    return data::ReadSchoolFile(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"));
}

}  // namespace

class RunWindowsTest : public QObject {
    Q_OBJECT

  private:
    // A logged-in school's main window, shown, over a program folder.
    struct Fixture {
        explicit Fixture(const QByteArray& school = DemoSchool()) {
            folder.RegisterSchool();
            folder.context.school = QString::fromLatin1(data::kAccessCode);
            if (!school.isEmpty()) {
                const data::Database entry =
                    data::Database::Open(folder.context.paths.entry_database);
                data::ImportSchool({entry.connection(), folder.context.school},
                                   data::ParseSchoolDocument(school));
            }
            window.emplace(&folder.context);
            window->show();
        }
        ~Fixture() {
            // Windows left open by a failed check go before the folder.
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName().startsWith(QLatin1String("TForm")) && widget != &*window) {
                    delete widget;
                }
            }
        }
        void Trigger(const char* action) {
            QAction* item = window->findChild<QAction*>(QString::fromLatin1(action));
            QVERIFY2(item != nullptr, action);
            item->trigger();
        }
        QDir Pages() const {
            return QDir(folder.dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE")));
        }
        int RequestedInEntry() const {
            const data::Database entry = data::Database::Open(folder.context.paths.entry_database);
            return static_cast<int>(data::ScalarInt(
                entry.connection(),
                QStringLiteral("SELECT NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS")));
        }
        int WorkingSchools() const {
            const data::Database working =
                data::Database::Open(folder.context.paths.working_database);
            return static_cast<int>(data::ScalarInt(
                working.connection(), QStringLiteral("SELECT COUNT(*) FROM SCHOOLS")));
        }
        // From the menu command to the run window, asking for `solutions`.
        QWidget* OpenRunWindow(int solutions) {
            Trigger("N3");
            QWidget* dialog = ShownWindow("TForm8");
            if (dialog == nullptr) {
                return nullptr;
            }
            Child<QSpinBox>(dialog, "SpinEdit1")->setValue(solutions);
            Child<QPushButton>(dialog, "Button1")->click();
            if (!QTest::qWaitFor([] { return ShownWindow("TForm1") != nullptr; }, kRunTimeoutMs)) {
                return nullptr;
            }
            return ShownWindow("TForm1");
        }
        ProgramFolder folder;
        std::optional<MainWindow> window;
    };

    static bool Idle(QWidget* run) {
        return !Child<QPushButton>(run, "Button1")->isHidden() &&
               !static_cast<RunWindow*>(run)->running();
    }

  private slots:
    void dataProblemsGetMessagesAOrB_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("problem");
        QTest::newRow("no classes") << QString() << static_cast<int>(data::DataProblem::kMessageA);
        QTest::newRow("a class without allocation")
            << QStringLiteral(
                   "INSERT INTO CLASSES (CLASS, SCHOOL_USERNAME) VALUES ('A1', 'HOMEBASE')")
            << static_cast<int>(data::DataProblem::kMessageB);
    }
    void dataProblemsGetMessagesAOrB() {
        QFETCH(QString, statement);
        QFETCH(int, problem);
        Fixture f(QByteArray{});
        if (!statement.isEmpty()) {
            const data::Database entry =
                data::Database::Open(f.folder.context.paths.entry_database);
            data::Run(entry.connection(), statement);
        }
        f.Trigger("N3");
        QCOMPARE(f.folder.asker.Texts(Kind::kError),
                 QStringList{data::DataProblemMessage(static_cast<data::DataProblem>(problem))});
        QVERIFY(ShownWindow("TForm8") == nullptr);
        QVERIFY(ShownWindow("TForm4") == nullptr);
        QCOMPARE(f.WorkingSchools(), 0);
    }

    void leavingTheRequestedSolutionsPreparesNothing() {
        Fixture f;
        const int stored = f.RequestedInEntry();
        f.Trigger("N3");
        QWidget* dialog = ShownWindow("TForm8");
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), U("Ζητούμενες λύσεις"));
        auto* spin = Child<QSpinBox>(dialog, "SpinEdit1");
        QCOMPARE(spin->value(), 1);
        QCOMPARE(spin->maximum(), 254);
        QCOMPARE(spin->minimum(), 1);
        spin->setValue(9);
        Child<QPushButton>(dialog, "Button2")->click();
        QTRY_VERIFY(ShownWindow("TForm8") == nullptr);
        QTest::qWait(50);
        QVERIFY(ShownWindow("TForm4") == nullptr);
        QVERIFY(ShownWindow("TForm1") == nullptr);
        QCOMPARE(f.RequestedInEntry(), stored);
        QCOMPARE(f.WorkingSchools(), 0);
        QVERIFY(f.folder.asker.messages.isEmpty());
    }

    void anotherWriterHoldingTheDirectoryRefusesThePreparation() {
        Fixture f;
        data::ProgramLock other(f.folder.context.paths.directory);
        QVERIFY(other.TryLock());
        f.Trigger("N3");
        QWidget* dialog = ShownWindow("TForm8");
        QVERIFY(dialog != nullptr);
        Child<QPushButton>(dialog, "Button1")->click();
        const QStringList errors = f.folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        data::ProgramLock probe(f.folder.context.paths.directory);
        QVERIFY(!probe.TryLock());
        QCOMPARE(errors.front(), probe.RefusalMessage());
        QVERIFY(ShownWindow("TForm4") == nullptr);
        QTest::qWait(50);
        QVERIFY(ShownWindow("TForm1") == nullptr);
        QVERIFY(f.window->isEnabled());
        QCOMPARE(f.WorkingSchools(), 0);
    }

    // Data the preparation refuses: its message, no run window, the main
    // window enabled again and the directory unlocked.
    void aFailedPreparationOpensNoRunWindow() {
        Fixture f;
        {
            const data::Database entry =
                data::Database::Open(f.folder.context.paths.entry_database);
            data::Run(entry.connection(),
                      QStringLiteral("UPDATE KARFWTOI SET DISPLAY_DAY_HOUR = 'x' WHERE ROWID = "
                                     "(SELECT MIN(ROWID) FROM KARFWTOI)"));
        }
        f.Trigger("N3");
        QWidget* dialog = ShownWindow("TForm8");
        QVERIFY(dialog != nullptr);
        Child<QPushButton>(dialog, "Button1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm4") == nullptr, kRunTimeoutMs);
        const QStringList errors = f.folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.front().startsWith(U(kContradictoryDataMessage)),
                 qPrintable(errors.front()));
        QTest::qWait(50);
        QVERIFY(ShownWindow("TForm1") == nullptr);
        QVERIFY(f.window->isEnabled());
        QCOMPARE(f.WorkingSchools(), 0);
        data::ProgramLock lock(f.folder.context.paths.directory);
        QTRY_VERIFY(lock.TryLock());
    }

    void aRunOfTheDemoSchoolToThreeSolutions() {
        Fixture f;
        f.window->setWindowState(Qt::WindowMaximized);
        f.Trigger("N3");
        // The main window stays maximised behind the run's windows.
        QVERIFY(f.window->isMaximized());
        QWidget* dialog = ShownWindow("TForm8");
        QVERIFY(dialog != nullptr);
        Child<QSpinBox>(dialog, "SpinEdit1")->setValue(3);
        Child<QPushButton>(dialog, "Button1")->click();
        // The preparation window is up and the main window disabled at once.
        QVERIFY(ShownWindow("TForm4") != nullptr);
        QVERIFY(f.window->isMaximized());
        QVERIFY(!f.window->isEnabled());
        QCOMPARE(f.RequestedInEntry(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm1") != nullptr, kRunTimeoutMs);
        QVERIFY(ShownWindow("TForm4") == nullptr);
        QVERIFY(f.window->isEnabled());
        QWidget* run = ShownWindow("TForm1");
        QCOMPARE(run->windowTitle(), U(kRunWindowCaption));
        QVERIFY(!Child<QLabel>(run, "DBText1")->text().isEmpty());
        QVERIFY(!Child<QLabel>(run, "DBText8")->text().isEmpty());
        QCOMPARE(Child<QLineEdit>(run, "DBEdit1")->text(), QStringLiteral("3"));
        QVERIFY(Child<QPushButton>(run, "Button3")->isHidden());  // no folder yet
        // The program directory stays locked while the run window is open.
        data::ProgramLock other(f.folder.context.paths.directory);
        QVERIFY(!other.TryLock());

        f.folder.asker.answers = {true};  // open the folder
        Child<QPushButton>(run, "Button1")->click();
        QVERIFY(!Child<QLineEdit>(run, "DBEdit1")->isEnabled());
        QVERIFY(Child<QPushButton>(run, "Button2")->isHidden());
        QTRY_VERIFY_WITH_TIMEOUT(Idle(run), kRunTimeoutMs);

        auto* list = Child<QListWidget>(run, "ListBox1");
        QCOMPARE(list->count(), 3);
        for (int row = 0; row < 3; ++row) {  // the newest on top
            QVERIFY2(
                list->item(row)->text().startsWith(QStringLiteral("Λύση=%1 Χρόνος=").arg(3 - row)),
                qPrintable(list->item(row)->text()));
            // The whole line, with when it was found, is the row's tip.
            QVERIFY2(list->item(row)->toolTip().startsWith(list->item(row)->text() +
                                                           U(", βρέθηκε στο ")),
                     qPrintable(list->item(row)->toolTip()));
        }
        // The count stays, with how the run ended; no "please wait", no gauge.
        QCOMPARE(Child<QLabel>(run, "Label9")->text(), QStringLiteral("3 / 3"));
        QVERIFY(Child<QLabel>(run, "Label9")->isVisible());
        QCOMPARE(Child<QLabel>(run, "Label7")->text(),
                 U("Έχουν βρεθεί με επιτυχία 3 από τις 3 λύσεις."));
        QVERIFY(Child<QProgressBar>(run, "Gauge1")->isHidden());
        const QStringList informed = f.folder.asker.Texts(Kind::kInform);
        QCOMPARE(informed.size(), 1);
        QVERIFY2(informed.front().startsWith(U("Έχουν βρεθεί με επιτυχία 3 από τις 3 λύσεις.\r"
                                               "Συνολικός χρόνος επεξεργασίας ")),
                 qPrintable(informed.front()));
        const QString folder = f.Pages().path();
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm),
                 QStringList{QString::fromStdString(OpenFolderQuestion(folder.toStdString()))});
        QCOMPARE(f.folder.desktop.opened, QList<QUrl>{QUrl::fromLocalFile(folder)});
        for (int n = 1; n <= 3; ++n) {
            QVERIFY(f.Pages().exists(QStringLiteral("SOLUTION%1.htm").arg(n)));
        }
        QVERIFY(!f.Pages().exists(QStringLiteral("SOLUTION4.htm")));
        QVERIFY(!Child<QPushButton>(run, "Button3")->isHidden());
        QVERIFY(Child<QPushButton>(run, "Button4")->isHidden());
        QVERIFY(Child<QLineEdit>(run, "DBEdit1")->isEnabled());

        // A second run asks before the previous pages go; No keeps them.
        f.folder.asker.messages.clear();
        Child<QPushButton>(run, "Button1")->click();
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm), QStringList{U(kDeletePreviousQuestion)});
        QVERIFY(Idle(run));
        QCOMPARE(list->count(), 0);

        // Exit: the print hint, and the lock goes with the window.
        f.folder.asker.messages.clear();
        Child<QPushButton>(run, "Button2")->click();
        QCOMPARE(f.folder.asker.Texts(Kind::kInform), QStringList{U(kPrintHintMessage)});
        QTRY_VERIFY(ShownWindow("TForm1") == nullptr);
        QTRY_VERIFY(other.TryLock());
        // The main window is back, maximised and active.
        QTRY_VERIFY(f.window->isMaximized());
        QTRY_COMPARE(QApplication::activeWindow(), &*f.window);
        QVERIFY(f.window->isEnabled());
    }

    // The fewer-gaps option goes into the search's request; the gaps stand
    // beside the solutions' lines, row for row, and the solution with the
    // fewest is named after the run.
    void theGapsStandBesideTheSolutions() {
        Fixture f;
        QWidget* run = f.OpenRunWindow(3);
        QVERIFY(run != nullptr);
        auto* fewer = Child<QCheckBox>(run, "CheckBoxFewerGaps");
        QCOMPARE(fewer->text(), U("Λιγότερα κενά καθηγητών (βελτίωση κάθε λύσης)"));
        QVERIFY(!fewer->isChecked());
        auto* lines = Child<QListWidget>(run, "ListBox1");
        auto* gaps = Child<QListWidget>(run, "ListBoxGaps");
        auto* fewest = Child<QLabel>(run, "LabelFewestGaps");
        const QRegularExpression cell(
            QStringLiteral("^(?:\\d+ → )?(\\d+) \\(έως (?:\\d+ → )?(\\d+)\\)$"));
        const QRegularExpression named(
            QStringLiteral("^Λιγότερα κενά καθηγητών: Λύση=(\\d+) \\(τα λιγότερα κενά του πιο "
                           "επιβαρυμένου διδάσκοντα: έως (\\d+) ανά καθηγητή, (\\d+) "
                           "συνολικά\\)$"));
        for (const bool on : {true, false}) {
            fewer->setChecked(on);
            // Yes to deleting the previous pages, when there are any; the
            // folder is not opened.
            f.folder.asker.answers = f.Pages().exists(QStringLiteral("SOLUTION1.htm"))
                                         ? QList<bool>{true, false}
                                         : QList<bool>{false};
            Child<QPushButton>(run, "Button1")->click();
            QVERIFY(!fewer->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(Idle(run), kRunTimeoutMs);
            QVERIFY(fewer->isEnabled());
            QCOMPARE(f.folder.asker.unanswered, 0);
            QVERIFY(f.folder.asker.Texts(Kind::kError).isEmpty());
            QCOMPARE(static_cast<RunWindow*>(run)->lastRunSettings().fewer_gaps, on);

            QCOMPARE(lines->count(), 3);
            QCOMPARE(gaps->count(), 3);
            const QRegularExpressionMatch best = named.match(fewest->text());
            QVERIFY2(best.hasMatch(), qPrintable(fewest->text()));
            for (int row = 0; row < 3; ++row) {
                QVERIFY2(lines->item(row)->text().startsWith(
                             QStringLiteral("Λύση=%1 Χρόνος=").arg(3 - row)),
                         qPrintable(lines->item(row)->text()));
                const QRegularExpressionMatch shown = cell.match(gaps->item(row)->text());
                QVERIFY2(shown.hasMatch(), qPrintable(gaps->item(row)->text()));
                QVERIFY2(gaps->item(row)->toolTip().startsWith(U("Κενά καθηγητών: ")),
                         qPrintable(gaps->item(row)->toolTip()));
                // The solution named has the fewest gaps, in its own row.
                const int total = shown.captured(1).toInt();
                const int worst = shown.captured(2).toInt();
                const int best_worst = best.captured(2).toInt();
                const int best_total = best.captured(3).toInt();
                QVERIFY(worst > best_worst || (worst == best_worst && total >= best_total));
                if (3 - row == best.captured(1).toInt()) {
                    QCOMPARE(total, best_total);
                    QCOMPARE(worst, best_worst);
                }
            }
            // The lists scroll and select as one.
            lines->setCurrentRow(1);
            QCOMPARE(gaps->currentRow(), 1);
        }
        // A new run starts with empty columns and no solution named.
        f.folder.asker.answers = {false};  // keep the previous pages: no run
        Child<QPushButton>(run, "Button1")->click();
        QCOMPARE(gaps->count(), 0);
        QVERIFY(fewest->text().isEmpty());
    }

    void aStopDuringTheSearchEndsWithTheSummary() {
        Fixture f(taktirio::testing::SchoolWithoutTimetable());
        QWidget* run = f.OpenRunWindow(2);
        QVERIFY(run != nullptr);
        static_cast<RunWindow*>(run)->setCheckTimetablePossible(false);  // a search without end
        static_cast<RunWindow*>(run)->setSearchEngines(SearchEngines::kRandom);
        Child<QPushButton>(run, "Button1")->click();
        auto* stop = Child<QPushButton>(run, "Button4");
        QTRY_VERIFY_WITH_TIMEOUT(!stop->isHidden(), kRunTimeoutMs);
        // With no solution yet, the window shows the search at work: the
        // bar moves on its own, and the time and the attempts go up.
        QCOMPARE(Child<QProgressBar>(run, "Gauge1")->maximum(), 0);
        QCOMPARE(Child<QLabel>(run, "Label9")->text(), QStringLiteral("0 / 2"));
        auto* at_work = Child<QLabel>(run, "LabelSearchProgress");
        QVERIFY(at_work->isVisible());
        const QRegularExpression shown(QStringLiteral("^%1 (\\d+):(\\d\\d):(\\d\\d)   %2 (\\d+)$")
                                           .arg(U("Χρόνος:"), U("Προσπάθειες:")));
        const auto attempts = [&] {
            const QRegularExpressionMatch match = shown.match(at_work->text());
            return match.hasMatch() ? match.captured(4).toLongLong() : -1;
        };
        const auto seconds = [&] {
            const QRegularExpressionMatch match = shown.match(at_work->text());
            return match.hasMatch() ? match.captured(3).toInt() + 60 * match.captured(2).toInt()
                                    : -1;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(attempts() > 0, qPrintable(at_work->text()), kRunTimeoutMs);
        const qint64 first = attempts();
        QTRY_VERIFY2_WITH_TIMEOUT(attempts() > first && seconds() >= 1, qPrintable(at_work->text()),
                                  kRunTimeoutMs);
        // The window keeps turning: a No leaves the run going.
        f.folder.asker.answers = {false};
        stop->click();
        QTest::qWait(100);
        QVERIFY(static_cast<RunWindow*>(run)->running());
        f.folder.asker.answers = {true};
        stop->click();
        QTRY_VERIFY_WITH_TIMEOUT(Idle(run), kRunTimeoutMs);
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm),
                 (QStringList{U(kStopQuestion), U(kStopQuestion)}));
        const QStringList informed = f.folder.asker.Texts(Kind::kInform);
        QCOMPARE(informed.size(), 2);
        // The user stopped it: said so, and nothing is blamed on the data.
        QCOMPARE(informed[0], U(kStoppedWithoutTimetableMessage));
        QVERIFY(informed[1].startsWith(U("Έχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις.")));
        // What the search saw comes with the summary, in its details.
        QVERIFY2(informed[1].contains(U("Τι συνάντησε η αναζήτηση λύσεων:")) &&
                     informed[1].contains(U("Το τμήμα που απέτυχε συχνότερα")),
                 qPrintable(informed[1]));
        QVERIFY(!f.Pages().exists());  // nothing found: no folder left
        QVERIFY(Child<QPushButton>(run, "Button3")->isHidden());
        QVERIFY(at_work->isHidden());
        QCOMPARE(Child<QLabel>(run, "Label7")->text(),
                 U(kStoppedByUserText) + U("\nΈχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις."));
        QCOMPARE(Child<QListWidget>(run, "ListBox1")->count(), 0);
    }

    void aSchoolWithoutTimetableIsRefusedWithItsReasons() {
        Fixture f(taktirio::testing::SchoolWithoutTimetable());
        QWidget* run = f.OpenRunWindow(2);
        QVERIFY(run != nullptr);
        Child<QPushButton>(run, "Button1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.folder.asker.Texts(Kind::kError).isEmpty(), kRunTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(Idle(run), kRunTimeoutMs);
        const QStringList errors = f.folder.asker.Texts(Kind::kError);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(U("ΑΛΦΑ")), qPrintable(errors[0]));
        QVERIFY(f.folder.asker.Texts(Kind::kInform).isEmpty());  // no search, no summary
        QVERIFY(!f.Pages().exists());
    }

    // A school's long name without a space to wrap at is shown whole in the
    // room the options leave, broken where it must be, and is the tooltip.
    void aLongSchoolNameIsShownWhole() {
        Fixture f;
        const QString name = QStringLiteral(
            "ΠειραματικόΓυμνάσιοΠανεπιστημίουΠατρώνΚαιΠρότυποΣχολείοΤηςΠεριφέρειαςInstance3");
        {
            const data::Database entry =
                data::Database::Open(f.folder.context.paths.entry_database);
            QSqlQuery update(entry.connection());
            update.prepare(QStringLiteral("UPDATE SCHOOLS SET SCHOOL_NAME = ?"));
            update.addBindValue(name);
            QVERIFY(update.exec());
        }
        QWidget* run = f.OpenRunWindow(1);
        QVERIFY(run != nullptr);
        auto* label = Child<QLabel>(run, "DBText1");
        QCOMPARE(label->toolTip(), name);
        QCOMPARE(label->text().remove(QChar(0x200B)), name);
        QVERIFY(label->fontMetrics().horizontalAdvance(name) > label->width());
        // Every line of it in sight: the label is as tall as the wrapped text.
        QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                 qPrintable(QStringLiteral("%1 < %2")
                                .arg(label->height())
                                .arg(label->heightForWidth(label->width()))));
        QVERIFY(label->heightForWidth(label->width()) > label->fontMetrics().lineSpacing());
        Child<QPushButton>(run, "Button2")->click();
    }

    void aProofOfNoTimetableIsShownAsSuch() {
        Fixture f(taktirio::testing::SchoolWithoutTimetable());
        QWidget* run = f.OpenRunWindow(2);
        QVERIFY(run != nullptr);
        static_cast<RunWindow*>(run)->setCheckTimetablePossible(false);  // the search decides
        Child<QPushButton>(run, "Button1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.folder.asker.Texts(Kind::kError).isEmpty(), kRunTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(Idle(run), kRunTimeoutMs);
        const QStringList errors = f.folder.asker.Texts(Kind::kError);
        QVERIFY2(errors[0].startsWith(U(exact::kProvenImpossibleMessage)), qPrintable(errors[0]));
        QVERIFY2(errors[0].contains(U("ΑΛΦΑ")), qPrintable(errors[0]));
        QVERIFY(!f.folder.asker.Texts(Kind::kInform).contains(U(kNoSolutionMessage)));
        QVERIFY(!f.Pages().exists());
        // The window's last state says so too: the proof's first line, the
        // count beside "Βρέθηκαν λύσεις", and no gauge left at the loading's
        // yellow full bar.
        auto* ended = Child<QLabel>(run, "Label7");
        QVERIFY(ended->isVisible());
        QCOMPARE(ended->text(), U(exact::kProvenImpossibleMessage) +
                                    U("\nΈχουν βρεθεί με επιτυχία 0 από τις 2 λύσεις."));
        QVERIFY(Child<QLabel>(run, "Label8")->isVisible());
        QCOMPARE(Child<QLabel>(run, "Label9")->text(), QStringLiteral("0 / 2"));
        QVERIFY(Child<QLabel>(run, "Label9")->isVisible());
        QVERIFY(Child<QProgressBar>(run, "Gauge1")->isHidden());
        // A picture of the window as the run left it, when one is asked for.
        if (const QString out = qEnvironmentVariable("TAKTIRIO_TEST_SCREENSHOTS"); !out.isEmpty()) {
            QVERIFY(run->grab().save(QDir(out).filePath(QStringLiteral("TForm1-proof.png"))));
        }
    }

    void closingDuringARunAsksToStopFirst() {
        Fixture f(taktirio::testing::SchoolWithoutTimetable());
        QWidget* run = f.OpenRunWindow(2);
        QVERIFY(run != nullptr);
        static_cast<RunWindow*>(run)->setCheckTimetablePossible(false);  // a search without end
        static_cast<RunWindow*>(run)->setSearchEngines(SearchEngines::kRandom);
        Child<QPushButton>(run, "Button1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Child<QPushButton>(run, "Button4")->isHidden(), kRunTimeoutMs);
        f.folder.asker.answers = {false};
        run->close();
        QVERIFY(run->isVisible());
        f.folder.asker.answers = {true};
        run->close();
        QVERIFY(run->isVisible());  // not before the run has ended
        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm1") == nullptr, kRunTimeoutMs);
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm).mid(0, 2),
                 (QStringList{U(kStopQuestion), U(kStopQuestion)}));
    }

    // The preparation is held at its first write by another connection's
    // lock, so that the stop surely comes in the middle of it.
    void aStopDuringThePreparationLeavesThePreviousCopy() {
        Fixture f;
        {
            data::RunSequence earlier(f.folder.context.paths);
            earlier.StoreRequestedSolutions(4);
            earlier.Prepare();
        }
        QCOMPARE(f.WorkingSchools(), 1);
        std::optional<data::Database> blocker =
            data::Database::Open(f.folder.context.paths.working_database);
        QSqlQuery hold(blocker->connection());
        QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));

        f.Trigger("N3");
        QWidget* dialog = ShownWindow("TForm8");
        QVERIFY(dialog != nullptr);
        Child<QSpinBox>(dialog, "SpinEdit1")->setValue(7);
        Child<QPushButton>(dialog, "Button1")->click();
        QWidget* preparation = ShownWindow("TForm4");
        QVERIFY(preparation != nullptr);
        auto* gauge = Child<QProgressBar>(preparation, "Gauge1");
        QCOMPARE(gauge->maximum(), 16);
        QTRY_COMPARE(gauge->value(), 2);  // the counts are read; the copy waits
        f.folder.asker.answers = {true};
        QTest::keyClick(preparation, Qt::Key_Escape);
        QCOMPARE(f.folder.asker.Texts(Kind::kConfirm), QStringList{U(kStopQuestion)});
        QVERIFY(preparation->isVisible());
        QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
        hold.finish();

        QTRY_VERIFY_WITH_TIMEOUT(ShownWindow("TForm4") == nullptr, kRunTimeoutMs);
        QTest::qWait(50);
        QVERIFY(ShownWindow("TForm1") == nullptr);
        QVERIFY(f.window->isEnabled());
        QCOMPARE(f.folder.asker.Texts(Kind::kInform),
                 QStringList{U(data::kStoppedBeforeSearchMessage)});
        const data::Database working =
            data::Database::Open(f.folder.context.paths.working_database);
        QCOMPARE(
            data::ScalarInt(working.connection(),
                            QStringLiteral("SELECT NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS")),
            4);
        data::ProgramLock lock(f.folder.context.paths.directory);
        QTRY_VERIFY(lock.TryLock());
    }

    void optionControlsAndTheirMessages() {
        Fixture f;
        QWidget* run = f.OpenRunWindow(1);
        QVERIFY(run != nullptr);
        const QString slow = U(kSlowOptionMessage);
        auto* check1 = Child<QCheckBox>(run, "CheckBox1");
        auto* spin1 = Child<QSpinBox>(run, "SpinEdit1");
        auto* check2 = Child<QCheckBox>(run, "CheckBox2");
        auto* spin2 = Child<QSpinBox>(run, "SpinEdit2");
        // Initial states.
        QVERIFY(!check1->isChecked() && spin1->isHidden() && spin1->value() == 4);
        QVERIFY(!check2->isChecked() && spin2->isHidden() && spin2->value() == 7);
        QVERIFY(Child<QRadioButton>(run, "RadioButton1")->isChecked());
        QCOMPARE(Child<QComboBox>(run, "ComboBox1")->currentText(), QStringLiteral("2"));
        QVERIFY(!Child<QCheckBox>(run, "CheckBox3")->isChecked());
        QVERIFY(Child<QLineEdit>(run, "Edit2")->isHidden());
        QCOMPARE(Child<QLineEdit>(run, "Edit2")->text(), QStringLiteral("2000"));
        QVERIFY(Child<QPushButton>(run, "Button4")->isHidden());
        QVERIFY(Child<QProgressBar>(run, "Gauge1")->isHidden());

        check1->click();
        QVERIFY(!spin1->isHidden());
        spin1->setValue(2);
        check1->click();
        QVERIFY(spin1->isHidden());
        QCOMPARE(spin1->value(), 4);
        check2->click();
        QVERIFY(!spin2->isHidden());
        check2->click();
        QVERIFY(spin2->isHidden());
        Child<QRadioButton>(run, "RadioButton2")->click();
        Child<QRadioButton>(run, "RadioButton1")->click();  // no message
        Child<QCheckBox>(run, "CheckBox3")->click();
        Child<QCheckBox>(run, "CheckBox3")->click();  // cleared: no message
        QCOMPARE(f.folder.asker.Texts(Kind::kInform), (QStringList{slow, slow, slow, slow}));

        // Numbers out of range: refused, nothing started.
        f.folder.asker.messages.clear();
        for (const char* text : {"255", "0", "abc", ""}) {
            Child<QLineEdit>(run, "DBEdit1")->setText(QString::fromLatin1(text));
            Child<QPushButton>(run, "Button1")->click();
            QVERIFY(Idle(run));
        }
        Child<QLineEdit>(run, "DBEdit1")->setText(QStringLiteral("1"));
        for (const char* text : {"999", "30001"}) {
            Child<QLineEdit>(run, "Edit2")->setText(QString::fromLatin1(text));
            Child<QPushButton>(run, "Button1")->click();
            QVERIFY(Idle(run));
        }
        QCOMPARE(f.folder.asker.Texts(Kind::kError), QStringList(6, U(kInvalidValuesMessage)));
        QVERIFY(!f.Pages().exists());
        Child<QPushButton>(run, "Button2")->click();
        QTRY_VERIFY(ShownWindow("TForm1") == nullptr);
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::RunWindowsTest)
#include "run_windows_test.moc"
