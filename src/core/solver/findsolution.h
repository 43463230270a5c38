#pragma once

#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "core/solver/byte_matrix.h"
#include "core/solver/random_stream.h"
#include "core/solver/run_context.h"
#include "core/solver/search_evidence.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// The candidate teachers of one slot; entries 1..count are teacher numbers.
struct teachersforclass {
    std::uint8_t count = 0;
    std::uint8_t teachers[256] = {};
};

// Checks the inputs and the rule tables against the invariants the search
// relies on and derives the rule index under the run's options. Throws
// ProblemError naming the class section, teacher or slot at fault. Once per
// run: the checks before a search, the search and the rework toward fewer
// gaps all read the index it returns.
RuleIndex PrepareSearch(const SolverInputs& inputs, const RuleTables& rules,
                        const RunOptions& options);
// The same into a context: its index from its rules and options.
void PrepareSearch(const SolverInputs& inputs, RunContext& context);

// How many cells of a timetable (pinned, copied and placed) hold a teacher:
// how far an attempt got.
int PlacedCells(const ByteMatrix& timetable);

// The furthest a few attempts of the search get under these rules and
// options: the timetable of the attempt that placed the most lessons, every
// rule holding on each cell it filled (a complete attempt ends them at
// once). Nothing is written or reworked; `stop` ends it. The exact search starts from it
// (ExactSearch::StartFrom).
ByteMatrix FurthestPartialTimetable(const SolverInputs& inputs, const RuleTables& rules,
                                    const RunOptions& options, const RuleIndex& index,
                                    std::uint64_t seed, int attempts, std::stop_token stop = {});

// Only the second half of PrepareSearch, into a context: its index from its
// rules and options (BuildRuleIndex in rule_index.h), without the checks.
void BuildRuleIndex(const SolverInputs& inputs, RunContext& context);

// One search attempt for one school: the problem, the working timetable and
// the counters of what is still to be placed. A run creates a fresh object for
// every attempt, calls Search once and discards the object.
class Tfindsolution {
  public:
    // The context must have been prepared by PrepareSearch for these inputs;
    // the random stream belongs to the run and is shared by its attempts.
    Tfindsolution(RunContext& context, RandomStream& random, std::uint8_t number_of_classes,
                  std::uint8_t number_of_teachers, std::span<const std::string> class_names,
                  std::span<const std::string> teacher_names,
                  std::span<const std::uint8_t> class_hours,
                  std::span<const std::uint8_t> class_teacher_count,
                  std::span<const std::uint8_t> class_week_hours, const ByteMatrix& class_teachers,
                  const ByteMatrix& teacher_class_hours, const ByteMatrix& pinned_lessons,
                  const ByteMatrix& two_hour_lessons);

    // The same, from the inputs bundled as the loader delivers them.
    Tfindsolution(RunContext& context, RandomStream& random, const SolverInputs& inputs);

    // One attempt: true when every class section was completed (timetable()
    // holds the timetable; the run decides what becomes of it); false when
    // stopped or when a class section could not be completed within
    // attempts_per_class starts.
    bool Search();

    // --- the search's own steps -------------------------------------------
    teachersforclass ListCandidates(int c) const;
    // Returns the drawn index r (1..count); the teacher is list.teachers[r].
    int PickCandidate(const teachersforclass& list);
    static void DropCandidate(teachersforclass& list, int r);
    void RestartClass(int c);
    void SaveDayLoad();
    // Hours, minutes, seconds and milliseconds of now - start (fractions of a
    // day), joined by ":". A span across midnight counts the day it crossed.
    static std::string ElapsedText(double now, double start);

    // --- placement rules: true = refuse the try ----------------------------
    bool TeacherBusy(int t, int s) const;
    bool SpreadOverDays(int t, int s, int c) const;
    bool SplitSameDay(int c, int s, int t) const;
    bool ClassDayFull(int s, int t, int c, int hours) const;
    bool SlotDenied(int s, int t) const;
    bool PinnedRightAfter(int c, int s, int t) const;
    bool LastHoursFull(int t) const;
    bool BookDayHours(int t, int s, int hours);
    bool SameHourConflict(int t, int s, int m) const;
    bool TooManyInARow(int t, int hours, int s) const;
    bool JointLessons(int c);

