#include "core/verify/timetable_verifier.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "core/verify/finished_rules.h"

namespace taktirio {

namespace {

// When a cell appeared, as one integer: pinned lessons before everything, then
// class section after class section the lessons placed at each hour position
// (numbered by the position), then the copies the section's completion makes.
constexpr int kPinnedTurn = 0;
constexpr int kTurnsPerClass = 64;  // hour positions 1..50, a stray mark, completion
constexpr int kLastWalkedPosition = kLastEighthHourPosition;  // may map to eighth hours
constexpr int kSecondHourLimitWithEighthHours = kSevenHourWeekSlots;

int PositionTurn(int c, int position) {
    return c * kTurnsPerClass + position;
}
int StrayTurn(int c) {
    return c * kTurnsPerClass + kTurnsPerClass - 2;
}
int CompletionTurn(int c) {
    return c * kTurnsPerClass + kTurnsPerClass - 1;
}

enum class CellKind : std::uint8_t { kFree, kPinned, kCopy, kSearched };

// One successful try of the search: a one-hour lesson at `slot`, or a two-hour
// lesson at `slot` and `second_slot`, placed at `turn`.
struct Lesson {
    int class_section = 0;
    int teacher = 0;
    int slot = 0;
    int second_slot = 0;  // 0 for a one-hour lesson
    int turn = 0;
    int hours() const { return second_slot == 0 ? 1 : 2; }
};

// The five windows of five consecutive hours around a slot, in the order the
// search examines them, as offsets from the slot.
constexpr std::array<std::array<int, 5>, 5> kRowWindows = {{
    {-20, -15, -10, -5, 0},
    {0, 5, 10, 15, 20},
    {-15, -10, -5, 0, 5},
    {-5, 0, 5, 10, 15},
    {-10, -5, 0, 5, 10},
}};

std::string Num(int value) {
    return std::to_string(value);
}

[[noreturn]] void Malformed(const std::string& what) {
    throw std::invalid_argument("timetable verifier: " + what);
}

class Referee {
  public:
    Referee(const SolverInputs& inputs, const RunOptions& options, const RuleTables& rules,
            const ByteMatrix& timetable, VerifyMode mode)
        : in_(inputs),
          opt_(options),
          rules_(rules),
          timetable_(timetable),
          mode_(mode),
          classes_(inputs.number_of_classes),
          teachers_(inputs.number_of_teachers) {}

    std::vector<Violation> Run() {
        CheckShapes();
        ReadCells();
        MapPositions();
        CheckPinned();
        ClassifyCells();
        if (mode_ == VerifyMode::kFinished) {
            JudgeFinished();
        } else {
            JudgeAsSearched();
        }
        CheckHours();
        CheckJointOnceADay();
        CheckJointSlots();
        return std::move(found_);
    }

  private:
    void JudgeAsSearched() {
        for (int c = 1; c <= classes_; ++c) {
            RebuildLessons(c);
        }
        for (const Lesson& lesson : lessons_) {
            CheckClash(lesson);
            CheckDenied(lesson);
            CheckSpread(lesson);
            CheckSplit(lesson);
            CheckClassDay(lesson);
            CheckLastHours(lesson);
            CheckDayHours(lesson);
            CheckSameHour(lesson);
            CheckFiveInARow(lesson);
            CheckSingleRuns(lesson);
        }
    }

    void JudgeFinished() {
        std::vector<bool> searched(kind_.size(), false);
        for (std::size_t at = 0; at < kind_.size(); ++at) {
            searched[at] = kind_[at] == CellKind::kSearched;
        }
        const verify_detail::FinalTable table{in_, opt_, rules_, cells_, searched, walk_};
        verify_detail::JudgeFinishedTable(table, found_);
    }

    // --- set-up -------------------------------------------------------------

