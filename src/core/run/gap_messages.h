#pragma once

#include <string>

#include "core/gaps/teacher_gaps.h"
#include "core/run/run_engine.h"

namespace taktirio {

// The texts that show a run's teacher gaps. None of them changes a line or a
// message of the run itself: they come after or beside them.

// "24 συνολικά, έως 1 ανά καθηγητή"; a reworked timetable shows both counts,
// "129 → 24 συνολικά, έως 10 → 1 ανά καθηγητή".
std::string GapAmountsText(const SolutionGaps& gaps);

// The line printed under a solution's line: "  Κενά καθηγητών: " and the
// amounts, then the person with the most gaps in the written timetable, when
// anybody has one: " (Παπαδόπουλος)". `people` names the persons of the run.
std::string SolutionGapsLine(const SolutionGaps& gaps, const TeacherPeople& people);

// The short form for a column beside the solution's line: "24 (έως 1)", or
// "129 → 24 (έως 10 → 1)" for a reworked timetable.
std::string SolutionGapsCell(const SolutionGaps& gaps);

// The heading of that column, in two lines.
inline constexpr const char* kGapsColumnHeading = "Κενά καθηγητών:\rσύνολο (έως ανά καθηγητή)";

// After a run: "Λιγότερα κενά καθηγητών: Λύση=3 (τα λιγότερα κενά του πιο
// επιβαρυμένου διδάσκοντα: έως 1 ανά καθηγητή, 24 συνολικά)", naming the
// run's first solution whose most burdened teacher has the fewest gaps, the
// smaller total among equals; empty when the run found nothing.
std::string FewestGapsLine(const RunSummary& summary);

// Reworked timetables that the rule check refused: a fault of the program,
// said as such, with what was written instead. Empty for 0.
// The warning for timetables of the exact search that the verifier refused
// (never written); empty for none.
std::string RefusedExactWarning(int refused);
std::string RefusedSearchedWarning(int refused);
std::string RefusedReworksWarning(int refused);

}  // namespace taktirio
