#include "data/entry/delete_row.h"

#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/pairing_rules.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString Cell(const QStringList& row, qsizetype column) {
    return column < row.size() ? row[column].trimmed() : QString();
}

// An identifier column of a list row; 0 (no entry) when it is missing.
int Id(const QStringList& row, qsizetype column) {
    return Cell(row, column).toInt();
}

// "Διαγραφή της εγγραφής;" followed by label:value lines.
QString EntryQuestion(std::initializer_list<std::pair<const char*, QString>> lines) {
    QString text = S("Διαγραφή της εγγραφής;");
    for (const auto& [label, value] : lines) {
        text += u'\r' + S(label) + value;
    }
    return text;
}

}  // namespace

QString DeleteQuestion(EntryWindow window, const QStringList& row) {
    switch (window) {
        case EntryWindow::kClasses:
            return S("Διαγραφή του τμήματος ") + Cell(row, 0) + u';';
        case EntryWindow::kTeachers:
            return S("Διαγραφή του διδάσκοντος ") + Cell(row, 1) + u';';
        case EntryWindow::kPairs:
            return S("Διαγραφή του ζεύγους διδασκόντων \r") + Cell(row, 1) + u';';
        case EntryWindow::kAllocation:
            return EntryQuestion({{"Διδάσκων:", Cell(row, 0)},
                                  {"Μονόωρα:", Cell(row, 1)},
                                  {"Δίωρα:", Cell(row, 2)}}) +
                   u';';
        case EntryWindow::kEighthHourDays:
            return S("Διαγραφή της μέρας ") + Cell(row, 0) + u';';
        case EntryWindow::kPinned:
            // The word for class starts with a Latin T in these two questions.
            return EntryQuestion({{"Διδάσκων:", Cell(row, 2)},
                                  {"Tμήμα:", Cell(row, 0)},
                                  {"Μέρα και Ώρα:", Cell(row, 1)}});
        case EntryWindow::kAbsentDays:
            return EntryQuestion({{"Διδάσκων:", Cell(row, 1)}, {"Μέρα:", Cell(row, 0)}});
        case EntryWindow::kFreeHours:
            return EntryQuestion({{"Διδάσκων:", Cell(row, 1)}, {"Μέρα και Ώρα:", Cell(row, 0)}});
        case EntryWindow::kJoint:
            return EntryQuestion({{"Διδάσκων:", Cell(row, 2)},
                                  {"Tμήμα 1:", Cell(row, 0)},
                                  {"Tμήμα 2:", Cell(row, 1)}});
        case EntryWindow::kSplit:
            return EntryQuestion({{"Τμήμα:", Cell(row, 0)},
                                  {"Διδάσκων 1:", Cell(row, 1)},
                                  {"Διδάσκων 2:", Cell(row, 2)}});
        case EntryWindow::kApart:
            return EntryQuestion({{"Διδάσκων 1:", Cell(row, 0)}, {"Διδάσκων 2:", Cell(row, 1)}});
    }
    return {};
}

int DeleteRow(const Session& session, EntryWindow window, const QStringList& row) {
    // Each entry goes by the identifiers its list row carries after the
    // columns the grid shows (see ListQuery).
    switch (window) {
        case EntryWindow::kClasses:
            return DeleteClass(session, Id(row, 1));
        case EntryWindow::kTeachers:
            return DeleteTeacher(session, Id(row, 2));
        case EntryWindow::kPairs:
            return DeletePair(session, Id(row, 2));
        case EntryWindow::kAllocation:
            return DeleteAllocation(session, Id(row, 4), Id(row, 3), Id(row, 1), Id(row, 2));
        case EntryWindow::kEighthHourDays:
            return DeleteEighthHourDay(session, Cell(row, 0));
        case EntryWindow::kPinned:
            return DeletePinned(session, Id(row, 3), Id(row, 4), Cell(row, 1));
        case EntryWindow::kAbsentDays:
            return DeleteAbsentDay(session, Id(row, 2), Cell(row, 0));
        case EntryWindow::kFreeHours:
            return DeleteFreeHour(session, Id(row, 2), Cell(row, 0));
        case EntryWindow::kJoint:
            return DeleteJoint(session, Id(row, 3), Id(row, 4), Id(row, 5));
        case EntryWindow::kSplit:
            return DeleteSplit(session, Id(row, 3), Id(row, 4), Id(row, 5));
        case EntryWindow::kApart:
            return DeleteApart(session, Id(row, 2), Id(row, 3));
    }
    return 0;
}

}  // namespace taktirio::data
