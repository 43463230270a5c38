#include "cli_commands.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <new>
#include <optional>

#include "calendar/church_calendar.h"
#include "check_command.h"
#include "checks/presolve.h"
#include "console.h"
#include "database/database.h"
#include "database/errors.h"
#include "exchange/exchange.h"
#include "print_command.h"
#include "shell/program_lock.h"
#include "shell/startup.h"
#include "solve_command.h"
#include "verify_command.h"

namespace taktirio::cli {

namespace {

using namespace taktirio::data;

QString S(const char* text) {
    return QString::fromUtf8(text);
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
    SolveRequest solve;
};

// Reads the value of a numeric option; false when it is not a whole number.
bool ReadNumber(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

// The options of `solve`; false for an unknown option or a malformed value.
bool ParseSolveOption(const QString& arg, const QStringList& arguments, qsizetype& i,
                      SolveRequest& solve) {
    const bool flag_only = arg == QLatin1String("--replace") ||
                           arg == QLatin1String("--no-single-runs") ||
                           arg == QLatin1String("--max-four-in-a-row");
    if (flag_only) {
        solve.replace |= arg == QLatin1String("--replace");
        solve.settings.no_single_hour_runs |= arg == QLatin1String("--no-single-runs");
        solve.settings.four_hour_run_limit_on |= arg == QLatin1String("--max-four-in-a-row");
        return true;
    }
    if (i + 1 >= arguments.size()) {
        return false;
    }
    const QString& value = arguments[i + 1];
    RunSettings& settings = solve.settings;
    bool ok = true;
    if (arg == QLatin1String("-n")) {
        ok = ReadNumber(value, settings.solutions_requested);
        solve.solutions_given = true;
    } else if (arg == QLatin1String("--seed")) {
        const qulonglong seed = value.toULongLong(&ok);
        solve.seed = seed;
    } else if (arg == QLatin1String("--threads")) {
        ok = ReadNumber(value, solve.threads) && solve.threads >= 1;
    } else if (arg == QLatin1String("--time-limit")) {
        const double seconds = value.toDouble(&ok);
        ok = ok && seconds > 0;
        solve.time_limit_seconds = seconds;
    } else if (arg == QLatin1String("--attempts")) {
        ok = ReadNumber(value, settings.attempts_per_class);
    } else if (arg == QLatin1String("--max-per-day")) {
        ok = ReadNumber(value, settings.max_class_hours_per_day);
    } else if (arg == QLatin1String("--last-hours")) {
        ok = ReadNumber(value, settings.last_hours_limit);
        settings.last_hours_limit_on = true;
    } else if (arg == QLatin1String("--day-hours")) {
        ok = ReadNumber(value, settings.day_hours_limit);
        settings.day_hours_limit_on = true;
    } else {
        return false;
    }
    ++i;
    return ok;
}

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
        } else if (arg.startsWith(u'-')) {
            if (!ParseSolveOption(arg, arguments, i, line.solve)) {
                return std::nullopt;
            }
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
    const QFileInfo entry_file(paths.entry_database);
    if (!entry_file.exists() && !entry_file.isSymLink()) {
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
    if (const QString problem = ProgramDirectoryProblem(paths.directory); !problem.isEmpty()) {
        Say(stderr, problem);
        return kExitFailure;
    }
    ProgramLock lock(paths.directory);
    lock.Lock();  // a second writer is refused (ProgramLockError)
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
    const SchoolDocument document = ParseSchoolDocument(ReadSchoolFile(line.positional[0]));
    if (const QString problem = ProgramDirectoryProblem(paths.directory); !problem.isEmpty()) {
        Say(stderr, problem);
        return kExitFailure;
    }
    ProgramLock lock(paths.directory);
    lock.Lock();  // a second writer is refused (ProgramLockError)
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
    return CheckTimetablePossible(open.session, line.solve.settings);
}

// The Orthodox Easter Sunday of a year, as YYYY-MM-DD.
int Easter(const CommandLine& line) {
    bool ok = false;
    const int year = line.positional.size() == 1 ? line.positional[0].toInt(&ok) : 0;
    const std::optional<core::CivilDate> easter =
        ok ? core::OrthodoxEaster(year) : std::optional<core::CivilDate>();
    if (!easter) {
        Say(stderr, S("Το έτος πρέπει να είναι από %1 έως %2.")
                        .arg(core::kFirstEasterYear)
                        .arg(core::kLastEasterYear));
        return kExitUsage;
    }
    Say(stdout, QStringLiteral("%1-%2-%3")
                    .arg(easter->year)
                    .arg(easter->month, 2, 10, QLatin1Char('0'))
                    .arg(easter->day, 2, 10, QLatin1Char('0')));
    return kExitOk;
}

int Dispatch(const CommandLine& line) {
    if (line.command == QLatin1String("easter")) {
        return Easter(line);
    }
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
    if (line.command == QLatin1String("solve") && line.positional.isEmpty()) {
        return Solve(line.solve, paths);
    }
    if (line.command == QLatin1String("verify") && line.positional.size() == 1) {
        const OpenSchool open = OpenExisting(paths);
        return VerifyPage(open.session, paths, line.positional[0], line.solve.settings);
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
        "  check           the checks before solving, under the options of solve\n"
        "                  (--last-hours N, --day-hours N, --max-per-day N); exit\n"
        "                  code 1 with every reason why no timetable exists\n"
        "  solve           check, prepare and load the school, then search for\n"
        "                  timetables and write them as pages under SOLUTIONS/<user>\n"
        "  easter YEAR     the Orthodox Easter Sunday of YEAR (1583 to 2100) in the\n"
        "                  Gregorian calendar, as YYYY-MM-DD\n"
        "  print classes|teachers|plan|summary PAGE [-o FILE.pdf]\n"
        "                  read the solution page PAGE into REPORT.sqlite and write\n"
        "                  the report as a PDF (default: PAGE-KIND.pdf in the current\n"
        "                  directory); plan gives the seven strips A to H, summary\n"
        "                  both parts\n"
        "  free PAGE --day N --hour N\n"
        "                  the teachers with no lesson on day N (1 Monday to 5 Friday)\n"
        "                  at hour N (1 to 10), one a line, and their count\n"
        "  verify PAGE     check a solution page against the school's data under\n"
        "                  the options of solve; lists every rule it breaks\n"
        "\n"
        "Options:\n"
        "  --dir DIR       program directory holding DATA2.sqlite, DATA.sqlite and\n"
        "                  SOLUTIONS (default: the current directory)\n"
        "  --help          show this text\n"
        "\n"
        "Options of solve:\n"
        "  -n N            solutions to find, 1 to 254 (default: the number stored\n"
        "                  for the school)\n"
        "  --seed S        random stream of the run (printed at the start; with\n"
        "                  --threads 1 the same S repeats the same run)\n"
        "  --threads N     worker threads, 1 to 256 (default: every core)\n"
        "  --time-limit S  stop after S seconds, at most 2592000 (30 days)\n"
        "  --replace       delete the previous pages without asking\n"
        "  --attempts N    starts of one class section before an attempt is given\n"
        "                  up, 1000 to 30000 (default 2000)\n"
        "  --max-per-day N most hours of a teacher in one class section a day, 2 or 3\n"
        "  --last-hours N  most last-hour lessons of a teacher a week, 1 to 4\n"
        "  --day-hours N   most hours of a teacher a day, 5 to 10\n"
        "  --no-single-runs     no one-hour lessons in consecutive hours of a class\n"
        "  --max-four-in-a-row  no teacher teaches five hours in a row\n"
        "  Ctrl-C (or SIGTERM, SIGHUP) stops the run; the solutions found so far\n"
        "  are kept.\n"
        "\n"
        "Exit codes: 0 done (solve: every solution found), 1 data problem,\n"
        "2 usage error or unacceptable values, 3 input refused, 4 database or file\n"
        "problem, 5 solve stopped with some solutions found, 6 solve found none,\n"
        "7 out of memory, 8 verify: another school's page, 9 verify: names the school\n"
        "does not have, 10 verify: not a solution page or a damaged one (1: rules broken).");
}

int RunCommand(const QStringList& arguments, const QString& directory) {
    if (const std::optional<int> code = RunPrintCommand(arguments, directory)) {
        return *code;
    }
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
    } catch (const std::bad_alloc&) {
        // An open transaction was rolled back on the way here. The message is
        // a constant, so that writing it needs no memory.
        static const char kMessage[] =
            "Η μνήμη του υπολογιστή δεν επαρκεί για αυτή την εργασία.\n"
            "Η εργασία διακόπηκε.\n";
        std::fwrite(kMessage, 1, sizeof kMessage - 1, stderr);
        return kExitOutOfMemory;
    }
}

}  // namespace taktirio::cli
