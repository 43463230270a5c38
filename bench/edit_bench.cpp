// The time to answer one hand move on a finished timetable: the exchange
// that takes a lesson to another slot of its class section keeping every
// rule, or the rules that block it. Generated schools of 9, 15 and 30 class
// sections, their own timetable, 256 requests drawn once (a lesson to
// another lesson's slot of the same class section), answered in turn.
//
//   build/bench/edit_bench
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

#include "core/common/narrow.h"
#include "core/edit/timetable_edit.h"
#include "core/generator/school_generator.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"

namespace taktirio {
namespace {

struct EditedSchool {
    GeneratedSchool school;
    std::vector<MoveRequest> requests;
};

const EditedSchool& SchoolOf(int classes) {
    static std::map<int, std::unique_ptr<EditedSchool>> cache;
    auto& entry = cache[classes];
    if (!entry) {
        entry = std::make_unique<EditedSchool>();
        entry->school = GenerateSchool(TypicalSchool(classes, 2026));
        const ByteMatrix& timetable = entry->school.witness;
        RandomStream random(7);
        while (entry->requests.size() < 256) {
            MoveRequest request;
            request.class_section = 1 + static_cast<int>(random.Below(AsByte(classes)));
            request.from_slot = 1 + static_cast<int>(random.Below(kSlots));
            request.to_slot = 1 + static_cast<int>(random.Below(kSlots));
            if (timetable(AsIndex(request.class_section), AsIndex(request.to_slot)) != 0 &&
                !RequestProblem(entry->school.inputs, timetable, request)) {
                entry->requests.push_back(request);
            }
        }
    }
    return *entry;
}

void BM_ProposeMove(benchmark::State& state) {
    const EditedSchool& s = SchoolOf(static_cast<int>(state.range(0)));
    const TimetableEditor editor(s.school.inputs, s.school.options, s.school.rules);
    std::size_t next = 0;
    std::int64_t applied = 0;
    std::int64_t asked = 0;
    for (auto _ : state) {
        const MoveProposal proposal =
            editor.Propose(s.school.witness, s.requests[next % s.requests.size()]);
        benchmark::DoNotOptimize(proposal.changes.data());
        applied += proposal.keeps_rules ? 1 : 0;
        ++asked;
        ++next;
    }
    state.counters["kept_rules"] = static_cast<double>(applied) / static_cast<double>(asked);
}
BENCHMARK(BM_ProposeMove)->Arg(9)->Arg(15)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace taktirio

BENCHMARK_MAIN();
