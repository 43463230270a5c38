#include "gui/run/run_window.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include "core/run/gap_messages.h"
#include "core/run/run_messages.h"
#include "core/run/solution_files.h"
#include "data/load/problem_loader.h"
#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/run/background.h"
#include "gui/run/queued_run_listener.h"
#include "gui/run/run_options_box.h"

namespace taktirio::gui {

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// A name shown whole in the room it is given: it wraps between words, and a
// word wider than the room (a long name without spaces) may break anywhere.
// The whole name is the tooltip.
class NameLabel : public QLabel {
  public:
    NameLabel(QWidget* parent, const char* object_name) : QLabel(parent) {
        setObjectName(QString::fromLatin1(object_name));
        setWordWrap(true);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    void setName(const QString& name) {
        name_ = name;
        setToolTip(name);
        layOut();
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        layOut();
    }

  private:
    void layOut() {
        const QFontMetrics metrics(font());
        const int room = contentsRect().width();
        QStringList words = name_.split(u' ');
        for (QString& word : words) {
            if (room > 0 && metrics.horizontalAdvance(word) > room) {
                // A zero-width space between letters: a place to break.
                QString breakable;
                for (const QChar letter : word) {
                    breakable += letter;
                    breakable += QChar(0x200B);
                }
                breakable.chop(1);
                word = breakable;
            }
        }
        const QString shown = words.join(u' ');
        if (shown != text()) {
            setText(shown);
        }
    }

    QString name_;
};

void Colour(QProgressBar* gauge, const QColor& colour) {
    QPalette palette = gauge->palette();
    palette.setColor(QPalette::Highlight, colour);
    palette.setColor(QPalette::HighlightedText, Qt::black);
    gauge->setPalette(palette);
}

}  // namespace

RunWindow::RunWindow(ProgramContext* context, std::shared_ptr<data::RunSequence> sequence,
                     QWidget* parent)
    : Window("TForm1", Text(kRunWindowCaption), parent),
      context_(context),
      sequence_(std::move(sequence)),
      listener_(new QueuedRunListener(this)) {
    // No title-bar buttons at all: Exit is the window's close control.
    setTitleBar(TitleBar::kNone);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(createSchool());
    left->addWidget(createOptions());
    left->addStretch();
    top->addLayout(left, 3);
    top->addWidget(createResults(), 2);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(createButtons());

    connect(listener_, &QueuedRunListener::stepped, gauge_,
            [this](int step, int /*total*/) { gauge_->setValue(step); });
    connect(listener_, &QueuedRunListener::searchStarted, this, &RunWindow::showSearchStarted);
    connect(listener_, &QueuedRunListener::solutionsFound, this, &RunWindow::showSolutions);
    connect(listener_, &QueuedRunListener::searchProgressed, this, &RunWindow::showSearchProgress);

    // What showing the window does: the school from the working copy, "2"
    // hours in one class section, both immediate options clear.
    options_->Show(RunSettings{});
    showSchool();
    showPreviousButton();
}

RunWindow::~RunWindow() {
    if (worker_ != nullptr) {
        sequence_->SetListener(nullptr);
        sequence_->Stop();
        worker_->wait();
    }
}

QWidget* RunWindow::createSchool() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    school_ = new NameLabel(box, "DBText1");
    responsible_ = new NameLabel(box, "DBText8");
    QFont bold = school_->font();
    bold.setBold(true);
    // Names of up to 100 characters wrap in the room the options leave, so
    // that the window keeps its width on a 1024 x 768 screen.
    for (QLabel* name : {school_, responsible_}) {
        name->setFont(bold);
    }
    solutions_ = new QLineEdit(box);
    solutions_->setObjectName(QStringLiteral("DBEdit1"));
    solutions_->setMaximumWidth(60);
    attempts_label_ = MakeLabel(box, "Label2",
                                U("Συνολικές προσπάθειες επίλυσης για ένα τμήμα πρίν την "
                                  "αναθεώρηση όλου του ωρολογίου προγράμματος:"));
    attempts_ = new QLineEdit(QStringLiteral("2000"), box);
    attempts_->setObjectName(QStringLiteral("Edit2"));
    attempts_label_->hide();
    attempts_->hide();
    grid->addWidget(MakeLabel(box, "Label10", U("Σχολείο:")), 0, 0);
    grid->addWidget(school_, 0, 1);
    grid->addWidget(MakeLabel(box, "Label16", U("Υπεύθυνος καθηγητής του ωρολογίου προγράμματος:")),
                    1, 0);
    grid->addWidget(responsible_, 1, 1);
    grid->addWidget(MakeLabel(box, "Label1", U("Ζητούμενες λύσεις:")), 2, 0);
    grid->addWidget(solutions_, 2, 1, Qt::AlignLeft);
    grid->addWidget(attempts_label_, 3, 0);
    grid->addWidget(attempts_, 3, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    return box;
}

QWidget* RunWindow::createOptions() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 8, 0, 0);
    options_ = new RunOptionsBox(RunOptionsBox::Form::kFull, box);
    column->addWidget(options_);
    // Beyond the placement options: each timetable found is reworked, under
    // the same rules, before its page is written. Off by default.
    fewer_gaps_ = new QCheckBox(U("Λιγότερα κενά καθηγητών (βελτίωση κάθε λύσης)"), box);
    fewer_gaps_->setObjectName(QStringLiteral("CheckBoxFewerGaps"));
    fewer_gaps_->setToolTip(
        U("Κάθε λύση που βρίσκεται αναδιατάσσεται, με τους ίδιους κανόνες, ώστε οι καθηγητές να "
          "έχουν λιγότερα κενά. Κάθε λύση χρειάζεται λίγο περισσότερο χρόνο."));
    column->addSpacing(6);
    column->addWidget(fewer_gaps_);

    connect(options_, &RunOptionsBox::slowerOptionChosen, this, &RunWindow::slowOptionMessage);
    return box;
}

