// Draws schools that are known to have a timetable. The allocation and the
// rules that shape the week (teacher pairs, joint and split lessons, absences,
// apart pairs, eighth hours) are drawn first; the search then looks for a
// timetable under them, and a fresh allocation is drawn when it finds none.
// Pinned lessons and free hours are read off the timetable found, so that they
// hold in it by construction.
#include "core/generator/school_generator.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/common/narrow.h"
#include "core/generator/school_draft.h"
#include "core/solver/findsolution.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"

namespace taktirio {

namespace {

using generator::Dice;
using generator::Draft;
using generator::kMaxLessonHours;
using generator::kMaxLoad;
using generator::kSearchTries;
using generator::Lesson;

// About two and a half teachers a class section, within the 255 teacher numbers.
int DefaultTeachers(int classes, int pairs) {
    return std::clamp((5 * classes + 1) / 2, 12, kMaxCount - std::max(pairs, 0));
}

void Require(bool condition, const std::string& what) {
    if (!condition) {
        throw SchoolSettingsError(what);
    }
}

void ValidateSettings(const SchoolSettings& s, int singles) {
    Require(s.classes >= 1 && s.classes <= kMaxCount, "classes must be 1 to 255");
    Require(s.week_hours >= 1 && s.week_hours <= kLastEighthHourSlot, "week_hours must be 1 to 40");
    Require(s.eighth_hour_days >= 0 && s.eighth_hour_days <= kDays,
            "eighth_hour_days must be 0 to 5");
    if (s.week_hours <= kSevenHourWeekSlots) {
        Require(s.eighth_hour_days == 0, "eighth-hour days need more than 35 weekly hours");
    } else if (s.week_hours <= kLastEighthHourPosition) {
        Require(s.eighth_hour_days >= s.week_hours - kSevenHourWeekSlots,
                "a week of more than 35 hours needs an eighth hour on enough days");
    } else {
        Require(s.eighth_hour_days == kDays, "a 40-hour week has an eighth hour on every day");
    }
    Require(s.short_classes >= 0 && s.short_classes <= s.classes,
            "short_classes must be 0 to classes");
    Require(s.two_hour_percent >= 0 && s.two_hour_percent <= 100,
            "two_hour_percent must be 0 to 100");
    const int fewest_lessons = (s.week_hours + kMaxLessonHours - 1) / kMaxLessonHours;
    Require(singles > fewest_lessons, "too few teachers for the lessons of one class section");
    Require(s.pairs >= 0 && singles + s.pairs <= kMaxCount,
            "teachers and teacher pairs must be at most 255");
    Require(s.classes * s.week_hours * 10 <= singles * kMaxLoad * 9,
            "too few teachers for the weekly hours of the school");
    Require(s.pairs <= singles * (singles - 1) / 2, "more teacher pairs than pairs of teachers");
    Require(s.joint >= 0 && (s.joint == 0 || s.classes >= 2) && s.joint <= 2 * s.classes,
            "joint must be 0 to twice the class sections, and needs two class sections");
    Require(s.split >= 0 && s.split <= 2 * s.classes, "split must be 0 to twice the classes");
    Require(s.pinned >= 0 && s.pinned <= s.classes * s.week_hours / 2,
            "pinned must be 0 to half the weekly hours of the school");
    Require(s.absences >= 0 && s.absences <= singles, "absences must be 0 to the teachers");
    Require(s.free_hours >= 0 && s.free_hours <= singles * 8,
            "free_hours must be 0 to eight per teacher");
    Require(s.apart >= 0 && s.apart <= singles / 2, "apart must be 0 to half the teachers");
    Require(s.draws >= 1 && s.attempts_per_draw >= 1, "draws and attempts_per_draw must be >= 1");
}

// ---- names -------------------------------------------------------------------

constexpr std::array<const char*, 36> kSurnames = {
    "ΠΑΠΑΔΟΠΟΥΛΟΣ",  "ΓΕΩΡΓΙΟΥ",   "ΝΙΚΟΛΑΟΥ",     "ΚΩΝΣΤΑΝΤΙΝΙΔΗΣ", "ΙΩΑΝΝΟΥ",   "ΔΗΜΗΤΡΙΟΥ",
    "ΑΛΕΞΙΟΥ",       "ΒΑΣΙΛΕΙΟΥ",  "ΜΑΚΡΗΣ",       "ΚΑΡΑΓΙΑΝΝΗΣ",    "ΣΤΑΥΡΟΥ",   "ΘΕΟΔΩΡΟΥ",
    "ΧΑΤΖΗΣ",        "ΜΙΧΑΗΛΙΔΗΣ", "ΑΝΤΩΝΙΟΥ",     "ΛΑΜΠΡΟΥ",        "ΠΕΤΡΙΔΗΣ",  "ΣΠΥΡΟΥ",
    "ΤΣΟΛΑΚΗΣ",      "ΖΑΧΑΡΙΑΔΗΣ", "ΚΟΥΤΣΟΥΚΟΣ",   "ΡΑΠΤΗΣ",         "ΦΩΤΙΟΥ",    "ΓΚΙΚΑΣ",
    "ΔΡΑΚΟΣ",        "ΕΥΑΓΓΕΛΟΥ",  "ΜΠΟΥΡΑΣ",      "ΞΕΝΟΣ",          "ΟΙΚΟΝΟΜΟΥ", "ΣΑΡΡΗΣ",
    "ΤΡΙΑΝΤΑΦΥΛΛΟΥ", "ΥΦΑΝΤΗΣ",    "ΧΡΙΣΤΟΔΟΥΛΟΥ", "ΨΑΡΡΑΣ",         "ΒΛΑΧΟΣ",    "ΚΥΡΙΑΚΟΥ"};
constexpr std::array<const char*, 16> kInitials = {"Α.", "Β.", "Γ.", "Δ.", "Ε.", "Ζ.", "Η.", "Θ.",
                                                   "Ι.", "Κ.", "Λ.", "Μ.", "Ν.", "Π.", "Σ.", "Χ."};
constexpr std::array<const char*, 3> kGrades = {"Α", "Β", "Γ"};

// Section names by grade, Α1, Α2, …, Β1, …: the order the entry database lists them.
std::vector<std::string> ClassNames(int classes) {
    std::vector<std::string> names(AsIndex(classes) + 1);
    const int per_grade = (classes + 2) / 3;
    for (int i = 0; i < classes; ++i) {
        names[AsIndex(i) + 1] =
            std::string(kGrades[AsIndex(i / per_grade)]) + std::to_string(i % per_grade + 1);
    }
    return names;
}

// Distinct names, none part of another: the working copy finds the pairs a
// teacher belongs to by looking for the teacher's name inside the pair's.
std::vector<std::string> TeacherNames(const Draft& d, Dice& dice) {
    std::vector<std::string> pool;
    for (const char* surname : kSurnames) {
        for (const char* initial : kInitials) {
            pool.push_back(std::string(surname) + " " + initial);
        }
    }
    dice.Shuffle(pool);
    std::vector<std::string> names(AsIndex(d.teachers()) + 1);
    for (int t = 1; t <= d.singles; ++t) {
        names[AsIndex(t)] = pool[AsIndex(t - 1)];
    }
    for (std::size_t p = 0; p < d.pair_members.size(); ++p) {
        names[AsIndex(d.PairTeacher(p))] = names[AsIndex(d.pair_members[p].first)] + "+" +
                                           names[AsIndex(d.pair_members[p].second)];
    }
    return names;
}

// ---- the solver's inputs ------------------------------------------------------

void AddDenied(RuleTables& rules, std::set<std::pair<int, int>>& denied, int t, int slot) {
    if (denied.insert({t, slot}).second) {
        rules.AddDeniedSlot(AsByte(t), AsByte(slot));
    }
}

// Fills the inputs and rule tables as the loader would read them from the
// working copy: rules between teacher pairs and their members are derived here.
void BuildProblem(const Draft& d, Dice& dice, GeneratedSchool& school,
                  std::set<std::pair<int, int>>& denied) {
    const int C = d.classes;
    const int T = d.teachers();
    SolverInputs& in = school.inputs;
    RuleTables& rules = school.rules;
    in = SolverInputs::Sized(C, T);
    in.class_names = ClassNames(C);
    in.teacher_names = TeacherNames(d, dice);
    rules.teacher_class_hours_all = ByteMatrix(AsIndex(T) + 1, AsIndex(C) + 1);
    for (const Lesson& l : d.lessons) {
        in.teacher_class_hours(AsIndex(l.teacher), AsIndex(l.class_section)) = AsByte(l.hours);
        rules.teacher_class_hours_all(AsIndex(l.teacher), AsIndex(l.class_section)) =
            AsByte(l.hours);
        in.two_hour_lessons(AsIndex(l.class_section), AsIndex(l.teacher)) = AsByte(l.two_hour);
    }
    for (int c = 1; c <= C; ++c) {
        int count = 0;
        for (int t = 1; t <= T; ++t) {
            if (in.teacher_class_hours(AsIndex(t), AsIndex(c)) > 0) {
                in.class_teachers(AsIndex(c), AsIndex(++count)) = AsByte(t);
            }
        }
        in.class_teacher_count[AsIndex(c)] = AsByte(count);
        in.class_hours[AsIndex(c)] = AsByte(d.week_hours[AsIndex(c)]);
        in.class_week_hours[AsIndex(c)] = AsByte(d.week_hours[AsIndex(c)]);
    }

    for (std::uint8_t slot : d.last_days) {
        rules.AddLastDay(slot);
    }
    for (int t = 1; t <= T; ++t) {
        for (int day : d.absent_days[AsIndex(t)]) {
            for (int slot = day; slot <= kSlots; slot += kDays) {
                AddDenied(rules, denied, t, slot);
            }
        }
        if (!d.absent_days[AsIndex(t)].empty()) {
            rules.AddDeniedDays(AsByte(t), AsByte(d.absent_days[AsIndex(t)].size()));
        }
    }
    for (const auto& [a, b] : d.apart) {
        rules.AddSameHourPair(AsByte(a), AsByte(b));
    }
    for (std::size_t p = 0; p < d.pair_members.size(); ++p) {
        rules.AddSameHourPair(AsByte(d.PairTeacher(p)), AsByte(d.pair_members[p].first));
        rules.AddSameHourPair(AsByte(d.PairTeacher(p)), AsByte(d.pair_members[p].second));
    }
    for (std::size_t p = 0; p < d.pair_members.size(); ++p) {
        for (std::size_t q = p + 1; q < d.pair_members.size(); ++q) {
            const auto& [p1, p2] = d.pair_members[p];
            const auto& [q1, q2] = d.pair_members[q];
            if (p1 == q1 || p1 == q2 || p2 == q1 || p2 == q2) {
                rules.AddSameHourPair(AsByte(d.PairTeacher(p)), AsByte(d.PairTeacher(q)));
            }
        }
    }
    for (const auto& [a, b] : d.joints) {
        const Lesson& la = d.lessons[AsIndex(a)];
        const Lesson& lb = d.lessons[AsIndex(b)];
        rules.AddJointLesson(AsByte(la.class_section), AsByte(lb.class_section),
                             AsByte(la.teacher));
        rules.AddJointLesson(AsByte(lb.class_section), AsByte(la.class_section),
                             AsByte(la.teacher));
    }
    for (const auto& [a, b] : d.splits) {
        const Lesson& la = d.lessons[AsIndex(a)];
        rules.AddSplitLesson(AsByte(la.class_section), AsByte(la.teacher),
                             AsByte(d.lessons[AsIndex(b)].teacher));
    }
}

// Runs the search as a run does, one fresh object per attempt.
std::optional<ByteMatrix> FindTimetable(const GeneratedSchool& school, std::uint64_t seed,
                                        int attempts, int& used) {
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    PrepareSearch(school.inputs, context);
    RandomStream random(seed);
    for (used = 1; used <= attempts; ++used) {
        Tfindsolution attempt(context, random, school.inputs);
        if (attempt.Search()) {
            return attempt.timetable();
        }
    }
    return std::nullopt;
}

bool TeachesAt(const ByteMatrix& timetable, int classes, int t, int slot) {
    for (int c = 1; c <= classes; ++c) {
        if (timetable(AsIndex(c), AsIndex(slot)) == t) {
            return true;
        }
    }
    return false;
}

// Pins lessons of the timetable found. Joint lessons and teachers with two-hour
// lessons in the class section stay free to move, and eighth hours stay unpinned
// so that every pin lies on one of the class section's hour positions. Teachers
// with a same-hour row are not pinned either: the search compares a lesson only
// with class sections completed before it, so a pinned partner in a later class
// section would go unseen and the search could break the rule.
bool PinLessons(const Draft& d, int count, Dice& dice, GeneratedSchool& school) {
    SolverInputs& in = school.inputs;
    std::set<std::pair<int, int>> joint;  // (teacher, class section)
    for (const auto& [a, b] : d.joints) {
        joint.insert({d.lessons[AsIndex(a)].teacher, d.lessons[AsIndex(a)].class_section});
        joint.insert({d.lessons[AsIndex(b)].teacher, d.lessons[AsIndex(b)].class_section});
    }
    std::set<int> paired;
    for (const SameHourPair& pair : school.rules.SameHourPairs()) {
        paired.insert(pair.first);
        paired.insert(pair.second);
    }
    std::vector<std::pair<int, int>> cells;  // (class section, slot)
    for (int c = 1; c <= d.classes; ++c) {
        for (int s = 1; s <= std::min<int>(kSevenHourWeekSlots, in.class_hours[AsIndex(c)]); ++s) {
            const int t = school.witness(AsIndex(c), AsIndex(s));
            if (t != 0 && !joint.contains({t, c}) && !paired.contains(t) &&
                in.two_hour_lessons(AsIndex(c), AsIndex(t)) == 0) {
                cells.emplace_back(c, s);
            }
        }
    }
    if (static_cast<int>(cells.size()) < count) {
        return false;
    }
    dice.Shuffle(cells);
    for (int k = 0; k < count; ++k) {
        const auto [c, s] = cells[AsIndex(k)];
        const int t = school.witness(AsIndex(c), AsIndex(s));
        in.pinned_lessons(AsIndex(c), AsIndex(s)) = AsByte(t);
        --in.teacher_class_hours(AsIndex(t), AsIndex(c));
    }
    return true;
}

// Hours at which a single teacher, and every pair it belongs to, is free in the
// timetable found, within the school day and off the teacher's absent days.
bool DrawFreeHours(const Draft& d, int count, Dice& dice, GeneratedSchool& school,
                   std::set<std::pair<int, int>>& denied) {
    const int last_slot =
        std::min(kSevenHourWeekSlots, *std::max_element(d.week_hours.begin(), d.week_hours.end()));
    std::set<std::pair<int, int>> chosen;
    for (int tries = 0; static_cast<int>(chosen.size()) < count; ++tries) {
        if (tries > count * kSearchTries) {
            return false;
        }
        const int t = dice.Range(1, d.singles);
        const int s = dice.Range(1, last_slot);
        if (chosen.contains({t, s}) || d.absent_days[AsIndex(t)].contains(DayOfSlot(s)) ||
            TeachesAt(school.witness, d.classes, t, s)) {
            continue;
        }
        std::vector<int> receivers = {t};
        for (std::size_t p = 0; p < d.pair_members.size(); ++p) {
            if (d.pair_members[p].first == t || d.pair_members[p].second == t) {
                receivers.push_back(d.PairTeacher(p));
            }
        }
        if (std::any_of(receivers.begin() + 1, receivers.end(),
                        [&](int p) { return TeachesAt(school.witness, d.classes, p, s); })) {
            continue;
        }
        chosen.insert({t, s});
        for (int r : receivers) {
            AddDenied(school.rules, denied, r, s);
        }
    }
    return true;
}

}  // namespace

GeneratedSchool GenerateSchool(const SchoolSettings& settings) {
    const int singles = settings.teachers > 0 ? settings.teachers
                                              : DefaultTeachers(settings.classes, settings.pairs);
    ValidateSettings(settings, singles);
    Dice dice(settings.seed);
    for (int draw = 1; draw <= settings.draws; ++draw) {
        Dice draw_dice(dice.Split());
        const std::uint64_t search_seed = dice.Split();
        std::optional<Draft> draft = generator::DrawDraft(settings, singles, draw_dice);
        if (!draft) {
            continue;
        }
        GeneratedSchool school;
        school.options = settings.options;
        std::set<std::pair<int, int>> denied;
        BuildProblem(*draft, draw_dice, school, denied);
        std::optional<ByteMatrix> timetable =
            FindTimetable(school, search_seed, settings.attempts_per_draw, school.attempts);
        if (!timetable) {
            continue;
        }
        school.witness = std::move(*timetable);
        if (!PinLessons(*draft, settings.pinned, draw_dice, school) ||
            !DrawFreeHours(*draft, settings.free_hours, draw_dice, school, denied)) {
            continue;
        }
        school.draws = draw;
        return school;
    }
    throw SchoolGenerationError("no timetable found for " + std::to_string(settings.draws) +
                                " drawn schools of " + std::to_string(settings.classes) +
                                " class sections");
}

SchoolSettings TypicalSchool(int classes, std::uint64_t seed) {
    SchoolSettings s;
    s.seed = seed;
    s.classes = classes;
    s.pairs = std::max(1, classes / 8);
    s.joint = classes >= 2 ? std::max(1, classes / 6) : 0;
    s.split = std::max(1, classes / 5);
    s.pinned = 2 * classes;
    s.absences = std::max(1, classes / 3);
    s.free_hours = classes;
    s.apart = classes >= 10 ? 2 : 1;
    s.short_classes = classes / 4;
    return s;
}

}  // namespace taktirio
