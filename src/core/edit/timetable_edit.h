#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/gaps/teacher_gaps.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"
#include "core/verify/timetable_verifier.h"

namespace taktirio {

// Hand changes to a finished timetable: one lesson of a class section asked
// to another slot of the same class section, and the exchange that takes it
// there while every placement rule of the run still holds.

// "The lesson of class section X at `from_slot` to `to_slot`".
struct MoveRequest {
    int class_section = 0;
    int from_slot = 0;
    int to_slot = 0;
};

// One cell that an exchange changes: the teacher before and after (0: free).
struct CellChange {
    int class_section = 0;
    int slot = 0;
    int before = 0;
    int after = 0;

    friend bool operator==(const CellChange&, const CellChange&) = default;
};

// A person whose lessons an exchange moves, with their weekly gaps.
struct PersonGapChange {
    int person = 0;
    int before = 0;
    int after = 0;
};

struct EditLimits {
    // The most class sections one exchange may reach: a chain longer than this
    // changes more of the handed-out timetables than a hand change should.
    int most_classes = 6;
};

// What the editor found for a request.
struct MoveProposal {
    bool keeps_rules = false;
    // The exchange: every cell it changes, in every class section, by class
    // section and slot. When refused, the exchange that came closest, whose
    // breaches `blocking` lists.
    std::vector<CellChange> changes;
    // Refused: what the verifier finds broken once `changes` are made.
    std::vector<Violation> blocking;
    // Refused: the exchange would have had to reach more class sections.
    bool beyond_reach = false;
    // The people whose lessons move, with their gaps before and after.
    std::vector<PersonGapChange> gaps;
    GapSummary gaps_before;
    GapSummary gaps_after;
};

// Makes `changes` on the timetable (their `after`), or takes them back.
void ApplyChanges(ByteMatrix& timetable, std::span<const CellChange> changes);
void RevertChanges(ByteMatrix& timetable, std::span<const CellChange> changes);

// Why a request cannot be asked of this timetable at all (no lesson in the
// cell, the same cell twice, a slot outside the week), worded for the user;
// nothing when it can.
std::optional<std::string> RequestProblem(const SolverInputs& inputs, const ByteMatrix& timetable,
                                          const MoveRequest& request);

// Finds exchanges for hand moves. The plain exchange for "lesson of X from a
// to b" swaps slots a and b of X. When the lesson displaced from b cannot go
// to a, it may go to a third slot e of X whose lesson takes a (a rotation of
// three slots). When a teacher would then be in two places at once (the same
// teacher, a person of a pair, or two teachers who may never teach at the
// same hour), the class section holding the other lesson moves the same
// slots the same way, and so on, up to a few class sections; a joint lesson
// moves in both its class sections. A two-hour lesson moves with the hour
// below or above it. Pinned lessons never move: an exchange that reaches one
// is refused by the verifier. Among the exchanges that keep every rule,
// judged as `verify` judges a page, the one changing the fewest cells wins;
// when none does, the refusal is the plain exchange's, as the verifier's
// finished reading words it.
class TimetableEditor {
  public:
    TimetableEditor(const SolverInputs& inputs, const RunOptions& options, const RuleTables& rules,
                    EditLimits limits = {});

    // std::invalid_argument (worded as RequestProblem) for a request that
    // cannot be asked. `timetable` is [class][slot], sized [C + 1][51].
    MoveProposal Propose(const ByteMatrix& timetable, const MoveRequest& request) const;

    // What stands in the way of a refused exchange, in plain words: for each
    // breach of a teacher who would be in two places at once (the same
    // teacher, a person of a pair, two who may not teach at the same hour),
    // who already teaches at that hour and where, "ο T7 διδάσκει ήδη στο Α4
    // την Παρασκευή 1η ώρα"; for a pinned lesson the exchange would move,
    // that it is pinned. `timetable` is the one the request was asked of;
    // each line once, in the order of the breaches.
    std::vector<std::string> InTheWay(const ByteMatrix& timetable,
                                      const MoveProposal& proposal) const;

    const TeacherPeople& people() const { return people_; }
    const RunOptions& options() const { return options_; }
    const EditLimits& limits() const { return limits_; }

  private:
    struct Attempt;

    struct Shape;

    Attempt Exchange(const ByteMatrix& timetable, int class_section, const Shape& shape) const;
    std::vector<Shape> Shapes(const ByteMatrix& timetable, const MoveRequest& request) const;
    std::vector<Violation> JudgeCandidate(const ByteMatrix& timetable,
                                          bool finished_reading_holds) const;
    bool Conflict(int t, int u) const;
    bool Joint(int x, int y, int t) const;
    void CountGapChanges(const ByteMatrix& before, MoveProposal& proposal) const;

    const SolverInputs& inputs_;
    const RunOptions options_;  // a copy: a few numbers, often a temporary
    const RuleTables& rules_;
    EditLimits limits_;
    TeacherPeople people_;
    std::vector<char> conflict_;  // [t * (T + 1) + u]: t and u cannot share a slot
};

}  // namespace taktirio
