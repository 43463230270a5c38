#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/rules/placement_rule.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// The placement rules a finished timetable is checked against.
enum class VerifyRule {
    kHours,         // each teacher's weekly hours in each class section, exactly
    kTwoHour,       // two-hour lessons as two consecutive hours of one day
    kTeacherClash,  // a teacher in one place at a time (joint lessons excepted)
    kDeniedSlot,    // slots refused to a teacher
    kSpread,        // few hours in a class section: at most once a day
    kSplit,         // the two teachers of a split lesson never on the same day
    kClassDay,      // most hours of a teacher in one class section on one day
    kLastHours,     // most last-hour lessons of a teacher in the week
    kDayHours,      // most hours of a teacher on one day
    kSameHour,      // pairs of teachers who never teach at the same slot
    kFiveInARow,    // no teacher teaches five hours in a row
    kSingleRuns,    // no one-hour lesson right after the same teacher's hour
    kJoint,         // joint lessons at the same slots in both class sections, once a day
    kPositions,     // every hour position of a class section filled, nothing outside them
    kPinned,        // pinned lessons kept where they were pinned
};

// How the verifier reads a timetable.
enum class VerifyMode {
    // As the search built it: each searched lesson is judged against the cells
    // that stood when the search placed it (see VerifyTimetable).
    kAsSearched,
    // As a finished timetable that may not come from the search (one reworked
    // toward fewer gaps): every rule is judged on the final cells, whatever
    // the order they were filled in (see VerifyTimetable).
    kFinished,
};

// The placement rule a verifier's rule judges.
PlacementRule PlacementRuleOf(VerifyRule rule);

// The rule's fixed English key, such as "teacher_clash" (RuleKey).
std::string_view RuleName(VerifyRule rule);

// One broken rule. Numbers that do not apply are 0 (slot 0: the whole week).
struct Violation {
    VerifyRule rule = VerifyRule::kHours;
    int class_section = 0;
    int teacher = 0;
    int slot = 0;
    std::string detail;
};

// An independent referee for finished timetables: it re-checks every placement
// rule on the final table with plain loops and shares no code with the search.
//
// The rules are checked as the search applies them, no stricter. The search
// tests a lesson once, when it places it, against the cells present at that
// moment; pinned lessons and joint lessons copied into a partner class section
// are never tested. The verifier therefore tells the three kinds of cells apart
// and rebuilds the order in which they appeared:
//   - pinned: the cell holds the lesson pinned there; present from the start;
//   - copy: the teacher of a joint lesson in the later of its two class sections
//     where the earlier one holds the same teacher at that slot; present from
//     the completion of the earlier class section;
//   - searched: every other lesson. Class sections are filled in ascending
//     number, each along its hour positions, and a teacher's two-hour lessons are
//     all placed before the teacher's one-hour lessons in that class section, so
//     walking the positions in order recovers each lesson, its kind and its turn.
// A rule is then broken by a searched lesson exactly when the cells that stood
// before it would have made the search refuse it.
//
// In kFinished mode no order exists. Cells are told apart the same way, pinned
// lessons and copies are still not judged themselves, but every cell of the
// final table counts when a searched cell (c, s) of teacher t is judged:
//   - t in another class section at s is a clash, unless the two class
//     sections share a joint lesson of t;
//   - a same-hour partner of t at s in any other class section, a refused slot,
//     or the split partner of t anywhere in c on the same day breaks its rule;
//   - t's hours in c on that day above the allowance (raised from 2 to 3 when
//     t's weekly hours in c exceed twice its available days), once per day;
//   - with the options on, for each person (a single teacher's row, and every
//     pair they are in, counted together; a lesson given to two class
//     sections at once is one hour; pinned lessons and copies count): the
//     slots among the last five slot numbers up to each class section's
//     hours above the limit (once per person); the hours of one day above the
//     day limit (once per day); each run of five consecutive hours of a day.
//     The reading as searched counts these row by row, as the search did
//     before a teacher's day counted the person.
// Nor does a finished timetable say which hours form two-hour lessons. The
// searched hours of t in c are read as the owed two-hour lessons (as many as
// the hours allow), each two consecutive hours of one day whose second hour
// lies no later than slot 35 in a week with eighth hours, and one-hour lessons
// for the rest. A one-hour lesson of a teacher with no more weekly hours in c
// than available days must be t's only hour in c that day, and with no
// single-hour runs it must not follow t's hour in c. The timetable passes when
// some reading meets all of this; otherwise the verifier reports two_hour when
// the hours hold too few pairs at all, else one invalid one-hour lesson. Owed
// two-hour lessons that the hours cannot hold, with one-hour lessons left, are
// a two_hour breach as well.
// A timetable the search built passes kFinished too: the search tests a joint
// lesson once, in its first class section, before copying it into the other.
//
// `timetable` is [class][slot] = teacher, 0 = free, sized at least [C + 1][51].
// Throws std::invalid_argument when the problem's own tables are malformed
// (sizes, or numbers out of range in the rule tables).
std::vector<Violation> VerifyTimetable(const SolverInputs& inputs, const RunOptions& options,
                                       const RuleTables& rules, const ByteMatrix& timetable,
                                       VerifyMode mode = VerifyMode::kAsSearched);

// One line for tests and diagnostics, by numbers and the rule's key, for
// instance "teacher_clash: class 2, teacher 3, slot 8 (day 3, hour 2): also
// in class 1". The user's line, with the school's names, is ViolationLine.
std::string Describe(const Violation& violation);

}  // namespace taktirio
