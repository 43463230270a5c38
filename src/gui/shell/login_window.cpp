#include "gui/shell/login_window.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/maker.h"
#include "gui/common/program_context.h"
#include "gui/shell/registration_window.h"

namespace taktirio::gui {

LoginWindow::LoginWindow(ProgramContext* context, QWidget* parent)
    : Window("TForm5", QString::fromLatin1(kMakerName), parent), context_(context) {
    // A fixed border without system icons: left by its own buttons.
    setTitleBar(TitleBar::kNone);
    login_button_ = MakeButton(this, "Button1", U("Είσοδος"), U("Είσοδος"));
    register_button_ = MakeButton(this, "Button2", U("&Καταχώρηση των στοιχείων του σχολείου"),
                                  U("Καταχώρηση των στοιχείων του σχολείου"));
    QPushButton* exit = MakeButton(this, "Button3", U("Έξο&δος"), U("Έξοδος"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(32, 16, 32, 16);
    column->addWidget(MakeProductName(this, "Label1", false));
    column->addSpacing(12);
    column->addWidget(login_button_);
    column->addWidget(register_button_);
    column->addWidget(exit);
    column->addSpacing(12);
    column->addWidget(MakeContactBlock(this, context_->desktop), 0, Qt::AlignHCenter);
    setExitButton(exit);
    showOffer(data::LoginOffer::kNothing);

    connect(login_button_, &QPushButton::clicked, this, &LoginWindow::logIn);
    connect(register_button_, &QPushButton::clicked, this, &LoginWindow::openRegistration);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

void LoginWindow::showOffer(data::LoginOffer offer) {
    login_button_->setVisible(offer == data::LoginOffer::kLogin);
    register_button_->setVisible(offer == data::LoginOffer::kRegister);
    // Enter presses whichever action is offered.
    login_button_->setDefault(offer == data::LoginOffer::kLogin);
    register_button_->setDefault(offer == data::LoginOffer::kRegister);
}

void LoginWindow::logIn() {
    try {
        const data::Database entry = data::Database::Open(context_->paths.entry_database);
        context_->school = data::Login(entry.connection());
    } catch (const data::DataError&) {
        context_->school.clear();
        context_->asker->Error(this, U(data::kDatabaseProblemMessage));
        return;
    }
    hide();
    emit loggedIn();
}

void LoginWindow::openRegistration() {
    hide();
    auto* registration = new RegistrationWindow(context_);
    connect(
        registration, &RegistrationWindow::left, this, [this](RegistrationWindow::Outcome outcome) {
            if (outcome == RegistrationWindow::Outcome::kLeftProgram) {
                emit left();
                return;
            }
            // A registration turns the count to one school; otherwise none.
            showOffer(data::OfferFor(outcome == RegistrationWindow::Outcome::kRegistered ? 1 : 0));
            show();
        });
    registration->OpenModal();
}

bool LoginWindow::confirmClose() {
    if (!context_->asker->Confirm(this, U(data::kExitQuestion))) {
        return false;
    }
    emit left();
    return true;
}

}  // namespace taktirio::gui
