// The solution editor, offscreen, on a solved page of the demo school: a
// page opened off the window's thread, a lesson picked with the keyboard and
// its place with the mouse, the exchange's cells highlighted, applied, undone
// and redone with the keys, and saved as a new page that passes the checks
// of verify; a refused move said in the window, a damaged page refused.
#include "gui/reports/solution_edit_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <filesystem>
#include <optional>

#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "data/load/page_against_school.h"
#include "data/run/run_sequence.h"
#include "gui/common/look.h"
#include "gui/reports/solution_choice.h"
#include "gui_test_support.h"
#include "solved_demo.h"

namespace taktirio::gui::testing {

using Kind = RecordingAsker::Kind;

class ScriptedSaveChooser : public SaveNameChooser {
  public:
    QString ChooseSaveName(QWidget*, const QString& start) override {
        suggested.append(start);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList suggested;
};

class SolutionEditWindowTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir demo_;
    QString page_;
    RecordingAsker asker_;
    FakeDesktop desktop_;
    ProgramContext context_;
    ScriptedChooser chooser_;
    ScriptedSaveChooser save_chooser_;
    // Where to leave a picture of the window after an undo, when asked.
    QString screenshot_dir_ = qEnvironmentVariable("TAKTIRIO_TEST_SCREENSHOTS");

    // The demo page read as the window reads it, and the first request of
    // class section 1 that the editor answers with an exchange (or refuses).
    struct Found {
        data::SchoolPage read;
        MoveRequest request;
        MoveProposal proposal;
    };
    std::optional<Found> FirstRequest(bool keeps_rules) {
        Found found;
        found.read = data::ReadPageAgainstSchool(context_.paths, context_.school,
                                                 page_.toStdString(), RunOptions{});
        const TimetableEditor editor(found.read.problem.inputs, RunOptions{},
                                     found.read.problem.rules);
        const ByteMatrix& timetable = found.read.verdict.timetable;
        for (int from = 1; from <= 35; ++from) {
            for (int to = 1; to <= 35; ++to) {
                const MoveRequest request{1, from, to};
                if (timetable(1, static_cast<std::size_t>(to)) == 0 ||
                    RequestProblem(found.read.problem.inputs, timetable, request)) {
                    continue;
                }
                MoveProposal proposal = editor.Propose(timetable, request);
                if (proposal.keeps_rules == keeps_rules) {
                    found.request = request;
                    found.proposal = std::move(proposal);
                    return found;
                }
            }
        }
        return std::nullopt;
    }

    static QTableWidgetItem* CellOf(QTableWidget* week, int slot) {
        return week->item(HourOfSlot(slot) - 1, DayOfSlot(slot) - 1);
    }

    // Picks the lesson with the keyboard (arrows to it, Enter) and its
    // place with a click.
    static void AskMove(QTableWidget* week, const MoveRequest& request) {
        week->setFocus();
        week->setCurrentCell(0, 0);
        for (int d = 1; d < DayOfSlot(request.from_slot); ++d) {
            QTest::keyClick(week, Qt::Key_Right);
        }
        for (int h = 1; h < HourOfSlot(request.from_slot); ++h) {
            QTest::keyClick(week, Qt::Key_Down);
        }
        QTest::keyClick(week, Qt::Key_Return);
        const QRect target = week->visualItemRect(CellOf(week, request.to_slot));
        QTest::mouseClick(week->viewport(), Qt::LeftButton, {}, target.center());
    }

    bool Open(SolutionEditWindow& window, const QString& page, bool opened) {
        QSignalSpy read(&window, &SolutionEditWindow::pageRead);
        chooser_.answers = {page};
        Child<QPushButton>(&window, "Button1")->click();
        return read.wait(60000) && read.front().front().toBool() == opened;
    }

