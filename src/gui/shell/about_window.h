#pragma once

#include "gui/common/window.h"

namespace taktirio::gui {

class Desktop;

// The About window TForm150: the maker's name, contact links and version;
// its context menu opens the maker's web page.
class AboutWindow : public Window {
    Q_OBJECT

  public:
    explicit AboutWindow(Desktop* desktop, QWidget* parent = nullptr);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    Desktop* desktop_;
};

}  // namespace taktirio::gui
