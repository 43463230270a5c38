// Draws a school's allocation: each class section's week cut into lessons of one
// to five hours, lessons marked for joint teaching, splitting and teacher pairs,
// teachers given lessons towards a weekly load of 10 to 22 hours, then absences
// and apart pairs placed where the teachers' weeks still leave room.
#include "core/generator/school_draft.h"

#include <algorithm>
#include <string>

#include "core/common/narrow.h"
#include "core/solver/slots.h"

namespace taktirio::generator {

namespace {

constexpr int kMinTarget = 10;  // fewest weekly hours a teacher is aimed at
constexpr int kMinLessons = 9;  // teachers of one class section, when there are enough
constexpr int kMaxLessons = 12;
constexpr int kMaxAbsentDays = 2;  // per teacher

// Days a teacher needs for h hours (k of them two-hour lessons) in one class
// section with a available days, under the daily allowance of the placement rules.
int DaysNeeded(int h, int k, int a, int max_per_day) {
    const int ones = h - 2 * k;
    if (h <= a) {
        return k + ones;  // one-hour lessons each on a day of their own
    }
    const int allowance = (max_per_day == 2 && h > 2 * a) ? 3 : max_per_day;
    const int beside_blocks = k * std::max(0, allowance - 2);
    return k + (std::max(0, ones - beside_blocks) + allowance - 1) / allowance;
}

class DraftBuilder {
  public:
    DraftBuilder(const SchoolSettings& s, int singles, Dice& dice) : s_(s), dice_(dice) {
        d_.classes = s.classes;
        d_.singles = singles;
    }

    std::optional<Draft> Build() {
        DrawWeeks();
        for (int c = 1; c <= d_.classes; ++c) {
            DrawLessons(c);
        }
        if (!DrawJoints() || !DrawSplits() || !DrawPairs()) {
            return std::nullopt;
        }
        DrawTargets();
        if (!AssignTeachers()) {
            return std::nullopt;
        }
        DrawTwoHourLessons();
        d_.absent_days.assign(AsIndex(d_.teachers()) + 1, {});
        if (!DrawAbsences() || !DrawApart()) {
            return std::nullopt;
        }
        DrawLastDays();
        return std::move(d_);
    }

  private:
    void DrawWeeks() {
        d_.week_hours.assign(AsIndex(d_.classes) + 1, s_.week_hours);
        std::vector<int> order(AsIndex(d_.classes));
        for (int c = 1; c <= d_.classes; ++c) {
            order[AsIndex(c - 1)] = c;
        }
        dice_.Shuffle(order);
        for (int i = 0; i < s_.short_classes; ++i) {
            int& w = d_.week_hours[AsIndex(order[AsIndex(i)])];
            w = std::max(1, w - dice_.Range(1, 3));
        }
    }

    // Splits the class section's week into lessons of 1 to 5 hours.
    void DrawLessons(int c) {
        const int w = d_.week_hours[AsIndex(c)];
        const int fewest = (w + kMaxLessonHours - 1) / kMaxLessonHours;
        const int most = std::min({kMaxLessons, d_.singles - 1, w});
        const int count = std::clamp(dice_.Range(kMinLessons, kMaxLessons), fewest, most);
        std::vector<int> hours(AsIndex(count), 1);
        for (int left = w - count; left > 0; --left) {
            int i = dice_.Below(count);
            while (hours[AsIndex(i)] == kMaxLessonHours) {
                i = (i + 1) % count;
            }
            ++hours[AsIndex(i)];
        }
        for (int h : hours) {
            d_.lessons.push_back(Lesson{c, h, 0, 0, LessonKind::kOrdinary});
        }
    }

    std::vector<int> OrdinaryLessons(int c, int min_hours, int max_hours) {
        std::vector<int> found;
        for (std::size_t i = 0; i < d_.lessons.size(); ++i) {
            const Lesson& l = d_.lessons[i];
            if (l.class_section == c && l.kind == LessonKind::kOrdinary && l.hours >= min_hours &&
                l.hours <= max_hours) {
                found.push_back(static_cast<int>(i));
            }
        }
        dice_.Shuffle(found);
        return found;
    }

