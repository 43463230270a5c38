#include "gui/forms/teacher_view_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>
#include <memory>

#include "core/run/solution_files.h"
#include "data/checks/teacher_view.h"
#include "data/database/errors.h"
#include "data/entry/windows.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/run/background.h"

namespace taktirio::gui {

namespace {

// The column colours of the sections' grids.
const QColor kYellow(255, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kSilver(192, 192, 192);

struct ColumnLook {
    const char* title;
    std::optional<QColor> colour;
};

struct SectionLook {
    QList<const char*> heading;  // one label per line
    QList<ColumnLook> columns;
};

QList<SectionLook> SectionLooks() {
    return {
        {{"Κατανομή τμημάτων και ωρών διδασκαλίας"},
         {{"Τμήμα", {}}, {"Μονόωρα", kYellow}, {"Δίωρα", kAqua}, {"Σύνολο", kSilver}}},
        {{"Υποχρεωτική τοποθέτηση σε συγκεκριμένο",
          "τμήμα και συγκεκριμένη μέρα και ώρα της εβδομάδας"},
         {{"Τμήμα", {}}, {"Μέρα και Ώρα", kYellow}}},
        {{"Μέρες που δεν έρχεται στο σχολείο"}, {{"Μέρες", {}}}},
        {{"Δηλωμένες κενές ώρες"}, {{"Μέρα και Ώρα", {}}}},
        {{"Διδασκαλία σε δυο τμήματα την ίδια ώρα"}, {{"Τμήμα 1", kYellow}, {"Τμήμα 2", kAqua}}},
        {{"Χωρισμός Μαθήματος"}, {{"Τμήμα", kYellow}, {"Διδάσκων", {}}}},
        // The "o" between "όταν" and "υπό" is a Latin letter, as the program
        // always showed it.
        {{"Οι πιο κάτω έχουν υποχρεωτικά κενή ώρα όταν o υπό", "έρευνα καθηγητής κάνει μάθημα"},
         {{"Διδάσκων", {}}}},
    };
}

// Room for the longest heading and a few rows in each grid; the scroll box
// makes the window about 726 x 641.
constexpr int kGridWidth = 560;
constexpr int kGridHeight = 130;
constexpr int kScrollWidth = 704;
constexpr int kScrollHeight = 563;

}  // namespace

TeacherViewWindow::TeacherViewWindow(ProgramContext* context, QWidget* parent)
    : Window("TForm25", U("Αναλυτική εικόνα του διδάσκοντος"), parent), context_(context) {
    database_.emplace(data::Database::Open(context_->paths.entry_database));
    session_ = {database_->connection(), context_->school};

    teachers_ = new QComboBox(this);
    teachers_->setObjectName(QStringLiteral("DBLookupComboBox1"));
    teachers_->setToolTip(U("Δώσε καθηγητή"));
    teachers_->setMaxVisibleItems(20);
    teachers_->setMinimumWidth(320);
    for (const data::PickItem& item :
         data::PickItems(session_, data::PickList::kTeachersAndPairs)) {
        teachers_->addItem(item.name, item.id);
    }
    teachers_->setCurrentIndex(-1);
    auto* top = new QHBoxLayout;
    top->addWidget(MakeLabel(this, "Label1", U("Υπό έρευνα καθηγητής:")));
    top->addWidget(teachers_);
    top->addStretch();
    // The gaps in the solutions, hidden while there are none: the fewest, a
    // line per person, over a table of every page a few rows high, scrolled
    // when a school has many pages.
    gaps_panel_ = new QWidget(this);
    gaps_panel_->setObjectName(QStringLiteral("GapsPanel"));
    auto* gaps_column = new QVBoxLayout(gaps_panel_);
    gaps_column->setContentsMargins(0, 0, 0, 0);
    gaps_summary_ = MakeLabel(gaps_panel_, "GapsSummary", {});
    gaps_summary_->setWordWrap(true);
    gaps_summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    gaps_ = new QTableWidget(0, 0, gaps_panel_);
    gaps_->setObjectName(QStringLiteral("GapsInSolutions"));
    gaps_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gaps_->setSelectionBehavior(QAbstractItemView::SelectRows);
    gaps_->verticalHeader()->hide();
    gaps_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    gaps_->verticalHeader()->setDefaultSectionSize(gaps_->fontMetrics().height() + 6);
    gaps_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const QStringList one_teacher = data::GapsInPagesColumns({});
    gaps_->setColumnCount(static_cast<int>(one_teacher.size()));
    gaps_->setHorizontalHeaderLabels(one_teacher);
    constexpr int kGapRows = 4;
    gaps_->setFixedHeight(gaps_->horizontalHeader()->sizeHint().height() +
                          kGapRows * gaps_->verticalHeader()->defaultSectionSize() +
                          2 * gaps_->frameWidth());
    gaps_column->addWidget(gaps_summary_);
    gaps_column->addWidget(gaps_);
    gaps_panel_->hide();

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("ScrollBox1"));
    PaintBackground(page, kSkyBlue);
    auto* sections = new QVBoxLayout(page);
    int number = 0;
    for (const SectionLook& look : SectionLooks()) {
        ++number;
        for (const char* line : look.heading) {
            QLabel* heading = MakeLabel(page, "", U(line));
            heading->setObjectName(QStringLiteral("Heading%1").arg(number));
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            sections->addWidget(heading);
        }
        auto* grid = new QTableWidget(0, static_cast<int>(look.columns.size()), page);
        grid->setObjectName(QStringLiteral("DBGrid%1").arg(number));
        QStringList titles;
        for (const ColumnLook& column : look.columns) {
            titles.append(U(column.title));
        }
        grid->setHorizontalHeaderLabels(titles);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(number == 1 ? QAbstractItemView::SelectItems
                                               : QAbstractItemView::SelectRows);
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
        grid->horizontalHeader()->setStretchLastSection(true);
        grid->setFixedSize(kGridWidth, kGridHeight);
        sections->addWidget(grid);
        QLabel* result = MakeLabel(page, "", QString());
        result->setObjectName(QStringLiteral("Result%1").arg(number));
        sections->addWidget(result);
        sections->addSpacing(8);
        sections_.append({grid, result});
    }
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollArea1"));
    scroll_->setWidget(page);
    scroll_->setFixedSize(kScrollWidth, kScrollHeight);

