#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "core/generator/school_generator.h"
#include "core/solver/random_stream.h"

// The allocation step of the school generator: who teaches how many hours where,
// and the rules that must be known before a timetable is searched for.
namespace taktirio::generator {

inline constexpr int kMaxLoad = 22;        // most weekly hours of one teacher
inline constexpr int kMaxLessonHours = 5;  // most hours of one teacher in one class section
inline constexpr int kSearchTries = 400;   // random tries when looking for a place for one rule

// Integer draws from one stream, written here rather than taken from <random>
// so that a school is the same on every standard library.
class Dice {
  public:
    explicit Dice(std::uint64_t seed) : stream_(seed) {}

    int Below(int n) { return static_cast<int>(stream_.Below(static_cast<std::uint32_t>(n))); }
    int Range(int low, int high) { return low + Below(high - low + 1); }
    bool Percent(int p) { return Below(100) < p; }
    std::uint64_t Split() { return stream_.Split(); }

    template <typename T>
    void Shuffle(std::vector<T>& v) {
        for (std::size_t i = v.size(); i > 1; --i) {
            std::swap(v[i - 1], v[static_cast<std::size_t>(Below(static_cast<int>(i)))]);
        }
    }

  private:
    RandomStream stream_;
};

enum class LessonKind { kOrdinary, kJoint, kSplit, kPair };

// One row of the allocation: a teacher's hours in one class section.
struct Lesson {
    int class_section = 0;
    int hours = 0;
    int two_hour = 0;
    int teacher = 0;
    LessonKind kind = LessonKind::kOrdinary;
};

// A drawn school before its timetable is known. Teachers 1..singles are single
// teachers, singles + 1.. are the teacher pairs, numbered as the working copy does.
struct Draft {
    int classes = 0;
    int singles = 0;
    std::vector<int> week_hours;  // [c]
    std::vector<Lesson> lessons;
    std::vector<std::pair<int, int>> pair_members;  // [p] = the two single teachers
    std::vector<std::pair<int, int>> joints;        // lesson indexes in class 1 and class 2
    std::vector<std::pair<int, int>> splits;        // lesson indexes of the two halves
    std::vector<std::set<int>> absent_days;         // [teacher] = days, pairs included
    std::vector<std::pair<int, int>> apart;         // single teachers
    std::vector<std::uint8_t> last_days;            // slots, ascending

    int teachers() const { return singles + static_cast<int>(pair_members.size()); }
    int PairTeacher(std::size_t p) const { return singles + 1 + static_cast<int>(p); }
};

// Draws the allocation and the up-front rules of one school; none when the draw
// ran into a corner (no teacher left with room for a lesson, no place for a rule).
std::optional<Draft> DrawDraft(const SchoolSettings& settings, int singles, Dice& dice);

}  // namespace taktirio::generator
