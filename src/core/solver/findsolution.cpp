// The placement search: class sections one after another, each hour position
// in slot order, a random teacher drawn among those who still owe hours, and
// the class section started again when a slot runs out of candidates.
#include "core/solver/findsolution.h"

#include <cmath>
#include <utility>

#include "core/common/narrow.h"
#include "core/solver/errors.h"
#include "core/solver/slots.h"

namespace taktirio {

Tfindsolution::Tfindsolution(RunContext& context, RandomStream& random,
                             std::uint8_t number_of_classes, std::uint8_t number_of_teachers,
                             std::span<const std::string> class_names,
                             std::span<const std::string> teacher_names,
                             std::span<const std::uint8_t> class_hours,
                             std::span<const std::uint8_t> class_teacher_count,
                             std::span<const std::uint8_t> class_week_hours,
                             const ByteMatrix& class_teachers,
                             const ByteMatrix& teacher_class_hours,
                             const ByteMatrix& pinned_lessons, const ByteMatrix& two_hour_lessons)
    : context_(context),
      random_(random),
      number_of_classes_(number_of_classes),
      number_of_teachers_(number_of_teachers) {
    const std::size_t C = number_of_classes;
    const std::size_t T = number_of_teachers;
    if (!context.index.BuiltFor(number_of_classes, number_of_teachers, context.options)) {
        throw ProblemError("The run context was not prepared for this problem and its options.");
    }
    // The values were checked by PrepareSearch; the sizes are checked here too,
    // so that inputs other than the checked ones cannot be read past their end.
    if (class_names.size() <= C || teacher_names.size() <= T || class_hours.size() <= C ||
        class_teacher_count.size() <= C || class_week_hours.size() <= C ||
        class_teachers.rows() <= C || class_teachers.cols() <= T ||
        teacher_class_hours.rows() <= T || teacher_class_hours.cols() <= C ||
        pinned_lessons.rows() <= C || pinned_lessons.cols() < kSlotColumns ||
        two_hour_lessons.rows() <= C || two_hour_lessons.cols() <= T) {
        throw ProblemError("The solver's inputs are smaller than their counts.");
    }
    class_hours_.assign(C + 1, 0);
    class_week_hours_.assign(C + 1, 0);
    class_teacher_count_.assign(C + 1, 0);
    class_names_.assign(C + 1, std::string());
    teacher_names_.assign(T + 1, std::string());
    class_teachers_ = ByteMatrix(C + 1, T + 1);
    two_hour_left_ = ByteMatrix(C + 1, T + 1);
    hours_left_ = ByteMatrix(T + 1, C + 1);
    timetable_ = ByteMatrix(C + 1, kSlotColumns);

    for (std::size_t c = 1; c <= C; ++c) {
        class_hours_[c] = class_hours[c];
        class_week_hours_[c] = class_week_hours[c];
        class_teacher_count_[c] = class_teacher_count[c];
        class_names_[c] = class_names[c];
        for (std::size_t t = 1; t <= T; ++t) {
            class_teachers_(c, t) = class_teachers(c, t);
            hours_left_(t, c) = teacher_class_hours(t, c);
            two_hour_left_(c, t) = two_hour_lessons(c, t);
        }
        for (std::size_t s = 1; s <= kSlots; ++s) {
            timetable_(c, s) = pinned_lessons(c, s);
        }
    }
    for (std::size_t t = 1; t <= T; ++t) {
        teacher_names_[t] = teacher_names[t];
    }
    timetable_start_ = timetable_;
    if (context.options.no_single_hour_runs) {
        pinned_ = pinned_lessons;
    }
    two_hour_start_ = two_hour_left_;
    hours_start_ = hours_left_;
    if (context.options.day_hours_limit_on) {
        BookPinnedHours();
    }
    evidence_ = SearchEvidence::Sized(number_of_classes, number_of_teachers);
}

Tfindsolution::Tfindsolution(RunContext& context, RandomStream& random, const SolverInputs& in)
    : Tfindsolution(context, random, in.number_of_classes, in.number_of_teachers, in.class_names,
                    in.teacher_names, in.class_hours, in.class_teacher_count, in.class_week_hours,
                    in.class_teachers, in.teacher_class_hours, in.pinned_lessons,
                    in.two_hour_lessons) {}

bool Tfindsolution::Search() {
    ++evidence_.attempts;
    for (int c = 1; c <= number_of_classes_; ++c) {
        if (FillClass(c) != ClassOutcome::kCompleted) {
            return false;
        }
    }
    return true;
}

Tfindsolution::ClassOutcome Tfindsolution::FillClass(int c) {
    const std::int32_t limit = context_.options.attempts_per_class;
    std::int32_t attempts = 1;
    ++class_starts_;
    for (;;) {
        bool stopped = false;
        if (FillPositions(c, stopped)) {
            if (!JointLessons(c)) {
                if (!day_load_.empty()) {
                    SaveDayLoad();
                }
                return ClassOutcome::kCompleted;
            }
            // The joint-lesson test refused the completed class section. It is
            // started again like one that ran out of candidates, and bounded
            // the same way, so that a class section the test can never accept
            // ends the attempt instead of looping for ever.
            ++evidence_.joint_refusals[AsIndex(c)];
        } else if (stopped) {
            return ClassOutcome::kStopped;
        }
        ++evidence_.class_failures[AsIndex(c)];
        if (attempts >= limit) {
            ++evidence_.attempts_ended[AsIndex(c)];
            return ClassOutcome::kGaveUp;
        }
        RestartClass(c);
        ++attempts;
        ++class_starts_;
    }
}

bool Tfindsolution::FillPositions(int c, bool& stopped) {
    const int hours = class_hours_[AsIndex(c)];
    const std::uint8_t* position_slot = context_.index.position_slot.data();
    std::uint8_t* row = timetable_.row(AsIndex(c));
    // Plain counters of this object, nothing shared; only a refused try is
    // counted (placements are draws less refusals), which keeps the common
    // path of a draw as it was.
    std::int64_t* refusals = evidence_.refusals.data();
    std::int64_t* teacher_refusals = evidence_.teacher_refusals.data();
    for (int k = 1; k <= hours; ++k) {
        const int s = position_slot[k];
        if (row[s] != 0) {
            continue;  // pinned, copied from a joint lesson, or a two-hour lesson's second hour
        }
        teachersforclass list = ListCandidates(c);
        while (row[s] == 0 && list.count > 0) {
            if (context_.stop.stop_requested()) {
                evidence_.Reached(c, k, s);
                stopped = true;
                return false;
            }
            const int r = PickCandidate(list);
            const int t = list.teachers[r];
            const Refusal outcome = two_hour_left_(AsIndex(c), AsIndex(t)) > 0
                                        ? TryTwoHour(c, s, t)
                                        : TryOneHour(c, s, t);
            if (outcome != Refusal::kPlaced) {
                ++refusals[static_cast<std::size_t>(outcome)];
                ++teacher_refusals[t];
                if (outcome == Refusal::kSlotDenied) {
                    // A two-hour try is refused at its first hour or its second.
                    evidence_.DeniedAt(t, SlotDenied(s, t) ? s : s + kDays);
                }
                DropCandidate(list, r);
            }
        }
        if (row[s] == 0) {
            evidence_.Reached(c, k, s);
            return false;
        }
    }
    evidence_.Reached(c, hours, hours > 0 ? position_slot[hours] : 0);
    return true;
}

// The tests of a try, in their fixed order; the first that refuses names the
// refusal. The order decides which state changes (BookDayHours) happen, so it
// must not change.
Refusal Tfindsolution::TryOneHour(int c, int s, int t) {
    const RunOptions& options = context_.options;
    if (TeacherBusy(t, s)) {
        return Refusal::kTeacherBusy;
    }
    if (SpreadOverDays(t, s, c)) {
        return Refusal::kSpreadOverDays;
    }
    if (SplitSameDay(c, s, t)) {
        return Refusal::kSplitSameDay;
    }
    if (ClassDayFull(s, t, c, 1)) {
        return Refusal::kClassDayFull;
    }
    if (options.no_single_hour_runs &&
        ((s > kDays && timetable_(AsIndex(c), AsIndex(s - kDays)) == t) ||
         PinnedRightAfter(c, s, t))) {
        return Refusal::kSingleHourRun;
    }
    if (SlotDenied(s, t)) {
        return Refusal::kSlotDenied;
    }
    if (options.last_hours_limit_on && context_.index.InLastHours(c, s) && LastHoursFull(t)) {
        return Refusal::kLastHoursFull;
    }
    if (options.day_hours_limit_on && BookDayHours(t, s, 1)) {
        return Refusal::kDayHoursFull;
    }
    if (SameHourConflict(t, s, c - 1)) {
        return Refusal::kSameHourConflict;
    }
    if (options.four_hour_run_limit_on && TooManyInARow(t, 1, s)) {
        return Refusal::kTooManyInARow;
    }
    Place(c, s, t, 1);
    return Refusal::kPlaced;
}

Refusal Tfindsolution::TryTwoHour(int c, int s, int t) {
    const RunOptions& options = context_.options;
    const int s2 = s + kDays;
    // The limit is tested first: past slot 50 there is no cell to look at.
    if (s2 > context_.index.second_hour_limit || timetable_(AsIndex(c), AsIndex(s2)) != 0) {
        return Refusal::kNoRoomForSecond;
    }
    if (TeacherBusy(t, s) || TeacherBusy(t, s2)) {
        return Refusal::kTeacherBusy;
    }
    if (SplitSameDay(c, s, t)) {
        return Refusal::kSplitSameDay;
    }
    if (ClassDayFull(s, t, c, 2)) {
        return Refusal::kClassDayFull;
    }
    if (SlotDenied(s, t) || SlotDenied(s2, t)) {
        return Refusal::kSlotDenied;
    }
    if (options.no_single_hour_runs && PinnedRightAfter(c, s2, t)) {
        return Refusal::kSingleHourRun;
    }
    if (options.last_hours_limit_on && context_.index.InLastHours(c, s2) && LastHoursFull(t)) {
        return Refusal::kLastHoursFull;
    }
    if (options.day_hours_limit_on && BookDayHours(t, s, 2)) {
        return Refusal::kDayHoursFull;
    }
    if (SameHourConflict(t, s, c - 1) || SameHourConflict(t, s2, c - 1)) {
        return Refusal::kSameHourConflict;
    }
    if (options.four_hour_run_limit_on && TooManyInARow(t, 2, s)) {
        return Refusal::kTooManyInARow;
    }
    timetable_(AsIndex(c), AsIndex(s2)) = static_cast<std::uint8_t>(t);
    Place(c, s, t, 2);
    LowerCounter(two_hour_left_, c, t, 1, "two_hour_left");
    return Refusal::kPlaced;
}

void Tfindsolution::Place(int c, int s, int t, int hours) {
    timetable_(AsIndex(c), AsIndex(s)) = static_cast<std::uint8_t>(t);
    LowerCounter(hours_left_, t, c, hours, "hours_left");
}

void Tfindsolution::LowerCounter(ByteMatrix& table, int row, int col, int by, const char* name) {
    std::uint8_t& cell = table(AsIndex(row), AsIndex(col));
    if (cell < by) {
        throw ContradictoryDataError(std::string(name) + "[" + std::to_string(row) + "][" +
                                     std::to_string(col) + "] would drop below 0");
    }
    cell = static_cast<std::uint8_t>(cell - by);
}

teachersforclass Tfindsolution::ListCandidates(int c) const {
    teachersforclass list;
    const std::uint8_t* teachers = class_teachers_.row(AsIndex(c));
    const int count = class_teacher_count_[AsIndex(c)];
    for (int k = 1; k <= count; ++k) {
        const std::uint8_t t = teachers[k];
        if (t != 0 && hours_left_(t, AsIndex(c)) > 0) {
            list.teachers[++list.count] = t;
        }
    }
    return list;
}

int Tfindsolution::PickCandidate(const teachersforclass& list) {
    ++evidence_.draws;
    return 1 + static_cast<int>(random_.Below(list.count));
}

void Tfindsolution::DropCandidate(teachersforclass& list, int r) {
    list.teachers[r] = 0;
    int kept = 0;
    for (int k = 1; k <= list.count; ++k) {
        if (list.teachers[k] != 0) {
            list.teachers[++kept] = list.teachers[k];
        }
    }
    for (int k = kept + 1; k <= list.count; ++k) {
        list.teachers[k] = 0;
    }
    list.count = static_cast<std::uint8_t>(kept);
}

void Tfindsolution::RestartClass(int c) {
    const auto uc = AsIndex(c);
    std::uint8_t* row = timetable_.row(uc);
    const std::uint8_t* start = timetable_start_.row(uc);
    for (std::size_t s = 1; s <= kSlots; ++s) {
        row[s] = start[s];
    }
    for (std::size_t t = 1; t <= number_of_teachers_; ++t) {
        two_hour_left_(uc, t) = two_hour_start_(uc, t);
        hours_left_(t, uc) = hours_start_(t, uc);
    }
    if (!day_load_.empty()) {
        day_load_ = day_load_start_;
    }
}

void Tfindsolution::SaveDayLoad() {
    day_load_start_ = day_load_;
}

std::string Tfindsolution::ElapsedText(double now, double start) {
    constexpr long long kMillisPerDay = 86400000;
    double span = now - start;
    if (span < 0) {
        span += 1.0;  // the search crossed midnight: times of day carry no date
    }
    long long millis = std::llround(span * static_cast<double>(kMillisPerDay));
    millis %= kMillisPerDay;  // whole days are dropped
    const long long hours = millis / 3600000;
    const long long minutes = millis / 60000 % 60;
    const long long seconds = millis / 1000 % 60;
    const long long ms = millis % 1000;
    return std::to_string(hours) + ":" + std::to_string(minutes) + ":" + std::to_string(seconds) +
           ":" + std::to_string(ms);
}

int PlacedCells(const ByteMatrix& timetable) {
    int placed = 0;
    for (std::size_t c = 1; c < timetable.rows(); ++c) {
        for (std::size_t s = 1; s < timetable.cols(); ++s) {
            placed += timetable(c, s) != 0 ? 1 : 0;
        }
    }
    return placed;
}

ByteMatrix FurthestPartialTimetable(const SolverInputs& inputs, const RuleTables& rules,
                                    const RunOptions& options, const RuleIndex& index,
                                    std::uint64_t seed, int attempts, std::stop_token stop) {
    RunContext context;  // its own copy of the tables, under the caller's stop
    context.options = options;
    context.rules = rules;
    context.index = index;
    context.stop = stop;
    RandomStream random(seed);
    ByteMatrix furthest;
    int most = -1;
    for (int attempt = 0; attempt < attempts && !stop.stop_requested(); ++attempt) {
        Tfindsolution search(context, random, inputs);
        const bool complete = search.Search();
        if (const int placed = PlacedCells(search.timetable()); placed > most) {
            most = placed;
            furthest = search.timetable();
        }
        if (complete) {
            break;
        }
    }
    return furthest;
}

}  // namespace taktirio
