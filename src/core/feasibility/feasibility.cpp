// Necessary conditions checked before a search. Each counts what every
// timetable the search can build must hold, under the search's own rules:
//
// - The search places lessons one class section after another, each along
//   its hour positions; a completed timetable holds, in each class section,
//   exactly its pinned lessons and its hour positions, and each teacher's
//   weekly hours there.
// - Pinned lessons and joint lessons copied into the later of two class
//   sections are never tested. Only a lesson the search places is tested, and
//   only against the cells present when it is placed. A condition below that
//   relies on a test therefore counts only lessons the search must place: the
//   hours of a teacher in a class section that no joint lesson can copy into.
//
// - The limits of a teacher's day and week (hours a day, last-hour lessons)
//   count a person over every row that holds them: a single teacher, each
//   pair they are in. A slot is one hour of the person however many rows or
//   class sections hold them there, so the hours of two rows add up only
//   where the two never teach at the same hour (an apart entry, which the
//   working copy writes for a pair and its members and for two pairs that
//   share a member); pinned hours count too.
//
// Where unsure, a condition asks for less than a timetable needs: a reason
// reported for a school that has a timetable would be a fault.
#include "core/feasibility/feasibility.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/feasibility/max_flow.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio {

namespace {

using Mask = std::uint64_t;  // bit s = slot s, 1..50

constexpr Mask Bit(int s) {
    return Mask{1} << s;
}

constexpr Mask DayMask(int day) {
    Mask mask = 0;
    for (int s = day; s <= kSlots; s += kDays) {
        mask |= Bit(s);
    }
    return mask;
}

constexpr std::array<Mask, kDays + 1> kDayMasks = {0,          DayMask(1), DayMask(2),
                                                   DayMask(3), DayMask(4), DayMask(5)};

int Count(Mask mask) {
    return std::popcount(mask);
}

int DaysTouched(Mask mask) {
    int days = 0;
    for (int d = 1; d <= kDays; ++d) {
        days += (mask & kDayMasks[AsIndex(d)]) != 0 ? 1 : 0;
    }
    return days;
}

std::string Num(long long value) {
    return std::to_string(value);
}

// The search's view of one school, gathered once for every condition.
class Model {
  public:
    Model(const SolverInputs& in, const RuleTables& rules, const RunOptions& options,
          const RuleIndex& index)
        : in_(in),
          rules_(rules),
          options_(options),
          index_(index),
          C(in.number_of_classes),
          T(in.number_of_teachers) {
        Slots();
        Teachers();
        Joints();
        Weeks();
        Apart();
    }

    std::vector<Infeasibility> Run() {
        PinnedClashes();
        PinnedOnDeniedSlots();
        TeacherWeeks();
        if (options_.day_hours_limit_on) {
            TeacherDays();
        }
        ClassDays();
        JointDays();
        Splits();
        if (options_.last_hours_limit_on) {
            LastHours();
        }
        ApartGroups();
        SlotCover();
        return std::move(found_);
    }

  private:
    // --- the school as masks of slots ---------------------------------------

    int PositionSlot(int k) const { return index_.position_slot[AsIndex(k)]; }

    void Slots() {
        positions_.assign(AsIndex(C) + 1, 0);
        pinned_.assign(AsIndex(C) + 1, 0);
        pinned_of_.assign((AsIndex(T) + 1) * (AsIndex(C) + 1), 0);
        pinned_teacher_.assign(AsIndex(T) + 1, 0);
        last_.assign(AsIndex(C) + 1, 0);
        for (int c = 1; c <= C; ++c) {
            const int hours = in_.class_hours[AsIndex(c)];
            for (int k = 1; k <= hours; ++k) {
                positions_[AsIndex(c)] |= Bit(PositionSlot(k));
            }
            for (int s = index_.last_hours_first[AsIndex(c)];
                 s <= index_.last_hours_last[AsIndex(c)]; ++s) {
                last_[AsIndex(c)] |= Bit(s);
            }
            for (int s = 1; s <= kSlots; ++s) {
                const int t = in_.pinned_lessons(AsIndex(c), AsIndex(s));
                if (t != 0) {
                    pinned_[AsIndex(c)] |= Bit(s);
                    PinnedOf(t, c) |= Bit(s);
                    pinned_teacher_[AsIndex(t)] |= Bit(s);
                    pinned_cells_.push_back({c, s, t});
                }
            }
        }
    }

    void Teachers() {
        denied_.assign(AsIndex(T) + 1, 0);
        for (int t = 1; t <= T; ++t) {
            const std::uint8_t* refused = &index_.slot_denied[AsIndex(t) * kSlotColumns];
            for (int s = 1; s <= kSlots; ++s) {
                denied_[AsIndex(t)] |= refused[s] != 0 ? Bit(s) : 0;
            }
        }
        available_days_.assign(index_.available_days.begin(), index_.available_days.end());
    }

    // The class sections a joint teacher links form one group per teacher: a
    // lesson there may stand in several of them at one slot. Copies of a joint
    // lesson only reach the later class section of an entry.
    void Joints() {
        const std::size_t cells = (AsIndex(T) + 1) * (AsIndex(C) + 1);
        group_.assign(cells, 0);
        lower_partner_.assign(cells, false);
        joint_teacher_.assign(AsIndex(T) + 1, false);
        std::vector<int> parent(cells, 0);
        for (std::size_t i = 0; i < cells; ++i) {
            parent[i] = static_cast<int>(i);
        }
        auto find = [&parent](int x) {
            while (parent[AsIndex(x)] != x) {
                parent[AsIndex(x)] = parent[AsIndex(parent[AsIndex(x)])];
                x = parent[AsIndex(x)];
            }
            return x;
        };
        for (const JointLesson& joint : rules_.JointLessons()) {
            const int c1 = joint.class1;
            const int c2 = joint.class2;
            const int j = joint.teacher;
            joint_teacher_[AsIndex(j)] = true;
            lower_partner_[Cell(j, std::max(c1, c2))] = true;
            const int a = find(static_cast<int>(Cell(j, c1)));
            const int b = find(static_cast<int>(Cell(j, c2)));
            parent[AsIndex(a)] = b;
            group_[Cell(j, c1)] = 1;
            group_[Cell(j, c2)] = 1;
        }
        for (std::size_t i = 0; i < cells; ++i) {
            if (group_[i] != 0) {
                group_[i] = find(static_cast<int>(i)) + 1;
            }
        }
    }

