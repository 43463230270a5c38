#include "reports/solution_edit_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "common/asker.h"
#include "common/file_dialog.h"
#include "common/look.h"
#include "common/program_context.h"
#include "database/errors.h"
#include "edit/edited_page.h"
#include "pages/page_errors.h"
#include "pages/solution_page_writer.h"
#include "reports/solution_choice.h"
#include "run/background.h"
#include "run/run_sequence.h"
#include "run/solution_files.h"
#include "shell/program_files.h"
#include "solver/errors.h"
#include "solver/slots.h"
#include "text/wording.h"

namespace taktirio::gui {

namespace {

QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The colours of the class section's week.
const QColor kPinnedColour(205, 205, 205);   // a pinned lesson: never moves
const QColor kPickedColour(120, 170, 255);   // the lesson picked to move
const QColor kMovingColour(255, 225, 110);   // a cell the exchange changes
const QColor kRefusedColour(245, 150, 140);  // the cell a refused move asked for

constexpr int kDayColumnWidth = 118;
constexpr int kTeacherColumnWidth = 50;

const char* const kDayHeaders[kDays] = {"Δευτέρα", "Τρίτη", "Τετάρτη", "Πέμπτη", "Παρασκευή"};

// A teacher's name on two lines, so that a day's column stays narrow.
QString CellName(const std::string& name) {
    QString text = Q(name);
    const qsizetype space = text.indexOf(u' ');
    if (space > 0) {
        text[space] = u'\n';
    }
    return text;
}

QTableWidget* MakeWeekGrid(QWidget* parent, const char* object_name, int column_width) {
    auto* grid = new QTableWidget(kMaxHoursPerDay, kDays, parent);
    grid->setObjectName(QString::fromLatin1(object_name));
    QStringList days;
    for (const char* day : kDayHeaders) {
        days.append(U(day));
    }
    grid->setHorizontalHeaderLabels(column_width < kDayColumnWidth
                                        ? QStringList{U("Δε"), U("Τρ"), U("Τε"), U("Πε"), U("Πα")}
                                        : days);
    QStringList hours;
    for (int h = 1; h <= kMaxHoursPerDay; ++h) {
        hours.append(QString::number(h));
    }
    grid->setVerticalHeaderLabels(hours);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setDefaultSectionSize(column_width);
    grid->setWordWrap(true);
    for (int r = 0; r < kMaxHoursPerDay; ++r) {
        for (int c = 0; c < kDays; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid->setItem(r, c, item);
        }
    }
    return grid;
}

// The hours a week grid shows before a page is open: a seven-hour day.
constexpr int kUsualHours = 7;

// Shows the first `hours` rows of a week grid and fits the grid to them: no
// scrolling, no empty band.
void FitGrid(QTableWidget* grid, int hours, int row_height) {
    grid->verticalHeader()->setDefaultSectionSize(row_height);
    for (int r = 0; r < grid->rowCount(); ++r) {
        grid->setRowHidden(r, r >= hours);
    }
    int width = grid->verticalHeader()->sizeHint().width() + 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c) {
        width += grid->columnWidth(c);
    }
    const int height =
        grid->horizontalHeader()->sizeHint().height() + 2 * grid->frameWidth() + hours * row_height;
    grid->setFixedSize(width, height);
}

int ClassRowHeight(const QWidget* grid) {
    return 2 * grid->fontMetrics().lineSpacing() + 6;
}

int TeacherRowHeight(const QWidget* grid) {
    return grid->fontMetrics().lineSpacing() + 6;
}

int SlotOfCell(int row, int column) {
    return SlotOf(column + 1, row + 1);
}

// Draws each cell with its own colour, selected or not, and a frame around
// the current cell, so that the colours of an exchange always show and the
// keyboard's place too.
class CurrentCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        if (view != nullptr && view->currentIndex() == index) {
            painter->save();
            painter->setPen(QPen(QColor(0, 0, 128), 3));
            painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
            painter->restore();
        }
    }
};

// The options last set in the editor in this session: where the program
// directory's runs kept none, the next editor starts from them.
std::optional<RunSettings>& LastEditorSettings() {
    static std::optional<RunSettings> settings;
    return settings;
}

QString PageFolder(const QString& page) {
    return QFileInfo(page).absolutePath();
}

}  // namespace

// One applied exchange on the undo stack.
class SolutionEditWindow::MoveCommand : public QUndoCommand {
  public:
    MoveCommand(SolutionEditWindow* window, int class_section, std::vector<CellChange> changes,
                const QString& text)
        : QUndoCommand(text),
          window_(window),
          class_section_(class_section),
          changes_(std::move(changes)) {}

    void redo() override {
        ApplyChanges(window_->timetable_, changes_);
        // The first time is the Apply itself, which says so on its own.
        if (!first_) {
            window_->showUndoStep(class_section_, text(), false);
        }
        first_ = false;
        window_->refresh();
    }
    void undo() override {
        RevertChanges(window_->timetable_, changes_);
        window_->showUndoStep(class_section_, text(), true);
        window_->refresh();
    }

