// The working copy's rules: the ones the user entered, renumbered, and the
// ones derived from teacher pairs (absences spread to the pairs of a teacher,
// pairs kept apart from their members and from pairs sharing a member).
#include <QSet>

#include "core/solver/slots.h"
#include "data/database/database.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/validation.h"
#include "data/prepare/working_copy.h"
#include "data/prepare/working_copy_builder.h"

namespace taktirio::data::detail {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// A (teacher, slot) written once per table, however many members pass it on.
int Key(int teacher, int slot) {
    return teacher * kSlotColumns + slot;
}

[[noreturn]] void RefuseText(const char* table, const QString& text) {
    RefusePreparation(
        S("Ο πίνακας %1 έχει άγνωστη μέρα ή ώρα «%2».").arg(QLatin1String(table), text),
        QStringLiteral("%1: unknown day or hour '%2'").arg(QLatin1String(table), text));
}

}  // namespace

// Step 8: lessons split between two teachers, one orientation each.
void WorkingCopyBuilder::CopySplit() {
    PreparedStatement insert(working_, S("INSERT INTO XWRISMOS_MATHIMATOS(CLASS_ID, TEACHER_ID_1, "
                                         "TEACHER_ID_2, TEACHER_1, TEACHER_2, SCHOOL_USERNAME) "
                                         "VALUES(?, ?, ?, ?, ?, ?)"));
    QSqlQuery rows = Read(
        "SELECT CLASS_ID, TEACHER_ID_1, TEACHER_ID_2 FROM DISPLAY_XWRISMOS_MATHIMATOS_2 "
        "WHERE SCHOOL_USERNAME = ? ORDER BY ENTRY_ORDER");
    while (rows.next()) {
        const int c = NewClassId(rows.value(0), "XWRISMOS_MATHIMATOS");
        const int t1 = NewTeacherId(rows.value(1), "XWRISMOS_MATHIMATOS");
        const int t2 = NewTeacherId(rows.value(2), "XWRISMOS_MATHIMATOS");
        insert.Exec({c, t1, t2, TeacherName(t1), TeacherName(t2), school_});
    }
}

void WorkingCopyBuilder::InsertApart(int first, int second, int from_human) {
    Run(working_,
        S("INSERT INTO TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR(FIRST_TEACHER_ID, SECOND_TEACHER_ID, "
          "FIRST_TEACHER, SECOND_TEACHER, SET_FROM_HUMAN, SCHOOL_USERNAME) "
          "VALUES(?, ?, ?, ?, ?, ?)"),
        {first, second, TeacherName(first), TeacherName(second), from_human, school_});
}

// Step 9: the teachers the user keeps apart, one orientation each.
void WorkingCopyBuilder::CopyApart() {
    QSqlQuery rows = Read(
        "SELECT TEACHER_ID_1, TEACHER_ID_2 FROM DISPLAY_DO_NOT_TEACH_TOGETHER_2 "
        "WHERE SCHOOL_USERNAME = ? ORDER BY ENTRY_ORDER");
    while (rows.next()) {
        InsertApart(NewTeacherId(rows.value(0), "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR"),
                    NewTeacherId(rows.value(1), "TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR"), 1);
    }
}