QWidget* RunWindow::createResults() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(createSolutionLists(box));
    fewest_ = MakeLabel(box, "LabelFewestGaps", {});
    // The lines under the lists wrap within the lists' width.
    fewest_->setWordWrap(true);
    fewest_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    fewest_->setMinimumHeight(2 * fewest_->fontMetrics().height() + 4);
    column->addWidget(fewest_);
    progress_text_ = MakeLabel(box, "Label7", {});
    progress_text_->setWordWrap(true);
    progress_text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    progress_text_->hide();
    column->addWidget(progress_text_);
    found_label_ = MakeLabel(box, "Label8", U("Βρέθηκαν λύσεις"));
    found_ = MakeLabel(box, "Label9", {});
    QPalette red = found_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    found_->setPalette(red);
    QFont bold = found_->font();
    bold.setBold(true);
    found_->setFont(bold);
    found_->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("254 / 254")) + 8);
    found_label_->hide();
    found_->hide();
    auto* found_row = new QHBoxLayout;
    found_row->addWidget(found_label_);
    found_row->addWidget(found_);
    found_row->addStretch();
    column->addLayout(found_row);
    // Ignored width: the line never widens the window, whatever the count.
    search_progress_ = MakeLabel(box, "LabelSearchProgress", {});
    search_progress_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    search_progress_->hide();
    column->addWidget(search_progress_);
    gauge_ = new QProgressBar(box);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    gauge_->hide();
    column->addWidget(gauge_);
    // The hidden rows keep their room, so the window does not change size.
    for (QWidget* widget : {static_cast<QWidget*>(progress_text_), static_cast<QWidget*>(found_),
                            static_cast<QWidget*>(found_label_), static_cast<QWidget*>(gauge_),
                            static_cast<QWidget*>(search_progress_)}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
    }
    progress_text_->setMinimumHeight(2 * progress_text_->fontMetrics().height() + 4);
    return box;
}