    std::size_t Cell(int t, int c) const { return AsIndex(t) * (AsIndex(C) + 1) + AsIndex(c); }
    Mask& PinnedOf(int t, int c) { return pinned_of_[Cell(t, c)]; }
    Mask PinnedOf(int t, int c) const { return pinned_of_[Cell(t, c)]; }

    // Hours the search still places (pinned lessons excluded).
    int Hours(int t, int c) const { return in_.teacher_class_hours(AsIndex(t), AsIndex(c)); }
    // Cells the teacher holds in the class section of a finished timetable.
    int Final(int t, int c) const { return Hours(t, c) + Count(PinnedOf(t, c)); }
    int TwoHour(int t, int c) const { return in_.two_hour_lessons(AsIndex(c), AsIndex(t)); }
    // A joint lesson may be copied into this class section: its cells of the
    // teacher need not be placed, nor tested, by the search.
    bool CopiesInto(int t, int c) const { return lower_partner_[Cell(t, c)]; }
    // Hours the search must place itself, whatever it copies.
    int PlacedAtLeast(int t, int c) const { return CopiesInto(t, c) ? 0 : Hours(t, c); }
    // A unit of a teacher's week: the joint group of the class section, or
    // the class section alone.
    int Unit(int t, int c) const {
        const int group = group_[Cell(t, c)];
        return group != 0 ? -group : c;
    }

    Mask Free(int c) const { return positions_[AsIndex(c)] & ~pinned_[AsIndex(c)]; }
    Mask Required(int c) const { return positions_[AsIndex(c)] | pinned_[AsIndex(c)]; }
    // Slots where the search may place a lesson of t in class section c.
    Mask Placeable(int t, int c) const {
        return Free(c) & ~denied_[AsIndex(t)] & ~pinned_teacher_[AsIndex(t)];
    }
    // Every slot where the search may place a lesson of t.
    Mask PlaceableWeek(int t) const { return placeable_week_[AsIndex(t)]; }
    int PlacedWeek(int t) const { return placed_week_[AsIndex(t)]; }

    // Each teacher's week, once: read again by several conditions.
    void Weeks() {
        placeable_week_.assign(AsIndex(T) + 1, 0);
        placed_week_.assign(AsIndex(T) + 1, 0);
        for (int t = 1; t <= T; ++t) {
            placeable_week_[AsIndex(t)] = ComputePlaceableWeek(t);
            placed_week_[AsIndex(t)] = ComputePlacedWeek(t);
        }
        row_hours_.assign(AsIndex(T) + 1, 0);
        for (int t = 1; t <= T; ++t) {
            row_hours_[AsIndex(t)] = ComputeRowHours(t);
        }
    }
    Mask ComputePlaceableWeek(int t) const {
        Mask mask = 0;
        for (int c = 1; c <= C; ++c) {
            if (Hours(t, c) > 0) {
                mask |= Placeable(t, c);
            }
        }
        return mask;
    }
    int ComputePlacedWeek(int t) const {
        int hours = 0;
        for (int c = 1; c <= C; ++c) {
            hours += PlacedAtLeast(t, c);
        }
        return hours;
    }

    // Cells t holds in the week, a joint lesson standing in several class
    // sections of its group once, and pinned lessons in different units at
    // one slot once: the fewest slots t teaches at.
    int WeekCells(int t) const {
        int needed = 0;
        std::vector<std::pair<int, int>> group_hours;  // (group, most hours in it)
        for (int c = 1; c <= C; ++c) {
            const int hours = Final(t, c);
            if (hours == 0) {
                continue;
            }
            const int unit = Unit(t, c);
            if (unit > 0) {
                needed += hours;
                continue;
            }
            auto it = std::find_if(group_hours.begin(), group_hours.end(),
                                   [unit](const auto& g) { return g.first == unit; });
            if (it == group_hours.end()) {
                group_hours.emplace_back(unit, hours);
            } else {
                it->second = std::max(it->second, hours);
            }
        }
        for (const auto& g : group_hours) {
            needed += g.second;
        }
        return needed - PinnedSharedSlots(t);
    }

    // Slots where t is pinned in a class section that no joint lesson of t
    // copies into (only those among its last hours when asked). A lesson the
    // search places for t outside such class sections never stands at one of
    // them: the two would clash.
    Mask PinnedOwn(int t, bool last_hours_only) const {
        Mask mask = 0;
        for (int c = 1; c <= C; ++c) {
            if (!CopiesInto(t, c)) {
                mask |= PinnedOf(t, c) & (last_hours_only ? last_[AsIndex(c)] : ~Mask{0});
            }
        }
        return mask;
    }

    // The fewest slots row t teaches at in a week, by either count: its cells
    // (WeekCells), or the lessons the search places, at distinct slots, with
    // the pinned ones they never meet.
    int RowHours(int t) const { return row_hours_[AsIndex(t)]; }
    int ComputeRowHours(int t) const {
        return std::max(WeekCells(t), PlacedWeek(t) + Count(PinnedOwn(t, false)));
    }
    // Every slot where row t may teach: placed, pinned or copied there.
    Mask RowSlots(int t) const { return PlaceableWeek(t) | pinned_teacher_[AsIndex(t)]; }

    // --- people ---------------------------------------------------------------

    void Apart() {
        apart_.assign((AsIndex(T) + 1) * (AsIndex(T) + 1), false);
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            if (pair.first != pair.second && pair.first <= T && pair.second <= T) {
                apart_[AsIndex(pair.first) * (AsIndex(T) + 1) + AsIndex(pair.second)] = true;
                apart_[AsIndex(pair.second) * (AsIndex(T) + 1) + AsIndex(pair.first)] = true;
            }
        }
    }
    bool ApartRows(int a, int b) const {
        return apart_[AsIndex(a) * (AsIndex(T) + 1) + AsIndex(b)];
    }

    std::vector<int> RowsOfPerson(int person) const {
        const ByteLists& rows = index_.rows_of_person;
        return {rows.begin(AsIndex(person)), rows.end(AsIndex(person))};
    }

