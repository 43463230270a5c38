#include "core/verify/finished_rules.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "core/gaps/teacher_gaps.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio::verify_detail {

namespace {

constexpr int kSecondHourLimitWithEighthHours = kSevenHourWeekSlots;
constexpr int kRowLength = 5;  // five consecutive hours are one too many
constexpr int kRowSpan = (kRowLength - 1) * kDays;

// What a cell of one day of one teacher in one class section is taken for.
enum class Role : std::uint8_t { kNone, kSingle, kFirstOfPair, kSecondOfPair };
using DayRoles = std::array<Role, kMaxHoursPerDay>;

// The numbers of two-hour lessons a day can hold, as bit masks: any reading of
// its cells, and the readings whose one-hour lessons all keep their rules.
struct DayReadings {
    std::uint32_t any = 0;
    std::uint32_t valid = 0;
};

// Bit k set: a total of k two-hour lessons can be reached.
using Totals = std::uint64_t;

std::string Num(int value) {
    return std::to_string(value);
}

bool Has(std::uint64_t mask, int bit) {
    return bit >= 0 && bit < 64 && ((mask >> bit) & 1U) != 0;
}

class FinishedJudge {
  public:
    FinishedJudge(const FinalTable& table, std::vector<Violation>& found)
        : t_(table),
          found_(found),
          classes_(table.inputs.number_of_classes),
          teachers_(table.inputs.number_of_teachers) {}

