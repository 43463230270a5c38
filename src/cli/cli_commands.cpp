#include "cli_commands.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <new>
#include <optional>

#include "check_command.h"
#include "console.h"
#include "core/calendar/church_calendar.h"
#include "core/common/version.h"
#include "core/run/run_settings.h"
#include "core/text/wording.h"
#include "data/checks/presolve.h"
#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/exchange/exchange.h"
#include "data/shell/program_lock.h"
#include "data/shell/startup.h"
#include "move_command.h"
#include "print_command.h"
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

// A parsed command line: the directory, the positional arguments, and where
// each command's options are bound.
struct CommandLine {
    QString directory;
    QStringList positional;
    QString school;
    QString responsible;
    SolveRequest solve;
    MoveLine move;
    PrintLine print;
    const ReportDrawer* draw = nullptr;
};

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
int Easter(const CommandLine& line, const ProgramPaths& /*paths*/) {
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

int Verify(const CommandLine& line, const ProgramPaths& paths) {
    const OpenSchool open = OpenExisting(paths);
    return VerifyPage(open.session, line.positional[0], line.solve.settings);
}

int Move(const CommandLine& line, const ProgramPaths& paths) {
    const OpenSchool open = OpenExisting(paths);
    MoveLine move = line.move;
    move.page = line.positional[0];
    return MoveLesson(open.session, paths.directory, move, line.solve.settings);
}

int SolveSchool(const CommandLine& line, const ProgramPaths& paths) {
    return Solve(line.solve, paths);
}

// The line of print and free: their options, the directory and the
// positional arguments.
PrintLine PrintLineOf(const CommandLine& line) {
    PrintLine print = line.print;
    print.directory = line.directory;
    print.positional = line.positional;
    return print;
}

int Print(const CommandLine& line, const ProgramPaths& /*paths*/) {
    return PrintReport(PrintLineOf(line), *line.draw);
}

int Free(const CommandLine& line, const ProgramPaths& /*paths*/) {
    return FreeTeachers(PrintLineOf(line));
}

// Takes an option's value into the command line; false when the value is
// not one the option accepts. A switch is given an empty value.
using Binding = bool (*)(CommandLine& line, const QString& value);

// One option of a command: its names, its value's name (none for a switch),
// its help (none: the command's synopsis names it and the usage lists it
// not) and how it binds to the command line.
struct OptionEntry {
    QStringList names = {};
    const char* value_name = nullptr;
    const char* help = nullptr;
    Binding bind = nullptr;
    bool required = false;
    // The message when the value is empty, for an option whose empty value
    // would read as the option not given.
    const char* empty_refusal = nullptr;
};

using Handler = int (*)(const CommandLine& line, const ProgramPaths& paths);

// One command of the tool: what follows its name, what it does, the options
// it takes besides --dir and --help, and what runs it. The usage texts are
// made from these, and the parser takes exactly these options.
struct CommandEntry {
    const char* name;
    const char* synopsis;
    const char* description;  // lines joined by "\n"
    QList<OptionEntry> options = {};
    int least_positional = 0;
    int most_positional = 0;
    Handler handler = nullptr;
    SearchEngines engines = SearchEngines::kBoth;  // without --search
    const char* note = nullptr;                    // a paragraph after the command's options
    // Its help and its usage errors are the tool's whole usage, without a
    // message (print and free).
    bool whole_usage = false;
};

QString DashedName(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QCommandLineOption ParserOption(const OptionEntry& entry) {
    return entry.value_name == nullptr
               ? QCommandLineOption(entry.names)
               : QCommandLineOption(entry.names, QString(), QString::fromLatin1(entry.value_name));
}

// Whole numbers of the run's options, checked as numbers only: the ranges
// are the run's to judge.
template <auto Set>
bool WholeNumber(CommandLine& line, const QString& value) {
    const std::optional<int> number = ParseWholeNumber(value.toStdString());
    if (number) {
        Set(line, *number);
    }
    return number.has_value();
}

// The day and hour of free, read as the print windows read them.
template <int PrintLine::*Field>
bool PrintNumber(CommandLine& line, const QString& value) {
    bool ok = false;
    line.print.*Field = value.toInt(&ok);
    return ok;
}

template <QString CommandLine::*Field>
bool Text(CommandLine& line, const QString& value) {
    line.*Field = value;
    return true;
}

template <QString MoveLine::*Field>
bool MoveText(CommandLine& line, const QString& value) {
    line.move.*Field = value;
    return true;
}

template <bool RunSettings::*Field>
bool SettingOn(CommandLine& line, const QString& /*value*/) {
    line.solve.settings.*Field = true;
    return true;
}

bool Engines(CommandLine& line, const QString& value) {
    if (value == QLatin1String("random")) {
        line.solve.engines = SearchEngines::kRandom;
    } else if (value == QLatin1String("exact")) {
        line.solve.engines = SearchEngines::kExact;
    } else if (value == QLatin1String("both")) {
        line.solve.engines = SearchEngines::kBoth;
    } else {
        return false;
    }
    return true;
}

OptionEntry DirOption() {
    return {.names = {QStringLiteral("dir")},
            .value_name = "DIR",
            .help =
                "program directory holding DATA2.sqlite, DATA.sqlite and\n"
                "SOLUTIONS (default: the current directory)",
            .bind = Text<&CommandLine::directory>};
}

OptionEntry HelpOption() {
    return {.names = {QStringLiteral("help"), QStringLiteral("h")}, .help = "show this text"};
}

// The placement options of a run, which check and verify take as well.
QList<OptionEntry> PlacementOptions() {
    return {{{QStringLiteral("max-per-day")},
             "N",
             "most hours of a teacher in one class section a day, 2 or 3",
             WholeNumber<[](CommandLine& line, int n) {
                 line.solve.settings.max_class_hours_per_day = n;
             }>},
            {{QStringLiteral("last-hours")},
             "N",
             "most last-hour lessons of a teacher a week, 1 to 4",
             WholeNumber<[](CommandLine& line, int n) {
                 line.solve.settings.last_hours_limit = n;
                 line.solve.settings.last_hours_limit_on = true;
             }>},
            {{QStringLiteral("day-hours")},
             "N",
             "most hours of a teacher a day, 5 to 10",
             WholeNumber<[](CommandLine& line, int n) {
                 line.solve.settings.day_hours_limit = n;
                 line.solve.settings.day_hours_limit_on = true;
             }>},
            {{QStringLiteral("no-single-runs")},
             nullptr,
             "no one-hour lessons in consecutive hours of a class",
             SettingOn<&RunSettings::no_single_hour_runs>},
            {{QStringLiteral("max-four-in-a-row")},
             nullptr,
             "no teacher teaches five hours in a row",
             SettingOn<&RunSettings::four_hour_run_limit_on>}};
}

OptionEntry SearchOption(const char* help) {
    return {{QStringLiteral("search")}, "ENGINE", help, Engines};
}

QList<OptionEntry> SolveOptions() {
    return QList<OptionEntry>{
               {{QStringLiteral("n")},
                "N",
                "solutions to find, 1 to 254 (default: the number stored\nfor the school)",
                WholeNumber<[](CommandLine& line, int n) {
                    line.solve.settings.solutions_requested = n;
                    line.solve.solutions_given = true;
                }>},
               {{QStringLiteral("seed")},
                "S",
                "random stream of the run (printed at the start; with\n"
                "--threads 1 the same S repeats the same run)",
                [](CommandLine& line, const QString& value) {
                    bool ok = false;
                    line.solve.seed = value.toULongLong(&ok);
                    return ok;
                }},
               {{QStringLiteral("threads")},
                "N",
                "worker threads, 1 to 256 (default: every core)",
                [](CommandLine& line, const QString& value) {
                    // 0 would mean every core.
                    return WholeNumber<[](CommandLine& l, int n) { l.solve.threads = n; }>(line,
                                                                                           value) &&
                           line.solve.threads >= 1;
                }},
               {{QStringLiteral("time-limit")},
                "S",
                "stop after S seconds, at most 2592000 (30 days)",
                [](CommandLine& line, const QString& value) {
                    bool ok = false;
                    line.solve.time_limit_seconds = value.toDouble(&ok);
                    return ok;
                }},
               {{QStringLiteral("replace")},
                nullptr,
                "delete the previous pages without asking",
                [](CommandLine& line, const QString& /*value*/) {
                    line.solve.replace = true;
                    return true;
                }},
               {{QStringLiteral("no-checks")},
                nullptr,
                "search even when the checks before a search find why\n"
                "there can be no timetable",
                [](CommandLine& line, const QString& /*value*/) {
                    line.solve.check_timetable_possible = false;
                    return true;
                }},
               {{QStringLiteral("attempts")},
                "N",
                "starts of one class section before an attempt is given\n"
                "up, 1000 to 30000 (default 2000)",
                WholeNumber<[](CommandLine& line, int n) {
                    line.solve.settings.attempts_per_class = n;
                }>},
               {{QStringLiteral("fewer-gaps")},
                nullptr,
                "rework each timetable found toward fewer teacher gaps,\n"
                "under the same rules, before its page is written",
                SettingOn<&RunSettings::fewer_gaps>},
               SearchOption("random, exact or both; both: the randomised search, then the "
                            "exact one\non one thread once it keeps failing (default)")} +
           PlacementOptions();
}

const QList<CommandEntry>& Commands() {
    static const QList<CommandEntry> commands = {
        {.name = "init",
         .synopsis = "--school NAME --responsible NAME",
         .description = "create the databases and register the school",
         .options = {{.names = {QStringLiteral("school")},
                      .value_name = "NAME",
                      .help = "the school's name",
                      .bind = Text<&CommandLine::school>,
                      .required = true},
                     {.names = {QStringLiteral("responsible")},
                      .value_name = "NAME",
                      .help = "the person responsible for the timetable",
                      .bind = Text<&CommandLine::responsible>,
                      .required = true}},
         .handler = Init},
        {.name = "import",
         .synopsis = "FILE",
         .description = "load a school exchange file (JSON); creates the databases\n"
                        "and registers the school when there are none, otherwise\n"
                        "replaces the registered school's data",
         .least_positional = 1,
         .most_positional = 1,
         .handler = Import},
        {.name = "export",
         .synopsis = "[FILE]",
         .description = "write the school exchange file (standard output without FILE)",
         .most_positional = 1,
         .handler = Export},
        {.name = "check",
         .synopsis = "",
         .description = "the checks before solving, under the placement options of\n"
                        "solve; exit code 1 with every reason why no timetable exists",
         .options = QList<OptionEntry>{SearchOption(
                        "random, exact or both; random: the counting checks (default);\n"
                        "exact: a proof by the exact search that a timetable\n"
                        "exists or not, with the reasons; both: the two")} +
                    PlacementOptions(),
         .handler = Check,
         .engines = SearchEngines::kRandom},
        {.name = "solve",
         .synopsis = "",
         .description = "check, prepare and load the school, then search for\n"
                        "timetables and write them as pages under SOLUTIONS/<user>",
         .options = SolveOptions(),
         .handler = SolveSchool,
         .note = "  Ctrl-C (or SIGTERM, SIGHUP) stops the run; the solutions found so far\n"
                 "  are kept.\n"},
        {.name = "easter",
         .synopsis = "YEAR",
         .description = "the Orthodox Easter Sunday of YEAR (1583 to 2100) in the\n"
                        "Gregorian calendar, as YYYY-MM-DD",
         .most_positional = 1,
         .handler = Easter},
        {.name = "print",
         .synopsis = "classes|teachers|plan|summary PAGE [-o FILE.pdf]",
         .description = "read the solution page PAGE into REPORT.sqlite and write\n"
                        "the report as a PDF (default: PAGE-KIND.pdf in the current\n"
                        "directory); plan gives the seven strips A to H, summary\n"
                        "both parts",
         .options = {{.names = {QStringLiteral("o")},
                      .value_name = "FILE.pdf",
                      .bind =
                          [](CommandLine& line, const QString& value) {
                              line.print.output = value;
                              return true;
                          }}},
         .least_positional = 2,
         .most_positional = 2,
         .handler = Print,
         .whole_usage = true},
        {.name = "free",
         .synopsis = "PAGE --day N --hour N",
         .description = "the teachers with no lesson on day N (1 Monday to 5 Friday)\n"
                        "at hour N (1 to 10), one a line, and their count; those\n"
                        "absent that day in the school's data are named after it",
         .options = {{.names = {QStringLiteral("day")},
                      .value_name = "N",
                      .bind = PrintNumber<&PrintLine::day>,
                      .required = true},
                     {.names = {QStringLiteral("hour")},
                      .value_name = "N",
                      .bind = PrintNumber<&PrintLine::hour>,
                      .required = true}},
         .least_positional = 1,
         .most_positional = 1,
         .handler = Free,
         .whole_usage = true},
        {.name = "move",
         .synopsis = "PAGE --class NAME --from D,H --to D,H",
         .description = "move a lesson of a solution page by hand: the exchange\n"
                        "that takes it there keeping every rule under the placement\n"
                        "options of solve (exit 0), or the rules that block it\n"
                        "(exit 1); -o writes the changed solution as a new page",
         .options = QList<OptionEntry>{{.names = {QStringLiteral("class")},
                                        .value_name = "NAME",
                                        .help = "the class section of the lesson",
                                        .bind = MoveText<&MoveLine::class_name>,
                                        .required = true},
                                       {.names = {QStringLiteral("from")},
                                        .value_name = "D,H",
                                        .help = "where the lesson is: day 1 to 5, hour 1 to 10",
                                        .bind = MoveText<&MoveLine::from>,
                                        .required = true},
                                       {.names = {QStringLiteral("to")},
                                        .value_name = "D,H",
                                        .help = "where it goes in the same class section",
                                        .bind = MoveText<&MoveLine::to>,
                                        .required = true},
                                       {.names = {QStringLiteral("o")},
                                        .value_name = "FILE",
                                        .help = "write the changed solution page to FILE",
                                        .bind = MoveText<&MoveLine::output>,
                                        .empty_refusal =
                                            "Η επιλογή -o της εντολής move θέλει το όνομα του "
                                            "αρχείου όπου γράφεται η διορθωμένη λύση."}} +
                    PlacementOptions(),
         .least_positional = 1,
         .most_positional = 1,
         .handler = Move},
        {.name = "verify",
         .synopsis = "PAGE",
         .description = "check a solution page against the school's data under\n"
                        "the placement options of solve; lists every rule it breaks",
         .options = PlacementOptions(),
         .least_positional = 1,
         .most_positional = 1,
         .handler = Verify},
    };
    return commands;
}

const CommandEntry* FindCommand(const QString& name) {
    for (const CommandEntry& entry : Commands()) {
        if (name == QLatin1String(entry.name)) {
            return &entry;
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

QString OptionLabel(const OptionEntry& option) {
    QStringList names;
    for (const QString& name : option.names) {
        names.append(DashedName(name));
    }
    QString label = names.join(QStringLiteral(", "));
    if (option.value_name != nullptr) {
        label += u' ' + QString::fromLatin1(option.value_name);
    }
    return label;
}

// The options that the usage lists: those with a help of their own.
QString OptionLines(const QList<OptionEntry>& options) {
    QString text;
    for (const OptionEntry& option : options) {
        if (option.help != nullptr) {
            text += Entry(OptionLabel(option), S(option.help));
        }
    }
    return text;
}

QString CommandLabel(const CommandEntry& entry) {
    const QString synopsis = QString::fromLatin1(entry.synopsis);
    return QString::fromLatin1(entry.name) + (synopsis.isEmpty() ? QString() : u' ' + synopsis);
}

const char kExitCodesText[] =
    "Exit codes: 0 done (solve: every solution found), 1 data problem,\n"
    "2 usage error or unacceptable values, 3 input refused, 4 database or file\n"
    "problem, 5 solve stopped with some solutions found, 6 solve found none,\n"
    "7 out of memory, 8 verify: another school's page, 9 verify: names the school\n"
    "does not have, 10 verify: not a solution page or a damaged one (1: rules broken).";

// The usage text of one command.
QString CommandUsage(const CommandEntry& entry) {
    QString text = QStringLiteral("Usage: taktirio-cli ") + CommandLabel(entry) +
                   QStringLiteral(" [--dir DIR]") +
                   (entry.options.isEmpty() || QString::fromLatin1(entry.synopsis).contains(u'-')
                        ? QString()
                        : QStringLiteral(" [options]")) +
                   QStringLiteral("\n\n");
    text += Entry(QString::fromLatin1(entry.name), S(entry.description));
    text += QStringLiteral("\nOptions:\n") + OptionLines(entry.options) +
            OptionLines({DirOption(), HelpOption()});
    if (entry.note != nullptr) {
        text += QString::fromLatin1(entry.note);
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

// Why the parser refused a line that names no unknown option, from what it
// found: an option that takes a value found more often than its values (a
// value missing at the end of the line), otherwise a switch given a value
// with '=', which is named as it was written.
QString RefusedLine(const QCommandLineParser& parser, const QList<OptionEntry>& options,
                    const QStringList& arguments) {
    for (const OptionEntry& option : options) {
        if (option.value_name == nullptr) {
            continue;
        }
        qsizetype found = 0;
        for (const QString& name : option.names) {
            found += parser.optionNames().count(name);
        }
        if (found > parser.values(option.names.front()).size()) {
            // Only the line's last argument can miss its value: it is named
            // as it was written (--n or -n).
            const QString& last = arguments.back();
            const bool written = last.startsWith(u'-') &&
                                 option.names.contains(last.mid(last.startsWith(u"--") ? 2 : 1));
            return S("Λείπει η τιμή της επιλογής %1.")
                .arg(written ? last : DashedName(option.names.front()));
        }
    }
    for (const QString& argument : arguments) {
        if (!argument.startsWith(u'-') || !argument.contains(u'=')) {
            continue;
        }
        const QString written = argument.section(u'=', 0, 0);
        const QString name = written.mid(written.startsWith(u"--") ? 2 : 1);
        for (const OptionEntry& option : options) {
            if (option.value_name == nullptr && option.names.contains(name)) {
                return S("Η επιλογή %1 δεν παίρνει τιμή.").arg(written);
            }
        }
    }
    return S("Λάθος στη γραμμή εντολής.");
}

// A command's usage error: the message and the command's usage, or the
// tool's whole usage alone for a command that shows it.
int CommandUsageError(const CommandEntry& entry, const QString& what) {
    if (entry.whole_usage) {
        Say(stderr, UsageText());
        return kExitUsage;
    }
    return UsageError(what, CommandUsage(entry));
}

// Parses one command's line by its entry and binds the options into `line`.
// Returns the exit code when the command must not run: a usage error, a
// value the option does not accept, or help (shown).
std::optional<int> ParseCommand(const CommandEntry& entry, const QStringList& arguments,
                                CommandLine& line) {
    const QList<OptionEntry> options =
        QList<OptionEntry>{DirOption(), HelpOption()} + entry.options;
    QCommandLineParser parser;
    for (const OptionEntry& option : options) {
        parser.addOption(ParserOption(option));
    }
    const QString name = QString::fromLatin1(entry.name);
    if (!parser.parse(QStringList{QStringLiteral("taktirio-cli")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        return CommandUsageError(
            entry,
            unknown.isEmpty()
                ? RefusedLine(parser, options, arguments)
                : S("Η εντολή %1 δεν έχει την επιλογή %2.").arg(name, DashedName(unknown.front())));
    }
    if (parser.isSet(QStringLiteral("help"))) {
        Say(stdout, entry.whole_usage ? UsageText() : CommandUsage(entry));
        return kExitOk;
    }
    line.positional = parser.positionalArguments();
    line.positional.removeOne(name);  // the command's own name
    if (line.positional.size() > entry.most_positional) {
        return CommandUsageError(
            entry, S("Περισσότερα ορίσματα από όσα δέχεται η εντολή %1: %2")
                       .arg(name, line.positional.mid(entry.most_positional).join(u' ')));
    }
    if (line.positional.size() < entry.least_positional) {
        return CommandUsageError(
            entry,
            S("Λείπει το όρισμα %1 της εντολής %2.").arg(QLatin1String(entry.synopsis), name));
    }
    for (const OptionEntry& option : options) {
        const QString& option_name = option.names.front();
        if (option.required && !parser.isSet(option_name)) {
            return CommandUsageError(
                entry, S("Λείπει η επιλογή %1 της εντολής %2.").arg(DashedName(option_name), name));
        }
    }
    for (const OptionEntry& option : options) {
        if (option.empty_refusal != nullptr && parser.isSet(option.names.front()) &&
            parser.value(option.names.front()).isEmpty()) {
            return CommandUsageError(entry, S(option.empty_refusal));
        }
    }
    line.solve.engines = entry.engines;
    for (const OptionEntry& option : options) {
        const QString& option_name = option.names.front();
        if (option.bind == nullptr || !parser.isSet(option_name)) {
            continue;
        }
        const QString value = parser.value(option_name);
        if (!option.bind(line, value)) {
            if (entry.whole_usage) {
                return CommandUsageError(entry, QString());
            }
            // A value of the wrong kind is no misuse of the command: its
            // usage is not repeated.
            Say(stderr, S(kInvalidValuesMessage) + u'\r' + DashedName(option_name) + u' ' + value);
            return kExitUsage;
        }
    }
    return std::nullopt;
}

}  // namespace

QString VersionLine() {
    return QStringLiteral("taktirio-cli ") + QString::fromLatin1(kVersionText);
}

QString UsageText() {
    QString text =
        QStringLiteral("Usage: taktirio-cli <command> [--dir DIR] [options]\n\nCommands:\n");
    for (const CommandEntry& entry : Commands()) {
        text += Entry(CommandLabel(entry), S(entry.description));
    }
    text +=
        QStringLiteral("\nOptions:\n") +
        OptionLines({DirOption(),
                     HelpOption(),
                     {.names = {QStringLiteral("version")}, .help = "show the program's version"}});
    for (const CommandEntry& entry : Commands()) {
        if (const QString lines = OptionLines(entry.options); !lines.isEmpty()) {
            text += QStringLiteral("\nOptions of %1:\n").arg(QLatin1String(entry.name)) + lines;
        }
    }
    for (const CommandEntry& entry : Commands()) {
        if (entry.note != nullptr) {
            text += QString::fromLatin1(entry.note);
        }
    }
    return text + u'\n' + S(kExitCodesText);
}

namespace {

int RunCommandLine(const QStringList& arguments, const QString& directory,
                   const ReportDrawer& draw) {
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
    const CommandEntry* entry = FindCommand(name);
    if (entry == nullptr) {
        return UsageError(S("Άγνωστη εντολή: %1").arg(name), UsageText());
    }
    CommandLine line;
    line.directory = directory;
    line.draw = &draw;
    if (const std::optional<int> code = ParseCommand(*entry, arguments, line)) {
        return *code;
    }
    try {
        return entry->handler(line, PathsFor(line.directory));
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
