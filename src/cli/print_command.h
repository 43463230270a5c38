#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "data/reports/work_tables.h"

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

// A print or free command line, as the tool's parser read it.
struct PrintLine {
    QString directory;
    QStringList positional;  // print: KIND PAGE; free: PAGE
    QString output;          // print's -o
    int day = 0;             // free's --day and --hour
    int hour = 0;
};

// `print` checks its kind and its page and gives the job to `draw`.
int PrintReport(const PrintLine& line, const ReportDrawer& draw);

// `free` reads the page into the work tables of REPORT.sqlite and lists the
// teachers free at an hour.
int FreeTeachers(const PrintLine& line);

}  // namespace taktirio::cli
