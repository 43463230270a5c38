#include "reports/layouts/grid.h"

#include <QPainter>

#include "core/solver/slots.h"
#include "reports/layouts/fitted_text.h"

namespace taktirio::reports {

void DrawCell(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
              qreal min_point_size, const QColor& fill, bool allow_wrap, Qt::Alignment alignment) {
    if (fill.isValid()) {
        painter.fillRect(rect, fill);
    }
    painter.drawRect(rect);
    DrawFittedText(painter, rect, text, font, min_point_size, allow_wrap, alignment);
}

QString DayName(int day) {
    if (day < 1 || day > kDays) {
        return {};
    }
    const std::string_view name = kDayNames[static_cast<std::size_t>(day)];
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

int LastUsedHour(const QList<data::WorkRow>& rows) {
    int last = 1;
    for (const data::WorkRow& row : rows) {
        for (int s = kSlots; s > last * kDays; --s) {
            if (!row.cells[static_cast<std::size_t>(s)].isEmpty()) {
                last = HourOfSlot(s);
                break;
            }
        }
    }
    return last;
}

bool IsCommonFreeHour(const QString& cell) {
    return cell == QLatin1String(data::kCommonFreeHourMark);
}

int PagesFor(qsizetype items, int per_page) {
    if (items <= 0 || per_page <= 0) {
        return 1;
    }
    return static_cast<int>((items + per_page - 1) / per_page);
}

}  // namespace taktirio::reports
