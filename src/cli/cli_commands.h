#pragma once

#include <QString>
#include <QStringList>

#include "print_command.h"

namespace taktirio::cli {

// The tool's exit codes (documented in README.md).
enum ExitCode {
    kExitOk = 0,
    kExitDataProblem = 1,  // check: the data cannot make a timetable
    kExitUsage = 2,        // unknown command or option, missing argument
    kExitRefused = 3,      // the input was refused: a broken exchange file, invalid names
    kExitFailure = 4,      // a database or file that cannot be used, no registered school
    kExitOutOfMemory = 7,  // the memory ran out; an open transaction was rolled back
};

// Runs one command line (without the program name) in `directory`; writes
// results to standard output and messages to standard error. `print` gives
// its report to `draw`.
int RunCommand(const QStringList& arguments, const QString& directory, const ReportDrawer& draw);

QString UsageText();

// "taktirio-cli" and the version the desktop program's About window shows.
QString VersionLine();

}  // namespace taktirio::cli
