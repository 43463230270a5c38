#include "reports/layouts/timetable_reports.h"

#include <QPainter>

#include "core/solver/slots.h"
#include "reports/layouts/fitted_text.h"
#include "reports/layouts/grid.h"

namespace taktirio::reports {

namespace {

constexpr qreal kNameBandMm = 13;
constexpr qreal kHeadRowMm = 9;
constexpr qreal kHourColumnMm = 18;
constexpr qreal kMaxHourRowMm = 22;

}  // namespace

TimetableReport::TimetableReport(data::PrintTables tables)
    : ReportLayout(std::move(tables)), hours_(LastUsedHour(this->tables().rows)) {}

int TimetableReport::CountPages(const PageArea& /*area*/) const {
    return static_cast<int>(tables().rows.size());
}

void TimetableReport::PaintBody(QPainter& painter, const PageArea& area, int page) const {
    const QRectF& body = area.body;
    if (page >= tables().rows.size()) {
        DrawFittedText(painter, body, QString::fromUtf8("Η λύση δεν έχει προγράμματα."), Font(12),
                       8);
        return;
    }
    const data::WorkRow& row = tables().rows[page];
    DrawFittedText(painter, QRectF(body.left(), body.top(), body.width(), area.Mm(kNameBandMm)),
                   row.name, Font(16, true), 9, false, Qt::AlignLeft | Qt::AlignVCenter);

    const qreal top = body.top() + area.Mm(kNameBandMm);
    const qreal head = area.Mm(kHeadRowMm);
    const qreal hour_column = area.Mm(kHourColumnMm);
    const qreal day_width = (body.width() - hour_column) / kDays;
    const qreal row_height =
        std::min(area.Mm(kMaxHourRowMm), (body.bottom() - top - head) / hours_);
    painter.setPen(QPen(Qt::black, area.Mm(0.25)));

    DrawCell(painter, QRectF(body.left(), top, hour_column, head), QString::fromUtf8("Ώρα"),
             Font(10, true), 6, kHeadShade);
    for (int day = 1; day <= kDays; ++day) {
        const QRectF cell(body.left() + hour_column + (day - 1) * day_width, top, day_width, head);
        DrawCell(painter, cell, DayName(day), Font(11, true), 6, kHeadShade);
    }
    for (int hour = 1; hour <= hours_; ++hour) {
        const qreal y = top + head + (hour - 1) * row_height;
        DrawCell(painter, QRectF(body.left(), y, hour_column, row_height),
                 QString::number(hour) + QString::fromUtf8("η"), Font(11, true), 6, kHeadShade);
        for (int day = 1; day <= kDays; ++day) {
            const QRectF cell(body.left() + hour_column + (day - 1) * day_width, y, day_width,
                              row_height);
            DrawCell(painter, cell, row.cells[static_cast<std::size_t>(SlotOf(day, hour))],
                     Font(11), 6, QColor(), true);
        }
    }
    // A heavier outline around the whole table.
    painter.setPen(QPen(Qt::black, area.Mm(0.6)));
    painter.drawRect(QRectF(body.left(), top, body.width(), head + hours_ * row_height));
}

QString Report2::Title() const {
    return QString::fromUtf8("Ωρολόγιο Πρόγραμμα των Τμημάτων");
}

QString Report1::Title() const {
    return QString::fromUtf8("Ωρολόγιο Πρόγραμμα των Διδασκόντων");
}

}  // namespace taktirio::reports
