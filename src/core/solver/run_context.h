#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "solver/byte_matrix.h"
#include "solver/rule_index.h"

namespace taktirio {

// The user's options for one run.
struct RunOptions {
    std::int32_t attempts_per_class = 2000;    // 1000 to 30000 in the run window
    std::uint8_t max_class_hours_per_day = 2;  // 2 or 3
    bool last_hours_limit_on = false;
    std::uint8_t last_hours_limit = 5;  // 1 to 4 when on, 5 when off
    bool day_hours_limit_on = false;
    std::uint8_t day_hours_limit = 10;  // 5 to 10 when on, 10 when off
    bool no_single_hour_runs = false;
    bool four_hour_run_limit_on = false;
    // Beyond the placement rules: each completed timetable is reworked toward
    // fewer teacher gaps, under the same rules, before its page is written.
    bool fewer_gaps = false;
};

// The placement rule tables, laid out as the loader fills them: a count and a
// byte array whose entry k (1 to count) sits at the indices noted. Index 0 of
// each array, and of each entry group, holds nothing. The Add… helpers keep
// count and array in step for code that builds a problem in memory.
struct RuleTables {
    std::uint8_t last_days_count = 0;  // [k] = slot of an eighth hour, ascending
    std::vector<std::uint8_t> last_days{0};
    std::int32_t deny_count = 0;  // [2k] teacher, [2k+1] slot
    std::vector<std::uint8_t> deny_list{0, 0};
    std::int32_t same_hour_count = 0;  // [2k] first, [2k+1] second teacher
    std::vector<std::uint8_t> same_hour_pairs{0, 0};
    std::uint8_t joint_count = 0;  // [3k] class 1, [3k+1] class 2, [3k+2] teacher
    std::vector<std::uint8_t> joint_lessons{0, 0, 0};
    std::uint8_t denied_days_count = 0;  // [2k] teacher, [2k+1] absent days
    std::vector<std::uint8_t> denied_days{0, 0};
    std::uint8_t split_count = 0;  // [3k] class, [3k+1] first, [3k+2] second teacher
    std::vector<std::uint8_t> split_lessons{0, 0, 0};
    ByteMatrix teacher_class_hours_all;  // [teacher][class] = full weekly hours

    void AddLastDay(std::uint8_t slot);
    void AddDeniedSlot(std::uint8_t teacher, std::uint8_t slot);
    void AddSameHourPair(std::uint8_t first, std::uint8_t second);
    void AddJointLesson(std::uint8_t class1, std::uint8_t class2, std::uint8_t teacher);
    void AddDeniedDays(std::uint8_t teacher, std::uint8_t days);
    void AddSplitLesson(std::uint8_t class_section, std::uint8_t first, std::uint8_t second);
};

class Tfindsolution;
struct RunContext;

// Receives each completed timetable; the solution page writer is one
// implementation, tests use recording stand-ins. Called with the run's
// completion lock held, so pages are written one at a time.
class SolutionWriter {
  public:
    virtual ~SolutionWriter() = default;
    virtual void WriteSolution(const Tfindsolution& solution, const RunContext& context) = 0;
};

// The time of day as a fraction of a day, read from the local clock.
double TimeOfDayNow();

// The data one run shares with every solver object it creates: the options,
// the rule tables, the stop flag and the values of the solution under search.
// Only the run writes it, except `solution_time_text`, which the search writes
// under `completion_mutex` just before the page is written.
struct RunContext {
    RunOptions options;
    RuleTables rules;

    std::atomic<bool> stop_requested{false};
    std::int32_t current_solution = 1;
    std::int32_t solutions_requested = 1;
    double solution_start_time = 0.0;  // time of day, fraction of a day
    std::string solution_time_text;

    SolutionWriter* writer = nullptr;              // none: completed timetables are not written
    std::function<double()> clock = TimeOfDayNow;  // replaceable for tests
    std::function<void()> on_attempt_start;        // optional, once per attempt
    // Optional: reworks a completed timetable before its page is written, and
    // answers whether it changed it. Called without the completion lock, so
    // several workers may rework their timetables at once.
    std::function<bool(ByteMatrix& timetable)> improve_timetable;
    std::mutex completion_mutex;

    // Lookup tables derived from `rules`; built by PrepareSearch.
    RuleIndex index;
};

}  // namespace taktirio
