// Hand moves on searched timetables of generated schools: an exchange that is
// offered keeps every rule and takes the lesson where it was asked to go; a
// refusal is one the verifier confirms, and the plain swap it could have
// offered instead does break a rule; taking an exchange back restores the
// timetable exactly.
#include "core/edit/timetable_edit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/solver/random_stream.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "core/verify/page_verdict.h"
#include "support/every_rule_school.h"
#include "support/option_sets.h"
#include "support/solve_by_attempts.h"

namespace taktirio {
namespace {

using testing::OptionSet;
using testing::OptionSets;

struct EditCase {
    int classes;
    OptionSet options;
    std::uint64_t seed;
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.classes << " classes, " << c.options.name << ", school " << c.seed;
}

// More joint and pinned lessons than the usual, so that exchanges meet them.
GeneratedSchool SchoolFor(const EditCase& param) {
    SchoolSettings settings =
        testing::EveryRuleSettings(param.classes, param.seed, param.options.options);
    settings.joint = std::max(settings.joint, 2);
    settings.pinned = std::max(settings.pinned, 4);
    return GenerateSchool(settings);
}

bool SameViolation(const Violation& a, const Violation& b) {
    return a.rule == b.rule && a.class_section == b.class_section && a.teacher == b.teacher &&
           a.slot == b.slot;
}

std::string Listing(const std::vector<Violation>& violations) {
    std::string text;
    for (const Violation& v : violations) {
        text += "\n  " + Describe(v);
    }
    return text;
}

// What the random requests met, so that the test knows it reached each kind
// of exchange and refusal.
struct Seen {
    int applied = 0;
    int across_classes = 0;  // an exchange reaching more than the asked class section
    int two_hours = 0;       // an exchange moving more than two cells of the asked class
    int refused = 0;
    int in_the_way = 0;  // lines naming the lesson in the way of a refusal
};

// Asks one request of the editor and holds its answer to the verifier.
// Returns the answer; the caller decides whether to keep the exchange.
MoveProposal CheckRequest(const TimetableEditor& editor, const SolverInputs& inputs,
                          const RuleTables& rules, const ByteMatrix& timetable,
                          const MoveRequest& request, Seen& seen) {
    const auto judge = [&](const ByteMatrix& t) {
        return BrokenInBothReadings(inputs, editor.options(), rules, t);
    };
    const int teacher = timetable(AsIndex(request.class_section), AsIndex(request.from_slot));
    MoveProposal proposal = editor.Propose(timetable, request);
    EXPECT_FALSE(proposal.changes.empty());

    ByteMatrix after = timetable;
    ApplyChanges(after, proposal.changes);
    const std::vector<Violation> broken = judge(after);
    ByteMatrix undone = after;
    RevertChanges(undone, proposal.changes);
    EXPECT_EQ(undone, timetable) << "taking the exchange back";

    if (proposal.keeps_rules) {
        EXPECT_TRUE(broken.empty()) << Listing(broken);
        EXPECT_EQ(after(AsIndex(request.class_section), AsIndex(request.to_slot)), teacher);
        EXPECT_NE(after(AsIndex(request.class_section), AsIndex(request.from_slot)), teacher)
            << "the asked lesson stayed, another hour of its teacher moved";
        EXPECT_TRUE(proposal.blocking.empty());
        ++seen.applied;
        int in_asked = 0;
        for (const CellChange& change : proposal.changes) {
            in_asked += change.class_section == request.class_section ? 1 : 0;
            EXPECT_EQ(change.before,
                      timetable(AsIndex(change.class_section), AsIndex(change.slot)));
            EXPECT_NE(change.before, change.after);
        }
        seen.across_classes += in_asked < static_cast<int>(proposal.changes.size()) ? 1 : 0;
        seen.two_hours += in_asked > 2 ? 1 : 0;
        return proposal;
    }
    ++seen.refused;
    EXPECT_TRUE(!proposal.blocking.empty() || proposal.beyond_reach);
    // What stands in the way of a teacher in two places is a lesson the
    // exchange leaves where it is, as the timetable holds it.
    for (const std::string& line : editor.InTheWay(timetable, proposal)) {
        if (line.starts_with("στο ")) {
            continue;  // a pinned lesson, which the pinned rule names too
        }
        bool stands = false;
        for (int c = 1; c <= inputs.number_of_classes && !stands; ++c) {
            for (int s = 1; s <= kSlots && !stands; ++s) {
                const int u = timetable(AsIndex(c), AsIndex(s));
                const bool moved = std::any_of(
                    proposal.changes.begin(), proposal.changes.end(),
                    [&](const CellChange& x) { return x.class_section == c && x.slot == s; });
                stands = u != 0 && !moved &&
                         line == "ο " + TeacherName(inputs, u) + " διδάσκει ήδη στο " +
                                     ClassName(inputs, c) + (DayOfSlot(s) == 1 ? " τη " : " την ") +
                                     SlotName(s);
            }
        }
        EXPECT_TRUE(stands) << line;
        ++seen.in_the_way;
    }
    for (const Violation& blocking : proposal.blocking) {
        EXPECT_TRUE(std::any_of(broken.begin(), broken.end(),
                                [&](const Violation& v) { return SameViolation(v, blocking); }))
            << "not confirmed by the verifier: " << Describe(blocking);
    }
    // The plain swap of the two cells would have been an exchange of its
    // own: a refusal means that it breaks a rule too.
    ByteMatrix plain = timetable;
    std::swap(plain(AsIndex(request.class_section), AsIndex(request.from_slot)),
              plain(AsIndex(request.class_section), AsIndex(request.to_slot)));
    EXPECT_FALSE(judge(plain).empty()) << "refused although the plain swap keeps every rule";
    return proposal;
}

std::vector<int> LessonSlots(const ByteMatrix& timetable, int class_section) {
    std::vector<int> slots;
    for (int s = 1; s <= kSlots; ++s) {
        if (timetable(AsIndex(class_section), AsIndex(s)) != 0) {
            slots.push_back(s);
        }
    }
    return slots;
}

class EditedSchools : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditedSchools, ExchangesKeepEveryRuleAndRefusalsAreConfirmed) {
    const EditCase& param = GetParam();
    const GeneratedSchool school = SchoolFor(param);
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    const std::optional<ByteMatrix> searched =
        testing::SolveByAttempts(school.inputs, context, param.seed * 7 + 1, 500);
    ASSERT_TRUE(searched.has_value());
    const TimetableEditor editor(school.inputs, school.options, school.rules);
    const std::vector<Violation> broken =
        BrokenInBothReadings(school.inputs, school.options, school.rules, *searched);
    ASSERT_TRUE(broken.empty()) << Listing(broken);
    const int classes = school.inputs.number_of_classes;