  private:
    SolutionEditWindow* window_;
    int class_section_;
    std::vector<CellChange> changes_;
    bool first_ = true;
};

namespace {

class FileDialogSaveChooser : public SaveNameChooser {
  public:
    QString ChooseSaveName(QWidget* parent, const QString& suggested) override {
        FileDialog dialog(parent, "SaveDialog2", U("Αποθήκευση της διορθωμένης λύσης"), suggested,
                          QString::fromLatin1(kSolutionFilter), QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("htm"));
        return dialog.ChooseFile();
    }
};

}  // namespace

SaveNameChooser& DefaultSaveNameChooser() {
    static FileDialogSaveChooser chooser;
    return chooser;
}

SolutionEditWindow::SolutionEditWindow(ProgramContext* context, QWidget* parent,
                                       SolutionChooser* chooser, SaveNameChooser* save_chooser)
    : Window("TFormEdit", U(kSolutionEditCaption), parent),
      context_(context),
      chooser_(chooser != nullptr ? chooser : &DefaultSolutionChooser()),
      save_chooser_(save_chooser != nullptr ? save_chooser : &DefaultSaveNameChooser()),
      undo_(new QUndoStack(this)) {
    choose_ = MakeButton(this, "Button1", U("Επιλογή &SOLUTION"), U("Επιλογή SOLUTION"));
    page_label_ = MakeLabel(this, "Label1", U("Διάλεξε τη λύση που θα διορθωθεί."));
    page_label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    page_label_->setMinimumWidth(400);
    auto* top = new QHBoxLayout;
    top->addWidget(choose_);
    top->addWidget(page_label_, 1);

    message_ = MakeLabel(this, "Label2", {});
    message_->setWordWrap(true);
    message_->setMinimumHeight(2 * message_->fontMetrics().lineSpacing() + 4);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    exchange_ = new QListWidget(this);
    exchange_->setObjectName(QStringLiteral("ListExchange"));
    exchange_->setFixedHeight(6 * (exchange_->fontMetrics().lineSpacing() + 2) + 6);
    exchange_->setFocusPolicy(Qt::NoFocus);
    // A long line wraps within the list's width: nothing to scroll sideways.
    exchange_->setWordWrap(true);
    exchange_->setTextElideMode(Qt::ElideNone);
    exchange_->setResizeMode(QListView::Adjust);
    exchange_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    apply_ = MakeButton(this, "ButtonApply", U("&Εφαρμογή"), U("Εφαρμογή της ανταλλαγής"));
    cancel_ = MakeButton(this, "ButtonCancel", U("Ά&κυρο"), U("Ακύρωση της επιλογής"));
    undo_button_ =
        MakeButton(this, "ButtonUndo", U("&Αναίρεση"), U("Αναίρεση της τελευταίας μετακίνησης"));
    redo_button_ = MakeButton(this, "ButtonRedo", U("Επα&νάληψη"),
                              U("Επανάληψη της μετακίνησης που αναιρέθηκε"));
    save_ = MakeButton(this, "ButtonSave", U("Α&ποθήκευση"),
                       U("Αποθήκευση ως νέα σελίδα SOLUTION στον φάκελο της λύσης"));
    save_as_ = MakeButton(this, "ButtonSaveAs", U("Αποθήκευση &ως..."),
                          U("Αποθήκευση σε αρχείο της επιλογής σου"));
    exit_ = MakeButton(this, "Button2", U("Έξο&δος"), U("Έξοδος"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {apply_, cancel_, undo_button_, redo_button_, save_, save_as_}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(exit_);

    auto* side = new QVBoxLayout;
    side->addWidget(makeOptions(this));
    side->addWidget(makeTeacherWeek(this));
    side->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(makeClassWeek(this), 0, Qt::AlignTop);
    middle->addLayout(side);

    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addLayout(middle);
    column->addWidget(exchange_);
    column->addLayout(buttons);

    QAction* undo = undo_->createUndoAction(this);
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = undo_->createRedoAction(this);
    // Ctrl+Y as well as the desktop's own redo keys, each once: a key given
    // twice would be ambiguous and do nothing.
    QList<QKeySequence> redo_keys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redo_keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redo_keys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    }
    redo->setShortcuts(redo_keys);
    addAction(undo);
    addAction(redo);

    connect(choose_, &QPushButton::clicked, this, &SolutionEditWindow::chooseAndOpen);
    connect(apply_, &QPushButton::clicked, this, &SolutionEditWindow::applyProposal);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        source_slot_.reset();
        clearProposal();
        refresh();
    });
    connect(undo_button_, &QPushButton::clicked, undo_, &QUndoStack::undo);
    connect(redo_button_, &QPushButton::clicked, undo_, &QUndoStack::redo);
    connect(save_, &QPushButton::clicked, this, &SolutionEditWindow::save);
    connect(save_as_, &QPushButton::clicked, this, &SolutionEditWindow::saveAs);
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);
    connect(undo_, &QUndoStack::indexChanged, this, [this] {
        clearProposal();
        refresh();
    });
    setExitButton(exit_);
    refresh();
}

