#pragma once

#include "gui/common/window.h"

namespace taktirio::gui {

class Desktop;

// The start-up window TForm3: the product, the schools it is for, the maker's
// details and OK. Borderless; the shell decides what OK does.
class StartupWindow : public Window {
    Q_OBJECT

  public:
    explicit StartupWindow(Desktop* desktop, QWidget* parent = nullptr);

  signals:
    void okPressed();
};

}  // namespace taktirio::gui
