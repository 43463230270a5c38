// The texts that show a run's teacher gaps beside its solutions.
#include "core/run/gap_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taktirio {
namespace {

TeacherPeople Named(const std::vector<std::string>& teachers) {
    return PeopleOfTeachers(teachers, static_cast<int>(teachers.size()) - 1);
}

TEST(GapMessages, SolutionLineAndCell) {
    const TeacherPeople people = Named({"", "ΑΛΦΑ", "ΒΗΤΑ"});
    struct Case {
        SolutionGaps gaps;
        std::string line;
        std::string cell;
    };
    const Case cases[] = {
        {{{24, 1, 2}, {24, 1, 2}},
         "  Κενά καθηγητών: 24 συνολικά, έως 1 ανά καθηγητή (ΒΗΤΑ)",
         "24 (έως 1)"},
        // Reworked: before and after, the worst person of the timetable written.
        {{{129, 10, 2}, {24, 1, 1}},
         "  Κενά καθηγητών: 129 → 24 συνολικά, έως 10 → 1 ανά καθηγητή (ΑΛΦΑ)",
         "129 → 24 (έως 10 → 1)"},
        // A rework that leaves the counts as they were shows one count.
        {{{7, 3, 1}, {7, 3, 2}},
         "  Κενά καθηγητών: 7 συνολικά, έως 3 ανά καθηγητή (ΒΗΤΑ)",
         "7 (έως 3)"},
        // Nobody with a gap: nobody named.
        {{{0, 0, 0}, {0, 0, 0}}, "  Κενά καθηγητών: 0 συνολικά, έως 0 ανά καθηγητή", "0 (έως 0)"},
        {{{5, 2, 1}, {0, 0, 0}},
         "  Κενά καθηγητών: 5 → 0 συνολικά, έως 2 → 0 ανά καθηγητή",
         "5 → 0 (έως 2 → 0)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SolutionGapsLine(c.gaps, people), c.line);
        EXPECT_EQ(SolutionGapsCell(c.gaps), c.cell);
    }
    // A person the names do not hold (no school loaded) is left unnamed.
    EXPECT_EQ(SolutionGapsLine({{3, 3, 4}, {3, 3, 4}}, people),
              "  Κενά καθηγητών: 3 συνολικά, έως 3 ανά καθηγητή");
}

TEST(GapMessages, FewestGapsNamesTheRunsChoice) {
    RunSummary summary;
    EXPECT_EQ(FewestGapsLine(summary), "");  // nothing found
    summary.gaps = {{{40, 3, 1}, {40, 3, 1}}, {{50, 2, 1}, {30, 2, 1}}};
    summary.fewest_gaps_solution = 2;
    EXPECT_EQ(FewestGapsLine(summary),
              "Λιγότερα κενά καθηγητών: Λύση=2 (τα λιγότερα κενά του πιο επιβαρυμένου "
              "διδάσκοντα: έως 2 ανά καθηγητή, 30 συνολικά)");
    summary.fewest_gaps_solution = 3;  // beyond the solutions: nothing to name
    EXPECT_EQ(FewestGapsLine(summary), "");
}

TEST(GapMessages, RefusedReworksAreAFault) {
    EXPECT_EQ(RefusedReworksWarning(0), "");
    EXPECT_NE(RefusedReworksWarning(1).find("σφάλμα του προγράμματος: 1 βελτιωμένο πρόγραμμα"),
              std::string::npos);
    EXPECT_NE(RefusedReworksWarning(3).find("3 βελτιωμένα προγράμματα"), std::string::npos);
}

}  // namespace
}  // namespace taktirio
