// Generated schools solved, their pages written by the run's writer, and every
// table read back and compared with the solver's timetable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/pages/page_fixtures.h"
#include "core/pages/solution_page_reader.h"
#include "core/pages/solution_page_writer.h"
#include "core/solver/findsolution.h"
#include "core/solver/slots.h"
#include "support/solve_by_attempts.h"

namespace taktirio {
namespace {

using testing::Reading;
using testing::ReadPage;
using testing::RecordingSink;

// What the loader would hand the writer for a generated school: every teacher
// without a plus sign, and the school's refused hours.
SolutionPageInfo PageInfoFor(const GeneratedSchool& school, const std::string& dir) {
    SolutionPageInfo info;
    info.school_name = "ΓΕΝΙΚΟ ΛΥΚΕΙΟ ΔΟΚΙΜΩΝ";
    info.program_directory = dir;
    info.user_name = "HOMEBASE";
    const auto& week = school.inputs.class_week_hours;
    info.max_class_week_hours = *std::max_element(week.begin(), week.end());
    for (int t = 1; t <= school.inputs.number_of_teachers; ++t) {
        const std::string& name = school.inputs.teacher_names[AsIndex(t)];
        if (name.find('+') == std::string::npos) {
            info.AddSingleTeacher(static_cast<std::uint8_t>(t), name);
        }
    }
    for (const DeniedSlot& denied : school.rules.DeniedSlots()) {
        info.AddDenyHour(denied.teacher, denied.slot);
    }
    return info;
}

// The class sections in which single teacher k (alone or in a pair) teaches at slot p.
std::set<std::string> ClassesOf(const GeneratedSchool& school, const ByteMatrix& timetable,
                                const std::string& teacher, int p) {
    std::set<std::string> classes;
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        const int t = timetable(AsIndex(c), AsIndex(p));
        if (t == 0) {
            continue;
        }
        const std::string& name = school.inputs.teacher_names[AsIndex(t)];
        const std::size_t plus = name.find('+');
        if (name == teacher || (plus != std::string::npos && (name.substr(0, plus) == teacher ||
                                                              name.substr(plus + 1) == teacher))) {
            classes.insert(school.inputs.class_names[AsIndex(c)]);
        }
    }
    return classes;
}

std::set<std::string> SplitComma(const std::string& text) {
    std::set<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos;
         start = comma + 1) {
        parts.insert(text.substr(start, comma - start));
    }
    if (!text.empty()) {
        parts.insert(text.substr(start));
    }
    return parts;
}

class PageRoundTrip : public ::testing::TestWithParam<std::pair<int, std::uint64_t>> {};

