#pragma once

#include <QLabel>
#include <QUrl>

namespace taktirio::gui {

class Desktop;

// A contact label (web, mail or call link): dark blue and underlined, a
// click opens its target with the system's default handler; it turns yellow
// under the mouse and returns to the colour it sits on when the mouse leaves.
// A picture that is a link keeps its background.
class LinkLabel : public QLabel {
    Q_OBJECT

  public:
    LinkLabel(const char* object_name, const QString& text, const QUrl& target, Desktop* desktop,
              QWidget* parent = nullptr);
    const QUrl& target() const { return target_; }
    // Off for a picture: no yellow under the mouse.
    void setLightsUp(bool on) { lights_up_ = on; }

  protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QUrl target_;
    Desktop* desktop_;
    bool lights_up_ = true;
};

}  // namespace taktirio::gui
