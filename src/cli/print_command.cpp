// taktirio-cli print and free, once the tool has read their command lines:
// a solution page read into the print work tables, then drawn into a PDF (by
// the drawing program) or asked which teachers are free at a day and hour.
// The same tables as the print windows.
#include "print_command.h"

#include <QFileInfo>
#include <cstdio>

#include "cli_commands.h"
#include "console.h"
#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/shell/program_files.h"
#include "data/shell/startup.h"

namespace taktirio::cli {

namespace {

using namespace taktirio::data;

QString S(const char* text) {
    return QString::fromUtf8(text);
}

int Usage() {
    Say(stderr, UsageText());
    return kExitUsage;
}

std::optional<PrintReading> ReadingNamed(const QString& kind) {
    if (kind == QLatin1String("classes")) {
        return PrintReading::kClasses;
    }
    if (kind == QLatin1String("teachers")) {
        return PrintReading::kTeachers;
    }
    if (kind == QLatin1String("plan")) {
        return PrintReading::kGeneralPlan;
    }
    if (kind == QLatin1String("summary")) {
        return PrintReading::kSummary;
    }
    return std::nullopt;
}

// SOLUTION3.htm, classes -> SOLUTION3-classes.pdf in the current directory.
QString DefaultOutput(const QString& page, const QString& kind) {
    return QFileInfo(page).completeBaseName() + u'-' + kind + QStringLiteral(".pdf");
}

// A page that is not a readable file is named before the work tables are
// opened.
bool PageReadable(const QString& page) {
    const QFileInfo info(page);
    if (info.isFile() && info.isReadable()) {
        return true;
    }
    Say(stderr, S("Το αρχείο %1 δεν μπορεί να διαβαστεί.").arg(page));
    return false;
}

// Why the PDF must not be written at `output`, or nothing: a report never
// replaces the program's own files nor the page it is drawn from.
QString OutputRefusal(const QString& directory, const QString& page, const QString& output) {
    const QString again = S("\rΔώσε άλλο όνομα αρχείου με την επιλογή -o.");
    if (IsProgramFile(directory, output)) {
        return S("Το αρχείο %1 είναι αρχείο του TAKTIRIO (βάση δεδομένων, κλείδωμα ή σελίδα "
                 "λύσης) και δεν αντικαθίσταται από μια εκτύπωση.")
                   .arg(output) +
               again;
    }
    if (IsSpecialFile(output)) {
        return S("Το %1 δεν είναι κανονικό αρχείο (είναι φάκελος, συσκευή ή σωλήνας) και δεν "
                 "αντικαθίσταται από μια εκτύπωση.")
                   .arg(output) +
               again;
    }
    if (FileWrittenAt(output) == FileWrittenAt(page)) {
        return S("Το αρχείο %1 είναι η σελίδα λύσης που εκτυπώνεται και δεν αντικαθίσταται "
                 "από την εκτύπωσή της.")
                   .arg(output) +
               again;
    }
    return {};
}

Database OpenWorkTables(const QString& directory) {
    return Database::Open(ReportDatabasePath(directory), ReportDesign());
}

// Print and free end their own failures: a page that cannot be read as a
// solution page is refused, any other fault of the files is a failure.
template <typename Work>
int Reporting(const Work& work) {
    try {
        return work();
    } catch (const PageReadingError& error) {
        Say(stderr, error.message());
        return kExitRefused;
    } catch (const DataError& error) {
        Say(stderr, error.message());
        return kExitFailure;
    }
}

int Print(const PrintLine& line, const ReportDrawer& draw) {
    const QString& kind = line.positional[0];
    const QString& page = line.positional[1];
    const std::optional<PrintReading> reading = ReadingNamed(kind);
    if (!reading) {
        return Usage();
    }
    if (!PageReadable(page)) {
        return kExitFailure;
    }
    const QString output = line.output.isEmpty() ? DefaultOutput(page, kind) : line.output;
    if (const QString refusal = OutputRefusal(line.directory, page, output); !refusal.isEmpty()) {
        Say(stderr, refusal);
        return kExitRefused;
    }
    return draw({line.directory, page, *reading, output});
}

int Free(const PrintLine& line) {
    if (line.day < 1 || line.day > 5 || line.hour < 1 || line.hour > 10) {
        Say(stderr, S("Μη αποδεκτές τιμές.\rΗ μέρα είναι από 1 (Δευτέρα) έως 5 (Παρασκευή) και "
                      "η ώρα από 1 έως 10."));
        return kExitUsage;
    }
    const QString& page = line.positional[0];
    if (!PageReadable(page)) {
        return kExitFailure;
    }
    Database db = OpenWorkTables(line.directory);
    const PrintTables plan = ReadPrintTables(db.connection(), page, PrintReading::kGeneralPlan);
    // Teachers absent that day, by the school's data when the directory has
    // it, are left out and named after the count.
    QStringList absent;
    const ProgramPaths paths = PathsFor(line.directory);
    if (QFileInfo::exists(paths.entry_database)) {
        const Database entry = Database::OpenForReading(paths.entry_database);
        absent = AbsentTeachers(entry.connection(), QString::fromLatin1(kAccessCode), line.day);
    }
    const FreeHourAnswer free = FreeTeachersAtSchool(plan, line.day, line.hour, absent);
    for (const QString& teacher : free.at_school) {
        Say(stdout, teacher);
    }
    Say(stdout, S("Συνολικός αριθμός=") + QString::number(free.at_school.size()));
    if (const QString left_out = AbsentLeftOutLine(free.absent); !left_out.isEmpty()) {
        Say(stdout, left_out);
    }
    return kExitOk;
}

}  // namespace

int PrintReport(const PrintLine& line, const ReportDrawer& draw) {
    return Reporting([&line, &draw] { return Print(line, draw); });
}

int FreeTeachers(const PrintLine& line) {
    return Reporting([&line] { return Free(line); });
}

}  // namespace taktirio::cli