    // --- read access for the run, the verifier and tests -------------------
    std::uint8_t number_of_classes() const { return number_of_classes_; }
    std::uint8_t number_of_teachers() const { return number_of_teachers_; }
    const std::vector<std::uint8_t>& class_hours() const { return class_hours_; }
    const std::vector<std::uint8_t>& class_teacher_count() const { return class_teacher_count_; }
    const std::vector<std::uint8_t>& class_week_hours() const { return class_week_hours_; }
    const ByteMatrix& class_teachers() const { return class_teachers_; }
    const ByteMatrix& hours_left() const { return hours_left_; }
    const ByteMatrix& timetable() const { return timetable_; }
    const ByteMatrix& two_hour_left() const { return two_hour_left_; }
    const ByteMatrix& timetable_start() const { return timetable_start_; }
    const ByteMatrix& two_hour_start() const { return two_hour_start_; }
    const ByteMatrix& hours_start() const { return hours_start_; }
    // [person][day] = hours booked against the day-hours limit: the person's
    // pinned hours, then every hour the search places for one of their rows.
    const ByteMatrix& day_load() const { return day_load_; }
    const ByteMatrix& day_load_start() const { return day_load_start_; }
    const std::vector<std::string>& class_names() const { return class_names_; }
    const std::vector<std::string>& teacher_names() const { return teacher_names_; }

    // Counters of this attempt, for progress and benchmarks.
    std::uint64_t draws() const { return static_cast<std::uint64_t>(evidence_.draws); }
    std::int64_t class_starts() const { return class_starts_; }
    // What this attempt saw: failures, the deepest point, refusals by rule and
    // by teacher. Only this object writes it; the run adds it to its own.
    const SearchEvidence& evidence() const { return evidence_; }

  private:
    enum class ClassOutcome { kCompleted, kGaveUp, kStopped };

    ClassOutcome FillClass(int c);
    bool FillPositions(int c, bool& stopped);
    Refusal TryOneHour(int c, int s, int t);
    Refusal TryTwoHour(int c, int s, int t);
    void Place(int c, int s, int t, int hours);
    int CountOnDay(int c, int day, int t) const;
    int AvailableDays(int t) const {
        return context_.index.available_days[static_cast<std::size_t>(t)];
    }
    void LowerCounter(ByteMatrix& table, int row, int col, int by, const char* name);
    void BookPinnedHours();
    bool PersonHolds(int person, int u) const;
    bool PersonBusyAt(int person, int s) const;
    std::uint64_t LastHourSlotsOf(int person) const;
    bool CopiesBreakLastHours(int c, const std::vector<std::pair<int, int>>& copies) const;

    RunContext& context_;
    RandomStream& random_;

    std::uint8_t number_of_classes_ = 0;
    std::uint8_t number_of_teachers_ = 0;
    std::vector<std::uint8_t> class_hours_;
    std::vector<std::uint8_t> class_teacher_count_;
    std::vector<std::uint8_t> class_week_hours_;
    ByteMatrix class_teachers_;
    ByteMatrix hours_left_;
    ByteMatrix timetable_;
    ByteMatrix two_hour_left_;
    ByteMatrix timetable_start_;
    ByteMatrix two_hour_start_;
    ByteMatrix hours_start_;
    // The pinned lessons alone (the timetable also holds joint copies); kept
    // only when one-hour lessons may not run into the same teacher's hour.
    ByteMatrix pinned_;
    ByteMatrix day_load_;
    ByteMatrix day_load_start_;
    std::vector<std::string> class_names_;
    std::vector<std::string> teacher_names_;

    std::int64_t class_starts_ = 0;
    SearchEvidence evidence_;
};

}  // namespace taktirio
