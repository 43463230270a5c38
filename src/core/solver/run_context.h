#pragma once

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

#include "core/solver/byte_matrix.h"
#include "core/solver/rule_index.h"

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

// One entry of each placement rule table. Teacher and class numbers count
// from 1, slots are 1 to 50 (slots.h).
struct DeniedSlot {  // the teacher does not teach at the slot
    std::uint8_t teacher = 0;
    std::uint8_t slot = 0;
    friend bool operator==(const DeniedSlot&, const DeniedSlot&) = default;
};

struct SameHourPair {  // two teachers who never teach at the same hour
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    // The other teacher of the couple when t is one of them, else 0.
    int PartnerOf(int t) const { return first == t ? second : (second == t ? first : 0); }
    friend bool operator==(const SameHourPair&, const SameHourPair&) = default;
};

struct JointLesson {  // the teacher teaches both class sections at once
    std::uint8_t class1 = 0;
    std::uint8_t class2 = 0;
    std::uint8_t teacher = 0;
    // The other class section of the entry when c is one of them, else 0.
    int PartnerOf(int c) const { return class1 == c ? class2 : (class2 == c ? class1 : 0); }
    // True when the entry joins x and y (either way round) for teacher t.
    bool Joins(int x, int y, int t) const {
        return teacher == t && ((class1 == x && class2 == y) || (class1 == y && class2 == x));
    }
    friend bool operator==(const JointLesson&, const JointLesson&) = default;
};

struct AbsentDays {  // the teacher is absent this many days of the week
    std::uint8_t teacher = 0;
    std::uint8_t days = 0;
    friend bool operator==(const AbsentDays&, const AbsentDays&) = default;
};

struct SplitLesson {  // the two teachers of the class section never share a day there
    std::uint8_t class_section = 0;
    std::uint8_t first = 0;
    std::uint8_t second = 0;
    // The other teacher of the entry when t is one of them, else 0.
    int PartnerOf(int t) const { return first == t ? second : (second == t ? first : 0); }
    friend bool operator==(const SplitLesson&, const SplitLesson&) = default;
};

// The placement rule tables, in the order the loader or a generator adds
// their entries. They are read only through the typed views, so that no
// reader counts entries or fields by hand.
class RuleTables {
  public:
    void AddLastDay(std::uint8_t slot);  // a slot of an eighth hour, ascending
    void AddDeniedSlot(std::uint8_t teacher, std::uint8_t slot);
    void AddSameHourPair(std::uint8_t first, std::uint8_t second);
    void AddJointLesson(std::uint8_t class1, std::uint8_t class2, std::uint8_t teacher);
    void AddDeniedDays(std::uint8_t teacher, std::uint8_t days);
    void AddSplitLesson(std::uint8_t class_section, std::uint8_t first, std::uint8_t second);
    // Empty one table, for code that states a school again without it.
    void ClearEighthHours() { eighth_hour_slots_.clear(); }
    void ClearJointLessons() { joint_lessons_.clear(); }
    void ClearAbsentDays() { absent_days_.clear(); }
    void ClearDeniedSlots() { denied_slots_.clear(); }

    // The slots of the school's eighth hours, ascending; empty without any.
    std::span<const std::uint8_t> EighthHourSlots() const { return eighth_hour_slots_; }
    bool HasEighthHours() const { return !eighth_hour_slots_.empty(); }
    std::span<const DeniedSlot> DeniedSlots() const { return denied_slots_; }
    std::span<const SameHourPair> SameHourPairs() const { return same_hour_pairs_; }
    std::span<const JointLesson> JointLessons() const { return joint_lessons_; }
    std::span<const AbsentDays> AbsentDaysOfTeachers() const { return absent_days_; }
    std::span<const SplitLesson> Splits() const { return splits_; }

    ByteMatrix teacher_class_hours_all;  // [teacher][class] = full weekly hours

  private:
    std::vector<std::uint8_t> eighth_hour_slots_;
    std::vector<DeniedSlot> denied_slots_;
    std::vector<SameHourPair> same_hour_pairs_;
    std::vector<JointLesson> joint_lessons_;
    std::vector<AbsentDays> absent_days_;
    std::vector<SplitLesson> splits_;
};

// The time of day as a fraction of a day, read from the local clock.
double TimeOfDayNow();

// What one run shares with every solver object it creates: the options, the
// rule tables, the index derived from them and the run's stop. A solver
// object only reads it; the run decides what becomes of a completed timetable.
struct RunContext {
    RunOptions options;
    RuleTables rules;

    // The run's one stop: the search returns at its next draw once it is asked.
    std::stop_token stop;

    // Lookup tables derived from `rules`; built by PrepareSearch.
    RuleIndex index;
};

}  // namespace taktirio