    void CheckShapes() const {
        const auto c1 = static_cast<std::size_t>(classes_) + 1;
        const auto t1 = static_cast<std::size_t>(teachers_) + 1;
        const auto slots = static_cast<std::size_t>(kSlotColumns);
        if (in_.class_hours.size() < c1) {
            Malformed("class_hours has fewer than C + 1 entries");
        }
        if (in_.pinned_lessons.rows() < c1 || in_.pinned_lessons.cols() < slots) {
            Malformed("pinned_lessons is smaller than [C + 1][51]");
        }
        if (in_.two_hour_lessons.rows() < c1 || in_.two_hour_lessons.cols() < t1) {
            Malformed("two_hour_lessons is smaller than [C + 1][T + 1]");
        }
        if (timetable_.rows() < c1 || timetable_.cols() < slots) {
            Malformed("the timetable is smaller than [C + 1][51]");
        }
        if (rules_.teacher_class_hours_all.rows() < t1 ||
            rules_.teacher_class_hours_all.cols() < c1) {
            Malformed("teacher_class_hours_all is smaller than [T + 1][C + 1]");
        }
        int k = 0;
        for (const int s : rules_.EighthHourSlots()) {
            ++k;
            if (!IsSlot(s)) {
                Malformed("last_days entry " + Num(k) + " is not a slot");
            }
        }
        k = 0;
        for (const JointLesson& joint : rules_.JointLessons()) {
            ++k;
            if (!IsClass(joint.class1) || !IsClass(joint.class2)) {
                Malformed("joint_lessons entry " + Num(k) + " names no class section");
            }
        }
    }

    // Teacher numbers above T cannot be checked against anything; they are
    // reported once and the cell is treated as free from then on.
    void ReadCells() {
        cells_ = ByteMatrix(Index(classes_) + 1, kSlotColumns);
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                const int t = timetable_(Index(c), Index(s));
                if (t > teachers_) {
                    Report(VerifyRule::kHours, c, t, s,
                           "αριθμός διδάσκοντα πάνω από τους " +
                               CountOf(teachers_, "διδάσκοντα", "διδάσκοντες") + " του σχολείου");
                } else {
                    cells_(Index(c), Index(s)) = static_cast<std::uint8_t>(t);
                }
            }
        }
    }

    // Hour position k is slot k, except that with eighth hours positions 36 to
    // 39 are the slots of the entries of last_days; 0 = no slot.
    int PositionSlot(int k) const {
        if (k > kSlots) {
            return 0;
        }
        const std::span<const std::uint8_t> eighth = rules_.EighthHourSlots();
        if (eighth.empty() || k <= kSevenHourWeekSlots || k > kLastWalkedPosition) {
            return k;
        }
        const std::size_t entry = Index(k - kSevenHourWeekSlots - 1);
        return entry < eighth.size() ? eighth[entry] : 0;
    }

    void MapPositions() {
        walk_.assign(Index(classes_) + 1, {});
        for (int c = 1; c <= classes_; ++c) {
            std::vector<bool> seen(kSlotColumns, false);
            for (int k = 1; k <= in_.class_hours[Index(c)]; ++k) {
                const int s = PositionSlot(k);
                if (s == 0) {
                    Report(VerifyRule::kPositions, c, 0, 0,
                           "η θέση ώρας " + Num(k) + " δεν είναι ώρα της εβδομάδας");
                } else if (!seen[Index(s)]) {
                    seen[Index(s)] = true;
                    walk_[Index(c)].emplace_back(k, s);
                }
            }
        }
    }