SolutionEditWindow::~SolutionEditWindow() {
    // The commands refresh the window: let them go while it still stands.
    undo_->clear();
}

QWidget* SolutionEditWindow::makeOptions(QWidget* parent) {
    QGroupBox* box = MakeGroupBox(parent, "GroupOptions", U("Οι επιλογές της εκτέλεσης"));
    box->setToolTip(U("Οι επιλογές με τις οποίες βρέθηκε η λύση: η σελίδα δεν τις γράφει"));
    max_per_day_ = new QComboBox(box);
    max_per_day_->setObjectName(QStringLiteral("ComboMaxPerDay"));
    max_per_day_->addItems({QStringLiteral("2"), QStringLiteral("3")});
    last_hours_on_ = new QCheckBox(U("Τελευταίες ώρες την εβδομάδα, έως"), box);
    last_hours_on_->setObjectName(QStringLiteral("CheckLastHours"));
    last_hours_ = new QSpinBox(box);
    last_hours_->setObjectName(QStringLiteral("SpinLastHours"));
    last_hours_->setRange(1, 4);
    last_hours_->setValue(4);
    day_hours_on_ = new QCheckBox(U("Ώρες την ημέρα, έως"), box);
    day_hours_on_->setObjectName(QStringLiteral("CheckDayHours"));
    day_hours_ = new QSpinBox(box);
    day_hours_->setObjectName(QStringLiteral("SpinDayHours"));
    day_hours_->setRange(5, 10);
    day_hours_->setValue(7);
    no_single_runs_ = new QCheckBox(U("Όχι συνεχόμενα μονόωρα"), box);
    no_single_runs_->setObjectName(QStringLiteral("CheckNoSingleRuns"));
    four_in_a_row_ = new QCheckBox(U("Έως 4 ώρες στη σειρά"), box);
    four_in_a_row_->setObjectName(QStringLiteral("CheckFourInARow"));

    auto* form = new QGridLayout(box);
    form->addWidget(MakeLabel(box, "Label3", U("Ώρες σε ένα τμήμα την ημέρα, έως")), 0, 0);
    form->addWidget(max_per_day_, 0, 1);
    form->addWidget(last_hours_on_, 1, 0);
    form->addWidget(last_hours_, 1, 1);
    form->addWidget(day_hours_on_, 2, 0);
    form->addWidget(day_hours_, 2, 1);
    form->addWidget(no_single_runs_, 3, 0, 1, 2);
    form->addWidget(four_in_a_row_, 4, 0, 1, 2);
    form->setColumnStretch(0, 1);

    startOptions();
    connect(max_per_day_, &QComboBox::currentIndexChanged, this,
            &SolutionEditWindow::optionsChanged);
    for (QCheckBox* check : {last_hours_on_, day_hours_on_, no_single_runs_, four_in_a_row_}) {
        connect(check, &QCheckBox::toggled, this, &SolutionEditWindow::optionsChanged);
    }
    for (QSpinBox* spin : {last_hours_, day_hours_}) {
        connect(spin, &QSpinBox::valueChanged, this, &SolutionEditWindow::optionsChanged);
    }
    return box;
}

QWidget* SolutionEditWindow::makeClassWeek(QWidget* parent) {
    auto* panel = new QWidget(parent);
    class_ = new QComboBox(panel);
    class_->setObjectName(QStringLiteral("ComboClass"));
    class_->setMinimumContentsLength(12);
    week_ = MakeWeekGrid(panel, "GridClass", kDayColumnWidth);
    FitGrid(week_, kUsualHours, ClassRowHeight(week_));
    week_->installEventFilter(this);
    week_->setItemDelegate(new CurrentCellDelegate(week_));
    auto* legend = MakeLabel(panel, "Label4",
                             U("Γκρι: καρφωμένο μάθημα. Μπλε: το μάθημα που μετακινείται. "
                               "Κίτρινο: ό,τι αλλάζει."));
    auto* choice = new QHBoxLayout;
    choice->addWidget(MakeLabel(panel, "Label5", U("Τμήμα:")));
    choice->addWidget(class_);
    choice->addStretch(1);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(choice);
    layout->addWidget(week_);
    layout->addWidget(legend);
    layout->addWidget(message_);
    layout->addStretch(1);
    message_->setFixedWidth(week_->width());

    connect(class_, &QComboBox::currentIndexChanged, this, [this] {
        source_slot_.reset();
        showClass();
    });
    connect(week_, &QTableWidget::cellClicked, this, &SolutionEditWindow::cellPicked);
    connect(week_, &QTableWidget::currentCellChanged, this,
            &SolutionEditWindow::showTeacherOfCurrentCell);
    return panel;
}