    QPushButton* exit = MakeButton(this, "Button1", U("Έξοδος"), U("Έξοδος"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(exit);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(gaps_panel_);
    column->addWidget(scroll_);
    column->addLayout(bottom);
    setExitButton(exit);

    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    connect(teachers_, &QComboBox::currentIndexChanged, this,
            &TeacherViewWindow::showChosenTeacher);
}

TeacherViewWindow::~TeacherViewWindow() {
    // A reading under way ends on its own; its result has nowhere to go.
    if (reading_ != nullptr) {
        reading_->wait();
        delete reading_;
    }
}

void TeacherViewWindow::showChosenTeacher() {
    if (teachers_->currentIndex() < 0) {
        return;
    }
    data::TeacherDetails details;
    try {
        details = data::ReadTeacherDetails(session_, teachers_->currentData().toInt());
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());
        return;
    }
    const QList<SectionLook> looks = SectionLooks();
    for (qsizetype s = 0; s < sections_.size(); ++s) {
        const data::TeacherSection& section = details[static_cast<std::size_t>(s)];
        QTableWidget* grid = sections_[s].grid;
        grid->setRowCount(static_cast<int>(section.rows.size()));
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QStringList& row = section.rows[r];
            for (int c = 0; c < grid->columnCount(); ++c) {
                auto* item = new QTableWidgetItem(c < row.size() ? row[c] : QString());
                if (const std::optional<QColor>& colour = looks[s].columns[c].colour) {
                    item->setBackground(*colour);
                }
                grid->setItem(r, c, item);
            }
        }
        grid->resizeColumnsToContents();
        sections_[s].result->setText(section.result);
    }
    readGaps(teachers_->currentText().toStdString());
}

// One reading at a time: a teacher chosen while the pages are being read is
// read next, and only the last one chosen.
void TeacherViewWindow::readGaps(const std::string& teacher_name) {
    if (reading_ != nullptr) {
        next_reading_ = teacher_name;
        return;
    }
    const std::filesystem::path folder =
        SolutionsDirectory(context_->paths.directory.toStdString(), context_->school.toStdString());
    if (!HasPreviousPages(folder)) {
        showGaps({}, {});
        emit gapsShown();
        return;
    }
    showGaps({}, U("Κενά στις λύσεις: ανάγνωση των σελίδων των λύσεων…"));
    auto result = std::make_shared<data::GapsInPages>();
    reading_ = RunInBackground(
        this,
        [folder, teacher_name, result] { *result = data::ReadGapsInPages(folder, teacher_name); },
        [this, result](std::exception_ptr error) {
            reading_ = nullptr;
            if (next_reading_) {
                const std::string next = *next_reading_;
                next_reading_.reset();
                readGaps(next);
                return;
            }
            if (error == nullptr) {
                showGaps(*result, data::GapsInPagesSummary(*result));
            } else {
                showGaps({}, U("Κενά στις λύσεις: οι σελίδες των λύσεων δεν διαβάστηκαν."));
            }
            emit gapsShown();
        });
}

void TeacherViewWindow::showGaps(const data::GapsInPages& gaps, const QString& summary) {
    const QStringList columns = data::GapsInPagesColumns(gaps);
    const QList<QStringList> rows = data::GapsInPagesRows(gaps);
    gaps_summary_->setText(summary);
    gaps_->clearContents();
    gaps_->setColumnCount(static_cast<int>(columns.size()));
    gaps_->setHorizontalHeaderLabels(columns);
    // The counts share the width; the solution and a pair member's name take
    // what they need.
    for (int c = 0; c < gaps_->columnCount(); ++c) {
        const bool named = c == 0 || (gaps.people.size() > 1 && c == 1);
        gaps_->horizontalHeader()->setSectionResizeMode(
            c, named ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
    }
    gaps_->setRowCount(static_cast<int>(rows.size()));
    // Each person's page with the fewest gaps stands out in bold.
    const int people = static_cast<int>(gaps.people.size());
    QList<int> fewest_rows;
    for (int m = 0; m < people; ++m) {
        const int fewest = gaps.people[static_cast<std::size_t>(m)].fewest;
        if (fewest >= 0) {
            fewest_rows.append(fewest * people + m);
        }
    }
    for (int r = 0; r < gaps_->rowCount(); ++r) {
        for (int c = 0; c < gaps_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(rows[r].value(c));
            if (fewest_rows.contains(r)) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            gaps_->setItem(r, c, item);
        }
    }
    gaps_->setToolTip(data::GapsInPagesText(gaps));
    setGapsVisible(!summary.isEmpty());
}

// The gaps take their room from the sections' scroll box: the window keeps
// its height whether there are pages or not.
void TeacherViewWindow::setGapsVisible(bool visible) {
    gaps_panel_->setVisible(visible);
    gaps_->setVisible(gaps_->rowCount() > 0);
    int room = 0;
    if (visible) {
        gaps_panel_->layout()->activate();
        // The summary wraps within the scroll box's width.
        const int height = gaps_panel_->hasHeightForWidth()
                               ? gaps_panel_->heightForWidth(kScrollWidth)
                               : gaps_panel_->sizeHint().height();
        room = height + layout()->spacing();
    }
    scroll_->setFixedHeight(kScrollHeight - room);
}

}  // namespace taktirio::gui