    // Random requests, each on the timetable the exchanges before it left.
    ByteMatrix timetable = *searched;
    RandomStream random(param.seed);
    Seen seen;
    for (int request_number = 0; request_number < 60; ++request_number) {
        MoveRequest request;
        request.class_section =
            1 + static_cast<int>(random.Below(static_cast<std::uint32_t>(classes)));
        const std::vector<int> lessons = LessonSlots(timetable, request.class_section);
        request.from_slot = lessons[random.Below(static_cast<std::uint32_t>(lessons.size()))];
        request.to_slot = lessons[random.Below(static_cast<std::uint32_t>(lessons.size()))];
        if (RequestProblem(school.inputs, timetable, request)) {
            EXPECT_THROW(editor.Propose(timetable, request), std::invalid_argument);
            continue;
        }
        const MoveProposal proposal =
            CheckRequest(editor, school.inputs, school.rules, timetable, request, seen);
        if (proposal.keeps_rules) {
            ApplyChanges(timetable, proposal.changes);
        }
    }
    EXPECT_GT(seen.applied, 0);
    EXPECT_GT(seen.refused, 0);
    EXPECT_GT(seen.across_classes, 0) << "no exchange reached a second class section";

    // The first hour of two-hour lessons asked to every other slot of the
    // searched timetable, class section by class section, until one moves:
    // a two-hour lesson moves as one.
    Seen two_hour_moves;
    for (int c = 1; c <= classes && two_hour_moves.two_hours == 0; ++c) {
        for (const int from : LessonSlots(*searched, c)) {
            const int t = (*searched)(AsIndex(c), AsIndex(from));
            const bool starts_pair = from + kDays <= kSlots &&
                                     (*searched)(AsIndex(c), AsIndex(from + kDays)) == t &&
                                     school.inputs.two_hour_lessons(AsIndex(c), AsIndex(t)) > 0;
            for (const int to : LessonSlots(*searched, c)) {
                const MoveRequest request{c, from, to};
                if (starts_pair && !RequestProblem(school.inputs, *searched, request)) {
                    CheckRequest(editor, school.inputs, school.rules, *searched, request,
                                 two_hour_moves);
                }
            }
        }
    }
    EXPECT_GT(two_hour_moves.two_hours, 0) << "no two-hour lesson moved as one";
}

// A pinned lesson stays where it was pinned: asking it elsewhere is refused,
// naming the pinned rule at the pinned cell.
TEST(TimetableEditor, PinnedLessonsNeverMove) {
    const EditCase param{8, OptionSets()[0], 5};
    const GeneratedSchool school = SchoolFor(param);
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    const std::optional<ByteMatrix> searched =
        testing::SolveByAttempts(school.inputs, context, 99, 500);
    ASSERT_TRUE(searched.has_value());
    const TimetableEditor editor(school.inputs, school.options, school.rules);
    int pinned_asked = 0;
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        for (const int from : LessonSlots(*searched, c)) {
            if (school.inputs.pinned_lessons(AsIndex(c), AsIndex(from)) !=
                (*searched)(AsIndex(c), AsIndex(from))) {
                continue;
            }
            for (const int to : LessonSlots(*searched, c)) {
                const MoveRequest request{c, from, to};
                if (RequestProblem(school.inputs, *searched, request)) {
                    continue;
                }
                const MoveProposal proposal = editor.Propose(*searched, request);
                ++pinned_asked;
                EXPECT_FALSE(proposal.keeps_rules);
                EXPECT_TRUE(std::any_of(proposal.blocking.begin(), proposal.blocking.end(),
                                        [&](const Violation& v) {
                                            return v.rule == VerifyRule::kPinned &&
                                                   v.class_section == c && v.slot == from;
                                        }))
                    << Listing(proposal.blocking);
            }
        }
    }
    EXPECT_GT(pinned_asked, 0);
}