    int LessonsOf(int c) const {
        return static_cast<int>(
            std::count_if(d_.lessons.begin(), d_.lessons.end(),
                          [c](const Lesson& l) { return l.class_section == c; }));
    }

    // Two lessons of equal hours in two class sections, given by one teacher at once.
    bool DrawJoints() {
        for (int j = 0; j < s_.joint; ++j) {
            bool placed = false;
            for (int tries = 0; tries < kSearchTries && !placed; ++tries) {
                const int c1 = dice_.Range(1, d_.classes);
                const int c2 = dice_.Range(1, d_.classes);
                if (c1 == c2) {
                    continue;
                }
                for (int a : OrdinaryLessons(c1, 1, 3)) {
                    const int h = d_.lessons[AsIndex(a)].hours;
                    const std::vector<int> partners = OrdinaryLessons(c2, h, h);
                    if (!partners.empty()) {
                        d_.lessons[AsIndex(a)].kind = LessonKind::kJoint;
                        d_.lessons[AsIndex(partners[0])].kind = LessonKind::kJoint;
                        d_.joints.emplace_back(std::min(a, partners[0]), std::max(a, partners[0]));
                        placed = true;
                        break;
                    }
                }
            }
            if (!placed) {
                return false;
            }
        }
        return true;
    }

    // A lesson of 2 to 4 hours halved between two teachers.
    bool DrawSplits() {
        for (int k = 0; k < s_.split; ++k) {
            bool placed = false;
            for (int tries = 0; tries < kSearchTries && !placed; ++tries) {
                const int c = dice_.Range(1, d_.classes);
                const std::vector<int> found = OrdinaryLessons(c, 2, 4);
                if (found.empty() || LessonsOf(c) + 1 > d_.singles - 1) {
                    continue;
                }
                Lesson& whole = d_.lessons[AsIndex(found[0])];
                const int first = whole.hours / 2;
                const int second = whole.hours - first;
                whole.hours = first;
                whole.kind = LessonKind::kSplit;
                d_.lessons.push_back(Lesson{c, second, 0, 0, LessonKind::kSplit});
                d_.splits.emplace_back(found[0], static_cast<int>(d_.lessons.size()) - 1);
                placed = true;
            }
            if (!placed) {
                return false;
            }
        }
        return true;
    }

    // Each pair teaches one or two short lessons in different class sections.
    bool DrawPairs() {
        std::set<std::pair<int, int>> used;
        for (int p = 0; p < s_.pairs; ++p) {
            std::pair<int, int> members;
            do {
                members = {dice_.Range(1, d_.singles), dice_.Range(1, d_.singles)};
                if (members.first > members.second) {
                    std::swap(members.first, members.second);
                }
            } while (members.first == members.second || used.contains(members));
            used.insert(members);
            d_.pair_members.push_back(members);
            const int teacher = d_.PairTeacher(d_.pair_members.size() - 1);
            const int lessons = dice_.Range(1, 2);
            int given = 0;
            int last_class = 0;
            for (int tries = 0; tries < kSearchTries && given < lessons; ++tries) {
                const int c = dice_.Range(1, d_.classes);
                const std::vector<int> found = OrdinaryLessons(c, 1, 2);
                if (c == last_class || found.empty()) {
                    continue;
                }
                d_.lessons[AsIndex(found[0])].kind = LessonKind::kPair;
                d_.lessons[AsIndex(found[0])].teacher = teacher;
                last_class = c;
                ++given;
            }
            if (given == 0) {
                return false;
            }
        }
        return true;
    }

