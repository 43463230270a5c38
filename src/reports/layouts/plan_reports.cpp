#include "reports/layouts/plan_reports.h"

#include <QPainter>

#include "core/solver/slots.h"
#include "reports/layouts/fitted_text.h"
#include "reports/layouts/grid.h"

namespace taktirio::reports {

namespace {

constexpr qreal kHeadRowMm = 6;
constexpr qreal kRowMm = 7;
constexpr qreal kOrdinalColumnMm = 14;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

}  // namespace

QString PlanStripReport::Title() const {
    return S("Γενικό Πλάνο του Ωρολογίου Προγράμματος");
}

int PlanStripReport::RowsPerPage(const PageArea& area) {
    return std::max(
        1, static_cast<int>((area.body.height() - 2 * area.Mm(kHeadRowMm)) / area.Mm(kRowMm)));
}

int PlanStripReport::CountPages(const PageArea& area) const {
    return PagesFor(tables().rows.size(), RowsPerPage(area));
}

void PlanStripReport::PaintBody(QPainter& painter, const PageArea& area, int page) const {
    const QRectF& body = area.body;
    const qreal head = area.Mm(kHeadRowMm);
    painter.setPen(QPen(Qt::black, area.Mm(0.25)));
    PaintHead(painter, QRectF(body.left(), body.top(), body.width(), head),
              QRectF(body.left(), body.top() + head, body.width(), head), area);
    const int per_page = RowsPerPage(area);
    const qsizetype first = static_cast<qsizetype>(page) * per_page;
    const qsizetype last = std::min<qsizetype>(tables().rows.size(), first + per_page);
    const qreal row_height = area.Mm(kRowMm);
    for (qsizetype r = first; r < last; ++r) {
        const QRectF rect(body.left(),
                          body.top() + 2 * head + static_cast<qreal>(r - first) * row_height,
                          body.width(), row_height);
        PaintRow(painter, rect, tables().rows[r], area);
    }
    painter.setPen(QPen(Qt::black, area.Mm(0.6)));
    painter.drawRect(QRectF(body.left(), body.top(), body.width(),
                            2 * head + static_cast<qreal>(last - first) * row_height));
}

QString Report3::Subtitle() const {
    return S("Διδάσκοντες");
}

void Report3::PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                        const PageArea& area) const {
    const qreal ordinal = area.Mm(kOrdinalColumnMm);
    DrawCell(painter, top, S("Διδάσκοντες"), Font(10, true), 6, kHeadShade);
    DrawCell(painter, QRectF(bottom.left(), bottom.top(), ordinal, bottom.height()), S("Α/Α"),
             Font(9, true), 6, kHeadShade);
    DrawCell(painter, bottom.adjusted(ordinal, 0, 0, 0), S("Ονοματεπώνυμο"), Font(9, true), 6,
             kHeadShade);
}

void Report3::PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                       const PageArea& area) const {
    const qreal ordinal = area.Mm(kOrdinalColumnMm);
    DrawCell(painter, QRectF(rect.left(), rect.top(), ordinal, rect.height()),
             row.ordinal ? QString::number(*row.ordinal) : QString(), Font(10), 6);
    DrawCell(painter, rect.adjusted(ordinal, 0, 0, 0), row.name, Font(10), 6, QColor(), false,
             Qt::AlignLeft | Qt::AlignVCenter);
}

DayStripReport::DayStripReport(data::PrintTables tables, int day)
    : PlanStripReport(std::move(tables)), day_(day), hours_(LastUsedHour(this->tables().rows)) {}

QString DayStripReport::Subtitle() const {
    return DayName(day_);
}

void DayStripReport::PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                               const PageArea& /*area*/) const {
    DrawCell(painter, top, DayName(day_), Font(10, true), 6, kHeadShade);
    const qreal width = bottom.width() / hours_;
    for (int hour = 1; hour <= hours_; ++hour) {
        DrawCell(painter,
                 QRectF(bottom.left() + (hour - 1) * width, bottom.top(), width, bottom.height()),
                 QString::number(hour) + S("η"), Font(9, true), 6, kHeadShade);
    }
}

void DayStripReport::PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                              const PageArea& /*area*/) const {
    const qreal width = rect.width() / hours_;
    for (int hour = 1; hour <= hours_; ++hour) {
        const QString& cell = row.cells[static_cast<std::size_t>(SlotOf(day_, hour))];
        const QRectF box(rect.left() + (hour - 1) * width, rect.top(), width, rect.height());
        if (IsCommonFreeHour(cell)) {
            DrawCell(painter, box, QString(), Font(9), 5, kCommonFreeShade);
        } else {
            DrawCell(painter, box, cell, Font(9), 5);
        }
    }
}

QString Report9::Subtitle() const {
    return S("Σύνολο ωρών διδασκαλίας");
}

void Report9::PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                        const PageArea& /*area*/) const {
    DrawCell(painter, top, S("Σύνολο ωρών"), Font(10, true), 6, kHeadShade);
    DrawCell(painter, bottom, S("διδασκαλίας την εβδομάδα"), Font(9, true), 6, kHeadShade);
}

void Report9::PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                       const PageArea& /*area*/) const {
    DrawCell(painter, rect, row.weekly_hours ? QString::number(*row.weekly_hours) : QString(),
             Font(10), 6);
}

}  // namespace taktirio::reports
