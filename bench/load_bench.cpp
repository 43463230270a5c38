// Preparing the working copy of a school of 60 class sections, 150 teachers
// and 40 teacher pairs from its entry file, and loading it into the solver's
// inputs, with real SQLite files; the same for the demo school.
#include <QTemporaryDir>

#include "data/database/database.h"
#include "data/exchange/exchange.h"
#include "data/exchange/school_document.h"
#include "data/load/problem_loader.h"
#include "data/prepare/working_copy.h"
#include "data/shell/startup.h"
#include "qt_benchmark_main.h"

namespace {

using namespace taktirio::data;

constexpr int kClasses = 60;
constexpr int kTeachers = 150;
constexpr int kPairs = 40;

// Pairs of neighbouring teachers, so that each pair shares a member with the
// next one; absences fall on pair members too, and are spread to the pairs.
SchoolDocument School() {
    SchoolDocument d;
    d.name = QStringLiteral("School");
    d.responsible = QStringLiteral("Responsible");
    for (int c = 1; c <= kClasses; ++c) {
        d.classes.append(QStringLiteral("Τμήμα %1").arg(c));
    }
    for (int t = 1; t <= kTeachers; ++t) {
        d.teachers.append(QStringLiteral("Διδάσκων %1").arg(t));
    }
    for (int p = 0; p < kPairs; ++p) {
        d.pairs.append({d.teachers[p], d.teachers[p + 1]});
    }
    for (int c = 0; c < kClasses; ++c) {
        for (int k = 0; k < 7; ++k) {  // 7 lessons of 5 hours: 35 a week
            const QString teacher = k == 6 && c < kPairs
                                        ? d.pairs[c].first + u'+' + d.pairs[c].second
                                        : d.teachers[(c * 7 + k) % kTeachers];
            d.allocation.append({d.classes[c], teacher, 3, 1});
        }
        d.pinned.append({d.classes[c], d.teachers[(c * 7) % kTeachers], 1 + c % 5, 1 + c % 7});
    }
    for (int t = 0; t < kTeachers; t += 3) {
        d.absent_days.append({d.teachers[t], 1 + t % 5});
        d.free_hours.append({d.teachers[t + 1], 1 + t % 5, 1 + t % 7});
    }
    for (int c = 0; c + 1 < kClasses; c += 10) {
        d.joint.append({d.teachers[(c * 7) % kTeachers], d.classes[c], d.classes[c + 1]});
        d.split.append({d.classes[c], d.teachers[(c * 7 + 1) % kTeachers],
                        d.teachers[(c * 7 + 2) % kTeachers]});
    }
    for (int t = 60; t < 140; t += 10) {
        d.apart.append({d.teachers[t], d.teachers[t + 1]});
    }
    return d;
}

struct Fixture {
    QTemporaryDir dir;
    Database entry = Database::Open(dir.filePath(QStringLiteral("DATA2.sqlite")));
    Database working = Database::Open(dir.filePath(QStringLiteral("DATA.sqlite")));
    Session session;
    explicit Fixture(const SchoolDocument& school = School()) {
        RegisterSchool(entry.connection(), QStringLiteral("School"), QStringLiteral("Responsible"));
        session = {entry.connection(), Login(entry.connection())};
        ImportSchool(session, school);
    }
};

SchoolDocument DemoSchool() {
    return ParseSchoolDocument(
        ReadSchoolFile(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json")));
}

void BM_PrepareWorkingCopy(benchmark::State& state) {
    Fixture f;
    for (auto _ : state) {
        PrepareWorkingCopy(f.session, f.working.connection());
    }
    state.counters["deny_rows"] = static_cast<double>(ScalarInt(
        f.working.connection(), QStringLiteral("SELECT COUNT(*) FROM GENERAL_DENY_DAYS_OR_HOURS")));
    state.counters["apart_rows"] = static_cast<double>(
        ScalarInt(f.working.connection(),
                  QStringLiteral("SELECT COUNT(*) FROM TEACHERS_DO_NOT_TEACH_THE_SAME_HOUR")));
}
BENCHMARK(BM_PrepareWorkingCopy)->Unit(benchmark::kMillisecond);

void BM_LoadProblem(benchmark::State& state) {
    Fixture f;
    PrepareWorkingCopy(f.session, f.working.connection());
    int teachers = 0;
    for (auto _ : state) {
        const LoadedProblem problem = LoadProblem(f.working.connection(), f.session.school);
        teachers = problem.inputs.number_of_teachers;
        benchmark::DoNotOptimize(problem.rules.DeniedSlots().size());
    }
    state.counters["teachers"] = teachers;
}
BENCHMARK(BM_LoadProblem)->Unit(benchmark::kMillisecond);

// The demo school, as a run prepares and loads it: the part of a whole
// `solve -n 1` that lies in the databases.
void BM_PrepareDemoSchool(benchmark::State& state) {
    Fixture f(DemoSchool());
    for (auto _ : state) {
        PrepareWorkingCopy(f.session, f.working.connection());
    }
}
BENCHMARK(BM_PrepareDemoSchool)->Unit(benchmark::kMillisecond);

void BM_LoadDemoSchool(benchmark::State& state) {
    Fixture f(DemoSchool());
    PrepareWorkingCopy(f.session, f.working.connection());
    for (auto _ : state) {
        const LoadedProblem problem = LoadProblem(f.working.connection(), f.session.school);
        benchmark::DoNotOptimize(problem.inputs.number_of_teachers);
    }
}
BENCHMARK(BM_LoadDemoSchool)->Unit(benchmark::kMillisecond);

}  // namespace

TAKTIRIO_QT_BENCHMARK_MAIN()