    // Sets of two or more rows of the person, each two of them apart, so that
    // their hours lie at distinct slots and add up (but for pinned lessons,
    // which the search never tests). Finding the heaviest such set is a
    // clique problem; each set here is grown greedily from one of the
    // person's rows, heaviest rows first, which finds the whole person when
    // every two rows are apart (as the working copy makes them), and any set
    // it finds is sound.
    std::vector<std::vector<int>> ApartRowSets(int person) const {
        std::vector<int> rows = RowsOfPerson(person);
        std::stable_sort(rows.begin(), rows.end(),
                         [this](int a, int b) { return RowHours(a) > RowHours(b); });
        std::set<std::vector<int>> sets;
        for (const int start : rows) {
            std::vector<int> set{start};
            for (const int r : rows) {
                if (r != start && std::all_of(set.begin(), set.end(),
                                              [&](int member) { return ApartRows(r, member); })) {
                    set.push_back(r);
                }
            }
            if (set.size() >= 2) {
                std::sort(set.begin(), set.end());
                sets.insert(set);
            }
        }
        return {sets.begin(), sets.end()};
    }

    // The person's own row (a single teacher) when the set holds it, else the
    // set's first row: the teacher a reason names by number.
    int RowNamed(const std::vector<int>& rows) const {
        for (const int r : rows) {
            if (index_.PersonsOf(r)[1] == 0) {
                return r;
            }
        }
        return rows.front();
    }

    // "διδάσκων ΔΙΔ1" for one row; for several rows of one person, the person
    // and the pairs counted with them.
    std::string PersonText(const std::vector<int>& rows, int person) const {
        if (rows.size() == 1) {
            return "διδάσκων " + TeacherName(rows.front());
        }
        std::vector<int> pairs;
        bool own = false;
        for (const int r : rows) {
            if (index_.PersonsOf(r)[1] == 0) {
                own = true;
            } else {
                pairs.push_back(r);
            }
        }
        return "διδάσκων " + index_.people.names[AsIndex(person)] +
               (own ? " μαζί με τα ζεύγη του (" : " στα ζεύγη του (") + TeacherList(pairs) + ")";
    }

    // The option's other value: a count that fails under the run's option
    // names it when it would pass at three hours a day.
    static constexpr int kThreeADay = 3;

    // The most hours of t in c on one day, as the search allows them, under
    // the run's option or under another one the message weighs.
    int DayAllowance(int t, int c, int option) const {
        if (option == options_.max_class_hours_per_day) {
            return index_.DayAllowance(t, c);
        }
        return ClassDayAllowance(option, rules_.teacher_class_hours_all(AsIndex(t), AsIndex(c)),
                                 available_days_[AsIndex(t)]);
    }
    bool Spreads(int t, int c) const { return index_.SpreadsOverDays(t, c); }

    // --- names in messages ----------------------------------------------------

    std::string ClassName(int c) const { return taktirio::ClassName(in_, c); }
    std::string TeacherName(int t) const { return taktirio::TeacherName(in_, t); }
    static std::string SlotName(int s) { return taktirio::SlotName(s); }
    template <typename Name>
    static std::string List(const std::vector<int>& items, Name name) {
        std::string text;
        const std::size_t shown = std::min<std::size_t>(items.size(), 12);
        for (std::size_t i = 0; i < shown; ++i) {
            text += (i == 0 ? "" : ", ") + name(items[i]);
        }
        if (shown < items.size()) {
            text += " και άλλα " + Num(static_cast<long long>(items.size() - shown));
        }
        return text;
    }
    std::string Classes(const std::vector<int>& items) const {
        return List(items, [this](int c) { return ClassName(c); });
    }
    std::string TeacherList(const std::vector<int>& items) const {
        return List(items, [this](int t) { return TeacherName(t); });
    }

    void Report(Infeasibility reason) { found_.push_back(std::move(reason)); }

    // --- the conditions -------------------------------------------------------

    // A teacher is in one place at a time: the search never tests pinned
    // lessons, so two of them at one slot outside a joint lesson cannot both be kept.
    void PinnedClashes() {
        std::vector<std::vector<int>> at((AsIndex(T) + 1) * kSlotColumns);
        for (const PinnedCell& p : pinned_cells_) {
            at[AsIndex(p.teacher) * kSlotColumns + AsIndex(p.slot)].push_back(p.class_section);
        }
        for (int t = 1; t <= T; ++t) {
            for (int s = 1; s <= kSlots; ++s) {
                const std::vector<int>& classes = at[AsIndex(t) * kSlotColumns + AsIndex(s)];
                std::set<int> units;
                for (const int c : classes) {
                    units.insert(Unit(t, c));
                }
                if (units.size() < 2) {
                    continue;
                }
                const int needed = static_cast<int>(units.size());
                Report({FeasibilityRule::kPinnedClash, classes[0], t, 0, s, needed, 1, 0,
                        "Ο διδάσκων " + TeacherName(t) + " είναι κλειδωμένος " + SlotName(s) +
                            " σε " + CountOf(needed, "τμήμα", "τμήματα") + " (" + Classes(classes) +
                            ") που δεν διδάσκει ταυτόχρονα: μπορεί να βρίσκεται μόνο σε 1."});
            }
        }
    }

    // Absent days and free hours refuse the slot to the teacher; a lesson
    // pinned there contradicts them.
    void PinnedOnDeniedSlots() {
        for (const PinnedCell& p : pinned_cells_) {
            if ((denied_[AsIndex(p.teacher)] & Bit(p.slot)) == 0) {
                continue;
            }
            Report({FeasibilityRule::kPinnedDenied, p.class_section, p.teacher, 0, p.slot, 1, 0, 0,
                    "Ο διδάσκων " + TeacherName(p.teacher) + " έχει κλειδωμένο μάθημα στο " +
                        ClassName(p.class_section) + " " + SlotName(p.slot) +
                        ", ώρα που απουσιάζει ή πρέπει να είναι ελεύθερος."});
        }
    }

