#include "gui/common/link_label.h"

#include <QMouseEvent>

#include "gui/common/desktop.h"
#include "gui/common/look.h"

namespace taktirio::gui {

LinkLabel::LinkLabel(const char* object_name, const QString& text, const QUrl& target,
                     Desktop* desktop, QWidget* parent)
    : QLabel(text, parent), target_(target), desktop_(desktop) {
    setObjectName(QString::fromLatin1(object_name));
    setToolTip(target.toDisplayString());
    setCursor(Qt::PointingHandCursor);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, kLinkBlue);
    setPalette(palette);
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    if (lights_up_) {
        PaintBackground(this, kLinkHover);
    }
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    // Back to the background it sits on.
    setAutoFillBackground(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        desktop_->OpenUrl(target_);
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace taktirio::gui
