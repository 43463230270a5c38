#include "gui/reports/plan_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/report_viewer.h"
#include "gui/reports/stored_report.h"

namespace taktirio::gui {

namespace {

struct Strip {
    const char* button;
    const char* caption;
    const char* layout;
};

// The blanks inside the captions stagger the texts; they are part of them.
const Strip kStrips[] = {
    {"Button1", "&1                 Παρουσίαση / Εκτύπωση των Διδασκόντων", "REPORT3"},
    {"Button2", "&2                        Παρουσίαση / Εκτύπωση της Δευτέρας", "REPORT4"},
    {"Button3", "&3                              Παρουσίαση / Εκτύπωση της Τρίτης", "REPORT5"},
    {"Button4", "&4                         Παρουσίαση / Εκτύπωση της Τετάρτης", "REPORT6"},
    {"Button5", "&5                           Παρουσίαση / Εκτύπωση της Πέμπτης", "REPORT7"},
    {"Button6", "&6                    Παρουσίαση / Εκτύπωση της Παρασκευής", "REPORT8"},
    {"Button8", "&7  Παρουσίαση / Εκτύπωση συνόλου ωρών διδασκαλίας", "REPORT9"},
};

// The hint: the caption's text after the accelerator and the blanks.
QString HintOf(const QString& caption) {
    return caption.mid(2).trimmed();
}

QLabel* Heading(QWidget* parent, const char* object_name, const QString& text) {
    QLabel* label = MakeLabel(parent, object_name, text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

}  // namespace

QStringList PlanCategoryLetters() {
    return {QStringLiteral("A"), QStringLiteral("B"), U("Γ"), U("Δ"), QStringLiteral("E"),
            QStringLiteral("Z"), QStringLiteral("H")};
}

PlanWindow::PlanWindow(ProgramContext* context, ReportViewer& viewer, QWidget* parent,
                       std::optional<data::PrintTables> tables)
    : Window("TForm4A", U("Παρουσίαση / Εκτύπωση του γενικού πλάνου"), parent),
      context_(context),
      viewer_(viewer),
      tables_(std::move(tables)) {
    // Left by its exit button only.
    setTitleBar(TitleBar::kNone);
    auto* row = new QHBoxLayout;
    row->addWidget(createCategories());
    row->addSpacing(12);
    row->addWidget(createInstructions(), 1);
    QPushButton* exit = MakeButton(this, "Button7", U("Έξο&δος"), U("Έξοδος"));
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    setExitButton(exit);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 12, 12, 12);
    column->addLayout(row);
    column->addWidget(exit, 0, Qt::AlignRight);
}

QWidget* PlanWindow::createCategories() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(6);
    grid->addWidget(Heading(box, "Label1", U("Κατηγορίες")), 0, 0, 1, 2);
    const QStringList letters = PlanCategoryLetters();
    int line = 1;
    for (const Strip& strip : kStrips) {
        QLabel* letter =
            Heading(box, qPrintable(QStringLiteral("Letter%1").arg(line)), letters[line - 1]);
        letter->setAlignment(Qt::AlignCenter);
        letter->setMinimumWidth(24);
        const QString caption = U(strip.caption);
        QPushButton* button = MakeButton(box, strip.button, caption, HintOf(caption));
        // Left-aligned, so that the blanks stagger the texts as meant.
        button->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 8px;"));
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) + 24);
        const QString layout = QString::fromLatin1(strip.layout);
        connect(button, &QPushButton::clicked, this, [this, layout] { run(layout, false); });
        AddSavePdfMenu(button, [this, layout] { run(layout, true); });
        grid->addWidget(letter, line, 0);
        grid->addWidget(button, line, 1);
        ++line;
    }
    grid->setRowStretch(line, 1);
    return box;
}

QWidget* PlanWindow::createInstructions() {
    auto* box = new QWidget(this);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Heading(box, "Label2", U("  Οδηγίες για τη διάταξη των σελίδων")));
    auto* drawing = new PageOrderDrawing(box);
    drawing->setObjectName(QStringLiteral("PageOrder"));
    column->addWidget(drawing, 0, Qt::AlignHCenter);
    const char* const kLines[] = {
        "  Κάθε κατηγορία αποτελείται από x αριθμό σελίδων.",
        "  Πρέπει να εκτυπωθούν όλες οι κατηγορίες. ",
        "  Οι σελίδες κάθε κατηγορίας τοποθετούνται η μια κάτω από",
        "  την άλλη αρχίζοντας από τη σελίδα 1 έως τη σελίδα χ.",
        "  Κάθε κατηγορία τοποθετείται δεξιά από την προηγούμενη.",
    };
    int n = 3;
    for (const char* text : kLines) {
        column->addWidget(MakeLabel(box, qPrintable(QStringLiteral("Label%1").arg(n++)), U(text)));
    }
    column->addStretch();
    return box;
}

void PlanWindow::run(const QString& name, bool save_pdf) {
    const ReportAction action = save_pdf ? ReportAction::kSavePdf : ReportAction::kPreview;
    if (tables_) {
        RunReport(name, *tables_, action, context_, viewer_, this);
    } else {
        RunStoredReport(name, data::PrintReading::kGeneralPlan, action, context_, viewer_, this);
    }
}

PageOrderDrawing::PageOrderDrawing(QWidget* parent) : QWidget(parent) {}

QSize PageOrderDrawing::sizeHint() const {
    return {7 * 44, 190};
}

void PageOrderDrawing::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QStringList letters = PlanCategoryLetters();
    const QString word = U("Σελίδες");
    const int columns = static_cast<int>(letters.size());
    const qreal pitch = qreal(width()) / columns;
    const QFontMetricsF metrics(font());
    const qreal line = metrics.height();
    QFont bold = font();
    bold.setBold(true);
    for (int c = 0; c < columns; ++c) {
        const qreal left = c * pitch + 4;
        const QRectF head(left, 0, pitch - 8, line + 4);
        painter.setFont(bold);
        painter.drawText(head, Qt::AlignCenter, letters[c]);
        // The pages of a category, one under the other: a white strip.
        const QRectF pages(left, head.bottom() + 2, pitch - 8, height() - head.bottom() - 4);
        painter.setPen(Qt::black);
        painter.setBrush(Qt::white);
        painter.drawRect(pages);
        painter.setFont(font());
        // "Σελίδες" downwards at the left, "1", the dots and "χ" at the right.
        qreal y = pages.top() + 4;
        for (const QChar letter : word) {
            painter.drawText(QRectF(pages.left() + 2, y, pitch / 2 - 4, line), Qt::AlignCenter,
                             QString(letter));
            y += line;
        }
        const qreal right = pages.left() + pitch / 2;
        painter.drawText(QRectF(right, pages.top() + 4, pitch / 2 - 10, line), Qt::AlignCenter,
                         QStringLiteral("1"));
        painter.drawText(QRectF(right, pages.center().y() - 1.5 * line, pitch / 2 - 10, 3 * line),
                         Qt::AlignCenter, QStringLiteral(".\n.\n."));
        painter.drawText(QRectF(right, pages.bottom() - line - 4, pitch / 2 - 10, line),
                         Qt::AlignCenter, U("χ"));
    }
}

}  // namespace taktirio::gui
