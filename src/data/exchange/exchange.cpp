#include "data/exchange/exchange.h"

#include <QHash>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "data/database/schema.h"
#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/pairing_rules.h"
#include "data/entry/validation.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Runs one insert of an item; a refusal names the item.
template <typename Insert>
void InsertItem(const char* key, qsizetype index, Insert insert) {
    try {
        insert();
    } catch (const EntryRefusedError& error) {
        const QString item = QStringLiteral("%1[%2]").arg(QLatin1String(key)).arg(index);
        throw ImportError(ImportRefusal(item, S("δεν επιτρέπεται αυτή η καταχώρηση (%1)")
                                                  .arg(QString::fromStdString(error.what()))),
                          item + QStringLiteral(": ") + QString::fromStdString(error.what()));
    }
}

// Name -> identifier of the school's classes, or of its teachers and pairs
// (a pair under both orders of its name, with the identifier the lists show).
QHash<QString, int> ClassIds(const Session& session) {
    QHash<QString, int> ids;
    for (const QStringList& row :
         Rows(session.db, S("SELECT CLASS, CLASS_ID FROM CLASSES WHERE SCHOOL_USERNAME = ?"),
              {session.school})) {
        ids.insert(row[0], row[1].toInt());
    }
    return ids;
}

QHash<QString, int> TeacherIds(const Session& session) {
    QHash<QString, int> ids;
    for (const QStringList& row :
         Rows(session.db,
              S("SELECT TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_4 WHERE SCHOOL_USERNAME = ?"),
              {session.school})) {
        ids.insert(row[0], row[1].toInt());
        QString first;
        QString second;
        PairMemberNames(row[0], first, second);
        if (!second.isEmpty()) {
            ids.insert(second + u'+' + first, row[1].toInt());
        }
    }
    return ids;
}

// The school's row is written here, not by a data-entry operation: its names
// get the registration's checks, so that no path stores a name that no page
// could hold.
void CheckSchoolNames(const SchoolDocument& d) {
    const auto check = [](bool acceptable, int max_length, const char* item) {
        if (!acceptable) {
            throw ImportError(
                ImportRefusal(QLatin1String(item),
                              S("μη αποδεκτό όνομα (κενό, εισαγωγικά, %, !, <, "
                                "χαρακτήρας που δεν γράφεται σε windows-1253 ή "
                                "περισσότεροι από %1 χαρακτήρες)")
                                  .arg(max_length)),
                QStringLiteral("%1: not an acceptable name").arg(QLatin1String(item)));
        }
    };
    check(IsAcceptableSchoolName(d.name), kMaxSchoolNameLength, "school.name");
    check(IsAcceptableResponsibleName(d.responsible), kMaxResponsibleNameLength,
          "school.responsible");
}

void ReplaceSchoolRow(const Session& session, const SchoolDocument& d) {
    CheckSchoolNames(d);
    const int updated =
        Run(session.db,
            S("UPDATE SCHOOLS SET SCHOOL_NAME = ?, PERSON_RESPONSIBLE_TO_INSERT_DATA = ?, "
              "NUMBER_OF_SOLUTIONS_REQUESTED = ? WHERE USERNAME = ?"),
            {d.name, d.responsible, d.solutions_requested, session.school})
            .numRowsAffected();
    if (updated != 1) {
        throw DatabaseError(S(kDatabaseProblemMessage), QStringLiteral("no registered school"));
    }
    for (const QString& table : SchoolDataTables()) {
        Run(session.db, S("DELETE FROM %1 WHERE SCHOOL_USERNAME = ?").arg(table), {session.school});
    }
}

void InsertNames(const Session& session, const SchoolDocument& d) {
    for (qsizetype i = 0; i < d.classes.size(); ++i) {
        InsertItem("classes", i, [&] { InsertClass(session, d.classes[i]); });
    }
    for (qsizetype i = 0; i < d.teachers.size(); ++i) {
        InsertItem("teachers", i, [&] { InsertTeacher(session, d.teachers[i]); });
    }
    for (qsizetype i = 0; i < d.pairs.size(); ++i) {
        InsertItem("pairs", i, [&] { InsertPair(session, d.pairs[i].first, d.pairs[i].second); });
    }
}

