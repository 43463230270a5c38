// The print work tables: created with their design in REPORT.sqlite, filled
// from one solution page per reading by a PageSink, and read back for the
// layouts and the free-hour question.
#include "data/reports/work_tables.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "core/pages/page_errors.h"
#include "core/pages/solution_page_reader.h"
#include "core/solver/slots.h"
#include "data/database/database.h"
#include "data/entry/base_lists.h"
#include "data/entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString Column(int column) {
    return QStringLiteral("[%1]").arg(column);
}

// "[1], [2], …, [50]"
QString SlotColumns() {
    QStringList columns;
    for (int c = 1; c <= kSlots; ++c) {
        columns.append(Column(c));
    }
    return columns.join(QStringLiteral(", "));
}

QStringList ReportStatements() {
    QStringList slot_definitions;
    for (int c = 1; c <= kSlots; ++c) {
        slot_definitions.append(Column(c) + QStringLiteral(" TEXT"));
    }
    return {
        QStringLiteral("CREATE TABLE TABLE1 (TABLENAME TEXT, ID INTEGER, %1, SYNOLO_WRES INTEGER)")
            .arg(slot_definitions.join(QStringLiteral(", "))),
        // The common free hours are marked row by row by teacher name.
        QStringLiteral("CREATE INDEX TABLE1_TABLENAME ON TABLE1 (TABLENAME)"),
        QStringLiteral("CREATE TABLE TABLE2 (SCHOOL_NAME TEXT, ETOS TEXT)"),
        QStringLiteral("CREATE TABLE TABLE3 (ID INTEGER PRIMARY KEY, ONOMA TEXT)"),
        // The summary layouts' rows: the classes of the summary reading in
        // page order, with their teacher numbers.
        QStringLiteral("CREATE VIEW Query1 AS SELECT rowid AS ROW_ORDER, TABLENAME, %1 FROM TABLE1")
            .arg(SlotColumns()),
    };
}

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

// Turns what the readers deliver into rows of the work tables.
class WorkTablesSink : public PageSink {
  public:
    WorkTablesSink(const QSqlDatabase& db, const std::function<void(const QString&)>& progress)
        : db_(db), progress_(progress) {
        QStringList marks;
        for (int c = 0; c < kSlots + 3; ++c) {
            marks.append(QStringLiteral("?"));
        }
        insert_row_ =
            QStringLiteral("INSERT INTO TABLE1 (TABLENAME, ID, %1, SYNOLO_WRES) VALUES (%2)")
                .arg(SlotColumns(), marks.join(QStringLiteral(", ")));
    }

    void Row(const PageRow& row) override {
        QVariantList values;
        values.reserve(kSlots + 3);
        values.append(FromStd(row.table_name));
        values.append(row.ordinal ? QVariant(*row.ordinal) : QVariant());
        for (int c = 1; c <= kSlots; ++c) {
            const std::string& cell = row.cells[static_cast<std::size_t>(c)];
            values.append(cell.empty() ? QVariant() : QVariant(FromStd(cell)));
        }
        values.append(row.weekly_hours ? QVariant(*row.weekly_hours) : QVariant());
        Run(db_, insert_row_, values);
    }

    void Header(const SchoolHeader& header) override {
        Run(db_, QStringLiteral("INSERT INTO TABLE2 (SCHOOL_NAME, ETOS) VALUES (?, ?)"),
            {FromStd(header.school_name), FromStd(header.school_year)});
    }

    void CommonFreeHour(const std::string& teacher_name, int column) override {
        if (!IsSlot(column)) {
            return;
        }
        Run(db_, QStringLiteral("UPDATE TABLE1 SET %1 = ? WHERE TABLENAME = ?").arg(Column(column)),
            {S(kCommonFreeHourMark), FromStd(teacher_name)});
    }

    // Entry k of the list is teacher number k; entry 0 is always empty.
    void SummaryNames(const std::vector<std::string>& names) override {
        for (std::size_t k = 1; k < names.size(); ++k) {
            Run(db_, QStringLiteral("INSERT INTO TABLE3 (ID, ONOMA) VALUES (?, ?)"),
                {static_cast<int>(k), FromStd(names[k]).trimmed()});
        }
    }

    void Progress(const std::string& text) override {
        if (progress_) {
            progress_(FromStd(text));
        }
    }

  private:
    QSqlDatabase db_;
    std::function<void(const QString&)> progress_;
    QString insert_row_;
};