    // A teacher's cells lie at distinct slots, except a joint lesson standing
    // in several class sections of its group and pinned lessons sharing a
    // slot; they lie in the slots of the class sections taught, never on a
    // refused slot unless pinned there.
    void TeacherWeeks() {
        for (int t = 1; t <= T; ++t) {
            const int needed = WeekCells(t);
            Mask reach = 0;
            for (int c = 1; c <= C; ++c) {
                reach |= Final(t, c) > 0 ? Required(c) : 0;
            }
            const Mask teach = (reach & ~denied_[AsIndex(t)]) | pinned_teacher_[AsIndex(t)];
            const int available = Count(teach);
            if (needed > available) {
                Report({FeasibilityRule::kTeacherWeek, 0, t, 0, 0, needed, available, 0,
                        "Ο διδάσκων " + TeacherName(t) + " έχει " + CountOf(needed, "ώρα", "ώρες") +
                            " διδασκαλίας την εβδομάδα, αλλά μπορεί να διδάξει μόνο " +
                            Num(available) +
                            " (ώρες των τμημάτων του, χωρίς τις ημέρες απουσίας και τις "
                            "ελεύθερες ώρες του)."});
            }
        }
    }

    // Pinned lessons of one teacher in different units at one slot count once.
    int PinnedSharedSlots(int t) const {
        int shared = 0;
        for (Mask m = pinned_teacher_[AsIndex(t)]; m != 0; m &= m - 1) {
            const int s = std::countr_zero(m);
            std::set<int> units;
            for (int c = 1; c <= C; ++c) {
                if ((PinnedOf(t, c) & Bit(s)) != 0) {
                    units.insert(Unit(t, c));
                }
            }
            shared += static_cast<int>(units.size()) - 1;
        }
        return shared;
    }