    void CheckPinned() {
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                const int pinned = Pinned(c, s);
                const int held = timetable_(Index(c), Index(s));
                if (pinned != 0 && held != pinned) {
                    Report(VerifyRule::kPinned, c, pinned, s,
                           held == 0 ? "λείπει το καρφωμένο μάθημα"
                                     : "έχει τον διδάσκοντα " + TeacherName(in_, held) +
                                           " στη θέση του καρφωμένου");
                }
            }
        }
    }

    void ClassifyCells() {
        const std::size_t size = (Index(classes_) + 1) * kSlotColumns;
        kind_.assign(size, CellKind::kFree);
        turn_.assign(size, kPinnedTurn);
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                const int t = Cell(c, s);
                if (t == 0) {
                    continue;
                }
                const std::size_t at = At(c, s);
                if (Pinned(c, s) == t) {
                    kind_[at] = CellKind::kPinned;
                } else if (const int source = LatestCopySource(c, s, t); source != 0) {
                    kind_[at] = CellKind::kCopy;
                    turn_[at] = CompletionTurn(source);
                } else {
                    kind_[at] = CellKind::kSearched;
                    turn_[at] = StrayTurn(c);  // replaced when a lesson claims the cell
                }
            }
        }
    }

    // A completed class section copies each lesson of a joint teacher j at
    // slot p (up to its JointRange) into the free cell of its partner; only a
    // later partner can receive it, since an earlier one is complete and has no
    // hours left. Returns the latest class section that may have made the copy
    // of (b, p) = j, 0 when none can: the copy is certainly present after it.
    // With several joint entries for one class section and teacher the search
    // copies along one of them per slot; any of them is accepted here.
    int LatestCopySource(int b, int p, int j) const {
        int latest = 0;
        for (const JointLesson& joint : rules_.JointLessons()) {
            if (joint.teacher != j) {
                continue;
            }
            const int other = joint.PartnerOf(b);
            if (other != 0 && other < b && p <= JointRange(other) && Cell(other, p) == j) {
                latest = std::max(latest, other);
            }
        }
        return latest;
    }

    // Walks class section c's hour positions in order and turns its searched
    // cells into lessons. A teacher owing two-hour lessons is only ever tried as
    // a two-hour lesson, so the teacher's first lessons in walk order are the
    // two-hour ones. Copies of joint lessons use up the partner's hours before it
    // starts, so a teacher left with fewer searched hours than two per two-hour
    // lesson has placed only as many as those hours allow.
    void RebuildLessons(int c) {
        std::vector<int> searched(Index(teachers_) + 1, 0);
        for (int s = 1; s <= kSlots; ++s) {
            if (Kind(c, s) == CellKind::kSearched) {
                ++searched[Index(Cell(c, s))];
            }
        }
        std::vector<int> blocks_left(Index(teachers_) + 1, 0);
        std::vector<bool> blocks_short(Index(teachers_) + 1, false);
        for (int t = 1; t <= teachers_; ++t) {
            const int owed = in_.two_hour_lessons(Index(c), Index(t));
            blocks_left[Index(t)] = std::min(owed, searched[Index(t)] / 2);
            blocks_short[Index(t)] = blocks_left[Index(t)] < owed;
        }
        const int second_hour_limit =
            rules_.HasEighthHours() ? kSecondHourLimitWithEighthHours : kSlots;
        std::vector<bool> taken(kSlotColumns, false);
        for (const auto& [position, s] : walk_[Index(c)]) {
            const int t = Cell(c, s);
            if (t == 0) {
                Report(VerifyRule::kPositions, c, 0, s,
                       "η θέση ώρας " + Num(position) + " είναι κενή");
                continue;
            }
            if (Kind(c, s) != CellKind::kSearched || taken[Index(s)]) {
                continue;
            }
            Lesson lesson{c, t, s, 0, PositionTurn(c, position)};
            Claim(lesson, s, taken);
            if (blocks_left[Index(t)] > 0) {
                --blocks_left[Index(t)];
                const int s2 = s + kDays;
                if (s2 > second_hour_limit) {
                    Report(VerifyRule::kTwoHour, c, t, s,
                           "εδώ οφείλεται δίωρο, αλλά η δεύτερη ώρα του θα ήταν μετά την " +
                               SlotName(second_hour_limit));
                } else if (Kind(c, s2) != CellKind::kSearched || Cell(c, s2) != t ||
                           taken[Index(s2)]) {
                    Report(VerifyRule::kTwoHour, c, t, s,
                           "εδώ οφείλεται δίωρο, αλλά η " + SlotName(s2) +
                               " δεν έχει τη δεύτερη ώρα του");
                } else {
                    lesson.second_slot = s2;
                    Claim(lesson, s2, taken);
                }
            } else if (blocks_short[Index(t)]) {
                Report(VerifyRule::kTwoHour, c, t, s, "μονόωρο ενώ οφείλονται ακόμη δίωρα");
            }
            lessons_.push_back(lesson);
        }
        for (int s = 1; s <= kSlots; ++s) {
            if (Kind(c, s) == CellKind::kSearched && !taken[Index(s)]) {
                Report(VerifyRule::kPositions, c, Cell(c, s), s,
                       "μάθημα έξω από τις ώρες του τμήματος");
            }
        }
    }

    void Claim(const Lesson& lesson, int s, std::vector<bool>& taken) {
        taken[Index(s)] = true;
        turn_[At(lesson.class_section, s)] = lesson.turn;
    }

    // --- rules tested when a lesson is placed ---------------------------------

    void CheckClash(const Lesson& lesson) {
        for (const int s : {lesson.slot, lesson.second_slot}) {
            if (s == 0) {
                continue;
            }
            for (int i = 1; i <= classes_; ++i) {
                if (i != lesson.class_section && HeldBefore(i, s, lesson.teacher, lesson.turn)) {
                    Report(VerifyRule::kTeacherClash, lesson.class_section, lesson.teacher, s,
                           "διδάσκει την ίδια ώρα και στο τμήμα " + ClassName(in_, i));
                    break;
                }
            }
        }
    }

    void CheckDenied(const Lesson& lesson) {
        for (const int s : {lesson.slot, lesson.second_slot}) {
            for (const DeniedSlot& denied : rules_.DeniedSlots()) {
                if (s != 0 && denied.teacher == lesson.teacher && denied.slot == s) {
                    Report(VerifyRule::kDeniedSlot, lesson.class_section, lesson.teacher, s,
                           "ο διδάσκων δεν διδάσκει αυτή την ώρα");
                    break;
                }
            }
        }
    }

    // One-hour lessons only: two-hour lessons are not spread.
    void CheckSpread(const Lesson& lesson) {
        const int c = lesson.class_section;
        const int t = lesson.teacher;
        if (lesson.second_slot != 0) {
            return;
        }
        const int hours = HoursAll(t, c);
        const int days = AvailableDays(t);
        if (hours > days) {
            return;
        }
        for (int q = DayOfSlot(lesson.slot); q <= kSlots; q += kDays) {
            if (HeldBefore(c, q, t, lesson.turn)) {
                Report(VerifyRule::kSpread, c, t, lesson.slot,
                       "διδάσκει ήδη στο τμήμα την " + SlotName(q) + " (" +
                           CountOf(hours, "ώρα", "ώρες") + " σε " +
                           CountOf(days, "διαθέσιμη ημέρα", "διαθέσιμες ημέρες") + ")");
                return;
            }
        }
    }

    void CheckSplit(const Lesson& lesson) {
        const int c = lesson.class_section;
        const int t = lesson.teacher;
        for (const SplitLesson& split : rules_.Splits()) {
            if (split.class_section != c) {
                continue;
            }
            const int other = split.PartnerOf(t);
            if (other == 0) {
                continue;
            }
            for (int q = DayOfSlot(lesson.slot); q <= kSlots; q += kDays) {
                if (HeldBefore(c, q, other, lesson.turn)) {
                    Report(VerifyRule::kSplit, c, t, lesson.slot,
                           "χωρισμένο μάθημα με τον διδάσκοντα " + TeacherName(in_, other) +
                               ", που διδάσκει την " + SlotName(q));
                    return;
                }
            }
        }
    }

    void CheckClassDay(const Lesson& lesson) {
        const int c = lesson.class_section;
        const int t = lesson.teacher;
        const int days = AvailableDays(t);
        if (days <= 0) {
            // The search divides the teacher's hours by the available days here.
            Report(VerifyRule::kClassDay, c, t, lesson.slot, "ο διδάσκων δεν έχει διαθέσιμη ημέρα");
            return;
        }
        const int hours = HoursAll(t, c);
        int allowance = opt_.max_class_hours_per_day;
        if (allowance == 2 && hours > 2 * days) {
            ++allowance;
        }
        int before = 0;
        for (int q = DayOfSlot(lesson.slot); q <= kSlots; q += kDays) {
            before += HeldBefore(c, q, t, lesson.turn) ? 1 : 0;
        }
        if (before + lesson.hours() > allowance) {
            Report(VerifyRule::kClassDay, c, t, lesson.slot,
                   CountOf(before + lesson.hours(), "ώρα", "ώρες") +
                       " στο τμήμα αυτή την ημέρα, ενώ " + "επιτρέπονται " + Num(allowance));
        }
    }

    // The search tests a one-hour lesson when its slot, and a two-hour lesson
    // when its second slot, lies among the last five slot numbers up to
    // class_hours; it refuses when the limit is already reached, counting in each
    // class section the cells at slot numbers class_hours - 4 to class_hours. A
    // lesson is tested against what stood before it, so copies made later may
    // still push the final count above the limit.
    void CheckLastHours(const Lesson& lesson) {
        if (!opt_.last_hours_limit_on) {
            return;
        }
        const int c = lesson.class_section;
        const int t = lesson.teacher;
        const int probe = lesson.second_slot != 0 ? lesson.second_slot : lesson.slot;
        const int last = in_.class_hours[Index(c)];
        if (probe < last - 4 || probe > last) {
            return;
        }
        int before = 0;
        for (int i = 1; i <= classes_; ++i) {
            const int top = std::min<int>(in_.class_hours[Index(i)], kSlots);
            for (int p = std::max(1, top - 4); p <= top; ++p) {
                before += HeldBefore(i, p, t, lesson.turn) ? 1 : 0;
            }
        }
        if (before >= opt_.last_hours_limit) {
            Report(VerifyRule::kLastHours, c, t, lesson.slot,
                   CountOf(before, "μάθημα", "μαθήματα") +
                       " τελευταίας ώρας πριν από αυτό, ενώ το όριο είναι " +
                       Num(opt_.last_hours_limit));
        }
    }

    // Only lessons the search placed are booked; pinned lessons and copies are
    // not. The search may also keep hours booked for tries it refused later, so
    // it can be stricter than this count, never more lenient.
    void CheckDayHours(const Lesson& lesson) {
        if (!opt_.day_hours_limit_on) {
            return;
        }
        const int t = lesson.teacher;
        int booked = 0;
        for (int i = 1; i <= classes_; ++i) {
            for (int q = DayOfSlot(lesson.slot); q <= kSlots; q += kDays) {
                if (Kind(i, q) == CellKind::kSearched && HeldBefore(i, q, t, lesson.turn)) {
                    ++booked;
                }
            }
        }
        if (booked + lesson.hours() > opt_.day_hours_limit) {
            Report(VerifyRule::kDayHours, lesson.class_section, t, lesson.slot,
                   CountOf(booked + lesson.hours(), "ώρα", "ώρες") +
                       " αυτή την ημέρα, ενώ το όριο είναι " + Num(opt_.day_hours_limit));
        }
    }

    // The search looks only at class sections numbered below the lesson's:
    // partners pinned or copied into later class sections are not seen.
    void CheckSameHour(const Lesson& lesson) {
        const int c = lesson.class_section;
        const int t = lesson.teacher;
        for (const int s : {lesson.slot, lesson.second_slot}) {
            if (s == 0) {
                continue;
            }
            const int partner = SameHourPartnerBelow(t, s, c);
            if (partner != 0) {
                Report(VerifyRule::kSameHour, c, t, s,
                       "ο διδάσκων " + TeacherName(in_, partner) + " διδάσκει την ίδια ώρα");
            }
        }
    }

    int SameHourPartnerBelow(int t, int s, int c) const {
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            const int first = pair.first;
            const int second = pair.second;
            for (int i = 1; i < c; ++i) {
                if (first == t && Cell(i, s) == second) {
                    return second;
                }
                if (second == t && Cell(i, s) == first) {
                    return first;
                }
            }
        }
        return 0;
    }

    // A two-hour lesson counts both its hours in every window, also in the one
    // ending at its first hour, as the search counts them.
    void CheckFiveInARow(const Lesson& lesson) {
        if (!opt_.four_hour_run_limit_on) {
            return;
        }
        const int t = lesson.teacher;
        for (const auto& window : kRowWindows) {
            int held = 0;
            for (const int offset : window) {
                const int p = lesson.slot + offset;
                for (int i = 1; IsSlot(p) && i <= classes_; ++i) {
                    held += HeldBefore(i, p, t, lesson.turn) ? 1 : 0;
                }
            }
            if (held + lesson.hours() >= 5) {
                Report(VerifyRule::kFiveInARow, lesson.class_section, t, lesson.slot,
                       CountOf(held + lesson.hours(), "ώρα", "ώρες") +
                           " μέσα σε πέντε συνεχόμενες ώρες");
                return;
            }
        }
    }

    // Only the hour before a one-hour lesson is examined, not the hour after it.
    void CheckSingleRuns(const Lesson& lesson) {
        if (!opt_.no_single_hour_runs || lesson.second_slot != 0 || lesson.slot <= kDays) {
            return;
        }
        const int before = lesson.slot - kDays;
        if (HeldBefore(lesson.class_section, before, lesson.teacher, lesson.turn)) {
            Report(VerifyRule::kSingleRuns, lesson.class_section, lesson.teacher, lesson.slot,
                   "ο ίδιος διδάσκων διδάσκει και την προηγούμενη ώρα, " + SlotName(before));
        }
    }

    // --- rules on the whole timetable ----------------------------------------

    // Every weekly hour, pinned and copied ones included.
    void CheckHours() {
        for (int c = 1; c <= classes_; ++c) {
            for (int t = 1; t <= teachers_; ++t) {
                int placed = 0;
                for (int s = 1; s <= kSlots; ++s) {
                    placed += Cell(c, s) == t ? 1 : 0;
                }
                const int expected = HoursAll(t, c);
                if (placed != expected) {
                    Report(VerifyRule::kHours, c, t, 0,
                           CountOf(placed, "ώρα τοποθετημένη", "ώρες τοποθετημένες") +
                               (expected == 1 ? ", ενώ οφείλεται " : ", ενώ οφείλονται ") +
                               Num(expected));
                }
            }
        }
    }

    // Checked in each class section of an entry when it is completed, over all
    // its cells, pinned and copied ones included.
    void CheckJointOnceADay() {
        std::set<std::pair<int, int>> checked;
        for (const JointLesson& joint : rules_.JointLessons()) {
            for (const int c : {int{joint.class1}, int{joint.class2}}) {
                const int j = joint.teacher;
                if (!checked.insert({c, j}).second) {
                    continue;
                }
                for (int d = 1; d <= kDays; ++d) {
                    int count = 0;
                    for (int q = d; q <= kSlots; q += kDays) {
                        if (Cell(c, q) == j && ++count == 2) {
                            Report(VerifyRule::kJoint, c, j, q,
                                   "δεύτερο μάθημα του κοινού διδάσκοντα αυτή την ημέρα");
                        }
                    }
                }
            }
        }
    }

    // At its completion each class section's cells up to JointRange are matched
    // along the first entry that names the class section and the cell's teacher:
    // the partner's cell must be free (it then receives the copy) or hold the same
    // teacher, and an earlier partner, being complete, must hold it. Either way
    // the final partner cell holds the teacher. Pinned lessons beyond the hour
    // positions of a week without eighth hours are neither matched nor copied.
    void CheckJointSlots() {
        for (int c = 1; c <= classes_; ++c) {
            for (int p = 1; p <= JointRange(c); ++p) {
                const int j = Cell(c, p);
                const int partner = j == 0 ? 0 : FirstJointPartner(c, j);
                if (partner != 0 && Cell(partner, p) != j) {
                    const int held = Cell(partner, p);
                    Report(VerifyRule::kJoint, c, j, p,
                           "το τμήμα " + ClassName(in_, partner) +
                               (held == 0 ? " είναι ελεύθερο"
                                          : " έχει τον διδάσκοντα " + TeacherName(in_, held)) +
                               " αυτή την ώρα");
                }
            }
        }
    }

    int FirstJointPartner(int c, int j) const {
        for (const JointLesson& joint : rules_.JointLessons()) {
            if (joint.teacher == j && joint.PartnerOf(c) != 0) {
                return joint.PartnerOf(c);
            }
        }
        return 0;
    }

    // --- helpers -----------------------------------------------------------------

    static std::size_t Index(int value) { return static_cast<std::size_t>(value); }
    static std::size_t At(int c, int s) { return Index(c) * kSlotColumns + Index(s); }
    bool IsClass(int c) const { return c >= 1 && c <= classes_; }

    int Cell(int c, int s) const { return cells_(Index(c), Index(s)); }
    int Pinned(int c, int s) const { return in_.pinned_lessons(Index(c), Index(s)); }
    CellKind Kind(int c, int s) const { return kind_[At(c, s)]; }
    int HoursAll(int t, int c) const { return rules_.teacher_class_hours_all(Index(t), Index(c)); }

    // Cell (c, s) held t when the lesson placed at `turn` was tried.
    bool HeldBefore(int c, int s, int t, int turn) const {
        return Cell(c, s) == t && turn_[At(c, s)] < turn;
    }

    // 5 less the absent days of the teacher's entry (at most one per teacher).
    int AvailableDays(int t) const {
        for (const AbsentDays& entry : rules_.AbsentDaysOfTeachers()) {
            if (entry.teacher == t) {
                return kDays - entry.days;
            }
        }
        return kDays;
    }

    // The slots a completed class section's joint lessons are matched over.
    int JointRange(int c) const {
        return rules_.HasEighthHours() ? kSlots : std::min<int>(in_.class_hours[Index(c)], kSlots);
    }

    void Report(VerifyRule rule, int c, int t, int s, std::string detail) {
        found_.push_back(Violation{rule, c, t, s, std::move(detail)});
    }

    const SolverInputs& in_;
    const RunOptions& opt_;
    const RuleTables& rules_;
    const ByteMatrix& timetable_;
    const VerifyMode mode_;
    const int classes_;
    const int teachers_;

    ByteMatrix cells_;                                    // [class][slot], checked teachers
    std::vector<CellKind> kind_;                          // [class * 51 + slot]
    std::vector<int> turn_;                               // [class * 51 + slot]
    std::vector<std::vector<std::pair<int, int>>> walk_;  // [class] = (position, slot)
    std::vector<Lesson> lessons_;                         // in the order they were placed
    std::vector<Violation> found_;
};

}  // namespace

