#pragma once

class QCoreApplication;

namespace taktirio::gui {

// Loads the program's Greek catalogue of Qt's own texts (message box
// buttons, the file dialog, the print preview and print dialogs, the text
// boxes' context menus), built into the program, so that these read Greek
// whatever the system's language. False when the catalogue cannot be loaded;
// Qt's English texts then stay.
bool InstallQtGreekTexts(QCoreApplication& app);

}  // namespace taktirio::gui