void InsertRules(const Session& session, const SchoolDocument& d) {
    const QHash<QString, int> c = ClassIds(session);
    const QHash<QString, int> t = TeacherIds(session);
    for (qsizetype i = 0; i < d.allocation.size(); ++i) {
        const auto& a = d.allocation[i];
        InsertItem("allocation", i, [&] {
            InsertAllocation(session, c.value(a.class_name), t.value(a.teacher), a.singles,
                             a.doubles);
        });
    }
    for (qsizetype i = 0; i < d.eighth_hour_days.size(); ++i) {
        InsertItem("eighth_hour_days", i,
                   [&] { InsertEighthHourDay(session, DayName(d.eighth_hour_days[i])); });
    }
    for (qsizetype i = 0; i < d.pinned.size(); ++i) {
        const auto& p = d.pinned[i];
        InsertItem("pinned", i, [&] {
            InsertPinned(session, c.value(p.class_name), t.value(p.teacher), DayName(p.day),
                         QString::number(p.hour));
        });
    }
    for (qsizetype i = 0; i < d.absent_days.size(); ++i) {
        const auto& a = d.absent_days[i];
        InsertItem("absent_days", i,
                   [&] { InsertAbsentDay(session, t.value(a.teacher), DayName(a.day)); });
    }
    for (qsizetype i = 0; i < d.free_hours.size(); ++i) {
        const auto& f = d.free_hours[i];
        InsertItem("free_hours", i, [&] {
            InsertFreeHour(session, t.value(f.teacher), DayName(f.day), QString::number(f.hour));
        });
    }
    for (qsizetype i = 0; i < d.joint.size(); ++i) {
        const auto& j = d.joint[i];
        InsertItem("joint", i, [&] {
            InsertJoint(session, c.value(j.class1), t.value(j.teacher), c.value(j.class2));
        });
    }
    for (qsizetype i = 0; i < d.split.size(); ++i) {
        const auto& s = d.split[i];
        InsertItem("split", i, [&] {
            InsertSplit(session, c.value(s.class_name), t.value(s.teacher1), t.value(s.teacher2));
        });
    }
    for (qsizetype i = 0; i < d.apart.size(); ++i) {
        const auto& a = d.apart[i];
        InsertItem("apart", i, [&] { InsertApart(session, t.value(a.first), t.value(a.second)); });
    }
}

QList<QStringList> Read(const Session& session, const char* sql) {
    return Rows(session.db, S(sql), {session.school});
}

int DayOf(const QString& text) {
    const int day = DayNumber(text);
    if (day == 0) {
        throw DatabaseError(S(kDatabaseProblemMessage), QStringLiteral("not a day: ") + text);
    }
    return day;
}

std::pair<int, int> DayHourOf(const QString& text) {
    int day = 0;
    int hour = 0;
    if (!ParseDayHourText(text, day, hour)) {
        throw DatabaseError(S(kDatabaseProblemMessage),
                            QStringLiteral("not a day and hour: ") + text);
    }
    return {day, hour};
}

void ExportNames(const Session& session, SchoolDocument& d) {
    const auto school = Rows(session.db,
                             S("SELECT SCHOOL_NAME, PERSON_RESPONSIBLE_TO_INSERT_DATA, "
                               "NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS WHERE USERNAME = ?"),
                             {session.school});
    if (school.isEmpty()) {
        throw DatabaseError(S(kDatabaseProblemMessage), QStringLiteral("no registered school"));
    }
    d.name = school[0][0];
    d.responsible = school[0][1];
    d.solutions_requested = school[0][2].toInt();
    for (const QStringList& row :
         Read(session, "SELECT CLASS FROM CLASSES WHERE SCHOOL_USERNAME = ? ORDER BY CLASS_ID")) {
        d.classes.append(row[0]);
    }
    for (const QStringList& row : Read(session,
                                       "SELECT TEACHER FROM DISPLAY_TEACHERS_1 "
                                       "WHERE SCHOOL_USERNAME = ? ORDER BY TEACHER_ID")) {
        d.teachers.append(row[0]);
    }
    for (const QStringList& row : Read(session,
                                       "SELECT TEACHER FROM DISPLAY_TEACHERS_2 "
                                       "WHERE SCHOOL_USERNAME = ? ORDER BY TEACHER_ID")) {
        QString first;
        QString second;
        PairMemberNames(row[0], first, second);
        d.pairs.append({first, second});
    }
}

