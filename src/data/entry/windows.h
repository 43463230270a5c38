#pragma once

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include "data/entry/session.h"

namespace taktirio::data {

// The eleven data-entry windows, in the order of the data menu.
enum class EntryWindow {
    kClasses,
    kTeachers,
    kPairs,
    kAllocation,
    kEighthHourDays,
    kPinned,
    kAbsentDays,
    kFreeHours,
    kJoint,
    kSplit,
    kApart,
};

// One grid column: the list query's column it shows and its title.
struct GridColumn {
    QString field;
    QString title;
};

// What a window shows: its caption, the grid's columns (left to right) and
// the prefix of its count label.
struct WindowInfo {
    QString caption;
    QList<GridColumn> columns;
    QString count_prefix;
};

const WindowInfo& InfoOf(EntryWindow window);

// The window's list query, run: the rows its grid shows, in its order, with
// the columns of the list statement (read by position, not by grid order).
// After the columns the grid shows come the identifiers of the row's entry,
// which the grid hides and DeleteRow() deletes by:
//   classes     CLASS, CLASS_ID
//   teachers    SCHOOL_USERNAME, TEACHER, TEACHER_ID
//   pairs       SCHOOL_USERNAME, TEACHER, TEACHER_ID (one of the pair's rows)
//   allocation  TEACHER, MONOWRA, DYOWRA, TEACHER_ID, CLASS_ID
//   8th hour    DISPLAY_DAY (the day is the key)
//   pinned      CLASS, DISPLAY_DAY_HOUR, TEACHER, CLASS_ID, TEACHER_ID
//   absent      DISPLAY_DAY, TEACHER, TEACHER_ID
//   free hours  DISPLAY_DAY_HOUR, TEACHER, TEACHER_ID
//   joint       Expr1, Expr2, Expr3, TEACHER_ID, CLASS_ID_1, CLASS_ID_2
//   split       CLASS, TEACHER1, TEACHER2, CLASS_ID, TEACHER_ID_1, TEACHER_ID_2
//   apart       TEACHER1, TEACHER2, TEACHER_ID_1, TEACHER_ID_2
// The query can scroll both ways, so that a QSqlQueryModel can show it.
// The allocation window lists one class section, `class_id`.
QSqlQuery ListQuery(const Session& session, EntryWindow window, int class_id = 0);
QList<QStringList> ListRows(const Session& session, EntryWindow window, int class_id = 0);

// Whether the grid shows the list query's column `field`.
bool IsShownColumn(EntryWindow window, const QString& field);

// The count over the window's source, scoped to the school (and the class).
int CountRows(const Session& session, EntryWindow window, int class_id = 0);

// The count label: the prefix and the count; for the allocation window
// "Διδάσκοντες=" n " , Ώρες=" class total.
QString CountLabel(const Session& session, EntryWindow window, int class_id = 0);

// One entry of a class or teacher pick list: what it shows and what it yields.
struct PickItem {
    int id = 0;
    QString name;
    friend bool operator==(const PickItem&, const PickItem&) = default;
};

enum class PickList {
    kClasses,           // the school's class sections
    kSingleTeachers,    // teachers without "+"
    kTeachersAndPairs,  // everyone who can be given lessons
};

// A pick list's items ordered by name in Greek order.
QList<PickItem> PickItems(const Session& session, PickList list);

// The fixed day and hour drop-down lists.
QStringList DayItems();
QStringList HourItems();

}  // namespace taktirio::data
