// The rework toward fewer gaps on generated schools: every reworked timetable
// keeps every placement rule of its run, judged as a finished timetable, and
// never has more gaps than the searched one it started from.
#include "core/gaps/gap_improver.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/exact/exact_search.h"
#include "core/gaps/teacher_gaps.h"
#include "core/generator/school_generator.h"
#include "core/solver/findsolution.h"
#include "core/verify/timetable_verifier.h"
#include "support/every_rule_school.h"
#include "support/option_sets.h"
#include "support/solve_by_attempts.h"

namespace taktirio {
namespace {

using testing::OptionSet;
using testing::OptionSets;

struct ReworkCase {
    int classes;
    OptionSet options;
    std::uint64_t seed;
};

void PrintTo(const ReworkCase& c, std::ostream* os) {
    *os << c.classes << " classes, " << c.options.name << ", school " << c.seed;
}

std::string Listing(const std::vector<Violation>& violations) {
    std::string text;
    for (std::size_t i = 0; i < violations.size() && i < 8; ++i) {
        text += "\n  " + Describe(violations[i]);
    }
    return text;
}

GeneratedSchool SchoolFor(const ReworkCase& param) {
    return GenerateSchool(
        testing::EveryRuleSettings(param.classes, param.seed, param.options.options));
}

std::optional<ByteMatrix> ExactTimetable(const GeneratedSchool& school, std::uint64_t seed) {
    const RuleIndex index = PrepareSearch(school.inputs, school.rules, school.options);
    exact::ExactSearch search(school.inputs, school.rules, school.options, index, seed);
    ByteMatrix timetable;
    if (search.Next({-1, {}}, timetable) != exact::ExactOutcome::kTimetable) {
        return std::nullopt;
    }
    return timetable;
}

class ReworkedSchools : public ::testing::TestWithParam<ReworkCase> {};

TEST_P(ReworkedSchools, KeepEveryRuleAndNeverAddGaps) {
    const ReworkCase& param = GetParam();
    const GeneratedSchool school = SchoolFor(param);
    const TeacherPeople people =
        PeopleOfTeachers(school.inputs.teacher_names, school.inputs.number_of_teachers);
    GapImprover improver(school.inputs, school.options, school.rules, people, param.seed);
    improver.SetMovesPerClass(4000);
    int reworked = 0;
    // Streams 1 and 2: the randomised search's timetables; 3: the exact
    // search's, whose two-hour lessons lie in no placement order.
    for (std::uint64_t stream = 1; stream <= 3; ++stream) {
        RunContext context;
        context.options = school.options;
        context.rules = school.rules;
        const std::optional<ByteMatrix> searched =
            stream < 3
                ? testing::SolveByAttempts(school.inputs, context, stream * 1000 + param.seed, 500)
                : ExactTimetable(school, param.seed);
        ASSERT_TRUE(searched.has_value()) << "stream " << stream;
        ByteMatrix timetable = *searched;
        const bool changed = improver.Improve(timetable);
        const GapSummary before =
            CountGaps(*searched, school.inputs.number_of_classes, people).summary;
        const GapSummary after =
            CountGaps(timetable, school.inputs.number_of_classes, people).summary;
        EXPECT_EQ(improver.last_report().before, before);
        EXPECT_EQ(improver.last_report().after, after);
        EXPECT_FALSE(FewerGaps(before, after)) << "stream " << stream;
        EXPECT_LE(after.total, before.total);
        if (!changed) {
            EXPECT_EQ(timetable, *searched);
            EXPECT_NE(stream, 3u) << "the exact search's timetable was left as it was, "
                                  << before.total << " gaps";
            continue;
        }
        ++reworked;
        const std::vector<Violation> violations = VerifyTimetable(
            school.inputs, school.options, school.rules, timetable, VerifyMode::kFinished);
        EXPECT_TRUE(violations.empty()) << "stream " << stream << Listing(violations);
    }
    EXPECT_GT(reworked, 0) << "no timetable of this school was reworked";
}

std::vector<ReworkCase> ReworkCases() {
    std::vector<ReworkCase> cases;
    for (const int classes : {6, 15}) {
        for (const OptionSet& set : OptionSets()) {
            for (const std::uint64_t seed : {11u, 22u}) {
                cases.push_back({classes, set, seed + static_cast<std::uint64_t>(classes)});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReworkedSchools, ::testing::ValuesIn(ReworkCases()),
                         [](const ::testing::TestParamInfo<ReworkCase>& case_info) {
                             return std::to_string(case_info.param.classes) + "_" +
                                    case_info.param.options.name + "_" +
                                    std::to_string(case_info.param.seed);
                         });

}  // namespace
}  // namespace taktirio
