#include "cli_commands.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "calendar/church_calendar.h"
#include "check_command.h"
#include "checks/presolve.h"
#include "common/version.h"
#include "console.h"
#include "database/database.h"
#include "database/errors.h"
#include "exchange/exchange.h"
#include "move_command.h"
#include "print_command.h"
#include "run/run_settings.h"
#include "shell/program_lock.h"
#include "shell/startup.h"
#include "solve_command.h"
#include "text/wording.h"
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
    SolveRequest solve;
    MoveLine move;
};

// One command of the tool: what follows its name, what it does and the
// options it takes besides --dir and --help. The usage texts are made from
// these, and each command's parser takes exactly these options.
struct CommandDefinition {
    const char* name;
    const char* synopsis;
    const char* description;  // lines joined by "\n"
    QList<QCommandLineOption> options;
    int least_positional = 0;
    int most_positional = 0;
    bool own_parser = false;  // print and free read their own command lines
};

QCommandLineOption Option(const QStringList& names, const char* description,
                          const char* value_name = nullptr) {
    return value_name == nullptr
               ? QCommandLineOption(names, S(description))
               : QCommandLineOption(names, S(description), QString::fromLatin1(value_name));
}

QCommandLineOption DirOption() {
    return Option({QStringLiteral("dir")},
                  "program directory holding DATA2.sqlite, DATA.sqlite and\n"
                  "SOLUTIONS (default: the current directory)",
                  "DIR");
}

QCommandLineOption HelpOption() {
    return Option({QStringLiteral("help"), QStringLiteral("h")}, "show this text");
}

// The placement options of a run, which check and verify take as well.
QList<QCommandLineOption> PlacementOptions() {
    return {
        Option({QStringLiteral("max-per-day")},
               "most hours of a teacher in one class section a day, 2 or 3", "N"),
        Option({QStringLiteral("last-hours")}, "most last-hour lessons of a teacher a week, 1 to 4",
               "N"),
        Option({QStringLiteral("day-hours")}, "most hours of a teacher a day, 5 to 10", "N"),
        Option({QStringLiteral("no-single-runs")},
               "no one-hour lessons in consecutive hours of a class"),
        Option({QStringLiteral("max-four-in-a-row")}, "no teacher teaches five hours in a row")};
}

QCommandLineOption SearchOption(const char* both) {
    return Option({QStringLiteral("search")},
                  (std::string("random, exact or both; ") + both).c_str(), "ENGINE");
}

QList<QCommandLineOption> SolveOptions() {
    return QList<QCommandLineOption>{
               Option({QStringLiteral("n")},
                      "solutions to find, 1 to 254 (default: the number stored\nfor the school)",
                      "N"),
               Option({QStringLiteral("seed")},
                      "random stream of the run (printed at the start; with\n"
                      "--threads 1 the same S repeats the same run)",
                      "S"),
               Option({QStringLiteral("threads")}, "worker threads, 1 to 256 (default: every core)",
                      "N"),
               Option({QStringLiteral("time-limit")},
                      "stop after S seconds, at most 2592000 (30 days)", "S"),
               Option({QStringLiteral("replace")}, "delete the previous pages without asking"),
               Option({QStringLiteral("no-checks")},
                      "search even when the checks before a search find why\n"
                      "there can be no timetable"),
               Option({QStringLiteral("attempts")},
                      "starts of one class section before an attempt is given\n"
                      "up, 1000 to 30000 (default 2000)",
                      "N"),
               Option({QStringLiteral("fewer-gaps")},
                      "rework each timetable found toward fewer teacher gaps,\n"
                      "under the same rules, before its page is written"),
               SearchOption("both: the randomised search, then the exact one\n"
                            "on one thread once it keeps failing (default)")} +
           PlacementOptions();
}

