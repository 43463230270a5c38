#pragma once

#include <QDialog>
#include <QPointer>

class QPushButton;

namespace taktirio::gui {

// The buttons a window asks the window manager for in its title bar; the
// window manager may still add its own.
enum class TitleBar {
    kCloseButton,  // the system menu and the close box, the usual window
    kNone,         // none at all: the window is left by its own buttons
};

// The base of the program's dialog windows: named as the program knows the
// window, sky-blue, a fixed size taken from its layout (so that no font or
// screen scaling clips a text), centred on the screen when shown. Enter
// presses the default button and Esc the exit button; closing by the title
// bar asks confirmClose() first.
class Window : public QDialog {
    Q_OBJECT

  public:
    Window(const char* object_name, const QString& caption, QWidget* parent = nullptr);

    // Shows the window modal to the whole program without blocking the
    // caller; the window deletes itself when it closes.
    void OpenModal();

  protected:
    void setTitleBar(TitleBar buttons);
    void setDefaultButton(QPushButton* button);
    void setExitButton(QPushButton* button);
    // Called before the window closes by the title bar or the exit button;
    // false keeps it open.
    virtual bool confirmClose() { return true; }

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QPointer<QPushButton> exit_button_;
};

// Centres a top-level window on its screen's available area.
void CentreOnScreen(QWidget* window);

}  // namespace taktirio::gui
