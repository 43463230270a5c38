// taktirio-cli: the school's data without windows (init, import, export,
// check, solve, verify, free, print), over the same data layer the desktop
// program uses.
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <new>
#include <vector>

#include "cli_commands.h"
#include "console.h"

namespace {

// Where the drawing program lies: beside the tool in the build tree, in the
// package's private directory once installed.
QString DrawingProgram() {
    const QString directory = QCoreApplication::applicationDirPath();
    const QString beside = directory + QStringLiteral("/taktirio-cli-print");
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QDir::cleanPath(directory + QStringLiteral("/" TAKTIRIO_DRAWING_PROGRAM_FROM_BINDIR));
}

// `print` goes on in the drawing program, with the same command line, so
// that the tool's other commands never load Qt Gui and what it pulls in.
int HandOverToDrawing(const taktirio::cli::PrintJob& /*job*/) {
    const QByteArray program = QFile::encodeName(DrawingProgram());
    QList<QByteArray> arguments = {program};
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        arguments.append(argument.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    ::execv(program.constData(), argv.data());
    taktirio::cli::Say(stderr, QString::fromUtf8("Το πρόγραμμα σχεδίασης των εκτυπώσεων %1 δεν "
                                                 "μπορεί να εκτελεστεί.")
                                   .arg(QString::fromLocal8Bit(program)));
    return taktirio::cli::kExitFailure;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A file-size limit makes a write fail instead of killing the process, so
    // that the database rolls the write back and the message says why.
    std::signal(SIGXFSZ, SIG_IGN);
    taktirio::cli::EndOutOfMemoryQuietly();
    try {
        const QCoreApplication app(argc, argv);
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        return taktirio::cli::RunCommand(arguments, QDir::currentPath(), HandOverToDrawing);
    } catch (const std::bad_alloc&) {
        return taktirio::cli::SayOutOfMemory();
    }
}
