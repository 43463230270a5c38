// The list, count and pick-list statements of the data-entry windows. Every
// statement is scoped to the school by a bound value; names sort with GREEK.
#include "data/entry/windows.h"

#include <array>

#include "data/database/database.h"
#include "data/entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

struct WindowStatements {
    const char* select;  // up to the school condition
    const char* source;  // what the count runs over
    const char* order;   // after the school condition
};

constexpr std::array<WindowStatements, 11> kStatements = {{
    {"SELECT CLASS, CLASS_ID FROM CLASSES", "CLASSES", " ORDER BY CLASS_ID"},
    {"SELECT SCHOOL_USERNAME, TEACHER, TEACHER_ID FROM DO_NOT_SHOW_SYNDIDASKALIES",
     "DO_NOT_SHOW_SYNDIDASKALIES", " ORDER BY TEACHER_ID"},
    {"SELECT SCHOOL_USERNAME, TEACHER, TEACHER_ID FROM SHOW_SYNDIDASKALIES", "SHOW_SYNDIDASKALIES",
     " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT TEACHER, MONOWRA, DYOWRA, TEACHER_ID, CLASS_ID FROM DISPLAY_TEACHERS_OF_CLASS",
     "DISPLAY_TEACHERS_OF_CLASS", " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT DISPLAY_DAY FROM LAST_DAYS", "LAST_DAYS", " ORDER BY rowid"},
    {"SELECT CLASS, DISPLAY_DAY_HOUR, TEACHER, CLASS_ID, TEACHER_ID FROM PAROYSIASH_KARFWTWN",
     "PAROYSIASH_KARFWTWN", " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT DISPLAY_DAY, TEACHER, TEACHER_ID FROM [PAROYSIASH_TEACHERS_POY_DEN "
     "ERXONTAI_SE_SYGKEKRIMENES_MERES]",
     "[PAROYSIASH_TEACHERS_POY_DEN ERXONTAI_SE_SYGKEKRIMENES_MERES]",
     " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT DISPLAY_DAY_HOUR, TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_DO_NOT_COME_IN_AN_HOUR",
     "DISPLAY_TEACHERS_DO_NOT_COME_IN_AN_HOUR", " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT CLASS1 AS Expr1, CLASS2 AS Expr2, TEACHER AS Expr3, TEACHER_ID, CLASS_ID AS "
     "CLASS_ID_1, "
     "CLASS_ID_2 FROM "
     "DISPLAY_TEACHERS_IN_TWO_CLASSES_2",
     "DISPLAY_TEACHERS_IN_TWO_CLASSES_2", " ORDER BY TEACHER COLLATE GREEK ASC"},
    {"SELECT CLASS, TEACHER1, TEACHER2, CLASS_ID, TEACHER_ID_1, TEACHER_ID_2 FROM "
     "DISPLAY_XWRISMOS_MATHIMATOS_2",
     "DISPLAY_XWRISMOS_MATHIMATOS_2", " ORDER BY CLASS COLLATE GREEK ASC"},
    {"SELECT TEACHER1, TEACHER2, TEACHER_ID_1, TEACHER_ID_2 FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2",
     "DISPLAY_DO_NOT_TEACH_TOGETHER_2", " ORDER BY TEACHER1 COLLATE GREEK ASC"},
}};

const WindowStatements& StatementsOf(EntryWindow window) {
    return kStatements[static_cast<std::size_t>(window)];
}

QString Condition(EntryWindow window) {
    return window == EntryWindow::kAllocation ? S(" WHERE SCHOOL_USERNAME = ? AND CLASS_ID = ?")
                                              : S(" WHERE SCHOOL_USERNAME = ?");
}

QVariantList Values(const Session& session, EntryWindow window, int class_id) {
    if (window == EntryWindow::kAllocation) {
        return {session.school, class_id};
    }
    return {session.school};
}

