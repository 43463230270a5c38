// taktirio-cli-print: the drawing half of `taktirio-cli print`, which the
// tool hands its command line to. It takes every command of the tool, but
// only `print` needs it: it alone loads Qt Gui and the report layouts.
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QtGlobal>
#include <csignal>
#include <memory>
#include <new>

#include "cli_commands.h"
#include "console.h"
#include "report_drawing.h"

namespace {

QtMessageHandler g_qt_handler = nullptr;

// Qt's own notes on how it found its surroundings (no XDG_RUNTIME_DIR, a
// font fallback) are English and nothing a user of the tool can act on: only
// its errors go through. The tool's own messages never pass through here.
void QtErrorsOnly(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if ((type == QtCriticalMsg || type == QtFatalMsg) && g_qt_handler != nullptr) {
        g_qt_handler(type, context, message);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    std::signal(SIGXFSZ, SIG_IGN);  // as in taktirio-cli
    taktirio::cli::EndOutOfMemoryQuietly();
    g_qt_handler = qInstallMessageHandler(QtErrorsOnly);
    // The tool never shows a window: drawing needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    try {
        const QGuiApplication app(argc, argv);
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        return taktirio::cli::RunCommand(arguments, QDir::currentPath(), taktirio::cli::DrawReport);
    } catch (const std::bad_alloc&) {
        return taktirio::cli::SayOutOfMemory();
    }
}