TEST_P(PageRoundTrip, EveryTableReadsBackAsTheTimetable) {
    const auto [classes, seed] = GetParam();
    const GeneratedSchool school = GenerateSchool(TypicalSchool(classes, seed));
    const SolverInputs& in = school.inputs;
    const auto dir = testing::FreshDirectory("taktirio_round_trip_" + std::to_string(classes));
    std::filesystem::create_directories(dir / "SOLUTIONS" / "HOMEBASE");
    const SolutionPageInfo info = PageInfoFor(school, dir.string());

    // Solve as a run does, and write the timetable as the run's solution 2.
    RunContext context;
    context.options = school.options;
    context.rules = school.rules;
    const std::optional<ByteMatrix> solved = testing::SolveByAttempts(in, context, seed, 2000);
    ASSERT_TRUE(solved.has_value()) << "no timetable found";
    const ByteMatrix& timetable = *solved;
    SolutionPageWriter writer(info, [] { return 2026; });
    writer.WriteSolution(
        ClaimedSolution{in, school.rules.JointLessons(), timetable, 2, 4, "0:0:0:1"});
    auto reader = SolutionPageReader::Open(SolutionPagePath(info, 2));
    const int H = PageHoursPerDay(info.max_class_week_hours);

    // Class tables: every lesson, under its teacher's name.
    const RecordingSink class_rows = ReadPage(reader, Reading::kClasses);
    ASSERT_EQ(class_rows.rows.size(), AsIndex(in.number_of_classes));
    for (int c = 1; c <= in.number_of_classes; ++c) {
        const PageRow& row = class_rows.rows[AsIndex(c - 1)];
        EXPECT_EQ(row.table_name, "ΤΜΗΜΑ: " + in.class_names[AsIndex(c)]);
        for (int p = 1; p <= kSlots; ++p) {
            const int t = timetable(AsIndex(c), AsIndex(p));
            EXPECT_EQ(row.cells[AsIndex(p)], t == 0 ? "" : in.teacher_names[AsIndex(t)])
                << c << "/" << p;
        }
    }

    // Summary: the numbers lead back to the same names.
    const RecordingSink summary = ReadPage(reader, Reading::kSummary);
    ASSERT_EQ(summary.rows.size(), AsIndex(in.number_of_classes));
    for (int c = 1; c <= in.number_of_classes; ++c) {
        EXPECT_EQ(summary.rows[AsIndex(c - 1)].table_name, in.class_names[AsIndex(c)]);
        for (int p = 1; p <= kSlots; ++p) {
            const int t = timetable(AsIndex(c), AsIndex(p));
            const std::string& cell = summary.rows[AsIndex(c - 1)].cells[AsIndex(p)];
            EXPECT_EQ(cell.empty() ? std::string() : summary.names.at(AsIndex(std::stoi(cell))),
                      t == 0 ? "" : in.teacher_names[AsIndex(t)]);
        }
    }

    // Teacher tables and the plan's teachers: each single teacher's lessons,
    // alone or in a pair, as the class sections taught at each hour.
    const RecordingSink teachers = ReadPage(reader, Reading::kTeachers);
    const RecordingSink plan = ReadPage(reader, Reading::kPlan);
    ASSERT_EQ(teachers.rows.size(), AsIndex(info.single_teacher_count));
    ASSERT_EQ(plan.rows.size(), AsIndex(info.single_teacher_count));
    for (std::size_t k = 1; k <= info.single_teacher_count; ++k) {
        const std::string& name = info.single_teachers[k].teacher_name;
        EXPECT_EQ(teachers.rows[k - 1].table_name, "ΚΑΘΗΓΗΤΗΣ: " + name);
        EXPECT_EQ(plan.rows[k - 1].table_name, name);
        EXPECT_EQ(plan.rows[k - 1].ordinal, static_cast<int>(k));
        EXPECT_EQ(plan.rows[k - 1].cells, teachers.rows[k - 1].cells);
        int lessons = 0;
        for (int p = 1; p <= kSlots; ++p) {
            const std::set<std::string> expected = HourOfSlot(p) <= H
                                                       ? ClassesOf(school, timetable, name, p)
                                                       : std::set<std::string>{};
            lessons += expected.empty() ? 0 : 1;
            EXPECT_EQ(SplitComma(teachers.rows[k - 1].cells[AsIndex(p)]), expected)
                << name << "/" << p;
        }
        EXPECT_EQ(plan.rows[k - 1].weekly_hours, lessons) << name;
    }

    // Header and common free hours: refused hours at which the teacher is free.
    EXPECT_EQ(plan.header.school_name, info.school_name);
    EXPECT_EQ(plan.header.school_year, "ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2026-2027");
    std::set<std::pair<std::string, int>> expected_free;
    for (int k = 1; k <= info.deny_hours_count; ++k) {
        const int t = info.deny_hours[AsIndex(2 * k)];
        const int p = info.deny_hours[AsIndex(2 * k + 1)];
        bool busy = false;
        for (int c = 1; c <= in.number_of_classes; ++c) {
            busy = busy || timetable(AsIndex(c), AsIndex(p)) == t;
        }
        if (!busy && HourOfSlot(p) <= H) {
            expected_free.emplace(in.teacher_names[AsIndex(t)], p);
        }
    }
    EXPECT_FALSE(expected_free.empty());
    using FreeHours = std::set<std::pair<std::string, int>>;
    EXPECT_EQ(FreeHours(plan.free_hours.begin(), plan.free_hours.end()), expected_free);
}

INSTANTIATE_TEST_SUITE_P(Generated, PageRoundTrip,
                         ::testing::Values(std::pair{4, 11u}, std::pair{9, 12u}, std::pair{16, 13u},
                                           std::pair{30, 14u}),
                         [](const auto& param_info) {
                             return "classes_" + std::to_string(param_info.param.first);
                         });

}  // namespace
}  // namespace taktirio
