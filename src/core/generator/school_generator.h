#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// What a generated school looks like: its size and how many rules of each kind
// it carries. Counts of rules are counts of what a user enters (one joint lesson,
// one split, one apart pair), not of the rows the working copy derives from them.
struct SchoolSettings {
    std::uint64_t seed = 1;
    int classes = 15;
    int teachers = 0;           // single teachers; 0: about 2.5 per class section
    int week_hours = 35;        // of the busiest class sections; 36..40 need eighth-hour days
    int eighth_hour_days = 0;   // days with an eighth hour: 36..39 hours need at least
                                // week_hours - 35, 40 hours need all five
    int short_classes = 0;      // class sections with one to three hours less than week_hours
    int two_hour_percent = 15;  // share of lessons of two or more hours that hold a two-hour lesson
    int pairs = 0;              // teacher pairs ("A+B"), each teaching one or two lessons
    int joint = 0;              // a teacher who teaches two class sections at once
    int split = 0;              // a lesson of one class section split between two teachers
    int pinned = 0;             // lessons pinned to a day and hour
    int absences = 0;           // (single teacher, day) absences, at most two days a teacher
    int free_hours = 0;         // (single teacher, slot) hours a teacher must be free
    int apart = 0;              // pairs of teachers who never teach at the same hour
    RunOptions options;         // the options under which the school has a timetable

    int draws = 25;              // fresh allocations tried before giving up
    int attempts_per_draw = 40;  // search attempts spent on each allocation
};

// A school with a timetable: the solver's inputs and rule tables as the loader
// would deliver them, and one timetable (indexed [class][slot]) that meets every
// rule under `options`.
struct GeneratedSchool {
    SolverInputs inputs;
    RuleTables rules;
    RunOptions options;
    ByteMatrix witness;

    int draws = 0;     // allocations drawn until one was solved
    int attempts = 0;  // search attempts spent on the allocation that was solved
};

// The settings cannot describe a school (too few teachers, a week that does not
// fit the days, more rules than the school has room for).
class SchoolSettingsError : public std::invalid_argument {
  public:
    explicit SchoolSettingsError(const std::string& what) : std::invalid_argument(what) {}
};

// No allocation drawn within the settings' budget could be solved.
class SchoolGenerationError : public std::runtime_error {
  public:
    explicit SchoolGenerationError(const std::string& what) : std::runtime_error(what) {}
};

// Draws a school and a timetable for it. Lessons, teacher pairs, joint lessons,
// split lessons, absences, apart pairs and eighth hours are drawn first and a
// timetable is searched for under them; pinned lessons and free hours are then
// taken from that timetable. The same settings always yield the same school.
GeneratedSchool GenerateSchool(const SchoolSettings& settings);

// Settings for a school of the given size with a typical amount of every rule.
SchoolSettings TypicalSchool(int classes, std::uint64_t seed);

}  // namespace taktirio
