#include "gui/reports/summary_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/stored_report.h"

namespace taktirio::gui {

namespace {

struct Part {
    const char* letter;
    const char* button;
    const char* caption;
    const char* layout;
};

const Part kParts[] = {
    {"A", "Button2", "Παρουσίαση / Εκτύπωση Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος &1 / 2",
     "REPORT11"},
    {"B", "Button3", "Παρουσίαση / Εκτύπωση Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος &2 / 2",
     "REPORT12"},
};

}  // namespace

SummaryWindow::SummaryWindow(ProgramContext* context, ReportViewer& viewer, QWidget* parent,
                             std::optional<data::PrintTables> tables)
    : Window("TForm23", U("Παρουσίαση / Εκτύπωση Συνοπτικού Πίνακα του Ωρολογίου Προγράμματος "),
             parent),
      context_(context),
      viewer_(viewer),
      tables_(std::move(tables)) {
    // Left by its exit button only.
    setTitleBar(TitleBar::kNone);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(8);
    int row = 0;
    for (const Part& part : kParts) {
        QLabel* letter = MakeLabel(this, qPrintable(QStringLiteral("Label%1").arg(row + 1)),
                                   QString::fromLatin1(part.letter));
        QFont bold = letter->font();
        bold.setBold(true);
        letter->setFont(bold);
        letter->setMinimumWidth(20);
        const QString caption = U(part.caption);
        QString hint = caption;
        hint.remove(u'&');
        QPushButton* button = MakeButton(this, part.button, caption, hint);
        button->setMinimumHeight(30);
        const QString layout = QString::fromLatin1(part.layout);
        connect(button, &QPushButton::clicked, this, [this, layout] { run(layout, false); });
        AddSavePdfMenu(button, [this, layout] { run(layout, true); });
        grid->addWidget(letter, row, 0);
        grid->addWidget(button, row, 1);
        ++row;
    }
    QPushButton* exit = MakeButton(this, "Button1", U("Έξο&δος"), U("Έξοδος"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    setExitButton(exit);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->addLayout(grid);
    column->addWidget(exit, 0, Qt::AlignRight);
}

void SummaryWindow::run(const QString& name, bool save_pdf) {
    const ReportAction action = save_pdf ? ReportAction::kSavePdf : ReportAction::kPreview;
    if (tables_) {
        RunReport(name, *tables_, action, context_, viewer_, this);
    } else {
        RunStoredReport(name, data::PrintReading::kSummary, action, context_, viewer_, this);
    }
}

}  // namespace taktirio::gui