    // The day-hours limit counts every hour a person teaches, pinned ones
    // included, each slot once: more pinned hours on one day than the limit
    // leave no timetable, and a person's hours over the week must fit in the
    // limit each day over the slots they may teach at. Counted for each row
    // alone, then for the rows of one person that add up.
    void TeacherDays() {
        PinnedDays();
        std::vector<bool> short_alone(AsIndex(T) + 1, false);
        for (int t = 1; t <= T; ++t) {
            short_alone[AsIndex(t)] = DayHoursShort({t}, 0);
        }
        std::set<std::vector<int>> seen;
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (const std::vector<int>& rows : ApartRowSets(person)) {
                const bool known = std::any_of(rows.begin(), rows.end(),
                                               [&](int r) { return short_alone[AsIndex(r)]; });
                if (!known && seen.insert(rows).second && DayHoursShort(rows, person)) {
                    break;  // one reason for each person
                }
            }
        }
    }

    void PinnedDays() {
        const int limit = options_.day_hours_limit;
        std::set<std::pair<std::vector<int>, int>> seen;
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (int d = 1; d <= kDays; ++d) {
                Mask pinned = 0;
                std::vector<int> rows;
                for (const int r : RowsOfPerson(person)) {
                    const Mask mask = pinned_teacher_[AsIndex(r)] & kDayMasks[AsIndex(d)];
                    if (mask != 0) {
                        pinned |= mask;
                        rows.push_back(r);
                    }
                }
                const int hours = Count(pinned);
                if (hours <= limit || !seen.insert({rows, d}).second) {
                    continue;
                }
                Report({FeasibilityRule::kTeacherDayHours, 0, RowNamed(rows), 0, 0, hours, limit,
                        hours,
                        "Ο " + PersonText(rows, person) + " έχει " + Num(hours) +
                            " κλειδωμένες ώρες σε μία ημέρα (" +
                            std::string(kDayNames[AsIndex(d)]) + "), αλλά το όριο ωρών " +
                            "διδασκαλίας την ημέρα είναι " + Num(limit) +
                            ". Το όριο πρέπει να είναι τουλάχιστον " + Num(hours) +
                            " ή να μην ενεργοποιηθεί."});
            }
        }
    }

    // The rows' hours against the limit a day over the slots where one of
    // them may teach; true when reported. The rows are one row, or rows of
    // one person that never teach at the same hour.
    bool DayHoursShort(const std::vector<int>& rows, int person) {
        const int limit = options_.day_hours_limit;
        int needed = 0;
        Mask slots = 0;
        Mask pinned = 0;
        for (const int r : rows) {
            needed += RowHours(r);
            slots |= RowSlots(r);
            // Two rows apart may still be pinned at one slot (pinned lessons
            // are never tested): such a slot is one hour of the person.
            needed -= Count(pinned_teacher_[AsIndex(r)] & pinned);
            pinned |= pinned_teacher_[AsIndex(r)];
        }
        if (needed <= 0) {
            return false;
        }
        auto room = [slots](int per_day) {
            int total = 0;
            for (int d = 1; d <= kDays; ++d) {
                total += std::min(per_day, Count(slots & kDayMasks[AsIndex(d)]));
            }
            return total;
        };
        const int available = room(limit);
        if (needed <= available) {
            return false;
        }
        int allowing = 0;
        for (int value = limit + 1; value <= kMaxHoursPerDay && allowing == 0; ++value) {
            allowing = room(value) >= needed ? value : 0;
        }
        Report({FeasibilityRule::kTeacherDayHours, 0, RowNamed(rows), 0, 0, needed, available,
                allowing,
                "Ο " + PersonText(rows, person) + " έχει " + CountOf(needed, "ώρα", "ώρες") +
                    " διδασκαλίας, μαζί με τις κλειδωμένες, αλλά με όριο " + Num(limit) +
                    " ωρών διδασκαλίας την ημέρα χωρούν μόνο " + Num(available) + ". " +
                    (allowing != 0 ? "Το όριο πρέπει να είναι τουλάχιστον " + Num(allowing) +
                                         " ή να μην ενεργοποιηθεί."
                                   : "Δεν χωρούν ούτε με όριο 10.")});
        return true;
    }

    // Per day in one class section: a day with a placed lesson holds at most
    // the allowance; a day without one holds only its pinned lessons.
    static int DayRoom(const std::array<int, kDays + 1>& pinned,
                       const std::array<int, kDays + 1>& free, int allowance) {
        int total = 0;
        for (int d = 1; d <= kDays; ++d) {
            const auto i = AsIndex(d);
            total += pinned[i] >= allowance ? pinned[i] : std::min(allowance, pinned[i] + free[i]);
        }
        return total;
    }

    // Two-hour lessons: disjoint pairs of free consecutive hours of one day,
    // as many as the allowance leaves room for beside the pinned lessons.
    int TwoHourRoom(Mask placeable, const std::array<int, kDays + 1>& pinned, int allowance) const {
        const int second_hour_limit = index_.second_hour_limit;
        int total = 0;
        for (int d = 1; d <= kDays; ++d) {
            if (pinned[AsIndex(d)] + 2 > allowance) {
                continue;
            }
            int pairs = 0;
            for (int s = d; s + kDays <= second_hour_limit; s += kDays) {
                if ((placeable & Bit(s)) != 0 && (placeable & Bit(s + kDays)) != 0) {
                    ++pairs;
                    s += kDays;
                }
            }
            total += std::min(pairs, (allowance - pinned[AsIndex(d)]) / 2);
        }
        return total;
    }

    void ClassDays() {
        for (int c = 1; c <= C; ++c) {
            for (int t = 1; t <= T; ++t) {
                if (Final(t, c) > 0 && !CopiesInto(t, c) && available_days_[AsIndex(t)] > 0) {
                    ClassDay(t, c);
                }
            }
        }
    }

    void ClassDay(int t, int c) {
        const Mask placeable = Placeable(t, c);
        std::array<int, kDays + 1> pinned{};
        std::array<int, kDays + 1> free{};
        int open_days = 0;  // days without a pinned lesson of t, with a free slot
        for (int d = 1; d <= kDays; ++d) {
            pinned[AsIndex(d)] = Count(PinnedOf(t, c) & kDayMasks[AsIndex(d)]);
            free[AsIndex(d)] = Count(placeable & kDayMasks[AsIndex(d)]);
            open_days += pinned[AsIndex(d)] == 0 && free[AsIndex(d)] > 0 ? 1 : 0;
        }
        const int option = options_.max_class_hours_per_day;
        const int allowance = DayAllowance(t, c, option);
        const int allowance_at_three = DayAllowance(t, c, kThreeADay);
        const bool option_may_help = allowance < allowance_at_three;  // it would change the count
        const int hours = Final(t, c);
        const int room = DayRoom(pinned, free, allowance);
        if (hours > room) {
            const int allowing =
                option_may_help && DayRoom(pinned, free, allowance_at_three) >= hours ? kThreeADay
                                                                                      : 0;
            Report(
                {FeasibilityRule::kClassDay, c, t, 0, 0, hours, room, allowing,
                 "Ο διδάσκων " + TeacherName(t) + " έχει " + CountOf(hours, "ώρα", "ώρες") +
                     " στο " + ClassName(c) + ", αλλά με το πολύ " +
                     CountOf(allowance, "ώρα", "ώρες") + " την ημέρα στο τμήμα χωρούν μόνο " +
                     Num(room) + " στις ημέρες που " + "μπορεί να διδάξει." +
                     (allowing != 0 ? " Χωρούν με μέγιστο 3 ώρες ημερησίως σε ένα τμήμα." : "")});
            return;
        }
        const int doubles = TwoHour(t, c);
        const int two_hour_room = TwoHourRoom(placeable, pinned, allowance);
        if (doubles > two_hour_room) {
            const int allowing =
                option_may_help && TwoHourRoom(placeable, pinned, allowance_at_three) >= doubles
                    ? kThreeADay
                    : 0;
            Report(
                {FeasibilityRule::kTwoHour, c, t, 0, 0, doubles, two_hour_room, allowing,
                 "Ο διδάσκων " + TeacherName(t) + " έχει " + CountOf(doubles, "δίωρο", "δίωρα") +
                     " στο " + ClassName(c) + ", αλλά χωρούν μόνο " + Num(two_hour_room) +
                     " (δύο συνεχόμενες ελεύθερες ώρες της ίδιας ημέρας)." +
                     (allowing != 0 ? " Χωρούν με μέγιστο 3 ώρες ημερησίως σε ένα τμήμα." : "")});
            return;
        }
        if (!Spreads(t, c)) {
            return;
        }
        // Few hours: a one-hour lesson only on a day without the teacher in the
        // class section. Two-hour lessons come first, so a day holds one lesson
        // of either kind; a two-hour one may join a pinned lesson only when 3
        // hours a day are allowed.
        const int singles = Hours(t, c) - 2 * doubles;
        auto spread_room = [&](int per_day) {
            int days = open_days;
            for (int d = 1; d <= kDays && per_day >= 3; ++d) {
                const auto i = AsIndex(d);
                days += pinned[i] > 0 && pinned[i] + 2 <= per_day && free[i] >= 2 ? 1 : 0;
            }
            return days;
        };
        const bool singles_short = singles > open_days;
        const int needed = singles_short ? singles : singles + doubles;
        const int days = singles_short ? open_days : spread_room(allowance);
        if (needed > days) {
            const bool helps = option_may_help && !singles_short &&
                               singles + doubles <= spread_room(allowance_at_three);
            Report({FeasibilityRule::kSpread, c, t, 0, 0, needed, days, helps ? kThreeADay : 0,
                    "Ο διδάσκων " + TeacherName(t) + " έχει στο " + ClassName(c) +
                        " τόσες ώρες όσες ή λιγότερες από τις ημέρες που έρχεται, οπότε διδάσκει " +
                        "εκεί το πολύ ένα μάθημα την ημέρα: χρειάζεται " +
                        CountOf(needed, "ημέρα", "ημέρες") + ", αλλά είναι διαθέσιμες μόνο " +
                        Num(days) + "." +
                        (helps ? " Χωρούν με μέγιστο 3 ώρες ημερησίως σε ένα τμήμα." : "")});
        }
    }

    // A completed class section holds each joint teacher at most once a day,
    // so a joint lesson is never a two-hour one, and its hours need as many
    // days in each of the two class sections.
    void JointDays() {
        std::set<std::array<int, 3>> seen;
        for (const JointLesson& joint : rules_.JointLessons()) {
            const int c1 = joint.class1;
            const int c2 = joint.class2;
            const int j = joint.teacher;
            for (const int c : {c1, c2}) {
                if (!seen.insert({c, j, 0}).second) {
                    continue;
                }
                const int other = c == c1 ? c2 : c1;
                JointDaysIn(j, c, other);
            }
        }
    }

    void JointDaysIn(int j, int c, int other) {
        const std::string pair_text = "Ο διδάσκων " + TeacherName(j) +
                                      " διδάσκει ταυτόχρονα στα τμήματα " + ClassName(c) + " και " +
                                      ClassName(other) + ": ";
        if (TwoHour(j, c) > 0 && !CopiesInto(j, c) && Hours(j, c) > 0) {
            Report({FeasibilityRule::kJointTwoHour, c, j, 0, 0, TwoHour(j, c), 0, 0,
                    pair_text + "τα κοινά μαθήματα γίνονται μία φορά την ημέρα και δεν μπορούν " +
                        "να είναι δίωρα, αλλά στο " + ClassName(c) + " έχει " +
                        CountOf(TwoHour(j, c), "δίωρο", "δίωρα") + "."});
        }
        // Cells the teacher may hold there: pinned ones, and free slots not
        // refused (a copy of a pinned lesson may stand on a refused one).
        const Mask may_hold =
            PinnedOf(j, c) | (Free(c) & ~(denied_[AsIndex(j)] & ~pinned_teacher_[AsIndex(j)]));
        const int days = DaysTouched(may_hold);
        const int hours = Final(j, c);
        if (hours > days) {
            Report({FeasibilityRule::kJointDays, c, j, 0, 0, hours, days, 0,
                    pair_text + "τα κοινά μαθήματα γίνονται το πολύ ένα την ημέρα, οπότε οι " +
                        CountOf(hours, "ώρα", "ώρες") + " του στο " + ClassName(c) +
                        " χρειάζονται " + CountOf(hours, "ημέρα", "ημέρες") +
                        ", αλλά είναι διαθέσιμες μόνο " + Num(days) + "."});
        }
    }

    // Fewest days the teacher's lessons in c take, all of them placed.
    int FewestDays(int t, int c, int option) const {
        const int hours = Final(t, c);
        if (hours == 0) {
            return 0;
        }
        const int allowance = DayAllowance(t, c, option);
        int days = (hours + allowance - 1) / allowance;
        if (Spreads(t, c)) {
            const int doubles = TwoHour(t, c);
            const int singles = Hours(t, c) - 2 * doubles;
            days = std::max(days, singles + doubles);  // one lesson a day, no pinned ones
        }
        return days;
    }

    // The two teachers of a split lesson never share a day in the class
    // section. Counted only where the search places every lesson of both.
    void Splits() {
        for (const SplitLesson& split : rules_.Splits()) {
            const int c = split.class_section;
            const int t1 = split.first;
            const int t2 = split.second;
            if (t1 == t2 || CopiesInto(t1, c) || CopiesInto(t2, c) || PinnedOf(t1, c) != 0 ||
                PinnedOf(t2, c) != 0 || available_days_[AsIndex(t1)] == 0 ||
                available_days_[AsIndex(t2)] == 0) {
                continue;
            }
            const Mask days1 = Placeable(t1, c);
            const Mask days2 = Placeable(t2, c);
            const int have1 = DaysTouched(days1);
            const int have2 = DaysTouched(days2);
            const int have = DaysTouched(days1 | days2);
            auto fits = [&](int option) {
                const int need1 = FewestDays(t1, c, option);
                const int need2 = FewestDays(t2, c, option);
                return need1 <= have1 && need2 <= have2 && need1 + need2 <= have;
            };
            const int option = options_.max_class_hours_per_day;
            if (fits(option)) {
                continue;
            }
            const int need1 = FewestDays(t1, c, option);
            const int need2 = FewestDays(t2, c, option);
            const bool helps = option < kThreeADay && fits(kThreeADay);
            Report({FeasibilityRule::kSplit, c, t1, t2, 0, need1 + need2, have,
                    helps ? kThreeADay : 0,
                    "Στο " + ClassName(c) + " οι διδάσκοντες " + TeacherName(t1) + " και " +
                        TeacherName(t2) +
                        " δεν διδάσκουν ποτέ την ίδια ημέρα (χωρισμός μαθήματος): χρειάζονται " +
                        Num(need1) + " και " + CountOf(need2, "ημέρα", "ημέρες") +
                        ", αλλά είναι διαθέσιμες " + Num(have1) + ", " + Num(have2) + " και μαζί " +
                        Num(have) + "." +
                        (helps ? " Χωρούν με μέγιστο 3 ώρες ημερησίως σε ένα τμήμα." : "")});
        }
    }

    // The last-hour limit: a person teaches at most the limit of slots that
    // are among the last hours of the class section taught, pinned ones
    // included. The free last positions, less those a joint lesson could fill
    // by a copy, must be matched to rows within their room: the limit less
    // the row's pinned last hours that a placed lesson never meets.
    //
    // A pair's lesson takes room of both its members, which a flow cannot
    // state (a unit that needs two capacities). The matching is relaxed
    // instead: each row has its own room, and rows of one person that never
    // teach at the same hour (`borne`, when given) also share that person's
    // room, as if the pairs among them were charged to this member alone. A
    // timetable gives such a flow, so a shortfall in any of these matchings
    // is a true reason; the checks run it once for the rows alone and once
    // for each person in several rows.
    struct LastHoursFlow {
        int flow = 0;
        int needed = 0;
        std::vector<int> classes;  // the group whose last hours cannot be covered
        int group_needed = 0;
        int group_available = 0;
    };

    LastHoursFlow LastHoursMatching(int limit, const std::vector<int>& borne) const {
        const int source = 0;
        const int person = C + T + 1;
        const int sink = C + T + 2;
        MaxFlow graph(C + T + 3);
        std::vector<int> demand(AsIndex(C) + 1, 0);
        LastHoursFlow result;
        for (int c = 1; c <= C; ++c) {
            const Mask cells = last_[AsIndex(c)] & Free(c);
            int copies = 0;
            for (int t = 1; t <= T; ++t) {
                copies += CopiesInto(t, c) ? Hours(t, c) : 0;
            }
            demand[AsIndex(c)] = std::max(0, Count(cells) - copies);
            if (demand[AsIndex(c)] == 0) {
                continue;
            }
            result.needed += demand[AsIndex(c)];
            graph.AddEdge(source, c, demand[AsIndex(c)]);
            for (int t = 1; t <= T; ++t) {
                if (Hours(t, c) > 0) {
                    const int room = std::min(Hours(t, c), Count(cells & ~denied_[AsIndex(t)] &
                                                                 ~pinned_teacher_[AsIndex(t)]));
                    if (room > 0) {
                        graph.AddEdge(c, C + t, room);
                    }
                }
            }
        }
        auto room_beside = [limit](Mask pinned_last) {
            return std::max(0, limit - Count(pinned_last));
        };
        Mask borne_pinned = 0;
        for (int t = 1; t <= T; ++t) {
            const Mask pinned_last = PinnedOwn(t, true);
            const bool shared = std::find(borne.begin(), borne.end(), t) != borne.end();
            graph.AddEdge(C + t, shared ? person : sink, room_beside(pinned_last));
            borne_pinned |= shared ? pinned_last : 0;
        }
        graph.AddEdge(person, sink, room_beside(borne_pinned));
        result.flow = graph.Run(source, sink);
        if (result.flow < result.needed) {
            // The class sections on the source's side of the cut need more than
            // their teachers can take; that gap is the whole shortfall.
            for (int c = 1; c <= C; ++c) {
                if (demand[AsIndex(c)] > 0 && graph.Reachable(c)) {
                    result.classes.push_back(c);
                    result.group_needed += demand[AsIndex(c)];
                }
            }
            result.group_available = result.group_needed - (result.needed - result.flow);
        }
        return result;
    }

    void LastHours() {
        if (LastHoursShort({}, 0)) {
            return;
        }
        std::set<std::vector<int>> seen;
        for (int person = 1; person <= index_.PersonCount(); ++person) {
            for (const std::vector<int>& rows : ApartRowSets(person)) {
                if (seen.insert(rows).second && LastHoursShort(rows, person)) {
                    break;  // one reason for each person
                }
            }
        }
    }

    // True when reported.
    bool LastHoursShort(const std::vector<int>& borne, int person) {
        const int limit = options_.last_hours_limit;
        const LastHoursFlow at_limit = LastHoursMatching(limit, borne);
        if (at_limit.flow >= at_limit.needed) {
            return false;
        }
        int allowing = 0;
        for (int value = limit + 1; value <= 4 && allowing == 0; ++value) {
            const LastHoursFlow looser = LastHoursMatching(value, borne);
            allowing = looser.flow >= looser.needed ? value : 0;
        }
        Report({FeasibilityRule::kLastHours, at_limit.classes.empty() ? 0 : at_limit.classes[0],
                borne.empty() ? 0 : RowNamed(borne), 0, 0, at_limit.group_needed,
                at_limit.group_available, allowing,
                "Με όριο " + Num(limit) +
                    " τοποθετήσεων κάθε διδάσκοντα στις τελευταίες ώρες της εβδομάδας" +
                    (borne.empty() ? "" : " (ο " + PersonText(borne, person) + " μετρά ως ένας)") +
                    ", τα τμήματα " + Classes(at_limit.classes) + " χρειάζονται " +
                    Num(at_limit.group_needed) +
                    " μαθήματα στις τελευταίες ώρες τους, αλλά οι διδάσκοντές τους μπορούν να " +
                    "αναλάβουν μόνο " + Num(at_limit.group_available) + ". " +
                    (allowing != 0 ? "Το όριο πρέπει να είναι τουλάχιστον " + Num(allowing) +
                                         " ή να μην ενεργοποιηθεί."
                                   : "Το όριο πρέπει να μην ενεργοποιηθεί.")});
        return true;
    }

    // Teachers who never teach at the same hour, all pairwise apart: the
    // lessons the search places for them stand at distinct slots (a later
    // class section is tested against the earlier ones).
    void ApartGroups() {
        using Row = std::array<Mask, 4>;
        std::vector<Row> apart(AsIndex(T) + 1, Row{});
        auto set = [](Row& row, int t) { row[AsIndex(t / 64)] |= Mask{1} << (t % 64); };
        auto has = [](const Row& row, int t) {
            return (row[AsIndex(t / 64)] & (Mask{1} << (t % 64))) != 0;
        };
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            const int a = pair.first;
            const int b = pair.second;
            if (a != b) {
                set(apart[AsIndex(a)], b);
                set(apart[AsIndex(b)], a);
            }
        }
        std::set<std::vector<int>> groups;
        for (const SameHourPair& pair : rules_.SameHourPairs()) {
            const int a = pair.first;
            const int b = pair.second;
            if (a == b) {
                continue;
            }
            std::vector<int> group{std::min(a, b), std::max(a, b)};
            for (int t = 1; t <= T; ++t) {
                if (t != a && t != b && std::all_of(group.begin(), group.end(), [&](int member) {
                        return has(apart[AsIndex(member)], t);
                    })) {
                    group.push_back(t);
                }
            }
            std::sort(group.begin(), group.end());
            if (groups.insert(group).second) {
                ApartGroup(group);
            }
        }
    }

    void ApartGroup(const std::vector<int>& group) {
        int needed = 0;
        Mask slots = 0;
        for (const int t : group) {
            needed += PlacedWeek(t);
            slots |= PlaceableWeek(t);
        }
        const int available = Count(slots);
        if (needed > available) {
            Report({FeasibilityRule::kApart, 0, group[0], group[1], 0, needed, available, 0,
                    "Οι διδάσκοντες " + TeacherList(group) +
                        " δεν διδάσκουν ποτέ την ίδια ώρα: μαζί χρειάζονται " +
                        CountOf(needed, "ώρα", "ώρες") +
                        ", αλλά οι ώρες στις οποίες μπορούν να διδάξουν είναι " + Num(available) +
                        "."});
        }
    }

    // Every class section has a lesson at each of its free positions. At one
    // slot those class sections need distinct teachers of their own who may
    // teach then; a joint teacher may stand in many at once.
    void SlotCover() {
        for (int s = 1; s <= kSlots; ++s) {
            std::vector<int> classes;
            for (int c = 1; c <= C; ++c) {
                if ((Free(c) & Bit(s)) != 0) {
                    classes.push_back(c);
                }
            }
            if (!classes.empty()) {
                SlotCoverAt(s, classes);
            }
        }
    }

    bool MayTeachAt(int t, int c, int s) const {
        if (Hours(t, c) == 0) {
            return false;
        }
        if (group_[Cell(t, c)] != 0) {
            return true;  // a copy of a pinned joint lesson is never tested
        }
        return ((denied_[AsIndex(t)] | pinned_teacher_[AsIndex(t)]) & Bit(s)) == 0;
    }

    void SlotCoverAt(int s, const std::vector<int>& classes) {
        const int source = 0;
        const int sink = C + T + 1;
        MaxFlow graph(C + T + 2);
        std::vector<bool> used(AsIndex(T) + 1, false);
        for (const int c : classes) {
            graph.AddEdge(source, c, 1);
            for (int t = 1; t <= T; ++t) {
                if (MayTeachAt(t, c, s)) {
                    graph.AddEdge(c, C + t, 1);
                    used[AsIndex(t)] = true;
                }
            }
        }
        for (int t = 1; t <= T; ++t) {
            if (used[AsIndex(t)]) {
                graph.AddEdge(C + t, sink, joint_teacher_[AsIndex(t)] ? C : 1);
            }
        }
        const int needed = static_cast<int>(classes.size());
        const int flow = graph.Run(source, sink);
        if (flow >= needed) {
            return;
        }
        std::vector<int> group;
        std::vector<int> teachers;
        for (const int c : classes) {
            if (graph.Reachable(c)) {
                group.push_back(c);
            }
        }
        for (int t = 1; t <= T; ++t) {
            if (used[AsIndex(t)] && graph.Reachable(C + t)) {
                teachers.push_back(t);
            }
        }
        const int group_needed = static_cast<int>(group.size());
        const int available = group_needed - (needed - flow);
        Report({FeasibilityRule::kSlotCover, group.empty() ? 0 : group[0], 0, 0, s, group_needed,
                available, 0,
                SlotName(s) + ": τα τμήματα " + Classes(group) + " πρέπει να έχουν μάθημα, " +
                    "αλλά μόνο " + Num(available) + " από τους διδάσκοντές τους μπορούν να " +
                    "διδάξουν τότε" + (teachers.empty() ? "" : " (" + TeacherList(teachers) + ")") +
                    "."});
    }

    struct PinnedCell {
        int class_section;
        int slot;
        int teacher;
    };

    const SolverInputs& in_;
    const RuleTables& rules_;
    const RunOptions& options_;
    const RuleIndex& index_;
    const int C;
    const int T;

    std::vector<Mask> positions_;       // [c] slots of the hour positions
    std::vector<Mask> pinned_;          // [c] slots holding a pinned lesson
    std::vector<Mask> last_;            // [c] the slots the last-hour test looks at
    std::vector<Mask> pinned_of_;       // [t][c] slots where t is pinned in c
    std::vector<Mask> pinned_teacher_;  // [t] slots where t is pinned anywhere
    std::vector<PinnedCell> pinned_cells_;
    std::vector<Mask> denied_;          // [t] refused slots
    std::vector<int> available_days_;   // [t] 5 less the absent days, from the index
    std::vector<int> group_;            // [t][c] joint group, 0 = none
    std::vector<bool> lower_partner_;   // [t][c] a joint lesson of t may be copied into c
    std::vector<bool> joint_teacher_;   // [t] teaches two class sections at once somewhere
    std::vector<Mask> placeable_week_;  // [t] slots where the search may place t
    std::vector<int> placed_week_;      // [t] hours the search must place for t
    std::vector<int> row_hours_;        // [t] fewest slots t teaches at in a week
    std::vector<bool> apart_;           // [t][u] an apart entry holds t and u

    std::vector<Infeasibility> found_;
};

}  // namespace

