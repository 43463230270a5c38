// Reworking a completed timetable toward fewer teacher gaps: simulated
// annealing over exchanges of lessons between two slots of a class section.
// When the exchange would put a teacher in two places at once, the class
// section where the teacher already is at that slot exchanges the same two
// slots too, and so on (a chain of exchanges across class sections), so that
// the teachers' hours stay whole. Every move is checked against the placement
// rules of the run on the days it touches and undone when one breaks.
#include "core/gaps/gap_improver.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "core/common/narrow.h"
#include "core/solver/errors.h"
#include "core/solver/findsolution.h"
#include "core/solver/rule_index.h"
#include "core/solver/slots.h"

namespace taktirio {

namespace {

// Flags of a cell. The first four travel with the lesson when it moves; the
// others belong to the place.
enum CellFlag : std::uint8_t {
    kMovable = 1,      // a lesson that may move (not pinned)
    kSearched = 2,     // placed by the search (not pinned, not a joint copy)
    kFirstOfTwo = 4,   // first hour of a two-hour lesson
    kSecondOfTwo = 8,  // second hour of a two-hour lesson
    kPosition = 16,    // one of the class section's hour positions
    kLastFive = 32,    // a slot the last-hours limit counts in the class section
};
constexpr std::uint8_t kTravelling = kMovable | kSearched | kFirstOfTwo | kSecondOfTwo;

constexpr int kHoursPerDayBits = kMaxHoursPerDay + 1;

// The weight of a person's weekly gaps: convex, so that taking a gap from the
// person with most gaps counts for more than taking one from someone with few.
int GapWeight(int gaps) {
    return 4 * gaps + gaps * gaps;
}

}  // namespace

class GapImprover::Search {
  public:
    Search(const SolverInputs& in, const RunOptions& opt, const RuleTables& rules,
           const RuleIndex& index, const TeacherPeople& people, RandomStream& random)
        : in_(in),
          opt_(opt),
          rules_(rules),
          index_(index),
          people_(people),
          random_(random),
          classes_(in.number_of_classes),
          teachers_(in.number_of_teachers),
          persons_(people.count()) {}

    // Reads the timetable; false when some rule of the run does not hold in it
    // as it stands, so that no move could be judged against a sound start.
    bool Load(const ByteMatrix& timetable) {
        const std::size_t cells = (AsIndex(classes_) + 1) * kSlotColumns;
        cell_.assign(cells, 0);
        flag_.assign(cells, 0);
        at_slot_.assign((AsIndex(teachers_) + 1) * kSlotColumns, 0);
        last_count_.assign(AsIndex(persons_) + 1, 0);
        last_at_slot_.assign((AsIndex(persons_) + 1) * kSlotColumns, 0);
        busy_count_.assign((AsIndex(persons_) + 1) * (kDays + 1) * kHoursPerDayBits, 0);
        busy_.assign((AsIndex(persons_) + 1) * (kDays + 1), 0);
        day_gaps_.assign((AsIndex(persons_) + 1) * (kDays + 1), 0);
        week_gaps_.assign(AsIndex(persons_) + 1, 0);
        in_chain_.assign(AsIndex(classes_) + 1, 0);
        touched_stamp_.assign((AsIndex(persons_) + 1) * (kDays + 1), 0);
        movable_slots_.assign(AsIndex(classes_) + 1, {});
        movable_classes_.clear();
        ListJointPartners();

        for (int c = 1; c <= classes_; ++c) {
            MarkPlaces(c);
            for (int s = 1; s <= kSlots; ++s) {
                const int t = timetable(AsIndex(c), AsIndex(s));
                if (t > teachers_) {
                    return false;
                }
                if (t != 0) {
                    Put(c, s, t, static_cast<std::uint8_t>(KindFlags(timetable, c, s, t)));
                }
            }
        }
        for (int c = 1; c <= classes_; ++c) {
            if (!MarkLessons(c)) {
                return false;
            }
            for (int s = 1; s <= kSlots; ++s) {
                if ((Flag(c, s) & kMovable) != 0) {
                    movable_slots_[AsIndex(c)].push_back(static_cast<std::uint8_t>(s));
                }
            }
            if (movable_slots_[AsIndex(c)].size() >= 2) {
                movable_classes_.push_back(c);
            }
        }
        for (std::size_t i = 0; i < day_gaps_.size(); ++i) {
            day_gaps_[i] = static_cast<std::uint8_t>(GapsOfDay(busy_[i]));
        }
        gap_histogram_.assign(kDays * kMaxHoursPerDay + 1, 0);
        total_ = 0;
        cost_ = 0;
        for (int p = 1; p <= persons_; ++p) {
            int week = 0;
            for (int d = 1; d <= kDays; ++d) {
                week += day_gaps_[PersonDay(p, d)];
            }
            week_gaps_[AsIndex(p)] = week;
            ++gap_histogram_[AsIndex(week)];
            total_ += week;
            cost_ += GapWeight(week);
        }
        worst_ = Summary().worst;
        return AllRulesHold();
    }