QWidget* SolutionEditWindow::makeTeacherWeek(QWidget* parent) {
    QGroupBox* box = MakeGroupBox(parent, "GroupTeacher", U("Το πρόγραμμα του διδάσκοντα"));
    teacher_name_ = MakeLabel(box, "Label6", {});
    teacher_name_->setWordWrap(true);
    teacher_name_->setFixedWidth(5 * kTeacherColumnWidth + 30);
    teacher_name_->setMinimumHeight(2 * teacher_name_->fontMetrics().lineSpacing() + 4);
    teacher_week_ = MakeWeekGrid(box, "GridTeacher", kTeacherColumnWidth);
    teacher_week_->setFocusPolicy(Qt::NoFocus);
    teacher_week_->setSelectionMode(QAbstractItemView::NoSelection);
    FitGrid(teacher_week_, kUsualHours, TeacherRowHeight(teacher_week_));
    teacher_gaps_ = MakeLabel(box, "Label7", {});
    teacher_gaps_->setWordWrap(true);
    teacher_gaps_->setFixedWidth(5 * kTeacherColumnWidth + 30);
    teacher_gaps_->setMinimumHeight(2 * teacher_gaps_->fontMetrics().lineSpacing() + 4);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(teacher_name_);
    layout->addWidget(teacher_week_);
    layout->addWidget(teacher_gaps_);
    return box;
}

// The options of the last run of this program directory, kept beside its
// pages; else the last ones set in the editor; else none.
void SolutionEditWindow::startOptions() {
    std::optional<RunSettings> start = data::KeptRunSettings(SolutionsDirectory(
        context_->paths.directory.toStdString(), context_->school.toStdString()));
    if (!start) {
        start = LastEditorSettings();
    }
    if (!start) {
        return;
    }
    max_per_day_->setCurrentIndex(start->max_class_hours_per_day == 3 ? 1 : 0);
    last_hours_on_->setChecked(start->last_hours_limit_on);
    if (start->last_hours_limit_on) {
        last_hours_->setValue(start->last_hours_limit);
    }
    day_hours_on_->setChecked(start->day_hours_limit_on);
    if (start->day_hours_limit_on) {
        day_hours_->setValue(start->day_hours_limit);
    }
    no_single_runs_->setChecked(start->no_single_hour_runs);
    four_in_a_row_->setChecked(start->four_hour_run_limit_on);
}

RunSettings SolutionEditWindow::chosenSettings() const {
    RunSettings settings;
    settings.max_class_hours_per_day = max_per_day_->currentIndex() + 2;
    settings.last_hours_limit_on = last_hours_on_->isChecked();
    settings.last_hours_limit = last_hours_->value();
    settings.day_hours_limit_on = day_hours_on_->isChecked();
    settings.day_hours_limit = day_hours_->value();
    settings.no_single_hour_runs = no_single_runs_->isChecked();
    settings.four_hour_run_limit_on = four_in_a_row_->isChecked();
    return settings;
}

RunOptions SolutionEditWindow::chosenOptions() const {
    RunOptions options;
    options.max_class_hours_per_day = static_cast<std::uint8_t>(max_per_day_->currentIndex() + 2);
    options.last_hours_limit_on = last_hours_on_->isChecked();
    options.last_hours_limit =
        static_cast<std::uint8_t>(options.last_hours_limit_on ? last_hours_->value() : 5);
    options.day_hours_limit_on = day_hours_on_->isChecked();
    options.day_hours_limit =
        static_cast<std::uint8_t>(options.day_hours_limit_on ? day_hours_->value() : 10);
    options.no_single_hour_runs = no_single_runs_->isChecked();
    options.four_hour_run_limit_on = four_in_a_row_->isChecked();
    return options;
}

const ByteMatrix* SolutionEditWindow::timetable() const {
    return school_ ? &timetable_ : nullptr;
}

bool SolutionEditWindow::confirmClose() {
    if (reading_) {
        return false;
    }
    return undo_->isClean() ||
           context_->asker->Confirm(
               this, U("Οι αλλαγές της λύσης δεν αποθηκεύτηκαν. Να κλείσει το παράθυρο;"));
}

bool SolutionEditWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter picks the current cell of the week, as a click does, instead of
    // pressing the window's default button.
    if (watched == week_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            week_->currentRow() >= 0 && week_->currentColumn() >= 0) {
            cellPicked(week_->currentRow(), week_->currentColumn());
            return true;
        }
    }
    return Window::eventFilter(watched, event);
}