    // Weekly hours each single teacher is aimed at, 10 to 22 scaled to the total.
    void DrawTargets() {
        load_.assign(AsIndex(d_.teachers()) + 1, 0);
        int total = 0;
        for (const Lesson& l : d_.lessons) {
            if (l.kind == LessonKind::kPair) {
                const auto& m = d_.pair_members[AsIndex(l.teacher - d_.singles - 1)];
                load_[AsIndex(m.first)] += l.hours;
                load_[AsIndex(m.second)] += l.hours;
                load_[AsIndex(l.teacher)] += l.hours;
                total += 2 * l.hours;
            } else {
                total += l.hours;
            }
        }
        for (const auto& joint : d_.joints) {
            total -= d_.lessons[AsIndex(joint.second)].hours;  // taught once for both classes
        }
        target_.assign(AsIndex(d_.singles) + 1, 0);
        int drawn = 0;
        for (int t = 1; t <= d_.singles; ++t) {
            target_[AsIndex(t)] = dice_.Range(kMinTarget, kMaxLoad);
            drawn += target_[AsIndex(t)];
        }
        for (int t = 1; t <= d_.singles; ++t) {
            target_[AsIndex(t)] = std::min(kMaxLoad, target_[AsIndex(t)] * total / drawn + 1);
        }
    }

    // The single teacher with the most room left towards its target, among those
    // not yet teaching the class sections and with room for the hours.
    int PickTeacher(int hours, int c1, int c2) {
        int best = 0;
        int best_score = 0;
        for (int t = 1; t <= d_.singles; ++t) {
            if (teaches_.contains({t, c1}) || teaches_.contains({t, c2}) ||
                load_[AsIndex(t)] + hours > kMaxLoad) {
                continue;
            }
            const int score = target_[AsIndex(t)] - load_[AsIndex(t)] - hours + dice_.Below(4);
            if (best == 0 || score > best_score) {
                best = t;
                best_score = score;
            }
        }
        return best;
    }

    void Give(std::size_t lesson, int teacher) {
        Lesson& l = d_.lessons[lesson];
        l.teacher = teacher;
        teaches_.insert({teacher, l.class_section});
    }

    bool AssignTeachers() {
        for (const Lesson& l : d_.lessons) {
            if (l.kind == LessonKind::kPair) {
                teaches_.insert({l.teacher, l.class_section});
            }
        }
        for (const auto& [a, b] : d_.joints) {
            const int h = d_.lessons[AsIndex(a)].hours;
            const int t = PickTeacher(h, d_.lessons[AsIndex(a)].class_section,
                                      d_.lessons[AsIndex(b)].class_section);
            if (t == 0) {
                return false;
            }
            Give(AsIndex(a), t);
            Give(AsIndex(b), t);
            load_[AsIndex(t)] += h;
        }
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < d_.lessons.size(); ++i) {
            if (d_.lessons[i].teacher == 0) {
                order.push_back(i);
            }
        }
        dice_.Shuffle(order);
        std::stable_sort(order.begin(), order.end(), [this](std::size_t x, std::size_t y) {
            return d_.lessons[x].hours > d_.lessons[y].hours;
        });
        for (std::size_t i : order) {
            const Lesson& l = d_.lessons[i];
            const int t = PickTeacher(l.hours, l.class_section, l.class_section);
            if (t == 0) {
                return false;
            }
            Give(i, t);
            load_[AsIndex(t)] += l.hours;
        }
        return true;
    }

    void DrawTwoHourLessons() {
        for (Lesson& l : d_.lessons) {
            const bool eligible = l.kind == LessonKind::kOrdinary || l.kind == LessonKind::kPair;
            if (eligible && l.hours >= 2 && dice_.Percent(s_.two_hour_percent)) {
                l.two_hour = (l.hours >= 4 && dice_.Percent(30)) ? 2 : 1;
            }
        }
    }

    // The pairs a single teacher belongs to.
    std::vector<int> PairsOf(int t) const {
        std::vector<int> pairs;
        for (std::size_t p = 0; p < d_.pair_members.size(); ++p) {
            if (d_.pair_members[p].first == t || d_.pair_members[p].second == t) {
                pairs.push_back(d_.PairTeacher(p));
            }
        }
        return pairs;
    }