PageReadingError ReadingFailure(const QString& page_path, const PageReadError& error) {
    const QString file = QDir::toNativeSeparators(page_path);
    const QString kept = S("\rΟι πίνακες εκτύπωσης κρατούν την προηγούμενη ανάγνωση.");
    const QString cause = QString::fromStdString(error.explanation());
    if (error.line() == 0) {
        return PageReadingError(
            S("Το αρχείο %1 δεν μπορεί να διαβαστεί (%2).").arg(file, cause) + kept,
            QString::fromStdString(error.what()));
    }
    return PageReadingError(S("Η ανάγνωση της λύσης %1 σταμάτησε στη γραμμή %2: το αρχείο δεν "
                              "έχει τη μορφή σελίδας λύσης του TAKTIRIO (%3).")
                                    .arg(file)
                                    .arg(error.line())
                                    .arg(cause) +
                                kept,
                            QString::fromStdString(error.what()));
}

void RunReaders(SolutionPageReader& reader, PrintReading reading, PageSink& sink) {
    // Every print carries the school's name and year, so each reading
    // refreshes TABLE2 before its timetables.
    reader.ReadSchoolHeader(sink);
    switch (reading) {
        case PrintReading::kClasses:
            reader.ReadClassTables(sink);
            break;
        case PrintReading::kTeachers:
            reader.ReadTeacherTables(sink);
            break;
        case PrintReading::kGeneralPlan:
            reader.ReadGeneralPlanTeachers(sink);
            reader.MarkCommonFreeHours(sink);
            break;
        case PrintReading::kSummary:
            reader.ReadSummaryTables(sink);
            break;
    }
}

WorkRow RowOf(const QSqlQuery& query) {
    WorkRow row;
    row.name = query.value(0).toString();
    if (!query.value(1).isNull()) {
        row.ordinal = query.value(1).toInt();
    }
    for (int c = 1; c <= kSlots; ++c) {
        row.cells[static_cast<std::size_t>(c)] = query.value(1 + c).toString();
    }
    if (!query.value(kSlots + 2).isNull()) {
        row.weekly_hours = query.value(kSlots + 2).toInt();
    }
    return row;
}

}  // namespace

DatabaseDesign ReportDesign() {
    return {
        .application_id = kReportApplicationId,
        .version = kReportDesignVersion,
        .statements = ReportStatements(),
        .tables = {QStringLiteral("TABLE1"), QStringLiteral("TABLE2"), QStringLiteral("TABLE3")},
        .views = {QStringLiteral("Query1")},
        .work_file = true};
}

QString ReportDatabasePath(const QString& directory) {
    return QDir(directory).absoluteFilePath(QString::fromLatin1(kReportDatabaseFile));
}

void ReadIntoWorkTables(const QSqlDatabase& db, const QString& page_path, PrintReading reading,
                        const std::function<void(const QString&)>& progress) {
    try {
        SolutionPageReader reader =
            SolutionPageReader::Open(QFile::encodeName(page_path).toStdString());
        Transaction transaction(db);
        Run(db, QStringLiteral("DELETE FROM TABLE1"));
        Run(db, QStringLiteral("DELETE FROM TABLE2"));
        if (reading == PrintReading::kSummary) {
            Run(db, QStringLiteral("DELETE FROM TABLE3"));
        }
        WorkTablesSink sink(db, progress);
        RunReaders(reader, reading, sink);
        transaction.Commit();
    } catch (const PageReadError& error) {
        throw ReadingFailure(page_path, error);
    }
}

PrintTables LoadPrintTables(const QSqlDatabase& db, PrintReading reading) {
    PrintTables tables;
    if (const QList<QStringList> header =
            Rows(db, QStringLiteral("SELECT SCHOOL_NAME, ETOS FROM TABLE2 ORDER BY rowid LIMIT 1"));
        !header.isEmpty()) {
        tables.school_name = header[0][0];
        tables.school_year = header[0][1];
    }
    const QString sql =
        reading == PrintReading::kSummary
            ? QStringLiteral("SELECT TABLENAME, NULL, %1, NULL FROM Query1 ORDER BY ROW_ORDER")
            : QStringLiteral("SELECT TABLENAME, ID, %1, SYNOLO_WRES FROM TABLE1 ORDER BY rowid");
    QSqlQuery rows = Run(db, sql.arg(SlotColumns()));
    while (rows.next()) {
        tables.rows.append(RowOf(rows));
    }
    if (reading == PrintReading::kSummary) {
        QSqlQuery names = Run(db, QStringLiteral("SELECT ID, ONOMA FROM TABLE3 ORDER BY ID"));
        while (names.next()) {
            tables.names.append({names.value(0).toInt(), names.value(1).toString()});
        }
    }
    return tables;
}

