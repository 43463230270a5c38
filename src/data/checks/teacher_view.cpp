#include "checks/teacher_view.h"

#include "database/database.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QList<QStringList> Read(const Session& session, const char* sql, int teacher_id, int pairs = 1) {
    QVariantList values;
    for (int i = 0; i < pairs; ++i) {
        values << session.school << teacher_id;
    }
    return Rows(session.db, S(sql), values);
}

TeacherSection Counted(QList<QStringList> rows) {
    const QString result = S("Συνολικός αριθμός=") + QString::number(rows.size());
    return {std::move(rows), result};
}

constexpr char kAllocation[] =
    "SELECT c.CLASS, a.MONOWRA, a.DYOWRA, a.DYOWRA * 2 + a.MONOWRA AS WRES "
    "FROM CLASSES c JOIN TEACHERS_OF_CLASS a ON c.CLASS_ID = a.CLASS_ID "
    "WHERE a.SCHOOL_USERNAME = ? AND a.TEACHER_ID = ? ORDER BY c.CLASS COLLATE GREEK";
constexpr char kPinned[] =
    "SELECT c.CLASS, k.DISPLAY_DAY_HOUR FROM CLASSES c JOIN KARFWTOI k "
    "ON c.CLASS_ID = k.CLASS_ID WHERE k.SCHOOL_USERNAME = ? AND k.TEACHER_ID = ? "
    "ORDER BY c.CLASS COLLATE GREEK";
constexpr char kAbsent[] =
    "SELECT DISPLAY_DAY FROM DENY_TEACHERS_DAYS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ? "
    "ORDER BY DISPLAY_DAY COLLATE GREEK";
constexpr char kFree[] =
    "SELECT DISPLAY_DAY_HOUR FROM DENY_TEACHERS_HOURS WHERE SCHOOL_USERNAME = ? "
    "AND TEACHER_ID = ? ORDER BY DISPLAY_DAY_HOUR ASC";
constexpr char kJoint[] =
    "SELECT CLASS1, CLASS2 FROM DISPLAY_TEACHERS_IN_TWO_CLASSES_2 WHERE SCHOOL_USERNAME = ? "
    "AND TEACHER_ID = ? ORDER BY TEACHER COLLATE GREEK";
// The other teacher of each split; UNION lists a (class, teacher) once.
constexpr char kSplit[] =
    "SELECT CLASS, TEACHER2 AS TEACHER FROM DISPLAY_XWRISMOS_MATHIMATOS_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_1 = ? UNION "
    "SELECT CLASS, TEACHER1 AS TEACHER FROM DISPLAY_XWRISMOS_MATHIMATOS_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_2 = ? "
    "ORDER BY 1 COLLATE GREEK, 2 COLLATE GREEK";
constexpr char kApart[] =
    "SELECT TEACHER2 AS TEACHER FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_1 = ? UNION "
    "SELECT TEACHER1 AS TEACHER FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2 "
    "WHERE SCHOOL_USERNAME = ? AND TEACHER_ID_2 = ? ORDER BY 1 COLLATE GREEK";

}  // namespace

TeacherDetails ReadTeacherDetails(const Session& session, int teacher_id) {
    TeacherDetails details;
    details[0].rows = Read(session, kAllocation, teacher_id);
    int total = 0;
    for (const QStringList& row : details[0].rows) {
        total += row[3].toInt();
    }
    details[0].result = QString::number(total) + S(" Ώρες την εβδομάδα");
    details[1] = Counted(Read(session, kPinned, teacher_id));
    details[2] = Counted(Read(session, kAbsent, teacher_id));
    details[3] = Counted(Read(session, kFree, teacher_id));
    details[4] = Counted(Read(session, kJoint, teacher_id));
    details[5] = Counted(Read(session, kSplit, teacher_id, 2));
    details[6] = Counted(Read(session, kApart, teacher_id, 2));
    return details;
}

}  // namespace taktirio::data
