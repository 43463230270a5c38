#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

#include "entry/session.h"

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

}  // namespace taktirio::data
