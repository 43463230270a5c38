#pragma once

#include <algorithm>
#include <string>

#include "core/solver/findsolution.h"
#include "core/solver/slots.h"

namespace taktirio::testing {

// A small problem built by hand: who teaches how many hours where, plus pins.
// Keeps the derived inputs (class hours, teacher lists, full hours) in step.
struct TestSchool {
    SolverInputs in;
    RunContext ctx;

    TestSchool(int classes, int teachers) : in(SolverInputs::Sized(classes, teachers)) {
        ctx.rules.teacher_class_hours_all = ByteMatrix(Idx(teachers) + 1, Idx(classes) + 1);
        for (int c = 1; c <= classes; ++c) {
            in.class_names[Idx(c)] = "C" + std::to_string(c);
        }
        for (int t = 1; t <= teachers; ++t) {
            in.teacher_names[Idx(t)] = "T" + std::to_string(t);
        }
    }

    static std::size_t Idx(int v) { return static_cast<std::size_t>(v); }

    // Teacher t teaches `hours` hours a week in class c, `doubles` of them as
    // two-hour lessons.
    TestSchool& Teach(int c, int t, int hours, int doubles = 0) {
        in.teacher_class_hours(Idx(t), Idx(c)) = static_cast<std::uint8_t>(hours);
        ctx.rules.teacher_class_hours_all(Idx(t), Idx(c)) = static_cast<std::uint8_t>(hours);
        in.two_hour_lessons(Idx(c), Idx(t)) = static_cast<std::uint8_t>(doubles);
        int count = 0;
        int week = 0;
        for (int k = 1; k <= in.number_of_teachers; ++k) {
            in.class_teachers(Idx(c), Idx(k)) = 0;
        }
        for (int k = 1; k <= in.number_of_teachers; ++k) {
            const int h = ctx.rules.teacher_class_hours_all(Idx(k), Idx(c));
            if (h > 0) {
                in.class_teachers(Idx(c), Idx(++count)) = static_cast<std::uint8_t>(k);
                week += h;
            }
        }
        in.class_teacher_count[Idx(c)] = static_cast<std::uint8_t>(count);
        in.class_week_hours[Idx(c)] = static_cast<std::uint8_t>(week);
        in.class_hours[Idx(c)] = static_cast<std::uint8_t>(week);
        return *this;
    }

    // Pins one of t's weekly hours in c at slot s.
    TestSchool& Pin(int c, int s, int t) {
        in.pinned_lessons(Idx(c), Idx(s)) = static_cast<std::uint8_t>(t);
        in.teacher_class_hours(Idx(t), Idx(c)) -= 1;
        return *this;
    }

    // Puts t at slot s of c as a fixed cell, outside any hour accounting: for
    // tests of single rules that need a given state of the timetable.
    TestSchool& Cell(int c, int s, int t) {
        in.pinned_lessons(Idx(c), Idx(s)) = static_cast<std::uint8_t>(t);
        return *this;
    }

    void Prepare() { PrepareSearch(in, ctx); }
    void Index() { BuildRuleIndex(in, ctx); }
};

}  // namespace taktirio::testing
