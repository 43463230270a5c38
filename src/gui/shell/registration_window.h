#pragma once

#include "gui/common/window.h"

class QLineEdit;
class QPushButton;

namespace taktirio::gui {

struct ProgramContext;

// The school registration window TForm6: the school's name and the person
// responsible for the timetable, stored as the one SCHOOLS row.
class RegistrationWindow : public Window {
    Q_OBJECT

  public:
    // How the window was left.
    enum class Outcome { kBack, kRegistered, kLeftProgram };

    explicit RegistrationWindow(ProgramContext* context, QWidget* parent = nullptr);
    Outcome outcome() const { return outcome_; }

  signals:
    void left(gui::RegistrationWindow::Outcome outcome);

  protected:
    bool confirmClose() override;

  private:
    void updateInsertButton();
    void insertSchool();
    void leave(Outcome outcome);

    ProgramContext* context_;
    QLineEdit* school_name_;
    QLineEdit* responsible_;
    QPushButton* insert_button_;
    Outcome outcome_ = Outcome::kLeftProgram;
    // Set when the window leaves by a button that needs no question.
    bool closing_without_question_ = false;
};

}  // namespace taktirio::gui
