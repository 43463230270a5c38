#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QPaintDevice;
class QPainter;

namespace taktirio::reports {

// How a text is drawn in a cell: the size it got, the lines it is drawn on
// (one, or more when wrapping was allowed and needed) and whether it had to be
// cut short with "…".
struct FittedText {
    qreal point_size = 0;
    QString text;  // as drawn: the whole text, or its elided form
    bool wrapped = false;
    bool elided = false;
};

// Fits `text` into `size` (device pixels of `device`): at the font's own size
// when it fits, else at the largest size down to `min_point_size` at which it
// fits (on one line, or word-wrapped when `allow_wrap`), and only at the
// minimum size is it elided at the end of its one line.
FittedText FitText(const QString& text, const QFont& font, const QSizeF& size,
                   const QPaintDevice* device, qreal min_point_size, bool allow_wrap);

// Fits and draws `text` centred in `rect` (less a small inner padding).
FittedText DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text,
                          const QFont& font, qreal min_point_size, bool allow_wrap = false,
                          Qt::Alignment alignment = Qt::AlignCenter);

}  // namespace taktirio::reports