void SolutionEditWindow::chooseAndOpen() {
    if (reading_) {
        return;
    }
    if (!undo_->isClean() &&
        !context_->asker->Confirm(
            this, U("Οι αλλαγές της λύσης δεν αποθηκεύτηκαν. Να ανοίξει άλλη λύση;"))) {
        return;
    }
    const QString page =
        chooser_->Choose(this, SolutionChoiceFolder(context_->paths, context_->school));
    if (page.isEmpty()) {
        context_->asker->Inform(this, U(kNoSolutionChosenMessage));
        return;
    }
    reading_ = true;
    setPageText(U("Διαβάζεται η σελίδα %1 ...").arg(QDir::toNativeSeparators(page)));
    refresh();
    auto read = std::make_shared<data::SchoolPage>();
    const data::ProgramPaths paths = context_->paths;
    const QString school = context_->school;
    const RunOptions options = chosenOptions();
    RunInBackground(
        this,
        [read, paths, school, page, options] {
            *read = data::ReadPageAgainstSchool(paths, school, page.toStdString(), options);
        },
        [this, read, page](std::exception_ptr error) { pageReadEnded(read, page, error); });
}

void SolutionEditWindow::pageReadEnded(std::shared_ptr<data::SchoolPage> read, const QString& path,
                                       std::exception_ptr error) {
    reading_ = false;
    const QString page = QDir::toNativeSeparators(path);
    QString refusal;
    try {
        if (error) {
            std::rethrow_exception(error);
        }
    } catch (const PageReadError& failure) {
        refusal = Q(UnreadablePageMessage(page.toStdString(), failure));
    } catch (const data::DataError& failure) {
        refusal = failure.message();
    } catch (const std::invalid_argument& failure) {
        refusal = U(kContradictoryDataMessage) + u'\r' + Q(failure.what());
    } catch (const std::bad_alloc&) {
        refusal = U("Η μνήμη του υπολογιστή δεν επαρκεί για τη σελίδα %1.").arg(page);
    }
    if (refusal.isEmpty()) {
        const PageVerdict& verdict = read->verdict;
        if (verdict.outcome == PageVerdict::Outcome::kBreaksRules) {
            refusal = U("Η λύση της σελίδας %1 παραβιάζει κανόνες με αυτές τις επιλογές και δεν "
                        "διορθώνεται:")
                          .arg(page);
            for (const std::string& reason : verdict.reasons) {
                refusal += QStringLiteral("\r  ") + Q(reason);
            }
        } else {
            refusal =
                Q(PageRefusalMessage(verdict, page.toStdString(), read->page->classes.school_name,
                                     read->problem.page_info.school_name));
        }
    }
    if (!refusal.isEmpty()) {
        refresh();
        context_->asker->Error(this, refusal);
        emit pageRead(false);
        return;
    }
    undo_->clear();
    page_path_ = path;
    school_ = std::move(read);
    timetable_ = school_->verdict.timetable;
    options_ = chosenOptions();
    editor_ = std::make_unique<TimetableEditor>(school_->problem.inputs, options_,
                                                school_->problem.rules);
    rules_hold_ = true;
    source_slot_.reset();
    clearProposal();
    const QSignalBlocker block(class_);
    class_->clear();
    const SolverInputs& inputs = school_->problem.inputs;
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        class_->addItem(Q(inputs.class_names[static_cast<std::size_t>(c)]), c);
    }
    class_->setCurrentIndex(0);
    // As many hours as the longest day of the school's class sections.
    int hours = kUsualHours;
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        for (int slot = 1; slot <= kSlots; ++slot) {
            if (timetable_(static_cast<std::size_t>(c), static_cast<std::size_t>(slot)) != 0) {
                hours = std::max(hours, HourOfSlot(slot));
            }
        }
    }
    FitGrid(week_, hours, ClassRowHeight(week_));
    FitGrid(teacher_week_, hours, TeacherRowHeight(teacher_week_));
    setMessage(U("Διάλεξε ένα μάθημα και μετά τη θέση όπου θα πάει (κλικ ή Enter)."), false);
    refresh();
    week_->setCurrentCell(0, 0);
    week_->setFocus();
    emit pageRead(true);
}

void SolutionEditWindow::optionsChanged() {
    LastEditorSettings() = chosenSettings();
    if (!school_) {
        return;
    }
    options_ = chosenOptions();
    editor_ = std::make_unique<TimetableEditor>(school_->problem.inputs, options_,
                                                school_->problem.rules);
    source_slot_.reset();
    clearProposal();
    rules_hold_ = rulesHoldUnderOptions();
    if (rules_hold_) {
        setMessage(U("Διάλεξε ένα μάθημα και μετά τη θέση όπου θα πάει (κλικ ή Enter)."), false);
    }
    refresh();
}

bool SolutionEditWindow::rulesHoldUnderOptions() {
    std::vector<Violation> broken;
    try {
        broken = editor_->Judge(timetable_);
    } catch (const std::invalid_argument& error) {
        setMessage(U(kContradictoryDataMessage) + u' ' + Q(error.what()), true);
        return false;
    }
    if (broken.empty()) {
        return true;
    }
    setMessage(U("Με αυτές τις επιλογές η λύση παραβιάζει κανόνες και δεν διορθώνεται:"), true);
    for (const Violation& violation : broken) {
        exchange_->addItem(Q(ViolationLine(violation, school_->problem.inputs)));
    }
    return false;
}

