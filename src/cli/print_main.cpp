// taktirio-cli-print: the drawing half of `taktirio-cli print`, which the
// tool hands its command line to. It takes every command of the tool, but
// only `print` needs it: it alone loads Qt Gui and the report layouts.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <csignal>
#include <memory>

#include "cli_commands.h"
#include "report_drawing.h"

int main(int argc, char* argv[]) {
    std::signal(SIGXFSZ, SIG_IGN);  // as in taktirio-cli
    // The tool never shows a window: drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return taktirio::cli::RunCommand(arguments, QDir::currentPath(), taktirio::cli::DrawReport);
}
