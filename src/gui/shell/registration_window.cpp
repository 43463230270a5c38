#include "gui/shell/registration_window.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/entry/validation.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/maker.h"
#include "gui/common/program_context.h"

namespace taktirio::gui {

RegistrationWindow::RegistrationWindow(ProgramContext* context, QWidget* parent)
    : Window("TForm6", QString::fromLatin1(kMakerName), parent), context_(context) {
    // A fixed border without system icons: left by its own buttons.
    setTitleBar(TitleBar::kNone);
    QGroupBox* group = MakeGroupBox(this, "GroupBox1", U("Καταχώρηση των στοιχείων του σχολείου"));
    auto* grid = new QGridLayout(group);
    school_name_ = new QLineEdit(group);
    school_name_->setObjectName(QStringLiteral("Edit1"));
    school_name_->setMinimumWidth(360);
    responsible_ = new QLineEdit(group);
    responsible_->setObjectName(QStringLiteral("Edit2"));
    grid->addWidget(MakeLabel(group, "Label1", U("Σχολείο:")), 0, 0);
    grid->addWidget(school_name_, 0, 1);
    grid->addWidget(MakeLabel(group, "Label3", QStringLiteral("*")), 0, 2);
    grid->addWidget(MakeLabel(group, "Label2", U("Υπεύθυνος προγράμματος:")), 1, 0);
    grid->addWidget(responsible_, 1, 1);
    grid->addWidget(MakeLabel(group, "Label4", QStringLiteral("*")), 1, 2);
    // "Nα" with a Latin capital N, as the program always showed it.
    grid->addWidget(MakeLabel(group, "Label5", U("* Nα συμπληρωθεί υποχρεωτικά.")), 2, 0, 1, 3);
    grid->addWidget(
        MakeLabel(group, "Label6",
                  U("Δεν γίνεται δεκτή η χρήση μονών ή διπλών εισαγωγικών (πχ ' , \")")),
        3, 0, 1, 3);

    insert_button_ = MakeButton(this, "Button1", U("&Καταχώρηση"), U("Καταχώρηση"));
    QPushButton* back = MakeButton(this, "Button2", U("&Επιστροφή"), U("Επιστροφή"));
    QPushButton* exit = MakeButton(this, "Button3", U("Έξο&δος"), U("Έξοδος"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(insert_button_);
    buttons->addWidget(back);
    buttons->addWidget(exit);
    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addLayout(buttons);
    setDefaultButton(insert_button_);
    setExitButton(exit);

    connect(school_name_, &QLineEdit::textChanged, this, &RegistrationWindow::updateInsertButton);
    connect(responsible_, &QLineEdit::textChanged, this, &RegistrationWindow::updateInsertButton);
    connect(insert_button_, &QPushButton::clicked, this, &RegistrationWindow::insertSchool);
    connect(back, &QPushButton::clicked, this, [this] { leave(Outcome::kBack); });
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
    updateInsertButton();
    school_name_->setFocus();
}

void RegistrationWindow::updateInsertButton() {
    insert_button_->setEnabled(data::IsAcceptableName(school_name_->text()) &&
                               data::IsAcceptableName(responsible_->text()));
}

void RegistrationWindow::insertSchool() {
    if (!insert_button_->isEnabled()) {
        return;
    }
    try {
        const data::Database entry = data::Database::Open(context_->paths.entry_database);
        data::RegisterSchool(entry.connection(), school_name_->text(), responsible_->text());
    } catch (const data::DataError&) {
        context_->asker->Error(this, U(data::kRegistrationFailedMessage));
        return;
    }
    context_->asker->Inform(this, U(data::kRegistrationDoneMessage));
    leave(Outcome::kRegistered);
}

void RegistrationWindow::leave(Outcome outcome) {
    outcome_ = outcome;
    closing_without_question_ = true;
    close();
}

bool RegistrationWindow::confirmClose() {
    if (!closing_without_question_ && !context_->asker->Confirm(this, U(data::kExitQuestion))) {
        return false;
    }
    if (!closing_without_question_) {
        outcome_ = Outcome::kLeftProgram;
    }
    closing_without_question_ = false;
    school_name_->clear();
    responsible_->clear();
    emit left(outcome_);
    return true;
}

}  // namespace taktirio::gui
