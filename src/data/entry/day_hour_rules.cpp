#include "data/entry/day_hour_rules.h"

#include "data/database/database.h"
#include "data/entry/entry_support.h"

namespace taktirio::data {

using detail::Refuse;
using detail::RunEntry;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

int RemoveRows(const Session& session, const char* sql, const QVariantList& values) {
    return Run(session.db, S(sql), values).numRowsAffected();
}

}  // namespace

int BusiestClassHours(const Session& session) {
    return static_cast<int>(
        ScalarInt(session.db,
                  S("SELECT SUM(MONOWRA) + SUM(DYOWRA * 2) AS synolo FROM TEACHERS_OF_CLASS "
                    "WHERE SCHOOL_USERNAME = ? GROUP BY CLASS_ID ORDER BY synolo DESC LIMIT 1"),
                  {session.school}));
}

QString RequiredEighthHourDaysText(const Session& session) {
    return S("Ο αριθμός των ημερών με 8 ωρο που πρέπει να δηλώσεις είναι:") +
           QString::number(BusiestClassHours(session) - 35);
}

void InsertEighthHourDay(const Session& session, const QString& day) {
    RunEntry(session, S("INSERT INTO LAST_DAYS(SCHOOL_USERNAME, DISPLAY_DAY) VALUES(?, ?)"),
             {session.school, detail::CheckedDay(day)});
}

int DeleteEighthHourDay(const Session& session, const QString& day) {
    return RemoveRows(session,
                      "DELETE FROM LAST_DAYS WHERE SCHOOL_USERNAME = ? AND DISPLAY_DAY = ?",
                      {session.school, day.trimmed()});
}

void InsertPinned(const Session& session, int class_id, int teacher_id, const QString& day,
                  const QString& hour) {
    const QString day_hour = detail::CheckedDayHour(day, hour);
    if (!detail::IsClass(session, class_id) || !detail::IsTeacherOrPair(session, teacher_id)) {
        Refuse(QStringLiteral("no such class %1 or teacher %2").arg(class_id).arg(teacher_id));
    }
    RunEntry(session,
             S("INSERT INTO KARFWTOI(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID, DISPLAY_DAY_HOUR) "
               "VALUES(?, ?, ?, ?)"),
             {session.school, class_id, teacher_id, day_hour});
}

int DeletePinned(const Session& session, int class_id, int teacher_id, const QString& day_hour) {
    return RemoveRows(session,
                      "DELETE FROM KARFWTOI WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ? "
                      "AND CLASS_ID = ? AND DISPLAY_DAY_HOUR = ?",
                      {session.school, teacher_id, class_id, day_hour.trimmed()});
}

void InsertAbsentDay(const Session& session, int teacher_id, const QString& day) {
    const QString checked = detail::CheckedDay(day);
    if (!detail::IsSingleTeacher(session, teacher_id)) {
        Refuse(QStringLiteral("not a single teacher: %1").arg(teacher_id));
    }
    RunEntry(session,
             S("INSERT INTO DENY_TEACHERS_DAYS(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY) "
               "VALUES(?, ?, ?)"),
             {session.school, teacher_id, checked});
}

int DeleteAbsentDay(const Session& session, int teacher_id, const QString& day) {
    return RemoveRows(session,
                      "DELETE FROM DENY_TEACHERS_DAYS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ? "
                      "AND DISPLAY_DAY = ?",
                      {session.school, teacher_id, day.trimmed()});
}

void InsertFreeHour(const Session& session, int teacher_id, const QString& day,
                    const QString& hour) {
    const QString day_hour = detail::CheckedDayHour(day, hour);
    if (!detail::IsSingleTeacher(session, teacher_id)) {
        Refuse(QStringLiteral("not a single teacher: %1").arg(teacher_id));
    }
    RunEntry(session,
             S("INSERT INTO DENY_TEACHERS_HOURS(SCHOOL_USERNAME, TEACHER_ID, DISPLAY_DAY_HOUR) "
               "VALUES(?, ?, ?)"),
             {session.school, teacher_id, day_hour});
}

int DeleteFreeHour(const Session& session, int teacher_id, const QString& day_hour) {
    return RemoveRows(session,
                      "DELETE FROM DENY_TEACHERS_HOURS WHERE SCHOOL_USERNAME = ? "
                      "AND TEACHER_ID = ? AND DISPLAY_DAY_HOUR = ?",
                      {session.school, teacher_id, day_hour.trimmed()});
}

}  // namespace taktirio::data
