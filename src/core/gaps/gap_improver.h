#pragma once

#include <cstdint>
#include <stop_token>
#include <vector>

#include "core/gaps/teacher_gaps.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/random_stream.h"
#include "core/solver/rule_index.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// What one rework achieved.
struct ImprovementReport {
    GapSummary before;
    GapSummary after;
    std::int64_t moves_tried = 0;
    std::int64_t moves_made = 0;
    bool stopped = false;  // the stop ended it early
};

// Reworks completed timetables toward fewer teacher gaps. It only exchanges
// lessons between slots of a class section, in chains across class sections
// when a teacher would otherwise be in two places at once, and keeps a move
// only when every placement rule of the run still holds. Pinned lessons stay
// where they are; a joint lesson moves in both its class sections at once.
// The worst person's weekly gaps are lowered first, then the total.
//
// One object per worker thread: it keeps its own random stream and scratch
// tables. The inputs, options and rule tables must outlive it.
class GapImprover {
  public:
    // `index` is the run's rule index of these inputs, rules and options;
    // without one the improver derives its own.
    GapImprover(const SolverInputs& inputs, const RunOptions& options, const RuleTables& rules,
                const RuleIndex& index, const TeacherPeople& people, std::uint64_t seed);
    GapImprover(const SolverInputs& inputs, const RunOptions& options, const RuleTables& rules,
                const TeacherPeople& people, std::uint64_t seed);
    ~GapImprover();
    GapImprover(const GapImprover&) = delete;
    GapImprover& operator=(const GapImprover&) = delete;

    // How many moves a round of one rework tries, per class section (up to
    // 60 class sections).
    void SetMovesPerClass(std::int64_t moves) { moves_per_class_ = moves; }
    // How many times the rework heats the timetable again while gaps remain.
    void SetRounds(int rounds) { rounds_ = rounds; }

    // Reworks `timetable` [class][slot] in place and returns true when it
    // changed it. A timetable that does not meet every rule of the run as a
    // finished timetable is left as it is. Stops early, keeping the best
    // timetable reached, once a stop is asked through `stop`.
    bool Improve(ByteMatrix& timetable, std::stop_token stop = {});

    const ImprovementReport& last_report() const { return report_; }

  private:
    class Search;

    const SolverInputs& inputs_;
    const RunOptions& options_;
    const RuleTables& rules_;
    const TeacherPeople& people_;
    RuleIndex index_;
    RandomStream random_;
    std::int64_t moves_per_class_ = 40000;
    int rounds_ = 3;
    ImprovementReport report_;
};

}  // namespace taktirio