const QList<CommandDefinition>& Commands() {
    static const QList<CommandDefinition> commands = {
        {"init",
         "--school NAME --responsible NAME",
         "create the databases and register the school",
         {Option({QStringLiteral("school")}, "the school's name", "NAME"),
          Option({QStringLiteral("responsible")}, "the person responsible for the timetable",
                 "NAME")}},
        {"import",
         "FILE",
         "load a school exchange file (JSON); creates the databases\n"
         "and registers the school when there are none, otherwise\n"
         "replaces the registered school's data",
         {},
         1,
         1},
        {"export",
         "[FILE]",
         "write the school exchange file (standard output without FILE)",
         {},
         0,
         1},
        {"check", "",
         "the checks before solving, under the placement options of\n"
         "solve; exit code 1 with every reason why no timetable exists",
         QList<QCommandLineOption>{
             SearchOption("random: the counting checks (default);\n"
                          "exact: a proof by the exact search that a timetable\n"
                          "exists or not, with the reasons; both: the two")} +
             PlacementOptions()},
        {"solve", "",
         "check, prepare and load the school, then search for\n"
         "timetables and write them as pages under SOLUTIONS/<user>",
         SolveOptions()},
        {"easter",
         "YEAR",
         "the Orthodox Easter Sunday of YEAR (1583 to 2100) in the\n"
         "Gregorian calendar, as YYYY-MM-DD",
         {},
         0,
         1},
        {"print",
         "classes|teachers|plan|summary PAGE [-o FILE.pdf]",
         "read the solution page PAGE into REPORT.sqlite and write\n"
         "the report as a PDF (default: PAGE-KIND.pdf in the current\n"
         "directory); plan gives the seven strips A to H, summary\n"
         "both parts",
         {},
         0,
         0,
         true},
        {"free",
         "PAGE --day N --hour N",
         "the teachers with no lesson on day N (1 Monday to 5 Friday)\n"
         "at hour N (1 to 10), one a line, and their count; those\n"
         "absent that day in the school's data are named after it",
         {},
         0,
         0,
         true},
        {"move", "PAGE --class NAME --from D,H --to D,H",
         "move a lesson of a solution page by hand: the exchange\n"
         "that takes it there keeping every rule under the placement\n"
         "options of solve (exit 0), or the rules that block it\n"
         "(exit 1); -o writes the changed solution as a new page",
         QList<QCommandLineOption>{
             Option({QStringLiteral("class")}, "the class section of the lesson", "NAME"),
             Option({QStringLiteral("from")}, "where the lesson is: day 1 to 5, hour 1 to 10",
                    "D,H"),
             Option({QStringLiteral("to")}, "where it goes in the same class section", "D,H"),
             Option({QStringLiteral("o")}, "write the changed solution page to FILE", "FILE")} +
             PlacementOptions(),
         1, 1},
        {"verify", "PAGE",
         "check a solution page against the school's data under\n"
         "the placement options of solve; lists every rule it breaks",
         PlacementOptions(), 1, 1},
    };
    return commands;
}

const CommandDefinition* FindCommand(const QString& name) {
    for (const CommandDefinition& definition : Commands()) {
        if (name == QLatin1String(definition.name)) {
            return &definition;
        }
    }
    return nullptr;
}

// "  label" padded to a column of 18, then the text; continuation lines of
// the text start in that column, and a long label puts the text below it.
QString Entry(const QString& label, const QString& text) {
    constexpr int kColumn = 18;
    QString entry = QStringLiteral("  ") + label;
    const QString indent(kColumn, u' ');
    if (entry.size() < kColumn) {
        entry = entry.leftJustified(kColumn);
    } else {
        entry += u'\n' + indent;
    }
    QString body = text;
    body.replace(QStringLiteral("\n"), QStringLiteral("\n") + indent);
    return entry + body + u'\n';
}

QString OptionLabel(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names()) {
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    }
    QString label = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty()) {
        label += u' ' + option.valueName();
    }
    return label;
}

QString OptionLines(const QList<QCommandLineOption>& options) {
    QString text;
    for (const QCommandLineOption& option : options) {
        text += Entry(OptionLabel(option), option.description());
    }
    return text;
}

