#include "gui/reports/free_hour_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/print_window.h"
#include "gui/reports/solution_choice.h"

namespace taktirio::gui {

namespace {

QLabel* KeptLabel(QWidget* parent, const char* object_name, const QString& text) {
    QLabel* label = MakeLabel(parent, object_name, text);
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    return label;
}

template <typename T>
T* Kept(T* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    return widget;
}

}  // namespace

FreeHourWindow::FreeHourWindow(ProgramContext* context, QWidget* parent, SolutionChooser* chooser)
    : Window("TForm24", U(kFreeHourCaption), parent),
      context_(context),
      chooser_(chooser != nullptr ? chooser : &DefaultSolutionChooser()) {
    QGroupBox* group = MakeGroupBox(this, "GroupBox1", U(kFreeHourCaption));
    choose_ = MakeButton(group, "Button1", U("Επιλογή &SOLUTION"), U("Επιλογή SOLUTION"));
    choose_->setMinimumHeight(30);
    wait_ = KeptLabel(group, "Label1", U(kPleaseWaitText));
    progress_ = KeptLabel(group, "Label2", {});
    day_label_ = KeptLabel(group, "Label7", U("Μέρα:"));
    hour_label_ = KeptLabel(group, "Label8", U("Ώρα:"));
    day_ = Kept(new QComboBox(group));
    day_->setObjectName(QStringLiteral("ComboBox1"));
    day_->setToolTip(U("Δώσε μέρα"));
    day_->addItems({U("Δευτέρα"), U("Τρίτη"), U("Τετάρτη"), U("Πέμπτη"), U("Παρασκευή")});
    hour_ = Kept(new QComboBox(group));
    hour_->setObjectName(QStringLiteral("ComboBox2"));
    hour_->setToolTip(U("Δώσε ώρα"));
    for (int h = 1; h <= 10; ++h) {
        hour_->addItem(QString::number(h));
    }
    // No day and no hour until the user picks them.
    day_->setCurrentIndex(-1);
    hour_->setCurrentIndex(-1);
    grid_ = Kept(new QTableWidget(0, 1, group));
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setHorizontalHeaderLabels({U("Διδάσκοντες")});
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setMinimumSize(440, 300);
    // Compact rows: a long list still shows many teachers at once.
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    count_ = KeptLabel(group, "Label3", {});
    absent_ = KeptLabel(group, "LabelAbsent", {});
    absent_->setWordWrap(true);
    absent_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* choice = new QGridLayout;
    choice->addWidget(day_label_, 0, 0);
    choice->addWidget(day_, 0, 1);
    choice->addWidget(hour_label_, 0, 2);
    choice->addWidget(hour_, 0, 3);
    choice->setColumnStretch(1, 2);
    choice->setColumnStretch(3, 1);
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(choose_, 0, Qt::AlignLeft);
    inside->addWidget(wait_);
    inside->addWidget(progress_);
    inside->addLayout(choice);
    inside->addWidget(grid_, 1);
    inside->addWidget(count_);
    inside->addWidget(absent_);

    exit_ = MakeButton(this, "Button2", U("Έξοδος"), U("Έξοδος"));
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);
    setExitButton(exit_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addWidget(exit_, 0, Qt::AlignRight);

    wait_->hide();
    progress_->hide();
    showAnswer(false);
    connect(choose_, &QPushButton::clicked, this, &FreeHourWindow::chooseAndRead);
    connect(day_, &QComboBox::currentIndexChanged, this, &FreeHourWindow::answer);
    connect(hour_, &QComboBox::currentIndexChanged, this, &FreeHourWindow::answer);
    connect(&reading_, &PageReading::progress, progress_, &QLabel::setText);
    connect(&reading_, &PageReading::finished, this, &FreeHourWindow::read);
    connect(&reading_, &PageReading::failed, this, &FreeHourWindow::readingFailed);
}

void FreeHourWindow::showEvent(QShowEvent* event) {
    db_.reset();
    try {
        db_.emplace(data::Database::Open(data::ReportDatabasePath(context_->paths.directory),
                                         data::ReportDesign()));
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
    }
    // Without the school's data the answer lists every free teacher.
    entry_.reset();
    try {
        entry_.emplace(data::Database::OpenForReading(context_->paths.entry_database));
    } catch (const data::DataError&) {
    }
    Window::showEvent(event);
}

void FreeHourWindow::closeEvent(QCloseEvent* event) {
    Window::closeEvent(event);
    if (event->isAccepted()) {
        showAnswer(false);
        db_.reset();
        entry_.reset();
    }
}

void FreeHourWindow::chooseAndRead() {
    if (reading_.running()) {
        return;
    }
    const QString page =
        chooser_->Choose(this, SolutionChoiceFolder(context_->paths, context_->school));
    if (page.isEmpty()) {
        context_->asker->Inform(this, U(kNoSolutionChosenMessage));
        return;
    }
    showAnswer(false);
    progress_->clear();
    wait_->show();
    progress_->show();
    setReading(true);
    reading_.Start(data::ReportDatabasePath(context_->paths.directory), page,
                   data::PrintReading::kGeneralPlan);
}

void FreeHourWindow::read(const data::PrintTables& plan) {
    plan_ = plan;
    setReading(false);
    wait_->hide();
    progress_->hide();
    showAnswer(true);
    answer();
    emit readingEnded();
}

void FreeHourWindow::readingFailed(const QString& message) {
    setReading(false);
    wait_->hide();
    progress_->hide();
    context_->asker->Error(this, message);
    // The previous reading, if any, still gives its answers.
    showAnswer(plan_.has_value());
    emit readingEnded();
}

void FreeHourWindow::setReading(bool reading) {
    choose_->setEnabled(!reading);
    exit_->setEnabled(!reading);
}

void FreeHourWindow::showAnswer(bool shown) {
    for (QWidget* widget : {static_cast<QWidget*>(day_label_), static_cast<QWidget*>(day_),
                            static_cast<QWidget*>(hour_label_), static_cast<QWidget*>(hour_),
                            static_cast<QWidget*>(grid_), static_cast<QWidget*>(count_),
                            static_cast<QWidget*>(absent_)}) {
        widget->setVisible(shown);
    }
}

void FreeHourWindow::answer() {
    const int day = day_->currentIndex() + 1;
    const int hour = hour_->currentIndex() + 1;
    // Until both are chosen, and before a reading, there is no question.
    if (day < 1 || hour < 1 || !plan_) {
        return;
    }
    data::FreeHourAnswer free;
    try {
        const QStringList absent =
            entry_ ? data::AbsentTeachers(entry_->connection(), context_->school, day)
                   : QStringList();
        free = data::FreeTeachersAtSchool(*plan_, day, hour, absent);
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
        return;
    }
    const QStringList& teachers = free.at_school;
    absent_->setText(data::AbsentLeftOutLine(free.absent));
    grid_->setRowCount(0);
    grid_->setRowCount(static_cast<int>(teachers.size()));
    for (int row = 0; row < teachers.size(); ++row) {
        grid_->setItem(row, 0, new QTableWidgetItem(teachers[row]));
    }
    count_->setText(U("Συνολικός αριθμός=") + QString::number(teachers.size()));
}

}  // namespace taktirio::gui