void SolutionEditWindow::showClass() {
    if (!school_ || class_->currentIndex() < 0) {
        return;
    }
    const SolverInputs& inputs = school_->problem.inputs;
    const int c = class_->currentData().toInt();
    std::set<int> changed;
    if (proposal_) {
        for (const CellChange& change : proposal_->changes) {
            if (change.class_section == c) {
                changed.insert(change.slot);
            }
        }
    }
    const bool asked_here = request_ && request_->class_section == c;
    for (int r = 0; r < kMaxHoursPerDay; ++r) {
        for (int d = 0; d < kDays; ++d) {
            const int s = SlotOfCell(r, d);
            const int t = timetable_(static_cast<std::size_t>(c), static_cast<std::size_t>(s));
            QTableWidgetItem* item = week_->item(r, d);
            item->setText(t == 0 ? QString()
                                 : CellName(inputs.teacher_names[static_cast<std::size_t>(t)]));
            const bool pinned = t != 0 && inputs.pinned_lessons(static_cast<std::size_t>(c),
                                                                static_cast<std::size_t>(s)) == t;
            item->setToolTip(pinned ? U("Καρφωμένο μάθημα: δεν μετακινείται") : QString());
            QColor colour = pinned ? kPinnedColour : QColor(Qt::white);
            if (changed.count(s) != 0) {
                colour = kMovingColour;
            }
            if (asked_here && proposal_ && !proposal_->keeps_rules && s == request_->to_slot) {
                colour = kRefusedColour;
            }
            if (source_slot_ && request_ && request_->class_section == c && s == *source_slot_) {
                colour = kPickedColour;
            }
            item->setBackground(colour);
            QFont font = item->font();
            font.setItalic(pinned);
            item->setFont(font);
        }
    }
    showTeacherOfCurrentCell();
}

void SolutionEditWindow::showTeacherOfCurrentCell() {
    for (int r = 0; r < kMaxHoursPerDay; ++r) {
        for (int d = 0; d < kDays; ++d) {
            teacher_week_->item(r, d)->setText({});
            teacher_week_->item(r, d)->setBackground(QColor(Qt::white));
        }
    }
    teacher_name_->clear();
    teacher_gaps_->clear();
    if (!school_ || week_->currentRow() < 0 || week_->currentColumn() < 0) {
        return;
    }
    const SolverInputs& inputs = school_->problem.inputs;
    const int c = class_->currentData().toInt();
    const int t = timetable_(
        static_cast<std::size_t>(c),
        static_cast<std::size_t>(SlotOfCell(week_->currentRow(), week_->currentColumn())));
    if (t == 0) {
        teacher_name_->setText(U("Κενή ώρα του τμήματος"));
        return;
    }
    teacher_name_->setText(Q(inputs.teacher_names[static_cast<std::size_t>(t)]));
    for (int x = 1; x <= inputs.number_of_classes; ++x) {
        for (int s = 1; s <= kSlots; ++s) {
            if (timetable_(static_cast<std::size_t>(x), static_cast<std::size_t>(s)) != t) {
                continue;
            }
            QTableWidgetItem* item = teacher_week_->item(HourOfSlot(s) - 1, DayOfSlot(s) - 1);
            const QString name = Q(inputs.class_names[static_cast<std::size_t>(x)]);
            item->setText(item->text().isEmpty() ? name : item->text() + u',' + name);
            item->setBackground(x == c ? kPickedColour : QColor(Qt::white));
        }
    }
    const TeacherPeople& people = editor_->people();
    const GapCount gaps = CountGaps(timetable_, inputs.number_of_classes, people);
    QStringList lines;
    for (const std::uint16_t p : people.of_teacher[static_cast<std::size_t>(t)]) {
        if (p != 0) {
            lines.append(U("Κενά την εβδομάδα: %1").arg(gaps.per_week[p]) +
                         (people.of_teacher[static_cast<std::size_t>(t)][1] != 0
                              ? QStringLiteral(" (") + Q(people.names[p]) + u')'
                              : QString()));
        }
    }
    teacher_gaps_->setText(lines.join(u'\n'));
}

void SolutionEditWindow::cellPicked(int row, int column) {
    if (!school_ || !rules_hold_ || row < 0 || column < 0) {
        return;
    }
    const int c = class_->currentData().toInt();
    const int slot = SlotOfCell(row, column);
    const bool picked_here = source_slot_ && request_ && request_->class_section == c;
    if (!picked_here || proposal_) {
        // A new pick: the lesson that moves.
        clearProposal();
        if (timetable_(static_cast<std::size_t>(c), static_cast<std::size_t>(slot)) == 0) {
            source_slot_.reset();
            setMessage(U("Στην ώρα αυτή το τμήμα δεν έχει μάθημα. Διάλεξε ένα μάθημα."), false);
            refresh();
            return;
        }
        source_slot_ = slot;
        request_ = MoveRequest{c, slot, slot};
        setMessage(
            U("Το μάθημα %1 επιλέχθηκε. Διάλεξε τη θέση όπου θα πάει.").arg(Q(SlotName(slot))),
            false);
        refresh();
        return;
    }
    if (slot == *source_slot_) {
        source_slot_.reset();
        request_.reset();
        setMessage(U("Η επιλογή ακυρώθηκε. Διάλεξε ένα μάθημα."), false);
        refresh();
        return;
    }
    propose(slot);
}