QString CommandLabel(const CommandDefinition& definition) {
    const QString synopsis = QString::fromLatin1(definition.synopsis);
    return QString::fromLatin1(definition.name) +
           (synopsis.isEmpty() ? QString() : u' ' + synopsis);
}

const char kExitCodesText[] =
    "Exit codes: 0 done (solve: every solution found), 1 data problem,\n"
    "2 usage error or unacceptable values, 3 input refused, 4 database or file\n"
    "problem, 5 solve stopped with some solutions found, 6 solve found none,\n"
    "7 out of memory, 8 verify: another school's page, 9 verify: names the school\n"
    "does not have, 10 verify: not a solution page or a damaged one (1: rules broken).";

// The usage text of one command.
QString CommandUsage(const CommandDefinition& definition) {
    QString text =
        QStringLiteral("Usage: taktirio-cli ") + CommandLabel(definition) +
        QStringLiteral(" [--dir DIR]") +
        (definition.options.isEmpty() || QString::fromLatin1(definition.synopsis).contains(u'-')
             ? QString()
             : QStringLiteral(" [options]")) +
        QStringLiteral("\n\n");
    text += Entry(QString::fromLatin1(definition.name), S(definition.description));
    text += QStringLiteral("\nOptions:\n") + OptionLines(definition.options) +
            OptionLines({DirOption(), HelpOption()});
    if (QLatin1String(definition.name) == QLatin1String("solve")) {
        text += QStringLiteral(
            "  Ctrl-C (or SIGTERM, SIGHUP) stops the run; the solutions found so far\n"
            "  are kept.\n");
    }
    return text + u'\n' + S(kExitCodesText);
}

int UsageError(const QString& what, const QString& usage) {
    Say(stderr, what);
    Say(stderr, QString());
    Say(stderr, usage);
    return kExitUsage;
}

// The command's name: the first argument that is neither an option nor the
// value of --dir.
QString CommandName(const QStringList& arguments) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--dir")) {
            ++i;
        } else if (!arguments[i].startsWith(u'-')) {
            return arguments[i];
        }
    }
    return {};
}

// A whole number of an option; the message names the option and its value.
std::optional<QString> ReadNumber(const QCommandLineParser& parser,
                                  const QCommandLineOption& option, int& value) {
    const QString text = parser.value(option);
    const std::optional<int> number = ParseWholeNumber(text.toStdString());
    if (!number) {
        return S(kInvalidValuesMessage) + u'\r' + OptionLabel(option).section(u' ', 0, 0) + u' ' +
               text;
    }
    value = *number;
    return std::nullopt;
}