// The solutions' lines and, beside them, their teacher gaps: two lists that
// scroll and select together, so that they read as one list of two columns.
// The lines stay in a list of their own, exactly as the run gives them.
QLayout* RunWindow::createSolutionLists(QWidget* box) {
    list_ = new QListWidget(box);
    list_->setObjectName(QStringLiteral("ListBox1"));
    gaps_list_ = new QListWidget(box);
    gaps_list_->setObjectName(QStringLiteral("ListBoxGaps"));
    // Each list exactly as wide as its longest line, so that the window fits
    // a 1024 x 768 screen beside the options.
    const QFontMetrics metrics = list_->fontMetrics();
    const int room = 2 * list_->frameWidth() + 8;  // the item's margins and a little air
    list_->setFixedWidth(metrics.horizontalAdvance(QStringLiteral("Λύση=254 Χρόνος=00:00:00:000")) +
                         room);
    list_->setMinimumHeight(260);
    gaps_list_->setFixedWidth(
        metrics.horizontalAdvance(QStringLiteral("9999 → 9999 (έως 99 → 99)")) + room +
        gaps_list_->verticalScrollBar()->sizeHint().width());
    // One scroll bar, at the right of both; neither list scrolls sideways, so
    // both show the same rows.
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QListWidget* each : {list_, gaps_list_}) {
        each->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, gaps_list_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(gaps_list_->verticalScrollBar(), &QScrollBar::valueChanged, list_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(list_, &QListWidget::currentRowChanged, gaps_list_,
            [this](int row) { gaps_list_->setCurrentRow(row); });
    connect(gaps_list_, &QListWidget::currentRowChanged, list_,
            [this](int row) { list_->setCurrentRow(row); });

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(0);
    grid->addWidget(MakeLabel(box, "Label6", U("Λύση / Χρόνος επεξεργασίας")), 0, 0,
                    Qt::AlignLeft | Qt::AlignBottom);
    QLabel* heading = MakeLabel(box, "LabelGaps", Text(kGapsColumnHeading).replace(u'\r', u'\n'));
    grid->addWidget(heading, 0, 1, Qt::AlignBottom);
    grid->addWidget(list_, 1, 0);
    grid->addWidget(gaps_list_, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout* RunWindow::createButtons() {
    start_ = MakeButton(this, "Button1", U("&Υπολογισμός λύσεων"));
    exit_ = MakeButton(this, "Button2", U("Έξο&δος"));
    previous_ = MakeButton(this, "Button3", U("Εμφάνιση (προηγούμεων) &λύσεων"));
    stop_ = MakeButton(this, "Button4", U("Διακοπή της δι&αδικασίας υπολογισμού λύσεων"));
    stop_->hide();
    auto* row = new QHBoxLayout;
    row->addWidget(start_);
    row->addWidget(previous_);
    row->addWidget(stop_);
    row->addStretch();
    row->addWidget(exit_);
    setDefaultButton(start_);
    setExitButton(exit_);
    connect(start_, &QPushButton::clicked, this, &RunWindow::Button1Click);
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);
    connect(previous_, &QPushButton::clicked, this, &RunWindow::Button3Click);
    connect(stop_, &QPushButton::clicked, this, &RunWindow::Button4Click);
    return row;
}

void RunWindow::showSchool() {
    try {
        const data::WorkingSchool school = sequence_->ReadWorkingSchool();
        static_cast<NameLabel*>(school_)->setName(school.name);
        static_cast<NameLabel*>(responsible_)->setName(school.responsible);
        solutions_->setText(QString::number(school.solutions_requested));
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
    }
}

void RunWindow::showPreviousButton() {
    std::error_code ignored;
    previous_->setVisible(std::filesystem::is_directory(sequence_->SolutionsFolder(), ignored));
}

void RunWindow::slowOptionMessage() {
    context_->asker->Inform(this, Text(kSlowOptionMessage));
}

std::optional<RunSettings> RunWindow::readSettings() const {
    const std::optional<int> attempts = ParseWholeNumber(attempts_->text().toStdString());
    const std::optional<int> solutions = ParseWholeNumber(solutions_->text().toStdString());
    if (!attempts || !solutions) {
        return std::nullopt;
    }
    RunSettings settings;
    settings.attempts_per_class = *attempts;
    settings.solutions_requested = *solutions;
    settings.fewer_gaps = fewer_gaps_->isChecked();
    settings = options_->Read(settings);
    if (!RunSettingsValid(settings)) {
        return std::nullopt;
    }
    return settings;
}

void RunWindow::Button1Click() {
    if (running()) {
        return;
    }
    list_->clear();
    gaps_list_->clear();
    fewest_->clear();
    found_->clear();
    const std::optional<RunSettings> settings = readSettings();
    if (!settings) {
        context_->asker->Error(this, Text(kInvalidValuesMessage));
        return;
    }
    data::SearchRequest request;
    request.settings = *settings;
    // Deleted only once the search's workers have started; asked here, before
    // anything of the run is done.
    request.delete_previous = true;
    request.check_timetable_possible = check_timetable_possible_;
    request.engines = engines_;
    if (sequence_->HasPreviousPages() &&
        !context_->asker->Confirm(this, Text(kDeletePreviousQuestion))) {
        return;
    }
    requested_ = settings->solutions_requested;
    last_settings_ = request.settings;
    end_shown_ = false;
    setRunning(true);
    progress_text_->setText(Text(kLoadingText));
    progress_text_->show();
    found_label_->show();
    found_->show();
    Colour(gauge_, Qt::yellow);
    gauge_->setRange(0, data::kLoadingSteps);
    gauge_->setValue(0);
    gauge_->show();

    sequence_->ClearStop();
    sequence_->SetListener(listener_);
    std::shared_ptr<data::RunSequence> sequence = sequence_;
    auto summary = std::make_shared<RunSummary>();
    worker_ = RunInBackground(
        this,
        [sequence, request, summary] {
            sequence->Load();
            *summary = sequence->Search(request);
        },
        [this, summary](std::exception_ptr error) { finish(error, *summary); });
}

void RunWindow::showSearchStarted() {
    stop_->show();
    Colour(gauge_, QColor(0, 255, 0));
    // Until the first solution the bar moves on its own, so that a search
    // that has found nothing yet does not look stuck at 0%.
    gauge_->setRange(0, 0);
    progress_text_->setText(Text(kSearchingText));
    found_->setText(QStringLiteral("0 / %1").arg(requested_));
    search_clock_.start();
    search_progress_->setText(Text(SearchProgressText(0, 0)));
    search_progress_->show();
}

void RunWindow::showSearchProgress(int /*found*/, int /*requested*/, qint64 attempts) {
    if (!search_clock_.isValid() || search_progress_->isHidden()) {
        return;  // news of a run that has already ended
    }
    search_progress_->setText(Text(SearchProgressText(search_clock_.elapsed() / 1000, attempts)));
}

void RunWindow::showSolutions(const QStringList& lines, const QList<SolutionGaps>& gaps,
                              int last_solution) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The newest on top, so the rows read in the order the solutions were
        // found; the time from the run's start is the row's tip, so that the
        // list keeps the width a 1024 x 768 screen leaves it.
        const QString found_at = QStringLiteral(", ") + Text(kFoundAtWords);
        const qsizetype cut = lines[i].indexOf(found_at);
        auto* line = new QListWidgetItem(cut < 0 ? lines[i] : lines[i].left(cut));
        line->setToolTip(lines[i]);
        list_->insertItem(0, line);
        const SolutionGaps& of_line = gaps.value(i);
        auto* item = new QListWidgetItem(Text(SolutionGapsCell(of_line)));
        // The full line, with the person who has the most gaps.
        item->setToolTip(Text(SolutionGapsLine(of_line, sequence_->people())).trimmed());
        gaps_list_->insertItem(0, item);
    }
    if (gauge_->maximum() == 0) {
        gauge_->setRange(0, requested_);
    }
    gauge_->setValue(last_solution);
    found_->setText(QStringLiteral("%1 / %2").arg(last_solution).arg(requested_));
}

