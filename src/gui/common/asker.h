#pragma once

#include <QString>

class QWidget;

namespace taktirio::gui {

// Every message box of the program goes through one Asker, so that the three
// kinds (error, information, confirmation) look the same everywhere and tests
// can answer them without a modal box.
class Asker {
  public:
    virtual ~Asker() = default;
    // Error icon, OK button.
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // Information icon, OK button.
    virtual void Inform(QWidget* parent, const QString& text) = 0;
    // Question icon, Yes and No buttons; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& text) = 0;
    // Information with more lines that the user may open below the text; an
    // asker without such an area shows them under the text.
    virtual void InformWithDetails(QWidget* parent, const QString& text, const QString& details) {
        Inform(parent, details.isEmpty() ? text : text + QStringLiteral("\r\r") + details);
    }
};

// The program's asker: modal QMessageBox boxes, "\r" shown as a line break.
class MessageBoxAsker : public Asker {
  public:
    void Error(QWidget* parent, const QString& text) override;
    void Inform(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    void InformWithDetails(QWidget* parent, const QString& text, const QString& details) override;
};

}  // namespace taktirio::gui
