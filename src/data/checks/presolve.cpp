#include "data/checks/presolve.h"

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/entry/day_hour_rules.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

int Count(const Session& session, const char* sql, int school_uses = 1) {
    QVariantList values;
    for (int i = 0; i < school_uses; ++i) {
        values.append(session.school);
    }
    return static_cast<int>(ScalarInt(session.db, S(sql), values));
}

// The weekly hours of the busiest class, as a byte; anything else counts 0.
int SafeBusiest(const Session& session) {
    try {
        const int busiest = BusiestClassHours(session);
        return busiest >= 0 && busiest <= 255 ? busiest : 0;
    } catch (const DatabaseError&) {
        return 0;
    }
}

constexpr char kClassesInRange[] =
    "SELECT COUNT(*) AS SYNOLO FROM (SELECT c.CLASS FROM CLASSES c "
    "JOIN TEACHERS_OF_CLASS a ON c.CLASS_ID = a.CLASS_ID "
    "WHERE c.SCHOOL_USERNAME = ? AND a.SCHOOL_USERNAME = ? GROUP BY c.CLASS "
    "HAVING SUM(a.DYOWRA * 2 + a.MONOWRA) BETWEEN 1 AND 50)";

constexpr char kClasses[] = "SELECT COUNT(*) AS SYNOLO FROM CLASSES WHERE SCHOOL_USERNAME = ?";

// Pinned lessons count against the single hours; no allocation row counts 0.
constexpr char kOverPinned[] =
    "SELECT COUNT(*) AS SYNOLO FROM (SELECT IFNULL(a.MONOWRA, 0) - COUNT(*) AS Expr1 "
    "FROM KARFWTOI k LEFT JOIN TEACHERS_OF_CLASS a ON k.CLASS_ID = a.CLASS_ID "
    "AND k.TEACHER_ID = a.TEACHER_ID AND k.SCHOOL_USERNAME = a.SCHOOL_USERNAME "
    "WHERE k.SCHOOL_USERNAME = ? "
    "GROUP BY k.CLASS_ID, k.TEACHER_ID, a.MONOWRA, k.SCHOOL_USERNAME HAVING Expr1 < 0)";

constexpr char kUnequalPairs[] =
    "SELECT COUNT(*) AS SYNOLO FROM DISPLAY_TEACHERS_IN_TWO_CLASSES_2 j "
    "LEFT JOIN TEACHERS_OF_CLASS a ON j.SCHOOL_USERNAME = a.SCHOOL_USERNAME "
    "AND j.CLASS_ID = a.CLASS_ID AND j.TEACHER_ID = a.TEACHER_ID "
    "LEFT JOIN TEACHERS_OF_CLASS b ON j.SCHOOL_USERNAME = b.SCHOOL_USERNAME "
    "AND j.TEACHER_ID = b.TEACHER_ID AND j.CLASS_ID_2 = b.CLASS_ID "
    "WHERE j.SCHOOL_USERNAME = ? AND (IFNULL(a.MONOWRA, 0) <> IFNULL(b.MONOWRA, 0) "
    "OR IFNULL(a.DYOWRA, 0) <> IFNULL(b.DYOWRA, 0))";

constexpr char kEightHourDays[] =
    "SELECT COUNT(*) AS SYNOLO FROM LAST_DAYS WHERE SCHOOL_USERNAME = ?";

QString ProblemText(const char* incomplete) {
    return S("Υπάρχει πρόβλημα με τα δεδομένα.\r\rΠιθανά προβλήματα\r\r"
             "1) Δεν έχουν καταχωρηθεί τμήματα.\r2) Aκατάλληλη ή ") +
           S(incomplete) +
           S(" κατανομή στα τμήματα.\r3) Υποχρεωτική τοποθέτηση διδάσκοντος σε συγκεκριμένο "
             "τμήμα, μέρα && ώρα της εβδομάδας χωρίς να καταχωρηθούν ώρες διδασκαλίας του "
             "διδάσκοντος στο τμήμα αυτό.\r4) Έχει καταχωρηθεί ένα ζεύγος από διδάσκοντες σε "
             "δύο τμήματα την ίδια ώρα με διαφορετικό αριθμό ωρών διδασκαλίας στα δύο τμήματα."
             "\r5) Ο αριθμός των ημερών με 8 ωρο είναι λάθος.");
}

}  // namespace

PreSolveCounts ReadPreSolveCounts(const Session& session) {
    const Transaction reading(session.db);  // one state of the school, one lock
    PreSolveCounts counts;
    counts.classes_in_range = Count(session, kClassesInRange, 2);
    counts.classes = Count(session, kClasses);
    counts.over_pinned = Count(session, kOverPinned);
    counts.unequal_pairs = Count(session, kUnequalPairs);
    counts.busiest = SafeBusiest(session);
    counts.eight_hour_days = Count(session, kEightHourDays);
    return counts;
}

DataProblem JudgeCounts(const PreSolveCounts& c) {
    const bool eighth_hours_apply = c.busiest >= 36 && c.busiest <= 39;
    if (c.eight_hour_days != 0 && eighth_hours_apply && c.busiest - 35 != c.eight_hour_days) {
        return DataProblem::kMessageA;
    }
    if (c.classes == 0 || c.over_pinned != 0 || c.unequal_pairs != 0) {
        return DataProblem::kMessageA;
    }
    if (c.classes_in_range != c.classes) {
        return DataProblem::kMessageB;
    }
    return DataProblem::kNone;
}

DataProblem CheckBeforeSolving(const Session& session) {
    return JudgeCounts(ReadPreSolveCounts(session));
}

QString DataProblemMessage(DataProblem problem) {
    switch (problem) {
        case DataProblem::kNone:
            return {};
        case DataProblem::kMessageA:
            return ProblemText("ελλειπής");
        case DataProblem::kMessageB:
            return ProblemText("ελλιπής");
    }
    return {};
}

bool EightHourDaysAllowed(const Session& session) {
    const int busiest = SafeBusiest(session);
    return busiest >= 36 && busiest <= 39;
}

}  // namespace taktirio::data
