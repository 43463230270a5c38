#include "gui/common/asker.h"

#include <QMessageBox>

#include "gui/common/look.h"

namespace taktirio::gui {

namespace {

QMessageBox::StandardButton Show(MessageKind kind, QWidget* parent, const QString& text,
                                 const QString& details = {}) {
    return static_cast<QMessageBox::StandardButton>(
        MakeMessageBox(kind, parent, text, details)->exec());
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(MessageKind kind, QWidget* parent, const QString& text,
                                            const QString& details) {
    struct Look {
        QMessageBox::Icon icon;
        const char* title;
        QMessageBox::StandardButtons buttons;
    };
    static constexpr Look kError{QMessageBox::Critical, kErrorTitle, QMessageBox::Ok};
    static constexpr Look kInform{QMessageBox::Information, kInformTitle, QMessageBox::Ok};
    static constexpr Look kConfirm{QMessageBox::Question, kConfirmTitle,
                                   QMessageBox::Yes | QMessageBox::No};
    const Look& look = kind == MessageKind::kError    ? kError
                       : kind == MessageKind::kInform ? kInform
                                                      : kConfirm;
    auto box = std::make_unique<QMessageBox>(look.icon, U(look.title), DisplayText(text),
                                             look.buttons, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    if (!details.isEmpty()) {
        box->setDetailedText(DisplayText(details));
    }
    const bool question = kind == MessageKind::kConfirm;
    box->setDefaultButton(question ? QMessageBox::Yes : QMessageBox::Ok);
    box->setEscapeButton(question ? QMessageBox::No : QMessageBox::Ok);
    return box;
}

void MessageBoxAsker::Error(QWidget* parent, const QString& text) {
    Show(MessageKind::kError, parent, text);
}

void MessageBoxAsker::Inform(QWidget* parent, const QString& text) {
    Show(MessageKind::kInform, parent, text);
}

void MessageBoxAsker::InformWithDetails(QWidget* parent, const QString& text,
                                        const QString& details) {
    Show(MessageKind::kInform, parent, text, details);
}

bool MessageBoxAsker::Confirm(QWidget* parent, const QString& text) {
    return Show(MessageKind::kConfirm, parent, text) == QMessageBox::Yes;
}

}  // namespace taktirio::gui