WorkTablesHold::WorkTablesHold(const QSqlDatabase& db, std::chrono::milliseconds wait) : db_(db) {
    // A reading takes the write lock at once rather than at its first
    // change, so that two prints queue here instead of failing half-way.
    Run(db_, QStringLiteral("PRAGMA busy_timeout = %1").arg(wait.count()));
    Run(db_, QStringLiteral("BEGIN IMMEDIATE"));
}

WorkTablesHold::~WorkTablesHold() {
    // What was read is committed when the hold ends, however it ends: a
    // reading that failed has rolled its own changes back already.
    QSqlQuery commit(db_);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        QSqlQuery rollback(db_);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
    QSqlQuery restore(db_);
    restore.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(kDatabaseBusyTimeoutMs));
}

PrintTables ReadPrintTables(const QSqlDatabase& db, const QString& page_path, PrintReading reading,
                            const std::function<void(const QString&)>& progress) {
    return ReadAndAsk(
        db, page_path, reading, [&db, reading] { return LoadPrintTables(db, reading); }, progress);
}

QStringList FreeTeachers(const PrintTables& plan, int day, int hour) {
    if (day < 1 || day > kDays || hour < 1 || hour > kMaxHoursPerDay) {
        throw EntryRefusedError(S("Μη αποδεκτές τιμές."),
                                QStringLiteral("day %1, hour %2").arg(day).arg(hour));
    }
    const auto column = static_cast<std::size_t>(SlotOf(day, hour));
    const QString mark = S(kCommonFreeHourMark);
    QStringList teachers;
    for (const WorkRow& row : plan.rows) {
        if (row.cells[column].isEmpty() || row.cells[column] == mark) {
            teachers.append(row.name);
        }
    }
    return teachers;
}

QStringList FreeTeachers(const QSqlDatabase& db, int day, int hour) {
    return FreeTeachers(LoadPrintTables(db, PrintReading::kGeneralPlan), day, hour);
}

QStringList AbsentTeachers(const QSqlDatabase& entry, const QString& school, int day) {
    if (day < 1 || day > kDays) {
        throw EntryRefusedError(S("Μη αποδεκτές τιμές."), QStringLiteral("day %1").arg(day));
    }
    QSqlQuery rows = Run(entry,
                         S("SELECT DISTINCT TEACHERS.TEACHER FROM DENY_TEACHERS_DAYS "
                           "JOIN TEACHERS ON TEACHERS.SCHOOL_USERNAME = "
                           "DENY_TEACHERS_DAYS.SCHOOL_USERNAME AND TEACHERS.TEACHER_ID = "
                           "DENY_TEACHERS_DAYS.TEACHER_ID "
                           "WHERE DENY_TEACHERS_DAYS.SCHOOL_USERNAME = ? "
                           "AND DENY_TEACHERS_DAYS.DISPLAY_DAY = ? ORDER BY TEACHERS.TEACHER"),
                         {school, DayName(day)});
    QStringList names;
    while (rows.next()) {
        names.append(rows.value(0).toString());
    }
    return names;
}

FreeHourAnswer FreeTeachersAtSchool(const PrintTables& plan, int day, int hour,
                                    const QStringList& absent) {
    const QSet<QString> away(absent.cbegin(), absent.cend());
    FreeHourAnswer answer;
    for (const QString& name : FreeTeachers(plan, day, hour)) {
        QString first;
        QString second;
        PairMemberNames(name, first, second);
        const bool is_away = away.contains(name.trimmed()) || away.contains(first) ||
                             (!second.isEmpty() && away.contains(second));
        (is_away ? answer.absent : answer.at_school).append(name);
    }
    return answer;
}

QString AbsentLeftOutLine(const QStringList& absent) {
    if (absent.isEmpty()) {
        return {};
    }
    return (absent.size() == 1 ? S("Δεν εμφανίζεται, γιατί απουσιάζει την ημέρα αυτή: ")
                               : S("Δεν εμφανίζονται, γιατί απουσιάζουν την ημέρα αυτή: ")) +
           absent.join(QStringLiteral(", "));
}

}  // namespace taktirio::data
