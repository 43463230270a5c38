#pragma once

#include <QString>
#include <memory>

class QMessageBox;
class QWidget;

namespace taktirio::gui {

// The three kinds of message box and their titles.
enum class MessageKind { kError, kInform, kConfirm };
inline constexpr char kErrorTitle[] = "Σφάλμα";
inline constexpr char kInformTitle[] = "Πληροφορία";
inline constexpr char kConfirmTitle[] = "Επιβεβαίωση";

// The message box of a kind as the program shows it: its icon, its Greek
// title, OK (error, information) or Yes and No (confirmation), "\r" shown as
// a line break and `details` behind the box's details button. Not shown yet.
std::unique_ptr<QMessageBox> MakeMessageBox(MessageKind kind, QWidget* parent, const QString& text,
                                            const QString& details = {});

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

// The program's asker: modal boxes made by MakeMessageBox.
class MessageBoxAsker : public Asker {
  public:
    void Error(QWidget* parent, const QString& text) override;
    void Inform(QWidget* parent, const QString& text) override;
    bool Confirm(QWidget* parent, const QString& text) override;
    void InformWithDetails(QWidget* parent, const QString& text, const QString& details) override;
};

}  // namespace taktirio::gui
