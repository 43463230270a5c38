// taktirio-cli: the school's data without windows (init, import, export,
// check), over the same data layer the desktop program uses.
#include <QCoreApplication>
#include <QDir>
#include <csignal>

#include "cli_commands.h"
#include "print_command.h"

int main(int argc, char* argv[]) {
    // A file-size limit makes a write fail instead of killing the process, so
    // that the database rolls the write back and the message says why.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto app = taktirio::cli::CreateApplication(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return taktirio::cli::RunCommand(arguments, QDir::currentPath());
}
