#pragma once

#include <QString>

#include "data/shell/startup.h"

namespace taktirio::gui {

class Asker;
class Desktop;

// What every window of one program run shares: where the files are, how
// messages are asked, how the desktop is reached, and the logged-in school
// (empty until the login).
struct ProgramContext {
    data::ProgramPaths paths;
    Asker* asker = nullptr;
    Desktop* desktop = nullptr;
    QString school;
};

}  // namespace taktirio::gui
