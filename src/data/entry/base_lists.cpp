#include "data/entry/base_lists.h"

#include <QStringList>

#include "data/database/database.h"
#include "data/entry/entry_support.h"
#include "data/entry/validation.h"

namespace taktirio::data {

using detail::Refuse;
using detail::RunEntry;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

int TeacherCount(const Session& session) {
    return static_cast<int>(ScalarInt(
        session.db, S("SELECT COUNT(*) FROM DISPLAY_TEACHERS_4 WHERE SCHOOL_USERNAME = ?"),
        {session.school}));
}

// The trimmed text, refused when it is not an acceptable name of at most
// `max_length` characters. The refusal quotes the start of a long name only.
QString CheckedName(const QString& text, int max_length) {
    const QString name = text.trimmed();
    if (!IsAcceptableName(name)) {
        Refuse(QStringLiteral("not an acceptable name: '%1'").arg(name.left(max_length)));
    }
    if (name.size() > max_length) {
        Refuse(QStringLiteral("a name longer than %1 characters: '%2…'")
                   .arg(max_length)
                   .arg(name.left(max_length)));
    }
    return name;
}

// The stored name of a teacher or pair of the school; empty when there is none.
QString TeacherName(const Session& session, int teacher_id) {
    const std::optional<QVariant> name = FirstValue(
        session.db, S("SELECT TEACHER FROM TEACHERS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ?"),
        {session.school, teacher_id});
    return name ? name->toString() : QString();
}

}  // namespace

void PairMemberNames(const QString& pair_name, QString& first, QString& second) {
    const QString name = pair_name.trimmed();
    const qsizetype plus = name.indexOf(u'+');
    if (plus < 0) {
        first = name;
        second.clear();
        return;
    }
    first = name.left(plus).trimmed();
    second = name.mid(plus + 1).trimmed();
}

void InsertClass(const Session& session, const QString& text) {
    const QString name = CheckedName(text, kMaxClassNameLength);
    if (!IsAcceptableClassName(name)) {
        Refuse(QStringLiteral("the prints' mark of a common free hour: '%1'").arg(name));
    }
    if (ScalarInt(session.db, S("SELECT COUNT(*) FROM CLASSES WHERE SCHOOL_USERNAME = ?"),
                  {session.school}) >= kMaxClasses) {
        Refuse(QStringLiteral("the school already has %1 classes").arg(kMaxClasses));
    }
    RunEntry(session, S("INSERT INTO CLASSES(SCHOOL_USERNAME, CLASS) VALUES(?, ?)"),
             {session.school, name});
}

int DeleteClass(const Session& session, int class_id) {
    // The allocation and rule rows go with the class by their cascading keys.
    Transaction transaction(session.db);
    const int removed =
        Run(session.db, S("DELETE FROM CLASSES WHERE SCHOOL_USERNAME = ? AND CLASS_ID = ?"),
            {session.school, class_id})
            .numRowsAffected();
    transaction.Commit();
    return removed;
}

void InsertTeacher(const Session& session, const QString& text) {
    const QString name = CheckedName(text, kMaxTeacherNameLength);
    // A "+" is what marks a pair; a single teacher with one would pass for one.
    if (name.contains(u'+')) {
        Refuse(QStringLiteral("a teacher's name may not hold '+': '%1'").arg(name));
    }
    if (TeacherCount(session) >= kMaxTeachers) {
        Refuse(QStringLiteral("the school already has %1 teachers").arg(kMaxTeachers));
    }
    RunEntry(session, S("INSERT INTO TEACHERS(SCHOOL_USERNAME, TEACHER) VALUES(?, ?)"),
             {session.school, name});
}

int DeleteTeacher(const Session& session, int teacher_id) {
    if (!detail::IsSingleTeacher(session, teacher_id)) {
        return 0;
    }
    const QString name = TeacherName(session, teacher_id);
    Transaction transaction(session.db);
    int removed =
        Run(session.db, S("DELETE FROM TEACHERS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ?"),
            {session.school, teacher_id})
            .numRowsAffected();
    const QList<QStringList> pairs =
        Rows(session.db,
             S("SELECT TEACHER_ID, TEACHER FROM TEACHERS WHERE SCHOOL_USERNAME = ? "
               "AND instr(TEACHER, '+') > 0"),
             {session.school});
    for (const QStringList& pair : pairs) {
        QString first;
        QString second;
        PairMemberNames(pair[1], first, second);
        if (first == name || second == name) {
            removed += Run(session.db,
                           S("DELETE FROM TEACHERS WHERE SCHOOL_USERNAME = ? AND TEACHER_ID = ?"),
                           {session.school, pair[0].toInt()})
                           .numRowsAffected();
        }
    }
    transaction.Commit();
    return removed;
}

void InsertPair(const Session& session, const QString& first_text, const QString& second_text) {
    const QString first = first_text.trimmed();
    const QString second = second_text.trimmed();
    if (first == second) {
        Refuse(QStringLiteral("the same teacher twice: '%1'").arg(first));
    }
    // One empty choice would store "A+" and "+A"; refuse it here.
    for (const QString& member : {first, second}) {
        if (!detail::IsSingleTeacher(session, detail::TeacherIdByName(session, member))) {
            Refuse(QStringLiteral("not a single teacher: '%1'").arg(member));
        }
    }
    // Members stored before names had a maximum could make a pair too long.
    if (first.size() + 1 + second.size() > kMaxPairNameLength) {
        Refuse(QStringLiteral("a pair's name longer than %1 characters").arg(kMaxPairNameLength));
    }
    if (TeacherCount(session) >= kMaxTeachers) {
        Refuse(QStringLiteral("the school already has %1 teachers").arg(kMaxTeachers));
    }
    Transaction transaction(session.db);
    const QString insert = S("INSERT INTO TEACHERS(TEACHER, SCHOOL_USERNAME) VALUES(?, ?)");
    RunEntry(session, insert, {first + u'+' + second, session.school});
    RunEntry(session, insert, {second + u'+' + first, session.school});
    transaction.Commit();
}

int DeletePair(const Session& session, int pair_id) {
    const QString pair_name = TeacherName(session, pair_id);
    if (!pair_name.contains(u'+')) {
        return 0;
    }
    QString first;
    QString second;
    PairMemberNames(pair_name, first, second);
    const QString remove = S("DELETE FROM TEACHERS WHERE SCHOOL_USERNAME = ? AND TEACHER = ?");
    Transaction transaction(session.db);
    int removed =
        Run(session.db, remove, {session.school, first + u'+' + second}).numRowsAffected();
    removed += Run(session.db, remove, {session.school, second + u'+' + first}).numRowsAffected();
    transaction.Commit();
    return removed;
}

}  // namespace taktirio::data
