// The checks before a search on a school of 255 class sections and 255
// teachers: class sections of 30 and 20 hours a week in turn, teachers of five
// hours each, a free hour per teacher, pinned lessons, joint and split
// lessons, apart teachers, and the last-hour and day-hours limits on, so that
// every check runs. Equal numbers of class sections and teachers leave the
// teachers little room, so some conditions fail (the last-hour limit of 4,
// the split lessons of two five-hour teachers, the apart teachers) and their
// messages are built too.
#include <benchmark/benchmark.h>

#include "core/common/narrow.h"
#include "core/feasibility/feasibility.h"
#include "core/solver/slots.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {
namespace {

constexpr int kClasses = 255;
constexpr int kTeachers = 255;
// Lessons of five hours: six in odd class sections, four in even ones.
int Lessons(int c) {
    return c % 2 == 1 ? 6 : 4;
}

// Teachers are handed out lesson by lesson, in turn.
int TeacherOf(int c, int k) {
    return ((c - 1) / 2 * 10 + (c % 2 == 1 ? 0 : 6) + k) % kTeachers + 1;
}

struct BigSchool {
    SolverInputs in = SolverInputs::Sized(kClasses, kTeachers);
    RuleTables rules;
    RunOptions options;

    BigSchool() {
        rules.teacher_class_hours_all = ByteMatrix(kTeachers + 1, kClasses + 1);
        for (int c = 1; c <= kClasses; ++c) {
            in.class_names[AsIndex(c)] = "Τμήμα " + std::to_string(c);
            const int hours = 5 * Lessons(c);
            in.class_hours[AsIndex(c)] = AsByte(hours);
            in.class_week_hours[AsIndex(c)] = AsByte(hours);
            in.class_teacher_count[AsIndex(c)] = AsByte(Lessons(c));
            for (int k = 0; k < Lessons(c); ++k) {
                const int t = TeacherOf(c, k);
                in.class_teachers(AsIndex(c), AsIndex(k + 1)) = AsByte(t);
                in.teacher_class_hours(AsIndex(t), AsIndex(c)) = 5;
                rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)) = 5;
            }
            // The last teacher's first lesson pinned at a slot of its own.
            const int pinned = TeacherOf(c, Lessons(c) - 1);
            const int slot = (c - 1) % hours + 1;
            in.pinned_lessons(AsIndex(c), AsIndex(slot)) = AsByte(pinned);
            in.teacher_class_hours(AsIndex(pinned), AsIndex(c)) = 4;
        }
        for (int t = 1; t <= kTeachers; ++t) {
            in.teacher_names[AsIndex(t)] = "ΔΙΔΑΣΚΩΝ " + std::to_string(t);
            rules.AddDeniedSlot(AsByte(t), AsByte((t * 7) % 10 + 21));  // past the pinned slots
        }
        // Teachers repeat every 102 class sections with the same lesson:
        // those become joint lessons.
        for (int i = 0; i < 40; ++i) {
            const int c = 2 * i + 1;
            rules.AddJointLesson(AsByte(c), AsByte(c + 102), AsByte(TeacherOf(c, 0)));
            rules.AddSplitLesson(AsByte(c + 100), AsByte(TeacherOf(c + 100, 1)),
                                 AsByte(TeacherOf(c + 100, 2)));
        }
        for (int t = 1; t < 20; t += 2) {
            rules.AddSameHourPair(AsByte(t), AsByte(t + 1));
        }
        options.last_hours_limit_on = true;
        options.last_hours_limit = 4;
        options.day_hours_limit_on = true;
        options.day_hours_limit = 7;
    }
};

const BigSchool& School() {
    static const BigSchool school;
    return school;
}

// Everything a way into a run calls: the invariants and every condition.
void BM_CheckBeforeSearch(benchmark::State& state) {
    const BigSchool& school = School();
    std::size_t reasons = 0;
    for (auto _ : state) {
        const auto found = CheckBeforeSearch(school.in, school.rules, school.options);
        reasons = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["reasons"] = static_cast<double>(reasons);
}
BENCHMARK(BM_CheckBeforeSearch)->Unit(benchmark::kMillisecond);

// The conditions alone, without the invariants of the search.
void BM_FindInfeasibilities(benchmark::State& state) {
    const BigSchool& school = School();
    for (auto _ : state) {
        const auto found = FindInfeasibilities(school.in, school.rules, school.options);
        benchmark::DoNotOptimize(found.data());
    }
}
BENCHMARK(BM_FindInfeasibilities)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