void SolutionEditWindow::propose(int to_slot) {
    request_->to_slot = to_slot;
    const SolverInputs& inputs = school_->problem.inputs;
    if (const auto problem = RequestProblem(inputs, timetable_, *request_)) {
        setMessage(Q(*problem), true);
        return;
    }
    proposal_ = editor_->Propose(timetable_, *request_);
    exchange_->clear();
    const auto teacher = [&inputs](int t) {
        return t == 0 ? U("(κενό)") : Q(inputs.teacher_names[static_cast<std::size_t>(t)]);
    };
    if (proposal_->keeps_rules) {
        std::set<int> classes;
        for (const CellChange& change : proposal_->changes) {
            classes.insert(change.class_section);
            exchange_->addItem(Q(ClassName(inputs, change.class_section)) + QStringLiteral(", ") +
                               Q(SlotName(change.slot)) + QStringLiteral(": ") +
                               teacher(change.before) + QStringLiteral(" → ") +
                               teacher(change.after));
        }
        for (const PersonGapChange& gaps : proposal_->gaps) {
            exchange_->addItem(
                U("Κενά: %1 %2 → %3")
                    .arg(Q(editor_->people().names[static_cast<std::size_t>(gaps.person)]))
                    .arg(gaps.before)
                    .arg(gaps.after));
        }
        setMessage(U("Η μετακίνηση γίνεται: αλλάζουν %1 σε %2, κενά συνολικά %3 → "
                     "%4. Εφαρμογή ή Άκυρο;")
                       .arg(Q(CountOf(proposal_->changes.size(), "κελί", "κελιά")))
                       .arg(Q(CountOf(classes.size(), "τμήμα", "τμήματα")))
                       .arg(proposal_->gaps_before.total)
                       .arg(proposal_->gaps_after.total),
                   false);
        apply_->setDefault(true);
    } else {
        for (const std::string& line : editor_->InTheWay(timetable_, *proposal_)) {
            exchange_->addItem(Q(line));
        }
        if (proposal_->beyond_reach) {
            exchange_->addItem(U("η ανταλλαγή θα έφτανε σε περισσότερα από %1")
                                   .arg(Q(CountOf(EditLimits{}.most_classes, "τμήμα", "τμήματα"))));
        }
        for (const Violation& violation : proposal_->blocking) {
            exchange_->addItem(Q(ViolationLine(violation, inputs)));
        }
        setMessage(U("Η μετακίνηση δεν γίνεται χωρίς να παραβιαστεί κανόνας:"), true);
    }
    refresh();
}

void SolutionEditWindow::clearProposal() {
    proposal_.reset();
    exchange_->clear();
    apply_->setDefault(false);
}

void SolutionEditWindow::applyProposal() {
    if (!proposal_ || !proposal_->keeps_rules) {
        return;
    }
    const QString text = Q(ClassName(school_->problem.inputs, request_->class_section)) +
                         QStringLiteral(": ") + Q(SlotName(request_->from_slot)) +
                         QStringLiteral(" → ") + Q(SlotName(request_->to_slot));
    std::vector<CellChange> changes = proposal_->changes;
    source_slot_.reset();
    clearProposal();
    undo_->push(new MoveCommand(this, request_->class_section, std::move(changes), text));
    setMessage(U("Η μετακίνηση έγινε (%1). Διάλεξε άλλο μάθημα, ή αποθήκευσε τη λύση.").arg(text),
               false);
}

// After an undo or a redo: what was undone or done again, in which class
// section, and that class section on show, so that the change is seen even
// when another one was on show.
void SolutionEditWindow::showUndoStep(int class_section, const QString& text, bool undone) {
    const int index = class_->findData(class_section);
    if (index >= 0) {
        class_->setCurrentIndex(index);
    }
    const QString name = Q(ClassName(school_->problem.inputs, class_section));
    setMessage((undone ? U("Αναιρέθηκε η μετακίνηση (%1). Φαίνεται το τμήμα %2.")
                       : U("Έγινε ξανά η μετακίνηση (%1). Φαίνεται το τμήμα %2."))
                   .arg(text, name),
               false);
}