    GapSummary Summary() const {
        GapSummary summary;
        summary.total = total_;
        for (int p = 1; p <= persons_; ++p) {
            if (week_gaps_[AsIndex(p)] > summary.worst) {
                summary.worst = week_gaps_[AsIndex(p)];
                summary.worst_person = p;
            }
        }
        return summary;
    }

    // Anneals in rounds of `moves` tries each, keeping the best timetable
    // reached. Each round heats the timetable it starts from again, so that a
    // person left with a gap or two at the end of a round gets another chance;
    // rounds stop once nobody has a gap.
    void Run(std::int64_t moves, int rounds, const std::stop_token& stop,
             ImprovementReport& report) {
        best_cells_ = cell_;
        best_ = Summary();
        if (movable_classes_.empty()) {
            return;
        }
        for (int round = 0; round < rounds && best_.total > 0 && !report.stopped; ++round) {
            if (!Anneal(moves, stop, report)) {
                break;
            }
        }
        best_ = GapSummaryOf(best_cells_);
    }

    const GapSummary& best() const { return best_; }

    // One cooling from a temperature at which a move costing a few gaps passes
    // now and then, down to one at which only improvements pass. False when
    // the stop ended it.
    bool Anneal(std::int64_t moves, const std::stop_token& stop, ImprovementReport& report) {
        const double start_temperature = 3.0;
        const double end_temperature = 0.05;
        double temperature = start_temperature;
        const double cooling =
            std::pow(end_temperature / start_temperature,
                     1.0 / static_cast<double>(std::max<std::int64_t>(moves, 1)));
        for (std::int64_t i = 0; i < moves; ++i) {
            if ((i & 1023) == 0 && stop.stop_requested()) {
                report.stopped = true;
                return false;
            }
            ++report.moves_tried;
            if (TryMove(temperature)) {
                ++report.moves_made;
                if (worst_ < best_.worst || (worst_ == best_.worst && total_ < best_.total)) {
                    best_ = GapSummary{total_, worst_, 0};
                    best_cells_ = cell_;
                    if (best_.total == 0) {
                        return true;
                    }
                }
            }
            temperature *= cooling;
        }
        return true;
    }

