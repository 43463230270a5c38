#pragma once

// Test helper: turns an exchange document straight into the solver's inputs
// and rule tables, numbering as the working copy does (classes and single
// teachers in file order, pairs after the single teachers). It stands in for
// the working-copy preparation and the loader in tests of the demo school.

#include <QHash>
#include <algorithm>
#include <set>

#include "core/solver/run_context.h"
#include "core/solver/slots.h"
#include "core/solver/solver_inputs.h"
#include "data/exchange/school_document.h"

namespace taktirio::data::testing {

struct SolverProblem {
    SolverInputs inputs;
    RuleTables rules;
};

inline std::uint8_t Byte(int value) {
    return static_cast<std::uint8_t>(value);
}

inline std::size_t Ix(int value) {
    return static_cast<std::size_t>(value);
}

inline SolverProblem ToSolverProblem(const SchoolDocument& d) {
    const int classes = static_cast<int>(d.classes.size());
    const int singles = static_cast<int>(d.teachers.size());
    const int teachers = singles + static_cast<int>(d.pairs.size());
    SolverProblem p{SolverInputs::Sized(classes, teachers), {}};
    SolverInputs& in = p.inputs;
    p.rules.teacher_class_hours_all = ByteMatrix(Ix(teachers) + 1, Ix(classes) + 1);

    QHash<QString, int> c;
    QHash<QString, int> t;
    QHash<int, QList<int>> pairs_of;  // single teacher -> the pairs holding them
    for (int i = 1; i <= classes; ++i) {
        c.insert(d.classes[i - 1], i);
        in.class_names[Ix(i)] = d.classes[i - 1].toStdString();
    }
    for (int i = 1; i <= singles; ++i) {
        t.insert(d.teachers[i - 1], i);
        in.teacher_names[Ix(i)] = d.teachers[i - 1].toStdString();
    }
    for (int k = 0; k < static_cast<int>(d.pairs.size()); ++k) {
        const auto& [a, b] = d.pairs[k];
        const int id = singles + 1 + k;
        t.insert(a + u'+' + b, id);
        t.insert(b + u'+' + a, id);
        in.teacher_names[Ix(id)] = (a + u'+' + b).toStdString();
        pairs_of[t[a]].append(id);
        pairs_of[t[b]].append(id);
    }

    for (const auto& a : d.allocation) {
        const int ci = c[a.class_name];
        const int ti = t[a.teacher];
        const int hours = a.singles + 2 * a.doubles;
        in.teacher_class_hours(Ix(ti), Ix(ci)) = Byte(hours);
        p.rules.teacher_class_hours_all(Ix(ti), Ix(ci)) = Byte(hours);
        in.two_hour_lessons(Ix(ci), Ix(ti)) = Byte(a.doubles);
        in.class_week_hours[Ix(ci)] = Byte(in.class_week_hours[Ix(ci)] + hours);
    }
    int busiest = 0;
    for (int ci = 1; ci <= classes; ++ci) {
        int count = 0;
        for (int ti = 1; ti <= teachers; ++ti) {
            if (p.rules.teacher_class_hours_all(Ix(ti), Ix(ci)) > 0) {
                in.class_teachers(Ix(ci), Ix(++count)) = Byte(ti);
            }
        }
        in.class_teacher_count[Ix(ci)] = Byte(count);
        in.class_hours[Ix(ci)] = in.class_week_hours[Ix(ci)];
        busiest = std::max<int>(busiest, in.class_week_hours[Ix(ci)]);
    }
    for (const auto& pin : d.pinned) {
        const int ci = c[pin.class_name];
        const int ti = t[pin.teacher];
        const int s = SlotOf(pin.day, pin.hour);
        if (s > in.class_hours[Ix(ci)]) {
            in.class_hours[Ix(ci)] = Byte(in.class_hours[Ix(ci)] - 1);
        }
        in.pinned_lessons(Ix(ci), Ix(s)) = Byte(ti);
        in.teacher_class_hours(Ix(ti), Ix(ci)) = Byte(in.teacher_class_hours(Ix(ti), Ix(ci)) - 1);
    }

    if (busiest >= 36 && busiest <= 39) {
        std::set<int> days(d.eighth_hour_days.begin(), d.eighth_hour_days.end());
        for (const int day : days) {
            p.rules.AddLastDay(Byte(35 + day));
        }
    }
    // Absences and free hours bind the teacher and every pair holding them.
    QHash<int, std::set<int>> absent;
    for (const auto& a : d.absent_days) {
        const int ti = t[a.teacher];
        for (const int receiver : QList<int>{ti} + pairs_of.value(ti)) {
            if (absent[receiver].insert(a.day).second) {
                for (int hour = 1; hour <= kMaxHoursPerDay; ++hour) {
                    p.rules.AddDeniedSlot(Byte(receiver), Byte(SlotOf(a.day, hour)));
                }
            }
        }
    }
    for (int ti = 1; ti <= teachers; ++ti) {
        if (absent.contains(ti)) {
            p.rules.AddDeniedDays(Byte(ti), static_cast<std::uint8_t>(absent[ti].size()));
        }
    }
    for (const auto& f : d.free_hours) {
        const int ti = t[f.teacher];
        for (const int receiver : QList<int>{ti} + pairs_of.value(ti)) {
            p.rules.AddDeniedSlot(Byte(receiver), Byte(SlotOf(f.day, f.hour)));
        }
    }
    for (const auto& [a, b] : d.apart) {
        p.rules.AddSameHourPair(Byte(t[a]), Byte(t[b]));
    }
    // A pair never teaches at the same hour as a member, nor as a pair sharing one.
    for (int k = 0; k < static_cast<int>(d.pairs.size()); ++k) {
        const int id = singles + 1 + k;
        p.rules.AddSameHourPair(Byte(id), Byte(t[d.pairs[k].first]));
        p.rules.AddSameHourPair(Byte(id), Byte(t[d.pairs[k].second]));
        for (int m = k + 1; m < static_cast<int>(d.pairs.size()); ++m) {
            const auto& x = d.pairs[k];
            const auto& y = d.pairs[m];
            if (x.first == y.first || x.first == y.second || x.second == y.first ||
                x.second == y.second) {
                p.rules.AddSameHourPair(Byte(id), Byte(singles + 1 + m));
            }
        }
    }
    for (const auto& j : d.joint) {
        p.rules.AddJointLesson(Byte(c[j.class1]), Byte(c[j.class2]), Byte(t[j.teacher]));
        p.rules.AddJointLesson(Byte(c[j.class2]), Byte(c[j.class1]), Byte(t[j.teacher]));
    }
    for (const auto& s : d.split) {
        p.rules.AddSplitLesson(Byte(c[s.class_name]), Byte(t[s.teacher1]), Byte(t[s.teacher2]));
    }
    return p;
}

}  // namespace taktirio::data::testing
