#include "gaps/gap_improver.h"

namespace taktirio {

GapImprover::GapImprover(const SolverInputs& inputs, const RunOptions& options,
                         const RuleTables& rules, const TeacherPeople& people, std::uint64_t seed)
    : inputs_(inputs), options_(options), rules_(rules), people_(people), random_(seed) {}

GapImprover::~GapImprover() = default;

bool GapImprover::Improve(ByteMatrix& /*timetable*/, const std::atomic<bool>& /*stop*/) {
    return false;
}

}  // namespace taktirio