    void Run() {
        CountTeachers();
        for (int c = 1; c <= classes_; ++c) {
            CheckPositions(c);
            CheckLessonsOfClass(c);
            CheckHoursBeforePinned(c);
        }
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if (Searched(c, s)) {
                    JudgeCell(c, s, Cell(c, s));
                }
            }
        }
        CheckPeople();
    }

  private:
    // --- set-up --------------------------------------------------------------

    // How many class sections hold each teacher at each slot.
    void CountTeachers() {
        held_.assign((Index(teachers_) + 1) * kSlotColumns, 0);
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if (const int t = Cell(c, s); t != 0) {
                    ++held_[TeacherAt(t, s)];
                }
            }
        }
    }

    // --- hour positions ------------------------------------------------------

    void CheckPositions(int c) {
        std::vector<bool> on_position(kSlotColumns, false);
        for (const auto& [position, s] : t_.positions[Index(c)]) {
            on_position[Index(s)] = true;
            if (Cell(c, s) == 0) {
                Report(VerifyRule::kPositions, c, 0, s,
                       "η θέση ώρας " + Num(position) + " είναι κενή");
            }
        }
        for (int s = 1; s <= kSlots; ++s) {
            if (Searched(c, s) && !on_position[Index(s)]) {
                Report(VerifyRule::kPositions, c, Cell(c, s), s,
                       "μάθημα έξω από τις ώρες του τμήματος");
            }
        }
    }

    // --- two-hour and one-hour lessons ----------------------------------------

    void CheckLessonsOfClass(int c) {
        std::vector<int> count(Index(teachers_) + 1, 0);
        for (int s = 1; s <= kSlots; ++s) {
            if (Searched(c, s)) {
                ++count[Index(Cell(c, s))];
            }
        }
        for (int t = 1; t <= teachers_; ++t) {
            if (count[Index(t)] > 0 || TwoHourOwed(c, t) > 0) {
                CheckLessons(c, t, count[Index(t)]);
            }
        }
    }

    // A finished timetable does not say which hours form two-hour lessons. The
    // searched hours of t in c are read as `blocks` two-hour lessons, each two
    // consecutive hours of one day, and one-hour lessons for the rest; the
    // rules hold when some reading keeps every one-hour lesson valid. A day
    // holds few cells, so its readings are enumerated and the days combined.
    void CheckLessons(int c, int t, int searched) {
        const int owed = TwoHourOwed(c, t);
        const int blocks = std::min(owed, searched / 2);
        std::array<DayReadings, kDays + 1> days{};
        std::array<Totals, kDays + 1> any_upto{};  // totals over days 1..d, any reading
        Totals any = 1;
        Totals valid = 1;
        any_upto[0] = 1;
        for (int d = 1; d <= kDays; ++d) {
            days[Index(d)] = ReadDay(c, t, d);
            any = Combine(any, days[Index(d)].any);
            valid = Combine(valid, days[Index(d)].valid);
            any_upto[Index(d)] = any;
        }
        if (!Has(any, blocks)) {
            int most = 0;
            while (Has(any, most + 1)) {
                ++most;
            }
            Report(VerifyRule::kTwoHour, c, t, 0,
                   (blocks == 1 ? "οφείλεται " : "οφείλονται ") +
                       CountOf(blocks, "δίωρο", "δίωρα") + ", αλλά μόνο " + Num(most) +
                       (most == 1 ? " βρίσκεται" : " βρίσκονται") +
                       " σε δύο συνεχόμενες ώρες μιας ημέρας");
        } else if (!Has(valid, blocks)) {
            ReportInvalidSingle(c, t, blocks, days, any_upto);
        }
        if (blocks < owed && searched > 2 * blocks) {
            Report(VerifyRule::kTwoHour, c, t, 0,
                   std::string(owed == 1 ? "μονόωρα ενώ οφείλεται " : "μονόωρα ενώ οφείλονται ") +
                       CountOf(owed, "δίωρο", "δίωρα"));
        }
    }

    // A pinned lesson is one of the teacher's one-hour lessons (pinned two-hour
    // lessons are entered as one-hour ones): with no single-hour runs, no
    // searched hour of its teacher comes right before it. Two pinned hours in
    // a row are the user's own.
    void CheckHoursBeforePinned(int c) {
        if (!t_.options.no_single_hour_runs) {
            return;
        }
        for (int s = kDays + 1; s <= kSlots; ++s) {
            const int t = t_.inputs.pinned_lessons(Index(c), Index(s));
            if (t != 0 && Searched(c, s - kDays) && Cell(c, s - kDays) == t) {
                Report(VerifyRule::kSingleRuns, c, t, s,
                       "καρφωμένο μονόωρο· ο ίδιος διδάσκων διδάσκει και την προηγούμενη ώρα, " +
                           SlotName(s - kDays));
            }
        }
    }

    static Totals Combine(Totals totals, std::uint32_t day) {
        Totals next = 0;
        for (int k = 0; k <= kMaxHoursPerDay / 2; ++k) {
            if (Has(day, k)) {
                next |= totals << k;
            }
        }
        return next;
    }

    DayReadings ReadDay(int c, int t, int d) const {
        DayReadings readings;
        DayRoles roles{};
        EnumerateReadings(c, t, d, 0, 0, roles, [&](int pairs, const DayRoles& r) {
            readings.any |= 1U << pairs;
            if (!FirstInvalidSingle(c, t, d, r)) {
                readings.valid |= 1U << pairs;
            }
            return true;
        });
        return readings;
    }

    // Calls `visit(pairs, roles)` for each way of reading t's searched cells on
    // day d as two-hour and one-hour lessons, pairs first, until it returns false.
    using Visit = std::function<bool(int, const DayRoles&)>;
    bool EnumerateReadings(int c, int t, int d, int hour, int pairs, DayRoles& roles,
                           const Visit& visit) const {
        if (hour == kMaxHoursPerDay) {
            return visit(pairs, roles);
        }
        const auto h = Index(hour);
        const int s = SlotOf(d, hour + 1);
        if (!Searched(c, s) || Cell(c, s) != t) {
            roles[h] = Role::kNone;
            return EnumerateReadings(c, t, d, hour + 1, pairs, roles, visit);
        }
        const int s2 = s + kDays;
        if (hour + 1 < kMaxHoursPerDay && s2 <= SecondHourLimit() && Searched(c, s2) &&
            Cell(c, s2) == t) {
            roles[h] = Role::kFirstOfPair;
            roles[h + 1] = Role::kSecondOfPair;
            if (!EnumerateReadings(c, t, d, hour + 2, pairs + 1, roles, visit)) {
                return false;
            }
        }
        roles[h] = Role::kSingle;
        return EnumerateReadings(c, t, d, hour + 1, pairs, roles, visit);
    }

    // Picks for each day a number of two-hour lessons that adds up to `blocks`,
    // valid readings where possible, and names a one-hour lesson that breaks
    // its rule on a day where none can be valid.
    void ReportInvalidSingle(int c, int t, int blocks,
                             const std::array<DayReadings, kDays + 1>& days,
                             const std::array<Totals, kDays + 1>& any_upto) {
        int left = blocks;
        int bad_day = 0;
        int bad_pairs = 0;
        for (int d = kDays; d >= 1; --d) {
            const DayReadings& day = days[Index(d)];
            int chosen = -1;
            for (int k = 0; k <= left && chosen < 0; ++k) {
                if (Has(day.valid, k) && Has(any_upto[Index(d - 1)], left - k)) {
                    chosen = k;
                }
            }
            for (int k = 0; k <= left && chosen < 0; ++k) {
                if (Has(day.any, k) && Has(any_upto[Index(d - 1)], left - k)) {
                    chosen = k;
                    bad_day = d;
                    bad_pairs = k;
                }
            }
            left -= chosen;
        }
        DayRoles roles{};
        EnumerateReadings(c, t, bad_day, 0, 0, roles, [&](int pairs, const DayRoles& r) {
            // Every reading of the chosen day with this many two-hour lessons
            // holds an invalid one-hour lesson, or a valid one would have been
            // chosen.
            const auto bad =
                pairs == bad_pairs ? FirstInvalidSingle(c, t, bad_day, r) : std::nullopt;
            if (!bad) {
                return true;
            }
            const auto& [rule, s, why] = *bad;
            // Without two-hour lessons owed there is no reading to speak of.
            const std::string readings =
                blocks == 0 ? std::string()
                : blocks == 1 ? "όπως κι αν διαβαστεί το 1 οφειλόμενο δίωρο, "
                              : "όπως κι αν διαβαστούν τα " + Num(blocks) + " οφειλόμενα δίωρα, ";
            Report(rule, c, t, s, readings + "μένει ένα μονόωρο που δεν επιτρέπεται· εδώ " + why);
            return false;
        });
    }

    // The first one-hour lesson of a day's reading that breaks a rule, with the
    // rule and the reason. A lesson of few weekly hours is the teacher's only
    // hour in the class section that day; with no single-hour runs, a one-hour
    // lesson never follows the teacher's hour in the class section.
    std::optional<std::tuple<VerifyRule, int, std::string>> FirstInvalidSingle(
        int c, int t, int d, const DayRoles& roles) const {
        const int hours = HoursAll(t, c);
        const int days = AvailableDays(t);
        const bool spread = hours <= days;
        for (int hour = 0; hour < kMaxHoursPerDay; ++hour) {
            if (roles[Index(hour)] != Role::kSingle) {
                continue;
            }
            const int s = SlotOf(d, hour + 1);
            if (spread && CellsOnDay(c, t, d) > 1) {
                return std::tuple{VerifyRule::kSpread, s,
                                  "το μονόωρο μοιράζεται την ημέρα του με άλλη ώρα (" +
                                      CountOf(hours, "ώρα", "ώρες") + " σε " +
                                      CountOf(days, "διαθέσιμη ημέρα", "διαθέσιμες ημέρες") + ")"};
            }
            if (t_.options.no_single_hour_runs && s > kDays && Cell(c, s - kDays) == t) {
                return std::tuple{
                    VerifyRule::kSingleRuns, s,
                    "ο ίδιος διδάσκων διδάσκει και την προηγούμενη ώρα, " + SlotName(s - kDays)};
            }
        }
        return std::nullopt;
    }

    // --- rules of one searched cell ---------------------------------------------

    void JudgeCell(int c, int s, int t) {
        CheckClash(c, s, t);
        CheckDenied(c, s, t);
        CheckSameHour(c, s, t);
        CheckSplit(c, s, t);
        CheckClassDay(c, s, t);
    }

    // A joint lesson holds its teacher in both class sections of an entry.
    void CheckClash(int c, int s, int t) {
        if (held_[TeacherAt(t, s)] < 2) {
            return;
        }
        for (int i = 1; i <= classes_; ++i) {
            if (i != c && Cell(i, s) == t && !JointPartners(c, i, t)) {
                Report(VerifyRule::kTeacherClash, c, t, s,
                       "διδάσκει την ίδια ώρα και στο τμήμα " + ClassName(t_.inputs, i));
                return;
            }
        }
    }

    void CheckDenied(int c, int s, int t) {
        for (const DeniedSlot& denied : t_.rules.DeniedSlots()) {
            if (denied.teacher == t && denied.slot == s) {
                Report(VerifyRule::kDeniedSlot, c, t, s, "ο διδάσκων δεν διδάσκει αυτή την ώρα");
                return;
            }
        }
    }

    // The partner counts in every other class section, whatever its kind.
    void CheckSameHour(int c, int s, int t) {
        for (const SameHourPair& pair : t_.rules.SameHourPairs()) {
            const int partner = pair.PartnerOf(t);
            if (partner == 0 || partner > teachers_) {
                continue;
            }
            const int elsewhere = held_[TeacherAt(partner, s)] - (Cell(c, s) == partner ? 1 : 0);
            if (elsewhere > 0) {
                Report(VerifyRule::kSameHour, c, t, s,
                       "ο διδάσκων " + TeacherName(t_.inputs, partner) + " διδάσκει την ίδια ώρα");
                return;
            }
        }
    }

    void CheckSplit(int c, int s, int t) {
        for (const SplitLesson& split : t_.rules.Splits()) {
            if (split.class_section != c) {
                continue;
            }
            const int other = split.PartnerOf(t);
            if (other == 0) {
                continue;
            }
            for (int q = DayOfSlot(s); q <= kSlots; q += kDays) {
                if (Cell(c, q) == other) {
                    Report(VerifyRule::kSplit, c, t, s,
                           "χωρισμένο μάθημα με τον διδάσκοντα " + TeacherName(t_.inputs, other) +
                               ", που διδάσκει την " + SlotName(q));
                    return;
                }
            }
        }
    }

    void CheckClassDay(int c, int s, int t) {
        const int day = DayOfSlot(s);
        const int days = AvailableDays(t);
        if (days <= 0) {
            if (Once(VerifyRule::kClassDay, c, t, day)) {
                Report(VerifyRule::kClassDay, c, t, s, "ο διδάσκων δεν έχει διαθέσιμη ημέρα");
            }
            return;
        }
        int allowance = t_.options.max_class_hours_per_day;
        if (allowance == 2 && HoursAll(t, c) > 2 * days) {
            ++allowance;
        }
        const int held = CellsOnDay(c, t, day);
        if (held > allowance && Once(VerifyRule::kClassDay, c, t, day)) {
            Report(VerifyRule::kClassDay, c, t, s,
                   CountOf(held, "ώρα", "ώρες") + " στο τμήμα αυτή την ημέρα, ενώ επιτρέπονται " +
                       Num(allowance));
        }
    }

    // --- a person's day and week ---------------------------------------------

    // The limits of a teacher's day and week count the person: every hour
    // they teach through any row that holds them (their own, and each pair
    // they are in), pinned lessons and copies included, a lesson given to
    // two class sections at once being one hour. Each breach is named at the
    // person's first cell that counts (class section, row, slot).
    struct PersonWeek {
        std::uint64_t busy = 0;  // slots taught, as bits
        std::uint64_t last = 0;  // slots taught among a class section's last hours
        std::array<std::pair<int, int>, kSlotColumns> at{};  // [slot] = (class, row)
        std::array<int, 3> first_last{};  // the first last-hour cell: class, row, slot
        std::set<int> rows;
    };

    void CheckPeople() {
        const bool any = t_.options.last_hours_limit_on || t_.options.day_hours_limit_on ||
                         t_.options.four_hour_run_limit_on;
        if (!any) {
            return;
        }
        const TeacherPeople people = PeopleOfTeachers(t_.inputs.teacher_names, teachers_);
        std::vector<PersonWeek> weeks(Index(people.count()) + 1);
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                const int t = Cell(c, s);
                for (const std::uint16_t p :
                     t == 0 ? std::array<std::uint16_t, 2>{} : people.of_teacher[Index(t)]) {
                    if (p == 0) {
                        continue;
                    }
                    PersonWeek& week = weeks[p];
                    const std::uint64_t bit = std::uint64_t{1} << s;
                    if ((week.busy & bit) == 0) {
                        week.at[Index(s)] = {c, t};
                    }
                    week.busy |= bit;
                    if (InLastHours(c, s)) {
                        week.first_last =
                            week.last == 0 ? std::array<int, 3>{c, t, s} : week.first_last;
                        week.last |= bit;
                    }
                    week.rows.insert(t);
                }
            }
        }
        for (int p = 1; p <= people.count(); ++p) {
            const PersonWeek& week = weeks[Index(p)];
            const std::string who = week.rows.size() > 1 ? "ο διδάσκων " + people.names[Index(p)] +
                                                               ", μαζί με τα ζεύγη του: "
                                                         : std::string();
            CheckLastHours(week, who);
            for (int d = 1; d <= kDays; ++d) {
                CheckDayHours(week, who, d);
                CheckFiveInARow(week, who, d);
            }
        }
    }

    void Report(VerifyRule rule, const PersonWeek& week, int s, std::string detail) {
        const auto [c, t] = week.at[Index(s)];
        Report(rule, c, t, s, std::move(detail));
    }

    void CheckLastHours(const PersonWeek& week, const std::string& who) {
        const int held = std::popcount(week.last);
        if (!t_.options.last_hours_limit_on || held <= t_.options.last_hours_limit) {
            return;
        }
        const auto [c, t, s] = week.first_last;
        Report(VerifyRule::kLastHours, c, t, s,
               who + CountOf(held, "μάθημα τελευταίας ώρας", "μαθήματα τελευταίας ώρας") +
                   " την εβδομάδα, ενώ το όριο είναι " + Num(t_.options.last_hours_limit));
    }

    void CheckDayHours(const PersonWeek& week, const std::string& who, int d) {
        if (!t_.options.day_hours_limit_on) {
            return;
        }
        int held = 0;
        int first = 0;
        for (int s = d; s <= kSlots; s += kDays) {
            if ((week.busy >> s & 1U) != 0) {
                ++held;
                first = first == 0 ? s : first;
            }
        }
        if (held > t_.options.day_hours_limit) {
            Report(VerifyRule::kDayHours, week, first,
                   who + CountOf(held, "ώρα", "ώρες") + " αυτή την ημέρα, ενώ το όριο είναι " +
                       Num(t_.options.day_hours_limit));
        }
    }

    // Each run of five consecutive hours taught is named at its first hour.
    void CheckFiveInARow(const PersonWeek& week, const std::string& who, int d) {
        if (!t_.options.four_hour_run_limit_on) {
            return;
        }
        for (int start = d; start + kRowSpan <= kSlots; start += kDays) {
            bool full = true;
            for (int q = start; q <= start + kRowSpan && full; q += kDays) {
                full = (week.busy >> q & 1U) != 0;
            }
            if (full) {
                Report(VerifyRule::kFiveInARow, week, start,
                       who + CountOf(kRowLength, "ώρα", "ώρες") + " συνεχόμενες από την " +
                           SlotName(start));
            }
        }
    }

    // --- helpers -----------------------------------------------------------------

    static std::size_t Index(int value) { return static_cast<std::size_t>(value); }
    static std::size_t TeacherAt(int t, int s) { return Index(t) * kSlotColumns + Index(s); }

    int Cell(int c, int s) const { return t_.cells(Index(c), Index(s)); }
    bool Searched(int c, int s) const { return t_.searched[Index(c) * kSlotColumns + Index(s)]; }
    int HoursAll(int t, int c) const {
        return t_.rules.teacher_class_hours_all(Index(t), Index(c));
    }
    int TwoHourOwed(int c, int t) const { return t_.inputs.two_hour_lessons(Index(c), Index(t)); }

    int SecondHourLimit() const {
        return t_.rules.HasEighthHours() ? kSecondHourLimitWithEighthHours : kSlots;
    }

    int CellsOnDay(int c, int t, int day) const {
        int held = 0;
        for (int q = day; q <= kSlots; q += kDays) {
            held += Cell(c, q) == t ? 1 : 0;
        }
        return held;
    }

    // Slot numbers class_hours - 4 to class_hours of class section c.
    bool InLastHours(int c, int s) const {
        const int top = std::min<int>(t_.inputs.class_hours[Index(c)], kSlots);
        return s >= std::max(1, top - 4) && s <= top;
    }

    // 5 less the absent days of the teacher's entry (at most one per teacher).
    int AvailableDays(int t) const {
        for (const AbsentDays& entry : t_.rules.AbsentDaysOfTeachers()) {
            if (entry.teacher == t) {
                return kDays - entry.days;
            }
        }
        return kDays;
    }

    bool JointPartners(int c, int i, int t) const {
        const auto joints = t_.rules.JointLessons();
        return std::any_of(joints.begin(), joints.end(),
                           [&](const JointLesson& joint) { return joint.Joins(c, i, t); });
    }

    // True the first time a breach with this key is seen.
    bool Once(VerifyRule rule, int c, int t, int where) {
        return reported_.insert({rule, c, t, where}).second;
    }

    void Report(VerifyRule rule, int c, int t, int s, std::string detail) {
        found_.push_back(Violation{rule, c, t, s, std::move(detail)});
    }

    const FinalTable& t_;
    std::vector<Violation>& found_;
    const int classes_;
    const int teachers_;

    std::vector<int> held_;  // [teacher * 51 + slot]: class sections holding the teacher
    std::set<std::tuple<VerifyRule, int, int, int>> reported_;
};

}  // namespace

void JudgeFinishedTable(const FinalTable& table, std::vector<Violation>& found) {
    FinishedJudge(table, found).Run();
}

}  // namespace taktirio::verify_detail