void RunWindow::Button4Click() {
    if (running() && context_->asker->Confirm(this, Text(kStopQuestion))) {
        sequence_->Stop();
    }
}

void RunWindow::Button3Click() {
    openFolder();
}

void RunWindow::openFolder() {
    const QString folder = QString::fromStdString(sequence_->SolutionsFolder().string());
    if (!context_->desktop->OpenUrl(QUrl::fromLocalFile(folder))) {
        context_->asker->Error(this, Text(FolderNotOpenedMessage(folder.toStdString())));
    }
}

void RunWindow::finish(std::exception_ptr error, const RunSummary& summary) {
    worker_ = nullptr;
    sequence_->SetListener(nullptr);
    if (error != nullptr) {
        const data::RunFailure failure = data::DescribeRunFailure(error);
        const QString& message = failure.message;
        // No "please wait" and no gauge behind the message: the run is over.
        progress_text_->hide();
        gauge_->hide();
        // The previous pages stay when the search could not start: the window
        // goes back to idle after the message. Any other error closes it.
        if (!data::LeavesPreviousPages(failure.kind)) {
            // A run that failed on its way is abandoned where it is; the
            // pages already written stay.
            context_->asker->Error(this, message);
            setRunning(false);
            close_after_run_ = true;
            close();
            return;
        }
        if (sequence_->StopRequested()) {
            context_->asker->Inform(this, message);  // stopped while loading
        } else {
            context_->asker->Error(this, message);
        }
    } else {
        showEnd(summary);
        if (summary.end == RunEnd::kPageNotWritten) {
            // Like any error during a run, the window goes after the summary;
            // the message says which page, why, and what was written.
            context_->asker->Error(
                this, data::DescribeRunFailure(summary.page_error).message + u'\r' +
                          Text(PageNotWrittenEnding(summary.found, summary.previous_pages_kept)));
            close_after_run_ = true;
        } else if (summary.end == RunEnd::kExhausted && summary.found == 0) {
            context_->asker->Error(this, Text(summary.impossibility));  // proven, not given up
        } else if (summary.found == 0) {
            // A stop or a time limit says nothing of the data: only the
            // other ends point at the data and the options.
            context_->asker->Inform(this, Text(NoTimetableMessage(summary.end)));
        } else if (summary.end == RunEnd::kExhausted) {
            context_->asker->Inform(this, Text(NoFurtherTimetableMessage(summary.found)));
        }
        fewest_->setText(Text(FewestGapsLine(summary)));
        if (summary.refused_reworks > 0) {
            context_->asker->Error(this, Text(RefusedReworksWarning(summary.refused_reworks)));
        }
        if (summary.refused_exact > 0) {
            context_->asker->Error(this, Text(RefusedExactWarning(summary.refused_exact)));
        }
        if (summary.refused_searched > 0) {
            context_->asker->Error(this, Text(RefusedSearchedWarning(summary.refused_searched)));
        }
        // A run that ended without all its solutions tells what the search
        // saw, in the details the user may open under the summary.
        context_->asker->InformWithDetails(
            this, Text(SummaryMessage(summary.found, summary.requested, summary.total_time_text)),
            Text(EvidenceMessage(summary.evidence, sequence_->problem().inputs,
                                 sequence_->problem().denied_slots)));
        if (summary.found > 0 &&
            context_->asker->Confirm(
                this, Text(OpenFolderQuestion(sequence_->SolutionsFolder().string())))) {
            openFolder();
        }
    }
    setRunning(false);
    emit runEnded();
    if (close_after_run_) {
        close();
    }
}

