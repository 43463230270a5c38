#pragma once

#include "data/shell/startup.h"
#include "gui/common/window.h"

class QPushButton;

namespace taktirio::gui {

struct ProgramContext;

// The login window TForm5: offers registration while no school is
// registered and the login once one is; leaving it asks the exit question.
class LoginWindow : public Window {
    Q_OBJECT

  public:
    explicit LoginWindow(ProgramContext* context, QWidget* parent = nullptr);

    // Shows exactly the action that the registered-school count allows.
    void showOffer(data::LoginOffer offer);

  signals:
    // The school logged in; its user name is in the context.
    void loggedIn();
    // The user left the program by the exit question.
    void left();

  protected:
    bool confirmClose() override;

  private:
    void logIn();
    void openRegistration();

    ProgramContext* context_;
    QPushButton* login_button_;
    QPushButton* register_button_;
};

}  // namespace taktirio::gui
