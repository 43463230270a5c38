// taktirio-cli: the school's data without windows (init, import, export,
// check), over the same data layer the desktop program uses.
#include <QCoreApplication>
#include <QDir>

#include "cli_commands.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return taktirio::cli::RunCommand(arguments, QDir::currentPath());
}
