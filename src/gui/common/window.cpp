#include "gui/common/window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

#include "gui/common/look.h"

namespace taktirio::gui {

Window::Window(const char* object_name, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(object_name));
    setWindowTitle(caption);
    setTitleBar(TitleBar::kCloseButton);
    PaintBackground(this, kSkyBlue);
}

void Window::setTitleBar(TitleBar buttons) {
    // A fixed border with a title and never a help, minimise or maximise button.
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (buttons == TitleBar::kCloseButton) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    setWindowFlags(flags);
}

void Window::OpenModal() {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    show();
}

void Window::setDefaultButton(QPushButton* button) {
    button->setDefault(true);
}

void Window::setExitButton(QPushButton* button) {
    exit_button_ = button;
}

void Window::showEvent(QShowEvent* event) {
    // The layout decides the size: fixed, and large enough for every text.
    if (layout() != nullptr) {
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    }
    adjustSize();
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

void Window::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Esc is the exit button, never a silent reject.
        if (exit_button_ != nullptr && exit_button_->isVisible() && exit_button_->isEnabled()) {
            exit_button_->click();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Window::closeEvent(QCloseEvent* event) {
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}

}  // namespace taktirio::gui
