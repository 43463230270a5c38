// Greek names in narrow cells: a name is shrunk step by step to a readable
// minimum before anything is cut off, so that a long name stays whole
// whenever it can.
#include "reports/layouts/fitted_text.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

namespace taktirio::reports {

namespace {

constexpr qreal kSizeStep = 0.5;

QFont Sized(const QFont& font, qreal point_size) {
    QFont sized = font;
    sized.setPointSizeF(point_size);
    return sized;
}

bool FitsOnOneLine(const QFontMetricsF& metrics, const QString& text, const QSizeF& size) {
    return metrics.horizontalAdvance(text) <= size.width() && metrics.height() <= size.height();
}

// Word wrap never breaks inside a word: a word wider than the cell does not fit.
bool FitsWrapped(const QFontMetricsF& metrics, const QString& text, const QSizeF& size) {
    const QRectF bounds = metrics.boundingRect(QRectF(QPointF(0, 0), QSizeF(size.width(), 1e9)),
                                               Qt::TextWordWrap | Qt::AlignHCenter, text);
    return bounds.width() <= size.width() && bounds.height() <= size.height();
}

qreal Padding(const QPaintDevice* device) {
    return device->logicalDpiX() * 0.6 / 25.4;  // 0.6 mm each side
}

}  // namespace

FittedText FitText(const QString& text, const QFont& font, const QSizeF& size,
                   const QPaintDevice* device, qreal min_point_size, bool allow_wrap) {
    FittedText fitted;
    fitted.text = text;
    const qreal start = font.pointSizeF();
    for (qreal point_size = start; point_size >= min_point_size - 1e-9; point_size -= kSizeStep) {
        const QFontMetricsF metrics(Sized(font, point_size), device);
        if (FitsOnOneLine(metrics, text, size)) {
            fitted.point_size = point_size;
            return fitted;
        }
        if (allow_wrap && text.contains(u' ') && FitsWrapped(metrics, text, size)) {
            fitted.point_size = point_size;
            fitted.wrapped = true;
            return fitted;
        }
    }
    fitted.point_size = std::min(start, min_point_size);
    const QFontMetricsF metrics(Sized(font, fitted.point_size), device);
    fitted.text = metrics.elidedText(text, Qt::ElideRight, size.width());
    fitted.elided = fitted.text != text;
    return fitted;
}

FittedText DrawFittedText(QPainter& painter, const QRectF& rect, const QString& text,
                          const QFont& font, qreal min_point_size, bool allow_wrap,
                          Qt::Alignment alignment) {
    if (text.isEmpty()) {
        return {};
    }
    const qreal pad = Padding(painter.device());
    const QRectF inner = rect.adjusted(pad, pad / 2, -pad, -pad / 2);
    const FittedText fitted =
        FitText(text, font, inner.size(), painter.device(), min_point_size, allow_wrap);
    painter.setFont(Sized(font, fitted.point_size));
    painter.drawText(inner, static_cast<int>(alignment) | (fitted.wrapped ? Qt::TextWordWrap : 0),
                     fitted.text);
    return fitted;
}

}  // namespace taktirio::reports
