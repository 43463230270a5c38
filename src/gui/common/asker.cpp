#include "common/asker.h"

#include <QMessageBox>

#include "common/look.h"

namespace taktirio::gui {

namespace {

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                 const QString& text, QMessageBox::StandardButtons buttons,
                                 const QString& details = {}) {
    QMessageBox box(icon, title, DisplayText(text), buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (!details.isEmpty()) {
        box.setDetailedText(DisplayText(details));  // behind the box's details button
    }
    box.setDefaultButton(buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
    box.setEscapeButton(buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void MessageBoxAsker::Error(QWidget* parent, const QString& text) {
    Show(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
}

void MessageBoxAsker::Inform(QWidget* parent, const QString& text) {
    Show(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok);
}

void MessageBoxAsker::InformWithDetails(QWidget* parent, const QString& text,
                                        const QString& details) {
    Show(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok,
         details);
}

bool MessageBoxAsker::Confirm(QWidget* parent, const QString& text) {
    return Show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace taktirio::gui