// Before any message of the end: the run's last state stays in the window,
// how it ended and how many were found, in the words of the tool, and the
// gauge no longer shows the loading's or the search's colour.
void RunWindow::showEnd(const RunSummary& summary) {
    progress_text_->setText(Text(RunEndText(summary)).replace(u'\r', u'\n'));
    progress_text_->show();
    found_->setText(QStringLiteral("%1 / %2").arg(summary.found).arg(summary.requested));
    found_label_->show();
    found_->show();
    gauge_->hide();
    stop_->hide();
    end_shown_ = true;
}

void RunWindow::setRunning(bool running) {
    for (QWidget* option : std::initializer_list<QWidget*>{solutions_, attempts_, fewer_gaps_}) {
        option->setEnabled(!running);
    }
    options_->SetControlsEnabled(!running);
    start_->setVisible(!running);
    exit_->setVisible(!running);
    if (running) {
        previous_->hide();
        return;
    }
    gauge_->hide();
    search_progress_->hide();
    search_clock_.invalidate();
    if (!end_shown_) {
        progress_text_->hide();
        found_label_->hide();
        found_->hide();
    }
    stop_->hide();
    showPreviousButton();
}

bool RunWindow::confirmClose() {
    if (running()) {
        // Closing during a run is a stop first; the window goes once the last
        // page is written and the run has ended.
        if (!close_after_run_ && context_->asker->Confirm(this, Text(kStopQuestion))) {
            close_after_run_ = true;
            sequence_->Stop();
        }
        return false;
    }
    if (!previous_->isHidden()) {
        context_->asker->Inform(this, Text(kPrintHintMessage));
    }
    return true;
}

}  // namespace taktirio::gui