// Step 10: teachers in two class sections at once, both orientations.
void WorkingCopyBuilder::CopyJoint() {
    PreparedStatement insert(working_,
                             S("INSERT INTO KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA(TEACHER_ID, "
                               "CLASS_ID_1, CLASS_ID_2, TEACHER_NAME, CLASS_1, CLASS_2, "
                               "SCHOOL_USERNAME) VALUES(?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery rows = Read(
        "SELECT TEACHER_ID, CLASS_ID_1, CLASS_ID_2 FROM KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA "
        "WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
    const char* table = "KATHIGHTES_POY_DIDASKOYN_SE_DYO_TMHMATA";
    while (rows.next()) {
        const int t = NewTeacherId(rows.value(0), table);
        const int c1 = NewClassId(rows.value(1), table);
        const int c2 = NewClassId(rows.value(2), table);
        insert.Exec({t, c1, c2, TeacherName(t), ClassName(c1), ClassName(c2), school_});
    }
}

// Step 11: an absent day is the day's ten slots, for the teacher and for
// every pair the teacher belongs to.
void WorkingCopyBuilder::CopyAbsentDays() {
    PreparedStatement insert(working_,
                             S("INSERT INTO DENY_TEACHERS_DAYS(TEACHER_ID, WRA, DISPLAY_DAY, "
                               "SCHOOL_USERNAME) VALUES(?, ?, ?, ?)"));
    QSet<int> written;
    QSqlQuery rows = Read(
        "SELECT TEACHER_ID, DISPLAY_DAY FROM DENY_TEACHERS_DAYS WHERE SCHOOL_USERNAME = ? "
        "ORDER BY rowid");
    while (rows.next()) {
        const int teacher = NewTeacherId(rows.value(0), "DENY_TEACHERS_DAYS");
        const QString day_text = rows.value(1).toString();
        const int day = DayNumber(day_text);
        if (day == 0) {
            RefuseText("DENY_TEACHERS_DAYS", day_text);
        }
        for (const int receiver : Receivers(teacher)) {
            for (int hour = 1; hour <= kMaxHoursPerDay; ++hour) {
                const int slot = SlotOf(day, hour);
                if (!written.contains(Key(receiver, slot))) {
                    written.insert(Key(receiver, slot));
                    insert.Exec({receiver, slot, day_text, school_});
                }
            }
        }
    }
}

// Step 12: pinned lessons at their slots.
void WorkingCopyBuilder::CopyPinned() {
    PreparedStatement insert(working_,
                             S("INSERT INTO KARFWTOI(CLASS_ID, TEACHER_ID, [HOUR], "
                               "DISPLAY_DAY_HOUR, SCHOOL_USERNAME) VALUES(?, ?, ?, ?, ?)"));
    QSqlQuery rows = Read(
        "SELECT CLASS_ID, TEACHER_ID, DISPLAY_DAY_HOUR FROM KARFWTOI WHERE SCHOOL_USERNAME = ? "
        "ORDER BY rowid");
    while (rows.next()) {
        const int c = NewClassId(rows.value(0), "KARFWTOI");
        const int t = NewTeacherId(rows.value(1), "KARFWTOI");
        int slot = 0;
        QString text;
        if (!SlotOfHourText(rows.value(2).toString(), slot, text)) {
            RefuseText("KARFWTOI", rows.value(2).toString());
        }
        insert.Exec({c, t, slot, text, school_});
    }
}

// Step 13: free hours, for the teacher and every pair the teacher belongs to.
void WorkingCopyBuilder::CopyFreeHours() {
    PreparedStatement insert(working_,
                             S("INSERT INTO DENY_TEACHERS_HOURS(TEACHER_ID, WRA, DISPLAY_DAY_HOUR, "
                               "SCHOOL_USERNAME) VALUES(?, ?, ?, ?)"));
    QSet<int> written;
    QSqlQuery rows = Read(
        "SELECT TEACHER_ID, DISPLAY_DAY_HOUR FROM DENY_TEACHERS_HOURS WHERE SCHOOL_USERNAME = ? "
        "ORDER BY rowid");
    while (rows.next()) {
        const int teacher = NewTeacherId(rows.value(0), "DENY_TEACHERS_HOURS");
        int slot = 0;
        QString text;
        if (!SlotOfHourText(rows.value(1).toString(), slot, text)) {
            RefuseText("DENY_TEACHERS_HOURS", rows.value(1).toString());
        }
        for (const int receiver : Receivers(teacher)) {
            if (!written.contains(Key(receiver, slot))) {
                written.insert(Key(receiver, slot));
                insert.Exec({receiver, slot, text, school_});
            }
        }
    }
}

// Step 14: a pair never teaches at the same hour as one of its members.
void WorkingCopyBuilder::PairsAgainstMembers() {
    for (const WorkingPair& pair : pairs_) {
        const QList<QString> members = pair.first == pair.second
                                           ? QList<QString>{pair.first}
                                           : QList<QString>{pair.first, pair.second};
        for (const QString& member : members) {
            const auto single = single_by_name_.constFind(member);
            if (single != single_by_name_.constEnd()) {
                InsertApart(pair.id, *single, 0);
            }
        }
    }
}

// Step 15: nor as another pair that shares a member; each couple of pairs
// once, the one listed first in the first column.
void WorkingCopyBuilder::PairsSharingMembers() {
    for (qsizetype i = 0; i < pairs_.size(); ++i) {
        for (qsizetype j = i + 1; j < pairs_.size(); ++j) {
            const WorkingPair& a = pairs_[i];
            const WorkingPair& b = pairs_[j];
            const bool share = a.first == b.first || a.first == b.second || a.second == b.first ||
                               a.second == b.second;
            if (share && a.name != b.name) {
                InsertApart(a.id, b.id, 0);
            }
        }
    }
}

// Step 16: the eighth-hour slots, which only a week of 36 to 39 hours uses.
void WorkingCopyBuilder::CopyEighthHours() {
    const int busiest = BusiestClassHours(entry_);
    if (busiest < 36 || busiest > 39) {
        return;
    }
    PreparedStatement insert(working_,
                             S("INSERT INTO LAST_DAYS(SCHOOL_USERNAME, DISPLAY_DAY) VALUES(?, ?)"));
    QSqlQuery rows =
        Read("SELECT DISPLAY_DAY FROM LAST_DAYS WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
    while (rows.next()) {
        const int day = DayNumber(rows.value(0).toString());
        if (day == 0) {
            RefuseText("LAST_DAYS", rows.value(0).toString());
        }
        insert.Exec({school_, kFirstEighthHourSlot - 1 + day});
    }
}

}  // namespace taktirio::data::detail