void ExportLessons(const Session& session, SchoolDocument& d) {
    for (const QStringList& r :
         Read(session,
              "SELECT c.CLASS, t.TEACHER, a.MONOWRA, a.DYOWRA FROM TEACHERS_OF_CLASS a "
              "JOIN CLASSES c ON c.CLASS_ID = a.CLASS_ID JOIN TEACHERS t "
              "ON t.TEACHER_ID = a.TEACHER_ID WHERE a.SCHOOL_USERNAME = ? ORDER BY a.rowid")) {
        d.allocation.append({r[0], r[1], r[2].toInt(), r[3].toInt()});
    }
    for (const QStringList& r :
         Read(session,
              "SELECT DISPLAY_DAY FROM LAST_DAYS WHERE SCHOOL_USERNAME = ? ORDER BY rowid")) {
        d.eighth_hour_days.append(DayOf(r[0]));
    }
    for (const QStringList& r :
         Read(session,
              "SELECT c.CLASS, t.TEACHER, k.DISPLAY_DAY_HOUR FROM KARFWTOI k "
              "JOIN CLASSES c ON c.CLASS_ID = k.CLASS_ID JOIN TEACHERS t "
              "ON t.TEACHER_ID = k.TEACHER_ID WHERE k.SCHOOL_USERNAME = ? ORDER BY k.rowid")) {
        const auto [day, hour] = DayHourOf(r[2]);
        d.pinned.append({r[0], r[1], day, hour});
    }
}

void ExportRules(const Session& session, SchoolDocument& d) {
    for (const QStringList& r :
         Read(session,
              "SELECT t.TEACHER, x.DISPLAY_DAY FROM DENY_TEACHERS_DAYS x JOIN TEACHERS t "
              "ON t.TEACHER_ID = x.TEACHER_ID WHERE x.SCHOOL_USERNAME = ? ORDER BY x.rowid")) {
        d.absent_days.append({r[0], DayOf(r[1])});
    }
    for (const QStringList& r :
         Read(session,
              "SELECT t.TEACHER, x.DISPLAY_DAY_HOUR FROM DENY_TEACHERS_HOURS x JOIN TEACHERS t "
              "ON t.TEACHER_ID = x.TEACHER_ID WHERE x.SCHOOL_USERNAME = ? ORDER BY x.rowid")) {
        const auto [day, hour] = DayHourOf(r[1]);
        d.free_hours.append({r[0], day, hour});
    }
    for (const QStringList& r : Read(session,
                                     "SELECT TEACHER, CLASS1, CLASS2 FROM "
                                     "DISPLAY_TEACHERS_IN_TWO_CLASSES_2 WHERE "
                                     "SCHOOL_USERNAME = ? ORDER BY ENTRY_ORDER")) {
        d.joint.append({r[0], r[1], r[2]});
    }
    for (const QStringList& r : Read(session,
                                     "SELECT CLASS, TEACHER1, TEACHER2 FROM "
                                     "DISPLAY_XWRISMOS_MATHIMATOS_2 WHERE "
                                     "SCHOOL_USERNAME = ? ORDER BY ENTRY_ORDER")) {
        d.split.append({r[0], r[1], r[2]});
    }
    for (const QStringList& r : Read(session,
                                     "SELECT TEACHER1, TEACHER2 FROM "
                                     "DISPLAY_DO_NOT_TEACH_TOGETHER_2 WHERE "
                                     "SCHOOL_USERNAME = ? ORDER BY ENTRY_ORDER")) {
        d.apart.append({r[0], r[1]});
    }
}

}  // namespace

void ImportSchool(const Session& session, const SchoolDocument& document) {
    Transaction transaction(session.db);
    ReplaceSchoolRow(session, document);
    InsertNames(session, document);
    InsertRules(session, document);
    transaction.Commit();
}

SchoolDocument ExportSchool(const Session& session) {
    // One read transaction: an import that commits meanwhile is seen wholly
    // or not at all, never one table before and the next after it.
    const Transaction reading(session.db);
    SchoolDocument d;
    ExportNames(session, d);
    ExportLessons(session, d);
    ExportRules(session, d);
    return d;
}

}  // namespace taktirio::data