PlacementRule PlacementRuleOf(VerifyRule rule) {
    switch (rule) {
        case VerifyRule::kHours:
            return PlacementRule::kHours;
        case VerifyRule::kTwoHour:
            return PlacementRule::kTwoHour;
        case VerifyRule::kTeacherClash:
            return PlacementRule::kTeacherClash;
        case VerifyRule::kDeniedSlot:
            return PlacementRule::kDeniedSlot;
        case VerifyRule::kSpread:
            return PlacementRule::kSpread;
        case VerifyRule::kSplit:
            return PlacementRule::kSplit;
        case VerifyRule::kClassDay:
            return PlacementRule::kClassDay;
        case VerifyRule::kLastHours:
            return PlacementRule::kLastHours;
        case VerifyRule::kDayHours:
            return PlacementRule::kDayHours;
        case VerifyRule::kSameHour:
            return PlacementRule::kSameHour;
        case VerifyRule::kFiveInARow:
            return PlacementRule::kFiveInARow;
        case VerifyRule::kSingleRuns:
            return PlacementRule::kSingleRuns;
        case VerifyRule::kJoint:
            return PlacementRule::kJoint;
        case VerifyRule::kPositions:
            return PlacementRule::kPositions;
        case VerifyRule::kPinned:
            return PlacementRule::kPinned;
    }
    return PlacementRule::kHours;
}

std::string_view RuleName(VerifyRule rule) {
    return RuleKey(PlacementRuleOf(rule));
}

std::vector<Violation> VerifyTimetable(const SolverInputs& inputs, const RunOptions& options,
                                       const RuleTables& rules, const ByteMatrix& timetable,
                                       VerifyMode mode) {
    return Referee(inputs, options, rules, timetable, mode).Run();
}

std::string Describe(const Violation& violation) {
    std::string line(RuleName(violation.rule));
    std::string where;
    const auto add = [&where](const std::string& part) {
        where += where.empty() ? part : ", " + part;
    };
    if (violation.class_section != 0) {
        add("class " + Num(violation.class_section));
    }
    if (violation.teacher != 0) {
        add("teacher " + Num(violation.teacher));
    }
    if (IsSlot(violation.slot)) {
        add("slot " + Num(violation.slot) + " (day " + Num(DayOfSlot(violation.slot)) + ", hour " +
            Num(HourOfSlot(violation.slot)) + ")");
    }
    if (!where.empty()) {
        line += ": " + where;
    }
    if (!violation.detail.empty()) {
        line += ": " + violation.detail;
    }
    return line;
}

}  // namespace taktirio