    // Whether a teacher's lessons still fit its week with the given absent days.
    bool FitsWeek(int t, const std::set<int>& days) const {
        const int available = kDays - static_cast<int>(days.size());
        if (load_[AsIndex(t)] > available * 5) {
            return false;
        }
        for (const Lesson& l : d_.lessons) {
            if (l.teacher == t && DaysNeeded(l.hours, l.two_hour, available,
                                             s_.options.max_class_hours_per_day) > available) {
                return false;
            }
        }
        return true;
    }

    // Teachers of joint and split lessons keep all five days: those rules
    // already ask them to spread their hours one a day.
    bool MayBeAbsent(int t) const {
        return std::none_of(d_.lessons.begin(), d_.lessons.end(), [t](const Lesson& l) {
            return l.teacher == t && (l.kind == LessonKind::kJoint || l.kind == LessonKind::kSplit);
        });
    }

    bool DrawAbsences() {
        for (int k = 0; k < s_.absences; ++k) {
            bool placed = false;
            for (int tries = 0; tries < kSearchTries && !placed; ++tries) {
                const int t = dice_.Range(1, d_.singles);
                std::set<int> days = d_.absent_days[AsIndex(t)];
                // Everyone gets a first day before anyone gets a second.
                if (!MayBeAbsent(t) || static_cast<int>(days.size()) >= kMaxAbsentDays ||
                    (days.size() == 1 && tries < kSearchTries / 2)) {
                    continue;
                }
                days.insert(dice_.Range(1, kDays));
                if (days.size() == d_.absent_days[AsIndex(t)].size() || !FitsWeek(t, days)) {
                    continue;
                }
                bool pairs_fit = true;
                for (int p : PairsOf(t)) {
                    std::set<int> pair_days = d_.absent_days[AsIndex(p)];
                    pair_days.insert(days.begin(), days.end());
                    pairs_fit = pairs_fit && FitsWeek(p, pair_days);
                }
                if (!pairs_fit) {
                    continue;
                }
                d_.absent_days[AsIndex(t)] = days;
                for (int p : PairsOf(t)) {
                    d_.absent_days[AsIndex(p)].insert(days.begin(), days.end());
                }
                placed = true;
            }
            if (!placed) {
                return false;
            }
        }
        return true;
    }

    // Two single teachers whose hours together leave the week room for both.
    bool DrawApart() {
        std::set<std::pair<int, int>> used;
        for (int k = 0; k < s_.apart; ++k) {
            bool placed = false;
            for (int tries = 0; tries < kSearchTries && !placed; ++tries) {
                int a = dice_.Range(1, d_.singles);
                int b = dice_.Range(1, d_.singles);
                if (a > b) {
                    std::swap(a, b);
                }
                const int absent = static_cast<int>(d_.absent_days[AsIndex(a)].size() +
                                                    d_.absent_days[AsIndex(b)].size());
                if (a == b || used.contains({a, b}) ||
                    load_[AsIndex(a)] + load_[AsIndex(b)] > 26 - 5 * absent) {
                    continue;
                }
                used.insert({a, b});
                d_.apart.emplace_back(a, b);
                placed = true;
            }
            if (!placed) {
                return false;
            }
        }
        return true;
    }

    // The working copy keeps eighth hours only when the busiest class needs 36 to 39.
    void DrawLastDays() {
        if (s_.week_hours < kFirstEighthHourPosition || s_.week_hours > kLastEighthHourPosition) {
            return;
        }
        std::vector<int> days = {1, 2, 3, 4, 5};
        dice_.Shuffle(days);
        days.resize(AsIndex(s_.eighth_hour_days));
        std::sort(days.begin(), days.end());
        for (int day : days) {
            d_.last_days.push_back(AsByte(kSevenHourWeekSlots + day));
        }
    }

    const SchoolSettings& s_;
    Dice& dice_;
    Draft d_;
    std::vector<int> load_;    // [teacher] = weekly hours, a pair's hours counted for its members
    std::vector<int> target_;  // [single teacher]
    std::set<std::pair<int, int>> teaches_;  // (teacher, class section)
};

}  // namespace

std::optional<Draft> DrawDraft(const SchoolSettings& settings, int singles, Dice& dice) {
    return DraftBuilder(settings, singles, dice).Build();
}

}  // namespace taktirio::generator
