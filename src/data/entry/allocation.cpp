#include "data/entry/allocation.h"

#include "data/database/database.h"
#include "data/entry/entry_support.h"

namespace taktirio::data {

using detail::Refuse;

int ClassTotal(const Session& session, int class_id) {
    return static_cast<int>(ScalarInt(session.db,
                                      QStringLiteral("SELECT SYNOLO FROM SYNOLA_SE_DIDASKALIES_2 "
                                                     "WHERE SCHOOL_USERNAME = ? AND CLASS_ID = ?"),
                                      {session.school, class_id}));
}

void InsertAllocation(const Session& session, int class_id, int teacher_id, int singles,
                      int doubles) {
    if (singles < 0 || singles > kMaxSingleHours || doubles < 0 || doubles > kMaxDoubleHours) {
        Refuse(
            QStringLiteral("hours out of range: %1 single, %2 double").arg(singles).arg(doubles));
    }
    if (singles == 0 && doubles == 0) {
        Refuse(QStringLiteral("no hours"));
    }
    if (!detail::IsClass(session, class_id) || !detail::IsTeacherOrPair(session, teacher_id)) {
        Refuse(QStringLiteral("no such class %1 or teacher %2").arg(class_id).arg(teacher_id));
    }
    const int total = ClassTotal(session, class_id);
    if (2 * doubles + total + singles > kMaxClassWeeklyHours) {
        Refuse(QStringLiteral("the class would have %1 hours a week")
                   .arg(2 * doubles + total + singles));
    }
    detail::RunEntry(session,
                     QStringLiteral("INSERT INTO TEACHERS_OF_CLASS(SCHOOL_USERNAME, TEACHER_ID, "
                                    "CLASS_ID, MONOWRA, DYOWRA) VALUES(?, ?, ?, ?, ?)"),
                     {session.school, teacher_id, class_id, singles, doubles});
}

int DeleteAllocation(const Session& session, int class_id, int teacher_id, int singles,
                     int doubles) {
    return Run(session.db,
               QStringLiteral("DELETE FROM TEACHERS_OF_CLASS WHERE SCHOOL_USERNAME = ? "
                              "AND TEACHER_ID = ? AND MONOWRA = ? AND DYOWRA = ? AND CLASS_ID = ?"),
               {session.school, teacher_id, singles, doubles, class_id})
        .numRowsAffected();
}

}  // namespace taktirio::data