  private slots:
    void initTestCase() {
        ApplyProgramLook(*qApp);
        const QString dir = demo_.path();
        QString error;
        page_ = SolveDemoInto(dir, error);
        QVERIFY2(!page_.isEmpty(), qPrintable(error));
        context_ = ProgramContext{data::PathsFor(dir), &asker_, &desktop_,
                                  QString::fromLatin1(data::kAccessCode)};
    }

    void init() {
        asker_.messages.clear();
        asker_.answers.clear();
    }

    void aMoveIsShownAppliedUndoneRedoneAndSaved() {
        const std::optional<Found> found = FirstRequest(true);
        QVERIFY(found.has_value());
        const ByteMatrix original = found->read.verdict.timetable;

        SolutionEditWindow window(&context_, nullptr, &chooser_, &save_chooser_);
        window.show();
        QVERIFY(window.timetable() == nullptr);
        QVERIFY(Open(window, page_, true));
        QCOMPARE(*window.timetable(), original);
        QVERIFY(asker_.messages.isEmpty());

        auto* week = Child<QTableWidget>(&window, "GridClass");
        auto* apply = Child<QPushButton>(&window, "ButtonApply");
        auto* list = Child<QListWidget>(&window, "ListExchange");
        AskMove(week, found->request);
        QVERIFY(apply->isEnabled());
        // Every changed cell of the class section on show is highlighted,
        // and the exchange lists each cell of every class section.
        for (const CellChange& change : found->proposal.changes) {
            if (change.class_section == 1 && change.slot != found->request.from_slot) {
                QCOMPARE(CellOf(week, change.slot)->background().color(), QColor(255, 225, 110));
            }
            const QString line =
                QString::fromStdString(ClassName(found->read.problem.inputs, change.class_section) +
                                       ", " + SlotName(change.slot) + ": ");
            QVERIFY2(!list->findItems(line, Qt::MatchStartsWith).isEmpty(), qPrintable(line));
        }
        QCOMPARE(*window.timetable(), original);  // nothing moves before Apply

        apply->click();
        ByteMatrix moved = original;
        ApplyChanges(moved, found->proposal.changes);
        QCOMPARE(*window.timetable(), moved);
        QVERIFY(Child<QPushButton>(&window, "ButtonSave")->isEnabled());

        // Undone with another class section on show: the status line says
        // what was undone and where, and that class section comes back.
        auto* classes = Child<QComboBox>(&window, "ComboClass");
        auto* status = Child<QLabel>(&window, "Label2");
        const QString moved_text = QString::fromStdString(
            ClassName(found->read.problem.inputs, 1) + ": " + SlotName(found->request.from_slot) +
            " → " + SlotName(found->request.to_slot));
        classes->setCurrentIndex(1);
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(*window.timetable(), original);
        QVERIFY(!Child<QPushButton>(&window, "ButtonSave")->isEnabled());
        QCOMPARE(classes->currentData().toInt(), 1);
        QCOMPARE(
            status->text(),
            U("Αναιρέθηκε η μετακίνηση (%1). Φαίνεται το τμήμα %2.")
                .arg(moved_text, QString::fromStdString(ClassName(found->read.problem.inputs, 1))));
        if (!screenshot_dir_.isEmpty()) {
            window.grab().save(
                QDir(screenshot_dir_).filePath(QStringLiteral("TFormEdit-undo.png")));
        }
        classes->setCurrentIndex(1);
        QTest::keyClick(&window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(*window.timetable(), moved);
        QCOMPARE(classes->currentData().toInt(), 1);
        QVERIFY2(status->text().startsWith(U("Έγινε ξανά η μετακίνηση (%1).").arg(moved_text)),
                 qPrintable(status->text()));

        // Closing with the change unsaved asks first; No keeps the window.
        asker_.answers = {false};
        window.close();
        QVERIFY(window.isVisible());
        QCOMPARE(asker_.Texts(Kind::kConfirm).size(), 1);

        // Saved as the next page of the folder, verified, the opened page kept.
        QFile opened(page_);
        QVERIFY(opened.open(QIODevice::ReadOnly));
        const QByteArray before = opened.readAll();
        opened.close();
        Child<QPushButton>(&window, "ButtonSave")->click();
        const QString saved =
            QDir(QFileInfo(page_).absolutePath()).filePath(QStringLiteral("SOLUTION2.htm"));
        QVERIFY2(QFile::exists(saved), qPrintable(asker_.Texts(Kind::kError).join(u'\n')));
        QVERIFY(asker_.Texts(Kind::kInform).back().contains(QDir::toNativeSeparators(saved)));
        const data::SchoolPage again = data::ReadPageAgainstSchool(
            context_.paths, context_.school, saved.toStdString(), RunOptions{});
        QCOMPARE(static_cast<int>(again.verdict.outcome),
                 static_cast<int>(PageVerdict::Outcome::kSound));
        QCOMPARE(again.verdict.timetable, moved);
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(opened.readAll(), before);
        // The saved page says it is solution 2 of 2, and the window now
        // holds it.
        QCOMPARE(again.page->solution.solution, 2);
        QCOMPARE(again.page->solution.requested, 2);
        auto* header = Child<QLabel>(&window, "Label1");
        QCOMPARE(header->toolTip(), U("Λύση: %1").arg(QDir::toNativeSeparators(saved)));
        QCOMPARE(window.openedPage(), saved);

        // Saved as another name of the folder: that page's number and name
        // on its lines, the count raised to it, the header naming it.
        QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
        const QString chosen =
            QDir(QFileInfo(page_).absolutePath()).filePath(QStringLiteral("SOLUTION5.htm"));
        save_chooser_.answers = {chosen};
        Child<QPushButton>(&window, "ButtonSaveAs")->click();
        QVERIFY2(QFile::exists(chosen), qPrintable(asker_.Texts(Kind::kError).join(u'\n')));
        const data::SchoolPage fifth = data::ReadPageAgainstSchool(
            context_.paths, context_.school, chosen.toStdString(), RunOptions{});
        QCOMPARE(static_cast<int>(fifth.verdict.outcome),
                 static_cast<int>(PageVerdict::Outcome::kSound));
        QCOMPARE(fifth.verdict.timetable, original);
        QCOMPARE(fifth.page->solution.solution, 5);
        QCOMPARE(fifth.page->solution.requested, 5);
        QFile fifth_file(chosen);
        QVERIFY(fifth_file.open(QIODevice::ReadOnly));
        QVERIFY(fifth_file.readAll().contains("File Name=<strong>SOLUTION5.htm</strong>"));
        QCOMPARE(header->toolTip(), U("Λύση: %1").arg(QDir::toNativeSeparators(chosen)));
        QCOMPARE(window.openedPage(), chosen);
        QVERIFY(QFile::remove(saved));
        QVERIFY(QFile::remove(chosen));
        window.close();
        QVERIFY(!window.isVisible());  // saved: no question
    }

    void aRefusedMoveIsSaidInTheWindowAndAnotherPageIsRefused() {
        const std::optional<Found> found = FirstRequest(false);
        QVERIFY(found.has_value());
        SolutionEditWindow window(&context_, nullptr, &chooser_, &save_chooser_);
        window.show();
        QVERIFY(Open(window, page_, true));
        AskMove(Child<QTableWidget>(&window, "GridClass"), found->request);
        QVERIFY(!Child<QPushButton>(&window, "ButtonApply")->isEnabled());
        QVERIFY(!found->proposal.blocking.empty());
        const QString rule = QString::fromStdString(
            ViolationLine(found->proposal.blocking.front(), found->read.problem.inputs));
        QVERIFY(!Child<QListWidget>(&window, "ListExchange")
                     ->findItems(rule, Qt::MatchExactly)
                     .isEmpty());
        QVERIFY(Child<QLabel>(&window, "Label2")->text().contains(U("δεν γίνεται")));
        // What stands in the way leads the list, and no line runs out of
        // sight: the list wraps them and never scrolls sideways.
        auto* list = Child<QListWidget>(&window, "ListExchange");
        const TimetableEditor editor(found->read.problem.inputs, RunOptions{},
                                     found->read.problem.rules);
        const std::vector<std::string> in_the_way =
            editor.InTheWay(found->read.verdict.timetable, found->proposal);
        for (std::size_t k = 0; k < in_the_way.size(); ++k) {
            QCOMPARE(list->item(static_cast<int>(k))->text(),
                     QString::fromStdString(in_the_way[k]));
        }
        QVERIFY(list->wordWrap());
        QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        if (!screenshot_dir_.isEmpty()) {
            window.grab().save(
                QDir(screenshot_dir_).filePath(QStringLiteral("TFormEdit-refused.png")));
        }
        QVERIFY(asker_.messages.isEmpty());  // no message box for a refusal
        QCOMPARE(*window.timetable(), found->read.verdict.timetable);

        // A page cut short is refused with the reader's reason; the open
        // solution stays.
        QFile source(page_);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString cut = demo_.filePath(QStringLiteral("cut.htm"));
        QFile out(cut);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(source.readAll().left(5000));
        out.close();
        QVERIFY(Open(window, cut, false));
        QCOMPARE(asker_.Texts(Kind::kError).size(), 1);
        QVERIFY(asker_.Texts(Kind::kError).front().contains(U("δεν είναι σελίδα λύσης")));
        QCOMPARE(window.openedPage(), page_);
    }

    // The editor starts from the options of the directory's last run, kept
    // beside its pages; without them, from the last ones set in an editor.
    void theOptionsStartFromTheLastRunElseFromTheEditor() {
        const std::filesystem::path folder = QFileInfo(page_).absolutePath().toStdString();
        const std::optional<RunSettings> solved = data::KeptRunSettings(folder);
        QVERIFY(solved.has_value());  // the demo's run kept its options
        RunSettings strict;
        strict.max_class_hours_per_day = 3;
        strict.last_hours_limit_on = true;
        strict.last_hours_limit = 3;
        strict.four_hour_run_limit_on = true;
        QVERIFY(data::KeepRunSettings(folder, strict));
        {
            SolutionEditWindow window(&context_, nullptr, &chooser_, &save_chooser_);
            QCOMPARE(Child<QComboBox>(&window, "ComboMaxPerDay")->currentText(),
                     QStringLiteral("3"));
            QVERIFY(Child<QCheckBox>(&window, "CheckLastHours")->isChecked());
            QCOMPARE(Child<QSpinBox>(&window, "SpinLastHours")->value(), 3);
            QVERIFY(!Child<QCheckBox>(&window, "CheckDayHours")->isChecked());
            QVERIFY(!Child<QCheckBox>(&window, "CheckNoSingleRuns")->isChecked());
            QVERIFY(Child<QCheckBox>(&window, "CheckFourInARow")->isChecked());
        }
        // No run's options: the last ones set in an editor.
        QVERIFY(QFile::remove(QString::fromStdString(data::KeptRunSettingsPath(folder).string())));
        {
            SolutionEditWindow window(&context_, nullptr, &chooser_, &save_chooser_);
            Child<QCheckBox>(&window, "CheckDayHours")->setChecked(true);
            Child<QSpinBox>(&window, "SpinDayHours")->setValue(6);
        }
        {
            SolutionEditWindow window(&context_, nullptr, &chooser_, &save_chooser_);
            QVERIFY(Child<QCheckBox>(&window, "CheckDayHours")->isChecked());
            QCOMPARE(Child<QSpinBox>(&window, "SpinDayHours")->value(), 6);
        }
        QVERIFY(data::KeepRunSettings(folder, *solved));
    }
};

}  // namespace taktirio::gui::testing

QTEST_MAIN(taktirio::gui::testing::SolutionEditWindowTest)
#include "solution_edit_window_test.moc"