// A pinned lesson's clash and refused slot are the rules of clashes and of
// refused slots, pinned or not; the week's hours are the hours owed; a slot
// no teacher can cover is a class section's hour position left empty.
std::optional<PlacementRule> PlacementRuleOf(FeasibilityRule rule) {
    switch (rule) {
        case FeasibilityRule::kInvalidData:
            return std::nullopt;
        case FeasibilityRule::kPinnedClash:
            return PlacementRule::kTeacherClash;
        case FeasibilityRule::kPinnedDenied:
            return PlacementRule::kDeniedSlot;
        case FeasibilityRule::kTeacherWeek:
            return PlacementRule::kHours;
        case FeasibilityRule::kTeacherDayHours:
            return PlacementRule::kDayHours;
        case FeasibilityRule::kClassDay:
            return PlacementRule::kClassDay;
        case FeasibilityRule::kSpread:
            return PlacementRule::kSpread;
        case FeasibilityRule::kTwoHour:
            return PlacementRule::kTwoHour;
        case FeasibilityRule::kJointDays:
            return PlacementRule::kJoint;
        case FeasibilityRule::kJointTwoHour:
            return PlacementRule::kJoint;
        case FeasibilityRule::kSplit:
            return PlacementRule::kSplit;
        case FeasibilityRule::kLastHours:
            return PlacementRule::kLastHours;
        case FeasibilityRule::kApart:
            return PlacementRule::kSameHour;
        case FeasibilityRule::kSlotCover:
            return PlacementRule::kPositions;
    }
    return std::nullopt;
}

