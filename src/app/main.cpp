// taktirio: the desktop program. Runs on a program directory (the current
// directory, or --dir DIR) holding DATA2.sqlite, DATA.sqlite and SOLUTIONS.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>

#include "core/common/version.h"
#include "data/shell/startup.h"
#include "gui/common/asker.h"
#include "gui/common/desktop.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/shell/program_shell.h"

namespace {

// The program directory from the command line. --help and --version are
// answered before any window system is needed, so that they also work
// without a display (the manual page is made from them at build time).
QString ProgramDirectory(QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The school timetable program."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dir_option(
        QStringLiteral("dir"),
        QStringLiteral("Program directory with DATA2.sqlite, DATA.sqlite and SOLUTIONS "
                       "(default: the current directory)."),
        QStringLiteral("DIR"), QDir::currentPath());
    parser.addOption(dir_option);
    parser.process(app);
    return parser.value(dir_option);
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace taktirio;
    QString directory;
    {
        QCoreApplication parsing(argc, argv);
        // "taktirio Version …": the version the About window shows.
        QCoreApplication::setApplicationName(QStringLiteral("taktirio"));
        QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
        directory = ProgramDirectory(parsing);
    }
    QApplication app(argc, argv);
    gui::SetUpProgram(app);
    gui::MessageBoxAsker asker;
    gui::SystemDesktop desktop;
    gui::ProgramContext context{data::PathsFor(directory), &asker, &desktop, {}};
    gui::ProgramShell shell(&context);
    QObject::connect(&shell, &gui::ProgramShell::finished, &app,
                     [&app](int code) { app.exit(code); });
    const QScreen* screen = QApplication::primaryScreen();
    if (!shell.Start(screen != nullptr ? screen->size() : QSize())) {
        return 4;
    }
    return QApplication::exec();
}
