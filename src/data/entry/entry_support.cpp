#include "data/entry/entry_support.h"

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/entry/messages.h"
#include "data/entry/validation.h"

namespace taktirio::data::detail {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

bool Exists(const Session& session, const char* sql, int id) {
    return id > 0 && ScalarInt(session.db, S(sql), {session.school, id}) > 0;
}

}  // namespace

void Refuse(const QString& why) {
    throw EntryRefusedError(S(kEntryRefusedMessage), why);
}

int RunEntry(const Session& session, const QString& sql, const QVariantList& values) {
    try {
        return Run(session.db, sql, values).numRowsAffected();
    } catch (const DatabaseError& error) {
        Refuse(QString::fromStdString(error.what()));
    }
}

int TeacherIdByName(const Session& session, const QString& name) {
    return static_cast<int>(ScalarInt(
        session.db,
        S("SELECT TEACHER_ID FROM TEACHERS WHERE SCHOOL_USERNAME = ? AND TEACHER = ? LIMIT 1"),
        {session.school, name}));
}

int ClassIdByName(const Session& session, const QString& name) {
    return static_cast<int>(
        ScalarInt(session.db,
                  S("SELECT CLASS_ID FROM CLASSES WHERE SCHOOL_USERNAME = ? AND CLASS = ? LIMIT 1"),
                  {session.school, name}));
}

bool IsClass(const Session& session, int class_id) {
    return Exists(session,
                  "SELECT COUNT(*) FROM CLASSES WHERE SCHOOL_USERNAME = ? AND CLASS_ID = ?",
                  class_id);
}

bool IsSingleTeacher(const Session& session, int teacher_id) {
    return Exists(session,
                  "SELECT COUNT(*) FROM DISPLAY_TEACHERS_1 WHERE SCHOOL_USERNAME = ? "
                  "AND TEACHER_ID = ?",
                  teacher_id);
}

bool IsTeacherOrPair(const Session& session, int teacher_id) {
    return Exists(session,
                  "SELECT COUNT(*) FROM DISPLAY_TEACHERS_4 WHERE SCHOOL_USERNAME = ? "
                  "AND TEACHER_ID = ?",
                  teacher_id);
}

QString CheckedDay(const QString& day) {
    const QString trimmed = day.trimmed();
    if (DayNumber(trimmed) == 0) {
        Refuse(QStringLiteral("not a day: '%1'").arg(trimmed));
    }
    return trimmed;
}

QString CheckedDayHour(const QString& day, const QString& hour) {
    const QString d = CheckedDay(day);
    const QString h = hour.trimmed();
    bool ok = false;
    const int value = h.toInt(&ok);
    if (!ok || value < 1 || value > kMaxHoursPerDay || h != QString::number(value)) {
        Refuse(QStringLiteral("not an hour: '%1'").arg(h));
    }
    return DayHourText(DayNumber(d), value);
}

}  // namespace taktirio::data::detail