std::vector<Infeasibility> FindInfeasibilities(const SolverInputs& inputs, const RuleTables& rules,
                                               const RunOptions& options, const RuleIndex& index) {
    if (!index.BuiltFor(inputs.number_of_classes, inputs.number_of_teachers, options)) {
        throw ProblemError("The rule index was not built for this problem and these options.");
    }
    return Model(inputs, rules, options, index).Run();
}

std::vector<Infeasibility> FindInfeasibilities(const SolverInputs& inputs, const RuleTables& rules,
                                               const RunOptions& options) {
    return FindInfeasibilities(inputs, rules, options, BuildRuleIndex(inputs, rules, options));
}

std::vector<Infeasibility> CheckBeforeSearch(const SolverInputs& inputs, const RuleTables& rules,
                                             const RunOptions& options) {
    RuleIndex index;
    try {
        index = PrepareSearch(inputs, rules, options);
    } catch (const ProblemError& error) {
        Infeasibility reason;
        reason.message = std::string(kContradictoryDataMessage) + "\r" + error.what();
        return {reason};
    }
    return FindInfeasibilities(inputs, rules, options, index);
}

std::string InfeasibilityMessage(const std::vector<Infeasibility>& reasons) {
    std::string text =
        "Δεν υπάρχει ωρολόγιο πρόγραμμα με αυτά τα δεδομένα και τους περιορισμούς που "
        "επιλέχθηκαν, για τους εξής λόγους:\r";
    int n = 0;
    for (const Infeasibility& reason : reasons) {
        // Appended piece by piece: g++ 12 at -O3 warns (-Wrestrict) about a
        // literal joined to a temporary string, a false alarm that stops a
        // Release build whose warnings are errors.
        text += '\r';
        text += Num(++n);
        text += ") ";
        text += reason.message;
    }
    return text;
}

}  // namespace taktirio
