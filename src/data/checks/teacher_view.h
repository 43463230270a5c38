#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/solver/slots.h"
#include "data/entry/session.h"

namespace taktirio::data {

// One section of the teacher detailed view: its rows, with the grid's columns
// in order, and the text of its result label.
struct TeacherSection {
    QList<QStringList> rows;
    QString result;
};

// The seven sections for one teacher or pair, in order:
//   1 allocation     CLASS, MONOWRA, DYOWRA, WRES; "<total> Ώρες την εβδομάδα"
//   2 pinned         CLASS, DISPLAY_DAY_HOUR
//   3 absent days    DISPLAY_DAY
//   4 free hours     DISPLAY_DAY_HOUR
//   5 two classes    CLASS1, CLASS2
//   6 lesson split   CLASS, the other TEACHER (each pair once)
//   7 kept apart     the other TEACHER (each once)
// Sections 2 to 7 end in "Συνολικός αριθμός=" and their row count.
using TeacherDetails = std::array<TeacherSection, 7>;
TeacherDetails ReadTeacherDetails(const Session& session, int teacher_id);

// One person's gaps in each solution page of a folder.
struct PersonGapsInPages {
    struct Page {
        int solution = 0;  // the page's number
        int weekly = 0;
        std::array<int, kDays + 1> per_day{};  // [day 1..5]; [0] unused
    };
    std::string name;
    std::vector<Page> pages;  // in the pages' order
    int fewest = -1;          // index in `pages` of the first with the fewest gaps; -1: none
};

// The gaps of a teacher, or of a pair's two members, in the pages present.
struct GapsInPages {
    std::vector<PersonGapsInPages> people;  // empty when the folder holds no page
    std::vector<std::string> unreadable;    // file names of pages that could not be read
};

// Reads every page SOLUTION1.htm to SOLUTION254.htm present in `folder` and
// counts the weekly gaps of the people `teacher_name` stands for (a pair
// "A+B" is A and B; a pair's lessons occupy both). A page that cannot be read
// is listed, not counted. Touches no database, so that it may run on any
// thread; a folder that does not exist holds no page.
GapsInPages ReadGapsInPages(const std::filesystem::path& folder, const std::string& teacher_name);

// One line per person (a pair's lines naming each member) with the solution
// that leaves the fewest gaps, "Λιγότερα κενά στις λύσεις: Λύση 2, 3 την
// εβδομάδα (Δευτέρα 1, Τετάρτη 2)"; then one line per person with every
// page's count, "Κενά στις λύσεις: Λύση 1: 5, Λύση 2: 3"; then the pages that
// could not be read. Empty when there are no pages.
QString GapsInPagesText(const GapsInPages& gaps);

// The same gaps as a small table, for a window with little room: the lines
// with the fewest gaps and the unread pages (GapsInPagesSummary) above a
// table of one row per page and person (GapsInPagesRows) under the titles of
// GapsInPagesColumns: "Λύση", the person's name when the teacher is a pair,
// the week's gaps ("Σύνολο") and each day's. The summary is empty when there are no
// pages.
QString GapsInPagesSummary(const GapsInPages& gaps);
QStringList GapsInPagesColumns(const GapsInPages& gaps);
QList<QStringList> GapsInPagesRows(const GapsInPages& gaps);

}  // namespace taktirio::data
