#include "reports/layouts/summary_reports.h"

#include <QPainter>

#include "core/solver/slots.h"
#include "reports/layouts/fitted_text.h"
#include "reports/layouts/grid.h"

namespace taktirio::reports {

namespace {

constexpr qreal kHeadRowMm = 6;
constexpr qreal kClassColumnMm = 24;
constexpr qreal kMinRowMm = 4.5;  // 7-point numbers still read well
constexpr qreal kMaxRowMm = 8;
constexpr int kLegendColumns = 3;
constexpr qreal kLegendRowMm = 5;
constexpr qreal kNumberColumnMm = 14;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString SummaryTitle() {
    return S("Συνοπτικός Πίνακας του Ωρολογίου Προγράμματος");
}

}  // namespace

Report11::Report11(data::PrintTables tables)
    : ReportLayout(std::move(tables)), hours_(LastUsedHour(this->tables().rows)) {}

QString Report11::Title() const {
    return SummaryTitle();
}

QString Report11::Subtitle() const {
    return S("Μέρος 1: τα τμήματα, με τους αριθμούς των διδασκόντων");
}

// As tall as the page allows for all the rows on one page, within limits.
qreal Report11::RowHeight(const PageArea& area) const {
    const qreal room = area.body.height() - 2 * area.Mm(kHeadRowMm);
    const qreal rows = static_cast<qreal>(std::max<qsizetype>(1, tables().rows.size()));
    return std::clamp(room / rows, area.Mm(kMinRowMm), area.Mm(kMaxRowMm));
}

int Report11::RowsPerPage(const PageArea& area) const {
    const qreal room = area.body.height() - 2 * area.Mm(kHeadRowMm);
    return std::max(1, static_cast<int>(room / RowHeight(area) + 1e-6));
}

int Report11::CountPages(const PageArea& area) const {
    return PagesFor(tables().rows.size(), RowsPerPage(area));
}

void Report11::PaintBody(QPainter& painter, const PageArea& area, int page) const {
    const QRectF& body = area.body;
    const qreal head = area.Mm(kHeadRowMm);
    const qreal class_column = area.Mm(kClassColumnMm);
    const qreal cell_width = (body.width() - class_column) / (kDays * hours_);
    const qreal row_height = RowHeight(area);
    const QPen thin(Qt::black, area.Mm(0.2));
    painter.setPen(thin);

    DrawCell(painter, QRectF(body.left(), body.top(), class_column, 2 * head), S("Τμήμα"),
             Font(9, true), 6, kHeadShade);
    for (int day = 1; day <= kDays; ++day) {
        const qreal x = body.left() + class_column + (day - 1) * hours_ * cell_width;
        DrawCell(painter, QRectF(x, body.top(), hours_ * cell_width, head), DayName(day),
                 Font(9, true), 6, kHeadShade);
        for (int hour = 1; hour <= hours_; ++hour) {
            DrawCell(painter,
                     QRectF(x + (hour - 1) * cell_width, body.top() + head, cell_width, head),
                     QString::number(hour), Font(8, true), 5, kHeadShade);
        }
    }
    const int per_page = RowsPerPage(area);
    const qsizetype first = static_cast<qsizetype>(page) * per_page;
    const qsizetype last = std::min<qsizetype>(tables().rows.size(), first + per_page);
    for (qsizetype r = first; r < last; ++r) {
        const data::WorkRow& row = tables().rows[r];
        const qreal y = body.top() + 2 * head + static_cast<qreal>(r - first) * row_height;
        DrawCell(painter, QRectF(body.left(), y, class_column, row_height), row.name, Font(9, true),
                 5);
        for (int day = 1; day <= kDays; ++day) {
            for (int hour = 1; hour <= hours_; ++hour) {
                const qreal x =
                    body.left() + class_column + ((day - 1) * hours_ + hour - 1) * cell_width;
                DrawCell(painter, QRectF(x, y, cell_width, row_height),
                         row.cells[static_cast<std::size_t>(SlotOf(day, hour))], Font(8), 5);
            }
        }
    }
    // Heavier lines between the days and around the table.
    const qreal bottom = body.top() + 2 * head + static_cast<qreal>(last - first) * row_height;
    painter.setPen(QPen(Qt::black, area.Mm(0.6)));
    for (int day = 0; day <= kDays; ++day) {
        const qreal x = body.left() + class_column + day * hours_ * cell_width;
        painter.drawLine(QPointF(x, body.top()), QPointF(x, bottom));
    }
    painter.drawRect(QRectF(body.left(), body.top(), body.width(), bottom - body.top()));
}

QString Report12::Title() const {
    return SummaryTitle();
}

QString Report12::Subtitle() const {
    return S("Μέρος 2: οι αριθμοί των διδασκόντων");
}

int Report12::RowsPerColumn(const PageArea& area) {
    return std::max(
        1, static_cast<int>((area.body.height() - area.Mm(kLegendRowMm)) / area.Mm(kLegendRowMm)));
}

int Report12::CountPages(const PageArea& area) const {
    return PagesFor(tables().names.size(), RowsPerColumn(area) * kLegendColumns);
}

// Numbers run down the first column of a page, then the second and the third.
void Report12::PaintBody(QPainter& painter, const PageArea& area, int page) const {
    const QRectF& body = area.body;
    const qreal gap = area.Mm(6);
    const qreal column_width = (body.width() - (kLegendColumns - 1) * gap) / kLegendColumns;
    const qreal row = area.Mm(kLegendRowMm);
    const qreal number = area.Mm(kNumberColumnMm);
    const int capacity = RowsPerColumn(area);
    const qsizetype first = static_cast<qsizetype>(page) * capacity * kLegendColumns;
    // A page that is not full spreads its entries evenly over the columns.
    const qsizetype on_page = std::min<qsizetype>(
        tables().names.size() - first, static_cast<qsizetype>(capacity) * kLegendColumns);
    const int per_column = static_cast<int>((on_page + kLegendColumns - 1) / kLegendColumns);
    painter.setPen(QPen(Qt::black, area.Mm(0.2)));
    for (int column = 0; column < kLegendColumns; ++column) {
        const qsizetype start = first + static_cast<qsizetype>(column) * per_column;
        const qsizetype end = std::min(first + on_page, start + per_column);
        if (start >= end && column > 0) {
            break;
        }
        const qreal x = body.left() + column * (column_width + gap);
        DrawCell(painter, QRectF(x, body.top(), number, row), S("Αριθμός"), Font(8, true), 5,
                 kHeadShade);
        DrawCell(painter, QRectF(x + number, body.top(), column_width - number, row), S("Διδάσκων"),
                 Font(9, true), 6, kHeadShade);
        for (int k = 0; start + k < end; ++k) {
            const data::NumberedName& entry = tables().names[start + k];
            const qreal y = body.top() + (k + 1) * row;
            DrawCell(painter, QRectF(x, y, number, row), QString::number(entry.number),
                     Font(9, true), 6);
            DrawCell(painter, QRectF(x + number, y, column_width - number, row), entry.name,
                     Font(9), 6, QColor(), false, Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
}

}  // namespace taktirio::reports
