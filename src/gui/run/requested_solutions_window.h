#pragma once

#include <memory>

#include "gui/common/window.h"

class QSpinBox;

namespace taktirio::data {
class RunSequence;
}

namespace taktirio::gui {

struct ProgramContext;

// TForm8: how many timetables the run is to find. OK stores the number (the
// way into the run reaches stage 1) and closes; Exit closes and stores nothing.
class RequestedSolutionsWindow : public Window {
    Q_OBJECT

  public:
    RequestedSolutionsWindow(ProgramContext* context, std::shared_ptr<data::RunSequence> sequence,
                             QWidget* parent = nullptr);

  private:
    void store();

    ProgramContext* context_;
    std::shared_ptr<data::RunSequence> sequence_;
    QSpinBox* count_;
};

}  // namespace taktirio::gui
