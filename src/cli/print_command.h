#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace taktirio::cli {

// The application object of the tool: a QGuiApplication on the offscreen
// platform for `print` (fonts and PDF drawing need one; no display is used),
// a plain QCoreApplication for every other command.
std::unique_ptr<QCoreApplication> CreateApplication(int& argc, char** argv);

// Runs `print` and `free` in `directory`: reads the page into the work tables
// of REPORT.sqlite and writes the PDF, or lists the teachers free at an hour.
// Nothing when the command line is another command's.
std::optional<int> RunPrintCommand(const QStringList& arguments, const QString& directory);

}  // namespace taktirio::cli