// Two class sections of two hours (Monday and Tuesday, first hour) and one
// kept-apart couple, X (teacher 1, in Α) and Y (teacher 3, in Β). Moving X to
// Tuesday meets Y there: the only exchange that keeps every rule swaps Β's two
// hours as well, which only the couple can bring into the exchange.
TEST(TimetableEditor, AKeptApartCouplePullsItsClassSectionIntoTheExchange) {
    constexpr int kX = 1, kP = 2, kY = 3, kQ = 4;
    SolverInputs in = SolverInputs::Sized(2, 4);
    in.class_names = {"", "Α", "Β"};
    in.teacher_names = {"", "X", "P", "Y", "Q"};
    RuleTables rules;
    rules.teacher_class_hours_all = ByteMatrix(5, 3);
    ByteMatrix timetable(3, kSlotColumns);
    const auto teach = [&](int c, int t, int slot, int k) {
        in.class_teachers(AsIndex(c), AsIndex(k)) = AsByte(t);
        in.teacher_class_hours(AsIndex(t), AsIndex(c)) = 1;
        rules.teacher_class_hours_all(AsIndex(t), AsIndex(c)) = 1;
        timetable(AsIndex(c), AsIndex(slot)) = AsByte(t);
    };
    for (const int c : {1, 2}) {
        in.class_hours[AsIndex(c)] = 2;
        in.class_week_hours[AsIndex(c)] = 2;
        in.class_teacher_count[AsIndex(c)] = 2;
    }
    teach(1, kX, 1, 1);
    teach(1, kP, 2, 2);
    teach(2, kQ, 1, 1);
    teach(2, kY, 2, 2);
    rules.AddSameHourPair(kX, kY);

    const TimetableEditor editor(in, RunOptions{}, rules);
    const std::vector<Violation> broken = BrokenInBothReadings(in, RunOptions{}, rules, timetable);
    ASSERT_TRUE(broken.empty()) << Listing(broken);
    const MoveProposal proposal = editor.Propose(timetable, MoveRequest{1, 1, 2});
    ASSERT_TRUE(proposal.keeps_rules) << Listing(proposal.blocking);
    ByteMatrix after = timetable;
    ApplyChanges(after, proposal.changes);
    EXPECT_EQ(after(1, 2), kX);
    EXPECT_EQ(after(1, 1), kP);
    EXPECT_EQ(after(2, 1), kY);
    EXPECT_EQ(after(2, 2), kQ);
}

std::vector<EditCase> EditCases() {
    std::vector<EditCase> cases;
    for (const int classes : {6, 12}) {
        for (const OptionSet& set : OptionSets()) {
            cases.push_back({classes, set, 31u + static_cast<std::uint64_t>(classes)});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditedSchools, ::testing::ValuesIn(EditCases()),
                         [](const ::testing::TestParamInfo<EditCase>& case_info) {
                             return std::to_string(case_info.param.classes) + "_" +
                                    case_info.param.options.name;
                         });

}  // namespace
}  // namespace taktirio