    void StoreBest(ByteMatrix& timetable) const {
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                timetable(AsIndex(c), AsIndex(s)) = best_cells_[At(c, s)];
            }
        }
    }

  private:
    // --- the start --------------------------------------------------------------

    void MarkPlaces(int c) {
        const int hours = in_.class_hours[AsIndex(c)];
        for (int k = 1; k <= hours && k <= kSlots; ++k) {
            const int s = index_.position_slot[AsIndex(k)];
            if (s != 0) {
                flag_[At(c, s)] |= kPosition;
            }
        }
        for (int s = index_.last_hours_first[AsIndex(c)]; s <= index_.last_hours_last[AsIndex(c)];
             ++s) {
            flag_[At(c, s)] |= kLastFive;
        }
    }

    // Pinned lessons stay. A joint lesson copied into the later of its class
    // sections was not searched; it moves with the lesson it copies.
    int KindFlags(const ByteMatrix& timetable, int c, int s, int t) const {
        if (in_.pinned_lessons(AsIndex(c), AsIndex(s)) == t) {
            return 0;
        }
        for (const auto& [teacher, other] : joint_partners_[AsIndex(c)]) {
            if (teacher == t && other < c && timetable(AsIndex(other), AsIndex(s)) == t) {
                return kMovable;
            }
        }
        return kSearched | kMovable;
    }

    // The class sections each class section shares a joint lesson with.
    void ListJointPartners() {
        joint_partners_.assign(AsIndex(classes_) + 1, {});
        for (const JointLesson& joint : rules_.JointLessons()) {
            const int first = joint.class1;
            const int second = joint.class2;
            const int teacher = joint.teacher;
            if (first >= 1 && first <= classes_ && second >= 1 && second <= classes_) {
                joint_partners_[AsIndex(first)].emplace_back(teacher, second);
                joint_partners_[AsIndex(second)].emplace_back(teacher, first);
            }
        }
    }

    // Reads the two-hour lessons of class section c: as the randomised search
    // placed them when that reading holds, else any reading that keeps every
    // one-hour lesson valid, as the finished reading of the verifier accepts
    // (the exact search places lessons in no order).
    bool MarkLessons(int c) {
        if (MarkLessonsInSearchOrder(c)) {
            return true;
        }
        for (int s = 1; s <= kSlots; ++s) {
            flag_[At(c, s)] &= static_cast<std::uint8_t>(~(kFirstOfTwo | kSecondOfTwo));
        }
        for (int t = 1; t <= teachers_; ++t) {
            if (!MarkValidReading(c, t)) {
                return false;
            }
        }
        return true;
    }

    // Reads the two-hour lessons as the search placed them: a teacher owing
    // two-hour lessons in a class section placed those first, so walking the
    // hour positions in order, the teacher's first searched hours start them.
    bool MarkLessonsInSearchOrder(int c) {
        std::vector<int> searched(AsIndex(teachers_) + 1, 0);
        for (int s = 1; s <= kSlots; ++s) {
            if ((Flag(c, s) & kSearched) != 0) {
                ++searched[AsIndex(Cell(c, s))];
            }
        }
        std::vector<int> blocks(AsIndex(teachers_) + 1, 0);
        for (int t = 1; t <= teachers_; ++t) {
            blocks[AsIndex(t)] = std::min<int>(in_.two_hour_lessons(AsIndex(c), AsIndex(t)),
                                               searched[AsIndex(t)] / 2);
        }
        const int hours = in_.class_hours[AsIndex(c)];
        for (int k = 1; k <= hours && k <= kSlots; ++k) {
            const int s = index_.position_slot[AsIndex(k)];
            const int t = s == 0 ? 0 : Cell(c, s);
            if (t == 0 || (Flag(c, s) & (kSearched | kSecondOfTwo)) != kSearched ||
                (Flag(c, s) & kFirstOfTwo) != 0 || blocks[AsIndex(t)] == 0) {
                continue;
            }
            const int second = s + kDays;
            if (second > kSlots || Cell(c, second) != t ||
                (Flag(c, second) & (kSearched | kFirstOfTwo | kSecondOfTwo)) != kSearched) {
                return false;
            }
            --blocks[AsIndex(t)];
            flag_[At(c, s)] |= kFirstOfTwo;
            flag_[At(c, second)] |= kSecondOfTwo;
            if ((Flag(c, s) & kMovable) != (Flag(c, second) & kMovable)) {
                return false;
            }
        }
        return true;
    }

    // The first hours of the two-hour lessons of one day's reading, as bits
    // (bit h: hour h + 1), for each number of two-hour lessons that day.
    using DayReadings = std::array<int, kMaxHoursPerDay / 2 + 1>;  // -1: none valid

    // Marks min(owed, searched / 2) two-hour lessons of t in c, each two
    // consecutive searched hours of one day, in a reading where every day of
    // t in c holds; false when no reading does.
    bool MarkValidReading(int c, int t) {
        int searched = 0;
        for (int s = 1; s <= kSlots; ++s) {
            searched += Cell(c, s) == t && (Flag(c, s) & kSearched) != 0 ? 1 : 0;
        }
        const int blocks =
            std::min<int>(in_.two_hour_lessons(AsIndex(c), AsIndex(t)), searched / 2);
        if (blocks == 0) {
            return true;
        }
        std::array<DayReadings, kDays + 1> days{};
        for (int d = 1; d <= kDays; ++d) {
            days[AsIndex(d)].fill(-1);
            ReadDay(c, t, d, 0, 0, 0, days[AsIndex(d)]);
        }
        // reach[d][k]: k two-hour lessons can be read on days 1..d.
        std::array<std::array<bool, kDays * kMaxHoursPerDay / 2 + 1>, kDays + 1> reach{};
        reach[0][0] = true;
        for (int d = 1; d <= kDays; ++d) {
            for (std::size_t k = 0; k < reach[0].size(); ++k) {
                for (std::size_t j = 0; j < days[0].size() && j <= k; ++j) {
                    reach[AsIndex(d)][k] = reach[AsIndex(d)][k] || (reach[AsIndex(d - 1)][k - j] &&
                                                                    days[AsIndex(d)][j] >= 0);
                }
            }
        }
        if (!reach[kDays][AsIndex(blocks)]) {
            return false;
        }
        std::size_t left = AsIndex(blocks);
        for (int d = kDays; d >= 1; --d) {
            for (std::size_t j = 0; j < days[0].size() && j <= left; ++j) {
                if (days[AsIndex(d)][j] >= 0 && reach[AsIndex(d - 1)][left - j]) {
                    MarkDay(c, d, days[AsIndex(d)][j], true);
                    left -= j;
                    break;
                }
            }
        }
        return true;
    }

    // Tries every reading of t's searched hours on day d, from hour `hour` on,
    // and keeps for each number of two-hour lessons the first that holds.
    void ReadDay(int c, int t, int d, int hour, int firsts, int pairs, DayReadings& found) {
        if (hour >= kMaxHoursPerDay) {
            if (found[AsIndex(pairs)] < 0) {
                MarkDay(c, d, firsts, true);
                if (ClassTeacherDayHolds(c, t, d)) {
                    found[AsIndex(pairs)] = firsts;
                }
                MarkDay(c, d, firsts, false);
            }
            return;
        }
        const int s = SlotOf(d, hour + 1);
        const int second = s + kDays;
        if (Cell(c, s) == t && (Flag(c, s) & kSearched) != 0 && hour + 1 < kMaxHoursPerDay &&
            second <= index_.second_hour_limit && Cell(c, second) == t &&
            (Flag(c, second) & kSearched) != 0 &&
            (Flag(c, s) & kMovable) == (Flag(c, second) & kMovable)) {
            ReadDay(c, t, d, hour + 2, firsts | (1 << hour), pairs + 1, found);
        }
        ReadDay(c, t, d, hour + 1, firsts, pairs, found);
    }

    // Marks (or clears) the two-hour lessons of day d that start at the hours
    // of `firsts`.
    void MarkDay(int c, int d, int firsts, bool mark) {
        for (int hour = 0; hour < kMaxHoursPerDay; ++hour) {
            if ((firsts & (1 << hour)) == 0) {
                continue;
            }
            const int s = SlotOf(d, hour + 1);
            for (const auto& [slot, flag] :
                 {std::pair{s, kFirstOfTwo}, {s + kDays, kSecondOfTwo}}) {
                std::uint8_t& f = flag_[At(c, slot)];
                f = mark ? static_cast<std::uint8_t>(f | flag)
                         : static_cast<std::uint8_t>(f & ~flag);
            }
        }
    }

    bool AllRulesHold() const {
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                if ((Flag(c, s) & kSearched) == 0) {
                    continue;
                }
                if (!CellHolds(c, s) || !ClassTeacherDayHolds(c, Cell(c, s), DayOfSlot(s))) {
                    return false;
                }
            }
        }
        for (int t = 1; t <= teachers_; ++t) {
            for (int d = 1; d <= kDays; ++d) {
                if (!TeacherDayHolds(t, d)) {
                    return false;
                }
            }
            if (!TeacherWeekHolds(t)) {
                return false;
            }
        }
        return true;
    }

    // --- cells and what they count --------------------------------------------

    void Put(int c, int s, int t, std::uint8_t travelling) {
        cell_[At(c, s)] = static_cast<std::uint8_t>(t);
        flag_[At(c, s)] = static_cast<std::uint8_t>((flag_[At(c, s)] & ~kTravelling) | travelling);
        Count(c, s, t, +1);
    }

    void Count(int c, int s, int t, int by) {
        at_slot_[TeacherSlot(t, s)] = static_cast<std::uint8_t>(at_slot_[TeacherSlot(t, s)] + by);
        const int d = DayOfSlot(s);
        const int hour = HourOfSlot(s);
        for (const std::uint16_t p : people_.of_teacher[AsIndex(t)]) {
            if (p == 0) {
                continue;
            }
            if ((Flag(c, s) & kLastFive) != 0) {
                // A joint lesson is one last hour of the person, not one per class.
                std::uint8_t& here = last_at_slot_[PersonSlot(p, s)];
                const bool was = here != 0;
                here = static_cast<std::uint8_t>(here + by);
                if (was != (here != 0)) {
                    last_count_[p] =
                        static_cast<std::uint8_t>(last_count_[p] + (here != 0 ? 1 : -1));
                }
            }
            std::uint8_t& busy = busy_count_[PersonDay(p, d) * kHoursPerDayBits + AsIndex(hour)];
            busy = static_cast<std::uint8_t>(busy + by);
            const std::uint32_t bit = 1U << (hour - 1);
            std::uint32_t& mask = busy_[PersonDay(p, d)];
            mask = busy != 0 ? (mask | bit) : (mask & ~bit);
            Touch(p, d);
        }
    }

    void Touch(int p, int d) {
        std::uint32_t& stamp = touched_stamp_[PersonDay(p, d)];
        if (stamp != move_stamp_) {
            stamp = move_stamp_;
            touched_.emplace_back(p, d);
        }
    }

    // Exchanges the cells of rows a.. and b.. of every class section of the
    // chain, counters included. Doing it twice undoes it.
    void Exchange(int a, int b, int height) {
        for (const int x : chain_) {
            for (int i = 0; i < height; ++i) {
                const int sa = a + kDays * i;
                const int sb = b + kDays * i;
                const int ta = Cell(x, sa);
                const int tb = Cell(x, sb);
                const auto fa = static_cast<std::uint8_t>(Flag(x, sa) & kTravelling);
                const auto fb = static_cast<std::uint8_t>(Flag(x, sb) & kTravelling);
                if (ta != 0) {
                    Count(x, sa, ta, -1);
                }
                if (tb != 0) {
                    Count(x, sb, tb, -1);
                }
                cell_[At(x, sa)] = 0;
                cell_[At(x, sb)] = 0;
                flag_[At(x, sa)] &= static_cast<std::uint8_t>(~kTravelling);
                flag_[At(x, sb)] &= static_cast<std::uint8_t>(~kTravelling);
                if (tb != 0) {
                    Put(x, sa, tb, fb);
                }
                if (ta != 0) {
                    Put(x, sb, ta, fa);
                }
            }
        }
    }

    // --- one move -------------------------------------------------------------

    bool TryMove(double temperature) {
        const int c =
            movable_classes_[random_.Below(static_cast<std::uint32_t>(movable_classes_.size()))];
        const auto& slots = movable_slots_[AsIndex(c)];
        int a = slots[random_.Below(static_cast<std::uint32_t>(slots.size()))];
        int b = slots[random_.Below(static_cast<std::uint32_t>(slots.size()))];
        if ((Flag(c, a) & kSecondOfTwo) != 0) {
            a -= kDays;
        }
        int height = (Flag(c, a) & kFirstOfTwo) != 0 ? 2 : 1;
        if (height == 1 && (Flag(c, b) & (kFirstOfTwo | kSecondOfTwo)) != 0) {
            height = 2;  // a one-hour lesson and the hour below it for a two-hour lesson
        }
        if (height == 2 && (Flag(c, b) & kSecondOfTwo) != 0) {
            b -= kDays;
        }
        if (a == b || (height == 2 && std::abs(a - b) == kDays) ||
            a + kDays * (height - 1) > kSlots || b + kDays * (height - 1) > kSlots) {
            return false;
        }
        if (!BuildChain(c, a, b, height)) {
            return false;
        }
        ++move_stamp_;
        touched_.clear();
        const std::int64_t old_cost = cost_;
        Exchange(a, b, height);
        if (!MoveKeepsRules(a, b, height)) {
            Exchange(a, b, height);
            return false;
        }
        ApplyGapChanges();
        const std::int64_t delta = cost_ - old_cost;
        if (delta <= 0 || random_.Next32() < AcceptanceThreshold(delta, temperature)) {
            return true;
        }
        ++move_stamp_;
        touched_.clear();
        Exchange(a, b, height);
        ApplyGapChanges();
        return false;
    }

    static std::uint32_t AcceptanceThreshold(std::int64_t delta, double temperature) {
        const double p = std::exp(-static_cast<double>(delta) / temperature);
        return static_cast<std::uint32_t>(p * 4294967295.0);
    }

    // The class sections that must exchange rows a.. and b.. together with c so
    // that nobody is in two places at once; false when one of them cannot.
    bool BuildChain(int c, int a, int b, int height) {
        ++chain_stamp_;
        chain_.clear();
        if (!JoinChain(c, a, b, height)) {
            return false;
        }
        for (std::size_t k = 0; k < chain_.size(); ++k) {
            const int x = chain_[k];
            for (int i = 0; i < height; ++i) {
                const int sa = a + kDays * i;
                const int sb = b + kDays * i;
                if (!FollowTeacher(Cell(x, sa), sb, a, b, height) ||
                    !FollowTeacher(Cell(x, sb), sa, a, b, height) ||
                    !FollowJointLesson(x, sa, a, b, height) ||
                    !FollowJointLesson(x, sb, a, b, height)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Teacher t arrives at slot `to`: the class sections where t already is at
    // that slot join the chain.
    bool FollowTeacher(int t, int to, int a, int b, int height) {
        if (t == 0 || at_slot_[TeacherSlot(t, to)] == 0) {
            return true;
        }
        for (int y = 1; y <= classes_; ++y) {
            if (Cell(y, to) == t && in_chain_[AsIndex(y)] != chain_stamp_ &&
                !JoinChain(y, a, b, height)) {
                return false;
            }
        }
        return true;
    }

    // A joint lesson at slot s of class section x is given at the same slot in
    // its partners: they exchange the same rows, so that it stays joint.
    bool FollowJointLesson(int x, int s, int a, int b, int height) {
        const int t = Cell(x, s);
        if (t == 0) {
            return true;
        }
        for (const auto& [teacher, y] : joint_partners_[AsIndex(x)]) {
            if (teacher != t || in_chain_[AsIndex(y)] == chain_stamp_) {
                continue;
            }
            if (Cell(y, s) != t || !JoinChain(y, a, b, height)) {
                return false;
            }
        }
        return true;
    }

    bool JoinChain(int x, int a, int b, int height) {
        if (!RowsExchangeable(x, a, height) || !RowsExchangeable(x, b, height)) {
            return false;
        }
        for (int i = 0; i < height; ++i) {
            if ((Flag(x, a + kDays * i) & kPosition) != (Flag(x, b + kDays * i) & kPosition)) {
                return false;
            }
        }
        in_chain_[AsIndex(x)] = chain_stamp_;
        chain_.push_back(x);
        return true;
    }

    // Rows r.. of class section x hold only lessons that may move and that lie
    // wholly inside them.
    bool RowsExchangeable(int x, int r, int height) const {
        for (int i = 0; i < height; ++i) {
            const int s = r + kDays * i;
            const std::uint8_t f = Flag(x, s);
            if (Cell(x, s) == 0) {
                continue;
            }
            if ((f & kMovable) == 0) {
                return false;
            }
            if ((f & kFirstOfTwo) != 0 && i != height - 2) {
                return false;
            }
            if ((f & kSecondOfTwo) != 0 && i != 1) {
                return false;
            }
        }
        return true;
    }

    bool MoveKeepsRules(int a, int b, int height) {
        const int days[2] = {DayOfSlot(a), DayOfSlot(b)};
        const int day_count = days[0] == days[1] ? 1 : 2;
        for (const int x : chain_) {
            for (int i = 0; i < height; ++i) {
                for (const int s : {a + kDays * i, b + kDays * i}) {
                    const int t = Cell(x, s);
                    if (t == 0) {
                        continue;
                    }
                    if (!CellHolds(x, s)) {
                        return false;
                    }
                    for (int k = 0; k < day_count; ++k) {
                        if (!ClassTeacherDayHolds(x, t, days[k]) || !TeacherDayHolds(t, days[k])) {
                            return false;
                        }
                    }
                    if (!TeacherWeekHolds(t)) {
                        return false;
                    }
                }
            }
        }
        return true;
    }

    void ApplyGapChanges() {
        for (const auto& [p, d] : touched_) {
            const int before = day_gaps_[PersonDay(p, d)];
            const int after = GapsOfDay(busy_[PersonDay(p, d)]);
            if (before == after) {
                continue;
            }
            day_gaps_[PersonDay(p, d)] = static_cast<std::uint8_t>(after);
            const int old_week = week_gaps_[AsIndex(p)];
            const int new_week = old_week + after - before;
            week_gaps_[AsIndex(p)] = new_week;
            --gap_histogram_[AsIndex(old_week)];
            ++gap_histogram_[AsIndex(new_week)];
            total_ += new_week - old_week;
            cost_ += GapWeight(new_week) - GapWeight(old_week);
        }
        while (worst_ > 0 && gap_histogram_[AsIndex(worst_)] == 0) {
            --worst_;
        }
        for (int g = static_cast<int>(gap_histogram_.size()) - 1; g > worst_; --g) {
            if (gap_histogram_[AsIndex(g)] != 0) {
                worst_ = g;
                break;
            }
        }
    }

    GapSummary GapSummaryOf(const std::vector<std::uint8_t>& cells) const {
        ByteMatrix timetable(AsIndex(classes_) + 1, kSlotColumns);
        for (int c = 1; c <= classes_; ++c) {
            for (int s = 1; s <= kSlots; ++s) {
                timetable(AsIndex(c), AsIndex(s)) = cells[At(c, s)];
            }
        }
        return CountGaps(timetable, classes_, people_).summary;
    }

    // --- the rules on the cells as they stand --------------------------------------

    // A searched lesson's own slot: nobody else's, not refused to the teacher,
    // no teacher kept apart from it at the same hour.
    bool CellHolds(int c, int s) const {
        const int t = Cell(c, s);
        if (index_.slot_denied[TeacherSlot(t, s)] != 0) {
            return false;
        }
        if (at_slot_[TeacherSlot(t, s)] > 1 && !JointAtSlot(c, s, t)) {
            return false;
        }
        const ByteLists& partners = index_.same_hour_partners;
        for (const std::uint8_t* q = partners.begin(AsIndex(t)); q != partners.end(AsIndex(t));
             ++q) {
            if (at_slot_[TeacherSlot(*q, s)] != 0) {
                return false;
            }
        }
        if ((Flag(c, s) & kFirstOfTwo) != 0 && s + kDays > index_.second_hour_limit) {
            return false;
        }
        return true;
    }

    // Teacher t at slot s in class c and in no class section other than its
    // joint partners for t.
    bool JointAtSlot(int c, int s, int t) const {
        for (int y = 1; y <= classes_; ++y) {
            if (y != c && Cell(y, s) == t && !JointPartners(c, y, t)) {
                return false;
            }
        }
        return true;
    }

    bool JointPartners(int c, int y, int t) const {
        for (const auto& [teacher, partner] : joint_partners_[AsIndex(c)]) {
            if (teacher == t && partner == y) {
                return true;
            }
        }
        return false;
    }

    // Teacher t in class section c on day d: hours a day in the class, the
    // split partner kept off the day, and the one-hour lessons spread over the
    // days and not right after an hour of the same teacher.
    bool ClassTeacherDayHolds(int c, int t, int d) const {
        int held = 0;
        bool searched = false;
        for (int s = d; s <= kSlots; s += kDays) {
            if (Cell(c, s) == t) {
                ++held;
                searched = searched || (Flag(c, s) & kSearched) != 0;
            }
        }
        if (held > 1 && JointTeacherOf(c, t)) {
            return false;  // a joint lesson is given once a day
        }
        if (held == 0 || !searched) {
            return true;
        }
        if (held > index_.DayAllowance(t, c)) {
            return false;
        }
        const ByteLists& splits = index_.split_partners;
        for (const std::uint8_t* e = splits.begin(AsIndex(c)); e != splits.end(AsIndex(c));
             e += 2) {
            const int other = e[0] == t ? e[1] : (e[1] == t ? e[0] : 0);
            if (other != 0 && HeldOnDay(c, other, d)) {
                return false;
            }
        }
        const bool spread = index_.SpreadsOverDays(t, c);
        for (int s = d; s <= kSlots; s += kDays) {
            const std::uint8_t f = Flag(c, s);
            if (Cell(c, s) != t || (f & kSearched) == 0 ||
                (f & (kFirstOfTwo | kSecondOfTwo)) != 0) {
                continue;
            }
            if (spread && held > 1) {
                return false;
            }
            if (opt_.no_single_hour_runs && s > kDays && Cell(c, s - kDays) == t) {
                return false;
            }
        }
        return !opt_.no_single_hour_runs || !SearchedHourBeforePinned(c, t, d);
    }

    // A pinned lesson is a one-hour lesson: no searched hour of its teacher
    // may come right before it.
    bool SearchedHourBeforePinned(int c, int t, int d) const {
        for (int s = d + kDays; s <= kSlots; s += kDays) {
            if (in_.pinned_lessons(AsIndex(c), AsIndex(s)) == t && Cell(c, s - kDays) == t &&
                (Flag(c, s - kDays) & kSearched) != 0) {
                return true;
            }
        }
        return false;
    }

    bool JointTeacherOf(int c, int t) const {
        for (const auto& partner : joint_partners_[AsIndex(c)]) {
            if (partner.first == t) {
                return true;
            }
        }
        return false;
    }

    bool HeldOnDay(int c, int t, int d) const {
        for (int s = d; s <= kSlots; s += kDays) {
            if (Cell(c, s) == t) {
                return true;
            }
        }
        return false;
    }

    // The people of row t on day d: the hours-a-day limit and no five hours
    // in a row, counted over every hour they teach through any row, pinned
    // lessons and copies included, a joint lesson being one hour.
    bool TeacherDayHolds(int t, int d) const {
        for (const std::uint16_t p : people_.of_teacher[AsIndex(t)]) {
            if (p == 0) {
                continue;
            }
            const std::uint32_t hours = busy_[PersonDay(p, d)];
            if (opt_.day_hours_limit_on && std::popcount(hours) > opt_.day_hours_limit) {
                return false;
            }
            if (opt_.four_hour_run_limit_on &&
                (hours & hours >> 1 & hours >> 2 & hours >> 3 & hours >> 4) != 0) {
                return false;
            }
        }
        return true;
    }

    // The people of row t: their last-hour lessons of the week.
    bool TeacherWeekHolds(int t) const {
        if (!opt_.last_hours_limit_on) {
            return true;
        }
        for (const std::uint16_t p : people_.of_teacher[AsIndex(t)]) {
            if (p != 0 && last_count_[p] > opt_.last_hours_limit) {
                return false;
            }
        }
        return true;
    }

    // --- indexing ----------------------------------------------------------------

    static std::size_t At(int c, int s) { return AsIndex(c) * kSlotColumns + AsIndex(s); }
    static std::size_t TeacherSlot(int t, int s) { return AsIndex(t) * kSlotColumns + AsIndex(s); }
    static std::size_t PersonSlot(int p, int s) { return AsIndex(p) * kSlotColumns + AsIndex(s); }
    static std::size_t PersonDay(int p, int d) { return AsIndex(p) * (kDays + 1) + AsIndex(d); }
    int Cell(int c, int s) const { return cell_[At(c, s)]; }
    std::uint8_t Flag(int c, int s) const { return flag_[At(c, s)]; }

    const SolverInputs& in_;
    const RunOptions& opt_;
    const RuleTables& rules_;
    const RuleIndex& index_;
    const TeacherPeople& people_;
    RandomStream& random_;
    const int classes_;
    const int teachers_;
    const int persons_;

    std::vector<std::uint8_t> cell_;          // [class * 51 + slot] = teacher
    std::vector<std::uint8_t> flag_;          // [class * 51 + slot] = CellFlag bits
    std::vector<std::uint8_t> at_slot_;       // [teacher * 51 + slot] = cells held
    std::vector<std::uint8_t> last_count_;    // [person] = slots among last fives
    std::vector<std::uint8_t> last_at_slot_;  // [person * 51 + slot] = such cells
    std::vector<std::uint8_t> busy_count_;    // [(person * 6 + day) * 11 + hour] = lessons
    std::vector<std::uint32_t> busy_;         // [person * 6 + day] = hours busy, as bits
    std::vector<std::uint8_t> day_gaps_;      // [person * 6 + day]
    std::vector<int> week_gaps_;              // [person]
    std::vector<int> gap_histogram_;          // [weekly gaps] = people with that many
    int total_ = 0;
    int worst_ = 0;
    std::int64_t cost_ = 0;

    // [class] = (teacher, partner class) of each joint lesson it shares.
    std::vector<std::vector<std::pair<int, int>>> joint_partners_;
    std::vector<std::vector<std::uint8_t>> movable_slots_;  // [class]
    std::vector<int> movable_classes_;
    std::vector<int> chain_;
    std::vector<std::uint32_t> in_chain_;  // [class] = chain_stamp_ when in the chain
    std::uint32_t chain_stamp_ = 0;
    std::vector<std::pair<int, int>> touched_;  // (person, day) whose hours changed
    std::vector<std::uint32_t> touched_stamp_;
    std::uint32_t move_stamp_ = 0;

    std::vector<std::uint8_t> best_cells_;
    GapSummary best_;
};

GapImprover::GapImprover(const SolverInputs& inputs, const RunOptions& options,
                         const RuleTables& rules, const RuleIndex& index,
                         const TeacherPeople& people, std::uint64_t seed)
    : inputs_(inputs),
      options_(options),
      rules_(rules),
      people_(people),
      index_(index),
      random_(seed) {
    if (!index_.BuiltFor(inputs.number_of_classes, inputs.number_of_teachers, options)) {
        throw ProblemError("The rule index was not built for this problem and these options.");
    }
}

GapImprover::GapImprover(const SolverInputs& inputs, const RunOptions& options,
                         const RuleTables& rules, const TeacherPeople& people, std::uint64_t seed)
    : GapImprover(inputs, options, rules, BuildRuleIndex(inputs, rules, options), people, seed) {}

GapImprover::~GapImprover() = default;

bool GapImprover::Improve(ByteMatrix& timetable, std::stop_token stop) {
    report_ = ImprovementReport{};
    Search search(inputs_, options_, rules_, index_, people_, random_);
    if (!search.Load(timetable)) {
        report_.before = report_.after =
            CountGaps(timetable, inputs_.number_of_classes, people_).summary;
        return false;
    }
    report_.before = search.Summary();
    // Bounded by moves, not by the clock, so that a run with one thread and a
    // given seed repeats itself whatever the machine's load; the largest
    // schools get the moves of 60 class sections.
    const std::int64_t moves =
        moves_per_class_ * std::clamp<std::int64_t>(inputs_.number_of_classes, 1, 60);
    search.Run(moves, rounds_, stop, report_);
    report_.after = search.best();
    if (!FewerGaps(report_.after, report_.before)) {
        report_.after = report_.before;
        return false;
    }
    search.StoreBest(timetable);
    return true;
}

}  // namespace taktirio
