#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include "data/reports/work_tables.h"

class QPainter;

namespace taktirio::reports {

// The grey of the page's common free hours, used for "K.KENH" cells.
inline const QColor kCommonFreeShade(0xCC, 0xCC, 0xCC);
// The light grey of head cells.
inline const QColor kHeadShade(0xEE, 0xEE, 0xEE);

// A cell of a printed table: a frame with a fitted text, optionally filled.
void DrawCell(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
              qreal min_point_size, const QColor& fill = QColor(), bool allow_wrap = false,
              Qt::Alignment alignment = Qt::AlignCenter);

// The day names of the printed heads, Δευτέρα to Παρασκευή.
QString DayName(int day);

// The last hour of the day that any row uses (a lesson or a common free
// hour), at least 1: the number of hour rows or columns a report draws.
int LastUsedHour(const QList<data::WorkRow>& rows);

bool IsCommonFreeHour(const QString& cell);

// Pages needed for `items` at `per_page` a page, at least one.
int PagesFor(qsizetype items, int per_page);

}  // namespace taktirio::reports
