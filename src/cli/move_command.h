#pragma once

#include <QString>

#include "core/run/run_settings.h"
#include "data/entry/session.h"

namespace taktirio::cli {

// taktirio-cli move PAGE --class NAME --from D,H --to D,H [-o OUT.htm]
struct MoveLine {
    QString page;
    QString class_name;
    QString from;  // "D,H": day 1 (Monday) to 5, hour 1 to 10
    QString to;
    QString output;  // empty: print the exchange only
};

// Checks the page as verify does, asks the editor for the exchange that takes
// the lesson there, and prints it: every cell that changes and the gaps of
// the people whose lessons move (exit 0), or the rules that block it (exit
// 1). With an output, writes the edited page there, verified first and
// written whole or not at all; never over the program's own files or the
// page it was read from.
int MoveLesson(const data::Session& session, const QString& directory, const MoveLine& line,
               const RunSettings& settings);

}  // namespace taktirio::cli
