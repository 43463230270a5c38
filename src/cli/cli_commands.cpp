#include "cli_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <optional>

#include "checks/presolve.h"
#include "database/database.h"
#include "database/errors.h"
#include "exchange/exchange.h"
#include "shell/startup.h"

namespace taktirio::cli {

namespace {

using namespace taktirio::data;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Program messages use "\r" as a line break; a terminal wants "\n".
void Say(FILE* stream, const QString& message) {
    QString text = message;
    text.replace(u'\r', u'\n');
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

int Fail(const DataError& error, int code) {
    Say(stderr, error.message());
    return code;
}

// Parsed command line: the command, its positional arguments and options.
struct CommandLine {
    QString command;
    QStringList positional;
    QString directory;
    QString school;
    QString responsible;
    bool help = false;
};

std::optional<CommandLine> Parse(const QStringList& arguments, const QString& directory) {
    CommandLine line;
    line.directory = directory;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool has_value = i + 1 < arguments.size();
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            line.help = true;
        } else if (arg == QLatin1String("--dir") && has_value) {
            line.directory = arguments[++i];
        } else if (arg == QLatin1String("--school") && has_value) {
            line.school = arguments[++i];
        } else if (arg == QLatin1String("--responsible") && has_value) {
            line.responsible = arguments[++i];
        } else if (arg.startsWith(QLatin1String("--"))) {
            return std::nullopt;
        } else if (line.command.isEmpty()) {
            line.command = arg;
        } else {
            line.positional.append(arg);
        }
    }
    return line;
}

// A logged-in school in an existing entry database.
struct OpenSchool {
    Database entry;
    Session session;
};

OpenSchool OpenExisting(const ProgramPaths& paths) {
    if (!QFileInfo::exists(paths.entry_database)) {
        throw DatabaseError(S("Δεν υπάρχει βάση δεδομένων στο directory %1.\r"
                              "Δημιούργησέ την με init ή import.")
                                .arg(paths.directory),
                            QStringLiteral("no entry database"));
    }
    Database entry = Database::Open(paths.entry_database);
    const QString school = Login(entry.connection());
    Session session{entry.connection(), school};
    return {std::move(entry), session};
}

int Init(const CommandLine& line, const ProgramPaths& paths) {
    if (!line.positional.isEmpty() || line.school.isEmpty() || line.responsible.isEmpty()) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    if (!CheckProgramDirectory(paths.directory)) {
        Say(stderr, PermissionsMessage(paths.directory));
        return kExitFailure;
    }
    Database entry = Database::Open(paths.entry_database);
    Database working = Database::Open(paths.working_database);
    RegisterSchool(entry.connection(), line.school, line.responsible);
    Say(stdout, S(kRegistrationDoneMessage));
    return kExitOk;
}

int Import(const CommandLine& line, const ProgramPaths& paths) {
    if (line.positional.size() != 1) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    QFile file(line.positional[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        Say(stderr, S("Το αρχείο %1 δεν μπορεί να διαβαστεί.").arg(line.positional[0]));
        return kExitFailure;
    }
    const SchoolDocument document = ParseSchoolDocument(file.readAll());
    if (!CheckProgramDirectory(paths.directory)) {
        Say(stderr, PermissionsMessage(paths.directory));
        return kExitFailure;
    }
    Database entry = Database::Open(paths.entry_database);
    Database working = Database::Open(paths.working_database);
    // Registration and import succeed or fail together.
    Transaction transaction(entry.connection());
    if (RegisteredSchoolCount(entry.connection()) == 0) {
        RegisterSchool(entry.connection(), document.name, document.responsible);
    }
    const Session session{entry.connection(), Login(entry.connection())};
    ImportSchool(session, document);
    transaction.Commit();
    Say(stdout, S("Τα δεδομένα του σχολείου καταχωρήθηκαν: %1 τμήματα, %2 διδάσκοντες, "
                  "%3 ζεύγη διδασκόντων.")
                    .arg(document.classes.size())
                    .arg(document.teachers.size())
                    .arg(document.pairs.size()));
    return kExitOk;
}

int Export(const CommandLine& line, const ProgramPaths& paths) {
    if (line.positional.size() > 1) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    OpenSchool open = OpenExisting(paths);
    const QByteArray json = WriteSchoolDocument(ExportSchool(open.session));
    if (line.positional.isEmpty()) {
        std::fwrite(json.constData(), 1, static_cast<std::size_t>(json.size()), stdout);
        return kExitOk;
    }
    QFile file(line.positional[0]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size()) {
        Say(stderr, S("Το αρχείο %1 δεν μπορεί να γραφτεί.").arg(line.positional[0]));
        return kExitFailure;
    }
    return kExitOk;
}

int Check(const CommandLine& line, const ProgramPaths& paths) {
    if (!line.positional.isEmpty()) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    OpenSchool open = OpenExisting(paths);
    const DataProblem problem = CheckBeforeSolving(open.session);
    if (problem != DataProblem::kNone) {
        Say(stderr, DataProblemMessage(problem));
        return kExitDataProblem;
    }
    Say(stdout, S("Τα δεδομένα πέρασαν τον έλεγχο."));
    return kExitOk;
}

int Dispatch(const CommandLine& line) {
    const ProgramPaths paths = PathsFor(line.directory);
    if (line.command == QLatin1String("init")) {
        return Init(line, paths);
    }
    if (line.command == QLatin1String("import")) {
        return Import(line, paths);
    }
    if (line.command == QLatin1String("export")) {
        return Export(line, paths);
    }
    if (line.command == QLatin1String("check")) {
        return Check(line, paths);
    }
    Say(stderr, UsageText());
    return kExitUsage;
}

}  // namespace

QString UsageText() {
    return QStringLiteral(
        "Usage: taktirio-cli <command> [--dir DIR] [options]\n"
        "\n"
        "Commands:\n"
        "  init --school NAME --responsible NAME\n"
        "                  create the databases and register the school\n"
        "  import FILE     load a school exchange file (JSON); creates the databases\n"
        "                  and registers the school when there are none, otherwise\n"
        "                  replaces the registered school's data\n"
        "  export [FILE]   write the school exchange file (standard output without FILE)\n"
        "  check           the checks before solving; exit code 1 on a data problem\n"
        "\n"
        "Options:\n"
        "  --dir DIR       program directory holding DATA2.sqlite, DATA.sqlite and\n"
        "                  SOLUTIONS (default: the current directory)\n"
        "  --help          show this text\n"
        "\n"
        "Exit codes: 0 done, 1 data problem (check), 2 usage error,\n"
        "3 input refused, 4 database or file problem.");
}

int RunCommand(const QStringList& arguments, const QString& directory) {
    const std::optional<CommandLine> line = Parse(arguments, directory);
    if (!line) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    if (line->help) {
        Say(stdout, UsageText());
        return kExitOk;
    }
    try {
        return Dispatch(*line);
    } catch (const ImportError& error) {
        return Fail(error, kExitRefused);
    } catch (const EntryRefusedError& error) {
        return Fail(error, kExitRefused);
    } catch (const DataError& error) {
        return Fail(error, kExitFailure);
    }
}

}  // namespace taktirio::cli
