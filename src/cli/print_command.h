#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "reports/work_tables.h"

namespace taktirio::cli {

// One report to draw: the page read into the work tables of the program
// directory, and the PDF to write.
struct PrintJob {
    QString directory;
    QString page;
    data::PrintReading reading = data::PrintReading::kClasses;
    QString output;
};

// Draws a report and returns the exit code. Only the drawing program
// (taktirio-cli-print) links the report layouts and Qt Gui; the tool itself
// hands `print` over to it, so that no other command pays for loading them.
using ReportDrawer = std::function<int(const PrintJob&)>;

// Runs `print` and `free` in `directory`: `print` checks its command line
// and its page and gives the job to `draw`; `free` reads the page into the
// work tables of REPORT.sqlite and lists the teachers free at an hour.
// Nothing when the command line is another command's.
std::optional<int> RunPrintCommand(const QStringList& arguments, const QString& directory,
                                   const ReportDrawer& draw);

// True when the command line is `print`'s.
bool IsPrintCommandLine(const QStringList& arguments);

}  // namespace taktirio::cli