QList<WindowInfo> BuildInfos() {
    const QString total = S("Συνολικός αριθμός=");
    const GridColumn teacher{S("TEACHER"), S("Διδάσκων")};
    return {
        {S("Καταχώρηση - Παρουσίαση - Διαγραφή τμημάτων"),
         {{S("CLASS"), S("Τμήματα")}},
         S("Τμήματα=")},
        {S("Καταχώρηση - Παρουσίαση - Διαγραφή διδακτικού προσωπικού"),
         {{S("TEACHER"), S("Διδάσκοντες")}},
         S("Διδάσκοντες=")},
        {S("Καταχώρηση - Παρουσίαση - Διαγραφή ζεύγους διδασκόντων"),
         {{S("TEACHER"), S("Ζεύγη Διδασκόντων")}},
         S("Ζεύγη Διδασκόντων=")},
        {S("Kατανομή τμημάτων και ωρών διδασκαλίας στο διδακτικό προσωπικό"),
         {teacher, {S("MONOWRA"), S("Μονόωρα")}, {S("DYOWRA"), S("Δίωρα")}},
         S("Διδάσκοντες=")},
        {S("Μέρες με 8 ωρο"), {{S("DISPLAY_DAY"), S("Μέρες")}}, S("Μέρες=")},
        {S("Υποχρεωτική τοποθέτηση διδάσκοντος σε συγκεκριμένο τμήμα και συγκεκριμένη μέρα "
           "και ώρα της εβδομάδας"),
         {teacher, {S("CLASS"), S("Τμήμα")}, {S("DISPLAY_DAY_HOUR"), S("Μέρα και Ώρα")}},
         total},
        {S("Διδάσκοντες που δεν έρχονται σε συγκεκριμένες μέρες"),
         {teacher, {S("DISPLAY_DAY"), S("Μέρα")}},
         total},
        {S("Υποχρεωτικές κενές ώρες των διδασκόντων (κοινές κενές) και επιθυμητές κενές ώρες "),
         {teacher, {S("DISPLAY_DAY_HOUR"), S("Μέρα και Ώρα")}},
         total},
        {S("Διδάσκοντες σε δυο τμήματα την ίδια ώρα (πχ Καθηγητές σωματικής αγωγής, κλπ)"),
         {{S("Expr3"), S("Διδάσκων")}, {S("Expr1"), S("Τμήμα 1")}, {S("Expr2"), S("Τμήμα 2")}},
         total},
        {S("Χωρισμός μαθήματος"),
         {{S("CLASS"), S("Τμήμα")},
          {S("TEACHER1"), S("Διδάσκων 1")},
          {S("TEACHER2"), S("Διδάσκων 2")}},
         total},
        {S("Ζεύγος διδασκόντων που όταν ο ένας διδάσκει ο άλλος υποχρεωτικά έχει κενή ώρα"),
         {{S("TEACHER1"), S("Διδάσκων 1")}, {S("TEACHER2"), S("Διδάσκων 2")}},
         S("Ζεύγη διδασκόντων=")},
    };
}

}  // namespace

const WindowInfo& InfoOf(EntryWindow window) {
    static const QList<WindowInfo> infos = BuildInfos();
    return infos[static_cast<qsizetype>(window)];
}

QSqlQuery ListQuery(const Session& session, EntryWindow window, int class_id) {
    const WindowStatements& st = StatementsOf(window);
    return RunScrollable(session.db, S(st.select) + Condition(window) + S(st.order),
                         Values(session, window, class_id));
}

QList<QStringList> ListRows(const Session& session, EntryWindow window, int class_id) {
    const WindowStatements& st = StatementsOf(window);
    return Rows(session.db, S(st.select) + Condition(window) + S(st.order),
                Values(session, window, class_id));
}

bool IsShownColumn(EntryWindow window, const QString& field) {
    for (const GridColumn& column : InfoOf(window).columns) {
        if (column.field.compare(field, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

int CountRows(const Session& session, EntryWindow window, int class_id) {
    return static_cast<int>(ScalarInt(
        session.db,
        S("SELECT COUNT(*) AS SYNOLO FROM ") + S(StatementsOf(window).source) + Condition(window),
        Values(session, window, class_id)));
}

QString CountLabel(const Session& session, EntryWindow window, int class_id) {
    const int count = CountRows(session, window, class_id);
    QString label = InfoOf(window).count_prefix + QString::number(count);
    if (window == EntryWindow::kAllocation) {
        const qint64 total = ScalarInt(session.db,
                                       S("SELECT SYNOLO FROM SYNOLA_SE_DIDASKALIES_2 "
                                         "WHERE SCHOOL_USERNAME = ? AND CLASS_ID = ?"),
                                       {session.school, class_id});
        label += S(" , Ώρες=") + QString::number(total);
    }
    return label;
}

QList<PickItem> PickItems(const Session& session, PickList list) {
    static const std::array<const char*, 3> kSelects = {
        "SELECT CLASS, CLASS_ID FROM CLASSES WHERE SCHOOL_USERNAME = ? "
        "ORDER BY CLASS COLLATE GREEK ASC",
        "SELECT TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_1 WHERE SCHOOL_USERNAME = ? "
        "ORDER BY TEACHER COLLATE GREEK ASC",
        "SELECT TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_4 WHERE SCHOOL_USERNAME = ? "
        "ORDER BY TEACHER COLLATE GREEK ASC",
    };
    QList<PickItem> items;
    for (const QStringList& row :
         Rows(session.db, S(kSelects[static_cast<std::size_t>(list)]), {session.school})) {
        items.append({row[1].toInt(), row[0]});
    }
    return items;
}

QStringList DayItems() {
    QStringList days;
    for (int day = 1; day <= kDaysPerWeek; ++day) {
        days.append(DayName(day));
    }
    return days;
}

QStringList HourItems() {
    QStringList hours;
    for (int hour = 1; hour <= kMaxHoursPerDay; ++hour) {
        hours.append(QString::number(hour));
    }
    return hours;
}

}  // namespace taktirio::data
