#include "gui/reports/solution_edit_window.h"

#include <QAction>
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
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "core/edit/edited_page.h"
#include "core/pages/page_errors.h"
#include "core/pages/solution_page_writer.h"
#include "core/run/solution_files.h"
#include "core/solver/errors.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "data/database/errors.h"
#include "data/run/run_sequence.h"
#include "data/shell/program_files.h"
#include "gui/common/asker.h"
#include "gui/common/file_dialog.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/solution_choice.h"
#include "gui/run/background.h"
#include "gui/run/run_options_box.h"

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
      save_chooser_(save_chooser != nullptr ? save_chooser : &DefaultSaveNameChooser()) {
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

    auto* undo = new QAction(this);
    undo->setShortcut(QKeySequence::Undo);
    auto* redo = new QAction(this);
    // Ctrl+Y as well as the desktop's own redo keys, each once: a key given
    // twice would be ambiguous and do nothing.
    QList<QKeySequence> redo_keys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redo_keys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) {
        redo_keys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    }
    redo->setShortcuts(redo_keys);
    addAction(undo);
    addAction(redo);
    connect(undo, &QAction::triggered, this, &SolutionEditWindow::undo);
    connect(redo, &QAction::triggered, this, &SolutionEditWindow::redo);

    connect(choose_, &QPushButton::clicked, this, &SolutionEditWindow::chooseAndOpen);
    connect(apply_, &QPushButton::clicked, this, &SolutionEditWindow::applyProposal);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (session_) {
            session_->Cancel();
        }
        clearExchange();
        refresh();
    });
    connect(undo_button_, &QPushButton::clicked, this, &SolutionEditWindow::undo);
    connect(redo_button_, &QPushButton::clicked, this, &SolutionEditWindow::redo);
    connect(save_, &QPushButton::clicked, this, &SolutionEditWindow::save);
    connect(save_as_, &QPushButton::clicked, this, &SolutionEditWindow::saveAs);
    connect(exit_, &QPushButton::clicked, this, &QWidget::close);
    setExitButton(exit_);
    refresh();
}

SolutionEditWindow::~SolutionEditWindow() = default;

QWidget* SolutionEditWindow::makeOptions(QWidget* parent) {
    QGroupBox* box = MakeGroupBox(parent, "GroupOptions", U("Οι επιλογές της εκτέλεσης"));
    box->setToolTip(U("Οι επιλογές με τις οποίες βρέθηκε η λύση: η σελίδα δεν τις γράφει"));
    options_ = new RunOptionsBox(RunOptionsBox::Form::kCompact, box);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(options_);
    startOptions();
    connect(options_, &RunOptionsBox::changed, this, &SolutionEditWindow::optionsChanged);
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
        if (session_) {
            session_->DropPick();
        }
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
    if (start) {
        options_->Show(*start);
    }
}

std::optional<RunOptions> SolutionEditWindow::chosenOptions() const {
    const RunSettings settings = options_->Read();
    if (!RunSettingsValid(settings)) {
        return std::nullopt;
    }
    return ToRunOptions(settings);
}

const ByteMatrix* SolutionEditWindow::timetable() const {
    return session_ ? &session_->timetable() : nullptr;
}

bool SolutionEditWindow::changed() const {
    return session_ && session_->Changed();
}

// Whether a lesson may be picked and the timetable saved: a page is open and
// keeps the rules under valid options.
bool SolutionEditWindow::editable() const {
    return session_ && !reading_ && options_valid_ && session_->RulesHold();
}

