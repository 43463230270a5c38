#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <optional>

#include "data/database/errors.h"
#include "data/database/schema.h"

namespace taktirio::data {

// The print work tables live in their own file beside the program, shared by
// every school: each print empties and refills them from one solution page.
inline constexpr char kReportDatabaseFile[] = "REPORT.sqlite";
// "TAKR": a file of the school design is told apart from a work-table file.
inline constexpr int kReportApplicationId = 0x54414B52;
inline constexpr int kReportDesignVersion = 1;

// The value the general plan reading leaves in a common free hour's column.
inline constexpr char kCommonFreeHourMark[] = "K.KENH";

// TABLE1, TABLE2, TABLE3 and the summary's view Query1.
DatabaseDesign ReportDesign();

// <program directory>/REPORT.sqlite
QString ReportDatabasePath(const QString& directory);

// What one reading takes from a page. Each reading empties TABLE1 and TABLE2
// and refills them: the school header into TABLE2 and the timetables into
// TABLE1; the summary reading also replaces TABLE3.
enum class PrintReading {
    kClasses,      // "ΤΜΗΜΑ: " + class, cells = teachers
    kTeachers,     // "ΚΑΘΗΓΗΤΗΣ: " + teacher, cells = class sections
    kGeneralPlan,  // teacher, ordinal, cells = class sections or K.KENH, weekly hours
    kSummary,      // class alone, cells = teacher numbers; TABLE3 = the numbers' names
};

// A page could not be read: `message()` names the file and the line.
// The work tables still hold the previous reading.
class PageReadingError : public DataError {
  public:
    using DataError::DataError;
};

// Reads the page at `page_path` into the work tables in one transaction, so
// that a page that fails half-way leaves the previous reading's rows whole.
// `progress` receives the readers' progress texts (a timetable's name).
// Throws PageReadingError for a page that cannot be read, DatabaseError for
// a statement the database refuses.
void ReadIntoWorkTables(const QSqlDatabase& db, const QString& page_path, PrintReading reading,
                        const std::function<void(const QString&)>& progress = {});

// Holds the work tables for one print, from before its reading to its last
// query: every connection shares REPORT.sqlite, and another print's reading
// must not come between this print's reading and what it asks of it. Another
// print's hold waits for this one to end, up to `wait`; then DatabaseError
// (busy), with the file named. The hold ends with the object.
class WorkTablesHold {
  public:
    static constexpr std::chrono::milliseconds kWait{60000};
    explicit WorkTablesHold(const QSqlDatabase& db, std::chrono::milliseconds wait = kWait);
    WorkTablesHold(const WorkTablesHold&) = delete;
    WorkTablesHold& operator=(const WorkTablesHold&) = delete;
    ~WorkTablesHold();

  private:
    QSqlDatabase db_;
};

// One TABLE1 row (or Query1 row), as the layouts draw it.
struct WorkRow {
    QString name;                     // TABLENAME
    std::optional<int> ordinal;       // ID
    std::array<QString, 51> cells;    // [1..50]; empty where the column is null
    std::optional<int> weekly_hours;  // SYNOLO_WRES
};

// A summary number and the teacher text it stands for (TABLE3).
struct NumberedName {
    int number = 0;
    QString name;
};

// Everything a layout draws: the school header, the rows in reading order and,
// for the summary, the names of the numbers.
struct PrintTables {
    QString school_name;
    QString school_year;
    QList<WorkRow> rows;
    QList<NumberedName> names;
};

// The work tables as the last reading left them: TABLE2's header, TABLE1's
// rows (Query1's for the summary) and TABLE3.
PrintTables LoadPrintTables(const QSqlDatabase& db, PrintReading reading);

// One print's reading and what it asks of the work tables, under one
// WorkTablesHold: the page read in, then `ask` run before another print's
// reading may begin, so that the answer is this page's. Throws as
// ReadIntoWorkTables, the hold and `ask`.
template <typename Ask>
auto ReadAndAsk(const QSqlDatabase& db, const QString& page_path, PrintReading reading, Ask ask,
                const std::function<void(const QString&)>& progress = {}) {
    const WorkTablesHold hold(db);
    ReadIntoWorkTables(db, page_path, reading, progress);
    return ask();
}

// The page read into the work tables and loaded back for the layouts, as
// ReadAndAsk.
PrintTables ReadPrintTables(const QSqlDatabase& db, const QString& page_path, PrintReading reading,
                            const std::function<void(const QString&)>& progress = {});

// The teachers of a general plan reading with no lesson at `day` (1 Monday
// to 5 Friday) and `hour` (1 to 10): an empty cell or a common free hour, in
// the plan's order. Throws EntryRefusedError for a day or an hour outside
// those ranges.
QStringList FreeTeachers(const PrintTables& plan, int day, int hour);
// The same over the last general plan reading in the work tables.
QStringList FreeTeachers(const QSqlDatabase& db, int day, int hour);

// The names of the school's teachers whose absent day `day` (1 Monday to 5
// Friday) is, as the school entered them in the entry database, in name
// order. Throws EntryRefusedError for a day outside 1..5.
QStringList AbsentTeachers(const QSqlDatabase& entry, const QString& school, int day);

// Who can stand in at an hour: the plan's teachers with no lesson then,
// split into those at school that day and those whose absent day it is
// (`absent`: AbsentTeachers of that day). A pair is away when a member is.
// Both lists keep the plan's order.
struct FreeHourAnswer {
    QStringList at_school;
    QStringList absent;
};
FreeHourAnswer FreeTeachersAtSchool(const PrintTables& plan, int day, int hour,
                                    const QStringList& absent);

// The line under a free-hour answer that names the free teachers left out
// because they are absent that day; empty when there are none.
QString AbsentLeftOutLine(const QStringList& absent);

}  // namespace taktirio::data