// The options of solve; the message of a value that is not a number, or of
// a number no run can take.
std::optional<QString> ReadSolve(const QCommandLineParser& parser,
                                 const CommandDefinition& definition, SolveRequest& solve) {
    // The command's option of that name; a command without it never sets it.
    const QCommandLineOption absent(QStringLiteral("absent-option"));
    const auto option = [&definition, &absent](const char* name) -> const QCommandLineOption& {
        for (const QCommandLineOption& candidate : definition.options) {
            if (candidate.names().front() == QLatin1String(name)) {
                return candidate;
            }
        }
        return absent;
    };
    const auto given = [&parser, &option, &absent](const char* name) {
        const QCommandLineOption& found = option(name);
        return &found != &absent && parser.isSet(found);
    };
    RunSettings& settings = solve.settings;
    const struct {
        const char* name;
        int* value;
        bool* given;
    } numbers[] = {
        {"n", &settings.solutions_requested, &solve.solutions_given},
        {"threads", &solve.threads, nullptr},
        {"attempts", &settings.attempts_per_class, nullptr},
        {"max-per-day", &settings.max_class_hours_per_day, nullptr},
        {"last-hours", &settings.last_hours_limit, &settings.last_hours_limit_on},
        {"day-hours", &settings.day_hours_limit, &settings.day_hours_limit_on},
    };
    for (const auto& number : numbers) {
        if (!given(number.name)) {
            continue;
        }
        if (auto problem = ReadNumber(parser, option(number.name), *number.value)) {
            return problem;
        }
        if (number.given != nullptr) {
            *number.given = true;
        }
    }
    const auto invalid = [&parser](const QCommandLineOption& refused) {
        return S(kInvalidValuesMessage) + QStringLiteral("\r--") + refused.names().front() + u' ' +
               parser.value(refused);
    };
    if (given("threads") && solve.threads < 1) {
        return invalid(option("threads"));  // 0 would mean every core
    }
    if (given("seed")) {
        bool ok = false;
        solve.seed = parser.value(option("seed")).toULongLong(&ok);
        if (!ok) {
            return invalid(option("seed"));
        }
    }
    if (given("time-limit")) {
        bool ok = false;
        solve.time_limit_seconds = parser.value(option("time-limit")).toDouble(&ok);
        if (!ok) {
            return invalid(option("time-limit"));
        }
    }
    solve.replace = given("replace");
    solve.check_timetable_possible = !given("no-checks");
    settings.no_single_hour_runs = given("no-single-runs");
    settings.four_hour_run_limit_on = given("max-four-in-a-row");
    settings.fewer_gaps = given("fewer-gaps");
    solve.engines = definition.name == std::string_view("check") ? SearchEngines::kRandom
                                                                 : SearchEngines::kBoth;
    if (given("search")) {
        const QString engine = parser.value(option("search"));
        if (engine == QLatin1String("random")) {
            solve.engines = SearchEngines::kRandom;
        } else if (engine == QLatin1String("exact")) {
            solve.engines = SearchEngines::kExact;
        } else if (engine == QLatin1String("both")) {
            solve.engines = SearchEngines::kBoth;
        } else {
            return invalid(option("search"));
        }
    }
    return std::nullopt;
}

// The parser's own error in the tool's language: an option without its value
// or a switch given one.
QString ParserError(const QString& error) {
    const QRegularExpressionMatch quoted =
        QRegularExpression(QStringLiteral("'([^']*)'")).match(error);
    const QString name = quoted.hasMatch() ? quoted.captured(1) : QString();
    if (error.startsWith(QLatin1String("Missing value"))) {
        return S("Λείπει η τιμή της επιλογής %1.").arg(name);
    }
    if (error.startsWith(QLatin1String("Unexpected value"))) {
        return S("Η επιλογή %1 δεν παίρνει τιμή.").arg(name);
    }
    return S("Λάθος στη γραμμή εντολής: %1").arg(error);
}

