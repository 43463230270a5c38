#include "forms/teacher_view_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>
#include <memory>

#include "checks/teacher_view.h"
#include "common/asker.h"
#include "common/look.h"
#include "common/program_context.h"
#include "database/errors.h"
#include "entry/windows.h"
#include "run/background.h"
#include "run/solution_files.h"

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
    // The gaps in the solutions: a few lines, scrolled when a school has many
    // pages; hidden while there are none.
    gaps_ = new QPlainTextEdit(this);
    gaps_->setObjectName(QStringLiteral("GapsInSolutions"));
    gaps_->setReadOnly(true);
    gaps_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Four whole lines under the text's top margin, inside the frame: the
    // bottom margin would show the top of a fifth line.
    constexpr int kLines = 4;
    gaps_->setFixedHeight(kLines * gaps_->fontMetrics().height() +
                          static_cast<int>(std::ceil(gaps_->document()->documentMargin())) +
                          2 * gaps_->frameWidth());
    gaps_->hide();

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
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("ScrollArea1"));
    scroll->setWidget(page);
    scroll->setFixedSize(kScrollWidth, kScrollHeight);

    QPushButton* exit = MakeButton(this, "Button1", U("Έξοδος"), U("Έξοδος"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(exit);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(gaps_);
    column->addWidget(scroll);
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
        gaps_->clear();
        gaps_->hide();
        emit gapsShown();
        return;
    }
    gaps_->setPlainText(U("Κενά στις λύσεις: ανάγνωση των σελίδων των λύσεων…"));
    gaps_->show();
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
            const QString text =
                error == nullptr ? data::GapsInPagesText(*result)
                                 : U("Κενά στις λύσεις: οι σελίδες των λύσεων δεν διαβάστηκαν.");
            gaps_->setPlainText(text);
            gaps_->setVisible(!text.isEmpty());
            emit gapsShown();
        });
}

}  // namespace taktirio::gui
