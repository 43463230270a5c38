#include "data/entry/pairing_rules.h"

#include "data/database/database.h"
#include "data/entry/entry_support.h"

namespace taktirio::data {

using detail::Refuse;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

void RefuseSame(int first, int second) {
    if (first == second) {
        Refuse(QStringLiteral("the same member twice: %1").arg(first));
    }
}

void RequireTeachers(const Session& session, int first, int second) {
    if (!detail::IsTeacherOrPair(session, first) || !detail::IsTeacherOrPair(session, second)) {
        Refuse(QStringLiteral("no such teacher %1 or %2").arg(first).arg(second));
    }
}

// Inserts a row and its mirror in one transaction; either both or neither.
void InsertBoth(const Session& session, const QString& sql, const QVariantList& row,
                const QVariantList& mirror) {
    Transaction transaction(session.db);
    detail::RunEntry(session, sql, row);
    detail::RunEntry(session, sql, mirror);
    transaction.Commit();
}

int DeleteBoth(const Session& session, const QString& sql, const QVariantList& row,
               const QVariantList& mirror) {
    Transaction transaction(session.db);
    const int removed = Run(session.db, sql, row).numRowsAffected() +
                        Run(session.db, sql, mirror).numRowsAffected();
    transaction.Commit();
    return removed;
}

}  // namespace

void InsertJoint(const Session& session, int class1_id, int teacher_id, int class2_id) {
    RefuseSame(class1_id, class2_id);
    if (!detail::IsClass(session, class1_id) || !detail::IsClass(session, class2_id) ||
        !detail::IsTeacherOrPair(session, teacher_id)) {
        Refuse(QStringLiteral("no such classes %1, %2 or teacher %3")
                   .arg(class1_id)
                   .arg(class2_id)
                   .arg(teacher_id));
    }
    InsertBoth(session,
               S("INSERT INTO KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA (CLASS_ID_1, CLASS_ID_2, "
                 "TEACHER_ID, SCHOOL_USERNAME) VALUES (?, ?, ?, ?)"),
               {class1_id, class2_id, teacher_id, session.school},
               {class2_id, class1_id, teacher_id, session.school});
}

int DeleteJoint(const Session& session, int teacher, int c1, int c2) {
    return DeleteBoth(session,
                      S("DELETE FROM KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA WHERE "
                        "SCHOOL_USERNAME = ? AND TEACHER_ID = ? AND CLASS_ID_1 = ? "
                        "AND CLASS_ID_2 = ?"),
                      {session.school, teacher, c1, c2}, {session.school, teacher, c2, c1});
}

void InsertSplit(const Session& session, int class_id, int teacher1_id, int teacher2_id) {
    RefuseSame(teacher1_id, teacher2_id);
    RequireTeachers(session, teacher1_id, teacher2_id);
    if (!detail::IsClass(session, class_id)) {
        Refuse(QStringLiteral("no such class %1").arg(class_id));
    }
    InsertBoth(session,
               S("INSERT INTO XWRISMOS_MATHIMATOS(SCHOOL_USERNAME, CLASS_ID, TEACHER_ID_1, "
                 "TEACHER_ID_2) VALUES(?, ?, ?, ?)"),
               {session.school, class_id, teacher1_id, teacher2_id},
               {session.school, class_id, teacher2_id, teacher1_id});
}

int DeleteSplit(const Session& session, int c, int t1, int t2) {
    return DeleteBoth(session,
                      S("DELETE FROM XWRISMOS_MATHIMATOS WHERE SCHOOL_USERNAME = ? "
                        "AND CLASS_ID = ? AND TEACHER_ID_1 = ? AND TEACHER_ID_2 = ?"),
                      {session.school, c, t1, t2}, {session.school, c, t2, t1});
}

void InsertApart(const Session& session, int teacher1_id, int teacher2_id) {
    RefuseSame(teacher1_id, teacher2_id);
    RequireTeachers(session, teacher1_id, teacher2_id);
    InsertBoth(session,
               S("INSERT INTO TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR (FIRST_TEACHER_ID, "
                 "SECOND_TEACHER_ID, SCHOOL_USERNAME) VALUES (?, ?, ?)"),
               {teacher1_id, teacher2_id, session.school},
               {teacher2_id, teacher1_id, session.school});
}

int DeleteApart(const Session& session, int t1, int t2) {
    return DeleteBoth(session,
                      S("DELETE FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR WHERE "
                        "SCHOOL_USERNAME = ? AND FIRST_TEACHER_ID = ? AND SECOND_TEACHER_ID = ?"),
                      {session.school, t1, t2}, {session.school, t2, t1});
}

}  // namespace taktirio::data