void SolutionEditWindow::refresh() {
    const bool open = school_ != nullptr && !reading_;
    choose_->setEnabled(!reading_);
    for (QWidget* control : std::initializer_list<QWidget*>{
             max_per_day_, last_hours_on_, day_hours_on_, no_single_runs_, four_in_a_row_}) {
        control->setEnabled(!reading_);
    }
    last_hours_->setEnabled(!reading_ && last_hours_on_->isChecked());
    day_hours_->setEnabled(!reading_ && day_hours_on_->isChecked());
    class_->setEnabled(open);
    week_->setEnabled(open);
    apply_->setEnabled(open && proposal_ && proposal_->keeps_rules);
    cancel_->setEnabled(open && (source_slot_.has_value() || proposal_.has_value()));
    undo_button_->setEnabled(open && undo_->canUndo());
    redo_button_->setEnabled(open && undo_->canRedo());
    save_->setEnabled(open && rules_hold_ && !undo_->isClean());
    save_as_->setEnabled(open && rules_hold_);
    if (!open && !reading_) {
        setPageText(U("Διάλεξε τη λύση που θα διορθωθεί."));
    } else if (open) {
        setPageText(U("Λύση: %1").arg(QDir::toNativeSeparators(page_path_)) +
                    (undo_->isClean() ? QString() : U(" (με αλλαγές)")));
    }
    showClass();
}

void SolutionEditWindow::setPageText(const QString& text) {
    // A long path is shortened in its middle; the whole of it is the tip.
    page_label_->setText(
        page_label_->fontMetrics().elidedText(text, Qt::ElideMiddle, page_label_->width()));
    page_label_->setToolTip(text);
}

void SolutionEditWindow::setMessage(const QString& text, bool refusal) {
    message_->setText(text);
    QPalette palette = message_->palette();
    palette.setColor(QPalette::WindowText, refusal ? QColor(160, 0, 0) : QColor(Qt::black));
    message_->setPalette(palette);
}

void SolutionEditWindow::save() {
    const QString folder = PageFolder(page_path_);
    const std::optional<int> number = NextFreeSolutionNumber(folder.toStdString());
    if (!number) {
        context_->asker->Error(
            this, U("Ο φάκελος %1 έχει ήδη όλες τις σελίδες λύσεων που χωράει. Αποθήκευσε "
                    "τη λύση αλλού.")
                      .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    writePage(QDir(folder).filePath(Q(SolutionPageName(*number))));
}

void SolutionEditWindow::saveAs() {
    const QString folder = PageFolder(page_path_);
    const std::optional<int> number = NextFreeSolutionNumber(folder.toStdString());
    const QString suggested =
        QDir(folder).filePath(number ? Q(SolutionPageName(*number)) : QString());
    QString path = save_chooser_->ChooseSaveName(this, suggested);
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".htm");
    }
    if (data::IsSpecialFile(path)) {
        context_->asker->Error(this, U("Το %1 δεν είναι κανονικό αρχείο (είναι φάκελος, συσκευή "
                                       "ή σωλήνας) και δεν αντικαθίσταται.")
                                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    const bool opened_page = data::FileWrittenAt(path) == data::FileWrittenAt(page_path_);
    if (!opened_page && data::IsProgramFile(context_->paths.directory, path) &&
        QFileInfo::exists(path)) {
        if (!context_->asker->Confirm(
                this, U("Η σελίδα %1 είναι άλλη λύση του προγράμματος. Να αντικατασταθεί από "
                        "τη διορθωμένη λύση;")
                          .arg(QDir::toNativeSeparators(path)))) {
            return;
        }
    }
    if (opened_page && !context_->asker->Confirm(this, U("Η σελίδα %1 είναι η λύση που άνοιξε. Να "
                                                         "αντικατασταθεί από τη διορθωμένη λύση;")
                                                           .arg(QDir::toNativeSeparators(path)))) {
        return;
    }
    writePage(path);
}

bool SolutionEditWindow::writePage(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    try {
        const std::string bytes = VerifiedEditedPage(
            *school_->page, school_->problem.page_info.school_name, school_->problem.inputs,
            options_, school_->problem.rules, timetable_,
            EditedPageSolution(school_->page->solution, std::filesystem::path(path.toStdString())));
        SolutionPageWriter::WriteFile(path.toStdString(), bytes);
    } catch (const std::invalid_argument& error) {
        context_->asker->Error(this,
                               U("Η διορθωμένη λύση δεν αποθηκεύτηκε: %1.").arg(Q(error.what())));
        return false;
    } catch (const PageWriteError& error) {
        context_->asker->Error(
            this,
            U("Η διορθωμένη λύση δεν αποθηκεύτηκε στο %1: %2.").arg(shown, Q(error.reason())));
        return false;
    }
    // From now on the window holds the saved page: its header names it, and
    // the next save numbers from its folder.
    page_path_ = path;
    undo_->setClean();
    refresh();
    context_->asker->Inform(this, U("Η διορθωμένη λύση αποθηκεύτηκε στο %1.").arg(shown));
    return true;
}

}  // namespace taktirio::gui