// Parses one command's line with its own parser. Returns the exit code when
// the command must not run: a usage error, a value that is not a number, or
// help (shown).
std::optional<int> ParseCommand(const CommandDefinition& definition, const QStringList& arguments,
                                CommandLine& line) {
    QCommandLineParser parser;
    const QCommandLineOption dir = DirOption();
    const QCommandLineOption help = HelpOption();
    parser.addOption(dir);
    parser.addOption(help);
    parser.addOptions(definition.options);
    const QString usage = CommandUsage(definition);
    if (!parser.parse(QStringList{QStringLiteral("taktirio-cli")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString& name = unknown.front();
            return UsageError(
                S("Η εντολή %1 δεν έχει την επιλογή %2.")
                    .arg(QLatin1String(definition.name),
                         (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name),
                usage);
        }
        return UsageError(ParserError(parser.errorText()), usage);
    }
    if (parser.isSet(help)) {
        Say(stdout, usage);
        return kExitOk;
    }
    line.command = QString::fromLatin1(definition.name);
    if (parser.isSet(dir)) {
        line.directory = parser.value(dir);
    }
    line.positional = parser.positionalArguments();
    line.positional.removeOne(line.command);  // the command's own name
    if (line.positional.size() > definition.most_positional) {
        return UsageError(S("Περισσότερα ορίσματα από όσα δέχεται η εντολή %1: %2")
                              .arg(QLatin1String(definition.name),
                                   line.positional.mid(definition.most_positional).join(u' ')),
                          usage);
    }
    if (line.positional.size() < definition.least_positional) {
        return UsageError(
            S("Λείπει το όρισμα %1 της εντολής %2.")
                .arg(QLatin1String(definition.synopsis), QLatin1String(definition.name)),
            usage);
    }
    for (const QCommandLineOption& option : definition.options) {
        const QString& name = option.names().front();
        QString* value = name == QLatin1String("school")        ? &line.school
                         : name == QLatin1String("responsible") ? &line.responsible
                         : name == QLatin1String("class")       ? &line.move.class_name
                         : name == QLatin1String("from")        ? &line.move.from
                         : name == QLatin1String("to")          ? &line.move.to
                         : name == QLatin1String("o")           ? &line.move.output
                                                                : nullptr;
        if (value != nullptr) {
            *value = parser.value(option);
        }
    }
    if (QLatin1String(definition.name) == QLatin1String("move")) {
        for (const char* needed : {"class", "from", "to"}) {
            if (!parser.isSet(QString::fromLatin1(needed))) {
                return UsageError(
                    S("Λείπει η επιλογή --%1 της εντολής move.").arg(QLatin1String(needed)), usage);
            }
        }
        // An empty name would otherwise read as no -o at all: the exchange
        // printed, nothing written, and success.
        if (parser.isSet(QStringLiteral("o")) && line.move.output.isEmpty()) {
            return UsageError(S("Η επιλογή -o της εντολής move θέλει το όνομα του αρχείου όπου "
                                "γράφεται η διορθωμένη λύση."),
                              usage);
        }
    }
    if (QLatin1String(definition.name) == QLatin1String("init")) {
        for (const char* needed : {"school", "responsible"}) {
            if (!parser.isSet(QString::fromLatin1(needed))) {
                return UsageError(
                    S("Λείπει η επιλογή --%1 της εντολής init.").arg(QLatin1String(needed)), usage);
            }
        }
    }
    if (!definition.options.isEmpty()) {
        if (const auto problem = ReadSolve(parser, definition, line.solve)) {
            Say(stderr, *problem);
            return kExitUsage;
        }
    }
    return std::nullopt;
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
    // Every command that opens an existing school only reads it.
    Database entry = Database::OpenForReading(paths.entry_database);
    const QString school = Login(entry.connection());
    Session session{entry.connection(), school};
    return {std::move(entry), session};
}

int Init(const CommandLine& line, const ProgramPaths& paths) {
    if (const QString problem = ProgramDirectoryProblem(paths.directory); !problem.isEmpty()) {
        Say(stderr, problem);
        return kExitFailure;
    }
    ProgramLock lock(paths.directory);
    lock.Lock();  // a second writer is refused (ProgramLockError)
    Database entry = Database::Open(paths.entry_database);
    Database working = Database::Open(paths.working_database);
    if (RegisteredSchoolCount(entry.connection()) > 0) {
        // One school per directory: said as such, not as a fault of the names.
        Say(stderr, S("Στο directory %1 έχει ήδη καταχωρηθεί σχολείο.\rΤα δεδομένα του "
                      "αντικαθίστανται με την εντολή import· για άλλο σχολείο δώσε άλλο "
                      "directory.")
                        .arg(QDir::toNativeSeparators(paths.directory)));
        return kExitRefused;
    }
    RegisterSchool(entry.connection(), line.school, line.responsible);
    Say(stdout, S(kRegistrationDoneMessage));
    return kExitOk;
}

int Import(const CommandLine& line, const ProgramPaths& paths) {
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
    Say(stdout,
        S("Τα δεδομένα του σχολείου καταχωρήθηκαν: %1, %2, %3.")
            .arg(QString::fromStdString(CountOf(document.classes.size(), "τμήμα", "τμήματα")),
                 QString::fromStdString(
                     CountOf(document.teachers.size(), "διδάσκων", "διδάσκοντες")),
                 QString::fromStdString(
                     CountOf(document.pairs.size(), "ζεύγος διδασκόντων", "ζεύγη διδασκόντων"))));
    return kExitOk;
}

int Export(const CommandLine& line, const ProgramPaths& paths) {
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
    OpenSchool open = OpenExisting(paths);
    // The counts and the conditions are read from one state of the school.
    const Transaction reading(open.session.db);
    const DataProblem problem = CheckBeforeSolving(open.session);
    if (problem != DataProblem::kNone) {
        Say(stderr, DataProblemMessage(problem));
        return kExitDataProblem;
    }
    return CheckTimetablePossible(open.session, line.solve.settings, line.solve.engines);
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
    if (line.command == QLatin1String("verify")) {
        const OpenSchool open = OpenExisting(paths);
        return VerifyPage(open.session, line.positional[0], line.solve.settings);
    }
    if (line.command == QLatin1String("move")) {
        const OpenSchool open = OpenExisting(paths);
        MoveLine move = line.move;
        move.page = line.positional[0];
        return MoveLesson(open.session, paths.directory, move, line.solve.settings);
    }
    return Solve(line.solve, paths);  // the parser knows no other command
}

}  // namespace

QString VersionLine() {
    return QStringLiteral("taktirio-cli ") + QString::fromLatin1(kVersionText);
}

QString UsageText() {
    QString text =
        QStringLiteral("Usage: taktirio-cli <command> [--dir DIR] [options]\n\nCommands:\n");
    for (const CommandDefinition& definition : Commands()) {
        text += Entry(CommandLabel(definition), S(definition.description));
    }
    text += QStringLiteral("\nOptions:\n") +
            OptionLines({DirOption(), HelpOption(),
                         Option({QStringLiteral("version")}, "show the program's version")});
    for (const CommandDefinition& definition : Commands()) {
        if (!definition.options.isEmpty()) {
            text += QStringLiteral("\nOptions of %1:\n").arg(QLatin1String(definition.name)) +
                    OptionLines(definition.options);
        }
    }
    text += QStringLiteral(
        "  Ctrl-C (or SIGTERM, SIGHUP) stops the run; the solutions found so far\n"
        "  are kept.\n");
    return text + u'\n' + S(kExitCodesText);
}

namespace {

int RunCommandLine(const QStringList& arguments, const QString& directory,
                   const ReportDrawer& draw) {
    if (const std::optional<int> code = RunPrintCommand(arguments, directory, draw)) {
        return *code;
    }
    const QString name = CommandName(arguments);
    if (name.isEmpty()) {
        if (arguments.contains(QLatin1String("--help")) ||
            arguments.contains(QLatin1String("-h"))) {
            Say(stdout, UsageText());
            return kExitOk;
        }
        if (arguments.contains(QLatin1String("--version"))) {
            Say(stdout, VersionLine());
            return kExitOk;
        }
        return UsageError(S("Δεν δόθηκε εντολή."), UsageText());
    }
    const CommandDefinition* definition = FindCommand(name);
    if (definition == nullptr || definition->own_parser) {
        return UsageError(S("Άγνωστη εντολή: %1").arg(name), UsageText());
    }
    CommandLine line;
    line.directory = directory;
    if (const std::optional<int> code = ParseCommand(*definition, arguments, line)) {
        return *code;
    }
    try {
        return Dispatch(line);
    } catch (const ImportError& error) {
        return Fail(error, kExitRefused);
    } catch (const EntryRefusedError& error) {
        return Fail(error, kExitRefused);
    } catch (const DataError& error) {
        return Fail(error, kExitFailure);
    }
}

}  // namespace

int RunCommand(const QStringList& arguments, const QString& directory, const ReportDrawer& draw) {
    try {
        return RunCommandLine(arguments, directory, draw);
    } catch (const std::bad_alloc&) {
        // An open transaction was rolled back on the way here.
        return SayOutOfMemory();
    }
}

}  // namespace taktirio::cli