bool SolutionEditWindow::confirmClose() {
    if (reading_) {
        return false;
    }
    return !changed() ||
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
    if (changed() &&
        !context_->asker->Confirm(
            this, U("Οι αλλαγές της λύσης δεν αποθηκεύτηκαν. Να ανοίξει άλλη λύση;"))) {
        return;
    }
    const std::optional<RunOptions> chosen = chosenOptions();
    if (!chosen) {
        context_->asker->Error(this, U(kInvalidValuesMessage));
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
    // A sound page's session is made on the same thread: it judges the
    // timetable again, which a large school makes slow.
    auto session = std::make_shared<std::unique_ptr<EditSession>>();
    const data::ProgramPaths paths = context_->paths;
    const QString school = context_->school;
    const RunOptions options = *chosen;
    RunInBackground(
        this,
        [read, session, paths, school, page, options] {
            *read = data::ReadPageAgainstSchool(paths, school, page.toStdString(), options);
            if (read->verdict.outcome == PageVerdict::Outcome::kSound) {
                *session = std::make_unique<EditSession>(read->problem.inputs, read->problem.rules,
                                                         read->verdict.timetable, options);
            }
        },
        [this, read, session, page](std::exception_ptr error) {
            pageReadEnded(read, std::move(*session), page, error);
        });
}

void SolutionEditWindow::pageReadEnded(std::shared_ptr<data::SchoolPage> read,
                                       std::unique_ptr<EditSession> session, const QString& path,
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
    page_path_ = path;
    // The session first: it refers to the school it replaces.
    session_ = std::move(session);
    school_ = std::move(read);
    options_valid_ = true;
    clearExchange();
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
            if (session_->timetable()(static_cast<std::size_t>(c),
                                      static_cast<std::size_t>(slot)) != 0) {
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
    const std::optional<RunOptions> options = chosenOptions();
    if (options) {
        LastEditorSettings() = options_->Read();
    }
    if (!session_) {
        return;
    }
    clearExchange();
    options_valid_ = options.has_value();
    if (!options_valid_) {
        session_->Cancel();
        setMessage(U(kInvalidValuesMessage), true);
    } else if (judgeUnderOptions(*options)) {
        setMessage(U("Διάλεξε ένα μάθημα και μετά τη θέση όπου θα πάει (κλικ ή Enter)."), false);
    }
    refresh();
}

// The session judges the timetable under the new options; what it breaks
// under them is listed, and nothing is edited until it keeps the rules.
bool SolutionEditWindow::judgeUnderOptions(const RunOptions& options) {
    try {
        session_->SetOptions(options);
    } catch (const std::invalid_argument& error) {
        setMessage(U(kContradictoryDataMessage) + u' ' + Q(error.what()), true);
        return false;
    }
    if (session_->RulesHold()) {
        return true;
    }
    setMessage(U(kBrokenUnderOptionsMessage) + u':', true);
    for (const Violation& violation : session_->Broken()) {
        exchange_->addItem(Q(ViolationLine(violation, school_->problem.inputs)));
    }
    return false;
}

void SolutionEditWindow::showClass() {
    if (!session_ || class_->currentIndex() < 0) {
        return;
    }
    const SolverInputs& inputs = school_->problem.inputs;
    const int c = class_->currentData().toInt();
    const std::optional<MoveProposal>& proposal = session_->proposal();
    const std::optional<MoveRequest>& request = session_->request();
    const std::optional<int> picked = session_->PickedSlot();
    std::set<int> changed;
    if (proposal) {
        for (const CellChange& change : proposal->changes) {
            if (change.class_section == c) {
                changed.insert(change.slot);
            }
        }
    }
    const bool asked_here = request && request->class_section == c;
    for (int r = 0; r < kMaxHoursPerDay; ++r) {
        for (int d = 0; d < kDays; ++d) {
            const int s = SlotOfCell(r, d);
            const int t =
                session_->timetable()(static_cast<std::size_t>(c), static_cast<std::size_t>(s));
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
            if (asked_here && proposal && !proposal->keeps_rules && s == request->to_slot) {
                colour = kRefusedColour;
            }
            if (picked && asked_here && s == *picked) {
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
    if (!session_ || week_->currentRow() < 0 || week_->currentColumn() < 0) {
        return;
    }
    const SolverInputs& inputs = school_->problem.inputs;
    const ByteMatrix& timetable = session_->timetable();
    const int c = class_->currentData().toInt();
    const int t = timetable(
        static_cast<std::size_t>(c),
        static_cast<std::size_t>(SlotOfCell(week_->currentRow(), week_->currentColumn())));
    if (t == 0) {
        teacher_name_->setText(U("Κενή ώρα του τμήματος"));
        return;
    }
    teacher_name_->setText(Q(inputs.teacher_names[static_cast<std::size_t>(t)]));
    for (int x = 1; x <= inputs.number_of_classes; ++x) {
        for (int s = 1; s <= kSlots; ++s) {
            if (timetable(static_cast<std::size_t>(x), static_cast<std::size_t>(s)) != t) {
                continue;
            }
            QTableWidgetItem* item = teacher_week_->item(HourOfSlot(s) - 1, DayOfSlot(s) - 1);
            const QString name = Q(inputs.class_names[static_cast<std::size_t>(x)]);
            item->setText(item->text().isEmpty() ? name : item->text() + u',' + name);
            item->setBackground(x == c ? kPickedColour : QColor(Qt::white));
        }
    }
    const TeacherPeople& people = session_->editor().people();
    const GapCount gaps = CountGaps(timetable, inputs.number_of_classes, people);
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
    if (!editable() || row < 0 || column < 0) {
        return;
    }
    const int slot = SlotOfCell(row, column);
    switch (session_->Click(class_->currentData().toInt(), slot)) {
        case PickOutcome::kIgnored:
            return;
        case PickOutcome::kNoLesson:
            clearExchange();
            setMessage(U("Στην ώρα αυτή το τμήμα δεν έχει μάθημα. Διάλεξε ένα μάθημα."), false);
            break;
        case PickOutcome::kPicked:
            clearExchange();
            setMessage(
                U("Το μάθημα %1 επιλέχθηκε. Διάλεξε τη θέση όπου θα πάει.").arg(Q(SlotName(slot))),
                false);
            break;
        case PickOutcome::kUnpicked:
            setMessage(U("Η επιλογή ακυρώθηκε. Διάλεξε ένα μάθημα."), false);
            break;
        case PickOutcome::kNotAskable:
            setMessage(Q(session_->problem()), true);
            return;
        case PickOutcome::kProposed:
            showProposal();
            break;
    }
    refresh();
}

// The exchange's cells and gaps, or what blocks it, in the list; the
// headline in the status line.
void SolutionEditWindow::showProposal() {
    exchange_->clear();
    const ExchangeWording words = session_->ProposalWording();
    for (const std::string& line : words.lines) {
        exchange_->addItem(Q(line));
    }
    if (session_->proposal()->keeps_rules) {
        setMessage(Q(words.headline) + U(" Εφαρμογή ή Άκυρο;"), false);
        apply_->setDefault(true);
    } else {
        setMessage(Q(words.headline), true);
    }
}

void SolutionEditWindow::clearExchange() {
    exchange_->clear();
    apply_->setDefault(false);
}

void SolutionEditWindow::applyProposal() {
    const std::optional<EditStep> step = session_ ? session_->Apply() : std::nullopt;
    if (!step) {
        return;
    }
    clearExchange();
    refresh();
    setMessage(U("Η μετακίνηση έγινε (%1). Διάλεξε άλλο μάθημα, ή αποθήκευσε τη λύση.")
                   .arg(Q(MoveText(school_->problem.inputs, step->request))),
               false);
}

void SolutionEditWindow::undo() {
    if (const std::optional<EditStep> step = session_ ? session_->Undo() : std::nullopt) {
        showStep(*step, true);
    }
}

void SolutionEditWindow::redo() {
    if (const std::optional<EditStep> step = session_ ? session_->Redo() : std::nullopt) {
        showStep(*step, false);
    }
}

// After an undo or a redo: what was undone or done again, in which class
// section, and that class section on show, so that the change is seen even
// when another one was on show.
void SolutionEditWindow::showStep(const EditStep& step, bool undone) {
    const int class_section = step.request.class_section;
    const int index = class_->findData(class_section);
    if (index >= 0) {
        class_->setCurrentIndex(index);
    }
    const SolverInputs& inputs = school_->problem.inputs;
    const QString text = Q(MoveText(inputs, step.request));
    const QString name = Q(ClassName(inputs, class_section));
    setMessage((undone ? U("Αναιρέθηκε η μετακίνηση (%1). Φαίνεται το τμήμα %2.")
                       : U("Έγινε ξανά η μετακίνηση (%1). Φαίνεται το τμήμα %2."))
                   .arg(text, name),
               false);
    clearExchange();
    refresh();
}

void SolutionEditWindow::refresh() {
    const bool open = session_ != nullptr && !reading_;
    choose_->setEnabled(!reading_);
    options_->SetControlsEnabled(!reading_);
    class_->setEnabled(open);
    week_->setEnabled(open);
    const bool proposed = open && session_->proposal().has_value();
    apply_->setEnabled(proposed && session_->proposal()->keeps_rules);
    cancel_->setEnabled(open && (session_->PickedSlot().has_value() || proposed));
    undo_button_->setEnabled(open && session_->CanUndo());
    redo_button_->setEnabled(open && session_->CanRedo());
    save_->setEnabled(editable() && changed());
    save_as_->setEnabled(editable());
    if (!open && !reading_) {
        setPageText(U("Διάλεξε τη λύση που θα διορθωθεί."));
    } else if (open) {
        setPageText(U("Λύση: %1").arg(QDir::toNativeSeparators(page_path_)) +
                    (changed() ? U(" (με αλλαγές)") : QString()));
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
            session_->options(), school_->problem.rules, session_->timetable(),
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
    session_->MarkSaved();
    refresh();
    context_->asker->Inform(this, U("Η διορθωμένη λύση αποθηκεύτηκε στο %1.").arg(shown));
    return true;
}

}  // namespace taktirio::gui
