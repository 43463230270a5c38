#pragma once

// Test helper: solution pages written from a known timetable (the demo school
// solved, or a generated school), to read into the print work tables and to
// check what the readings and the reports make of them.

#include <QDir>
#include <QFile>
#include <algorithm>
#include <set>
#include <string>

#include "core/generator/school_generator.h"
#include "core/pages/solution_page_writer.h"
#include "core/solver/slots.h"
#include "data/exchange/exchange.h"
#include "data_test_support.h"
#include "document_to_solver.h"
#include "support/solve_by_attempts.h"

namespace taktirio::data::testing {

// A school, one of its timetables and the page written from them.
struct PrintedSchool {
    SolverInputs inputs;
    RuleTables rules;
    ByteMatrix timetable;
    std::string school_name;
    int year = 0;
    std::string bytes;

    bool IsSingle(int t) const {
        return inputs.teacher_names[Ix(t)].find('+') == std::string::npos;
    }
    // Teacher t teaches at slot s, alone or as a member of a pair.
    bool Teaches(int single, int taught_by) const {
        if (single == taught_by) {
            return true;
        }
        const std::string& pair = inputs.teacher_names[Ix(taught_by)];
        if (IsSingle(taught_by)) {
            return false;
        }
        const std::string& name = inputs.teacher_names[Ix(single)];
        const std::size_t plus = pair.find('+');
        auto trim = [](std::string text) {
            text.erase(0, text.find_first_not_of(' '));
            text.erase(text.find_last_not_of(' ') + 1);
            return text;
        };
        return trim(pair.substr(0, plus)) == name || trim(pair.substr(plus + 1)) == name;
    }
    // The class sections that single teacher t teaches at slot s.
    std::set<std::string> ClassesOf(int t, int s) const {
        std::set<std::string> classes;
        for (int c = 1; c <= inputs.number_of_classes; ++c) {
            const int taught_by = timetable(Ix(c), Ix(s));
            if (taught_by != 0 && Teaches(t, taught_by)) {
                classes.insert(inputs.class_names[Ix(c)]);
            }
        }
        return classes;
    }
    int HoursPerDay() const {
        return PageHoursPerDay(
            *std::max_element(inputs.class_week_hours.begin() + 1, inputs.class_week_hours.end()));
    }
    bool DeniedHour(int t, int s) const {
        const auto denied = rules.DeniedSlots();
        return std::find(denied.begin(), denied.end(), DeniedSlot{Byte(t), Byte(s)}) !=
               denied.end();
    }
};

inline std::string RenderPage(const PrintedSchool& school) {
    const SolverInputs& in = school.inputs;
    SolutionPageInfo info;
    info.school_name = school.school_name;
    info.max_class_week_hours =
        *std::max_element(in.class_week_hours.begin() + 1, in.class_week_hours.end());
    for (int t = 1; t <= in.number_of_teachers; ++t) {
        if (school.IsSingle(t)) {
            info.AddSingleTeacher(Byte(t), in.teacher_names[Ix(t)]);
        }
    }
    for (const DeniedSlot& denied : school.rules.DeniedSlots()) {
        info.AddDenyHour(denied.teacher, denied.slot);
    }
    SolutionPageContent content;
    content.number_of_classes = in.number_of_classes;
    content.number_of_teachers = in.number_of_teachers;
    content.class_week_hours = in.class_week_hours;
    content.timetable = &school.timetable;
    content.class_names = in.class_names;
    content.teacher_names = in.teacher_names;
    content.solution_time_text = "0:0:1:500";
    content.joint_lessons = school.rules.JointLessons();
    content.year = school.year;
    return RenderSolutionPage(info, content);
}

// The demo gymnasium of examples/, solved once with a fixed seed.
inline const PrintedSchool& DemoPrintedSchool() {
    static const PrintedSchool* school = [] {
        auto* p = new PrintedSchool;
        const SolverProblem problem = ToSolverProblem(ParseSchoolDocument(
            FileBytes(QStringLiteral(TAKTIRIO_EXAMPLES_DIR "/demo-gymnasium.json"))));
        RunContext context;
        context.rules = problem.rules;
        const std::optional<ByteMatrix> timetable =
            taktirio::testing::SolveByAttempts(problem.inputs, context, 20240901, 5000);
        if (!timetable) {
            throw std::runtime_error("the demo school has no timetable in 5000 attempts");
        }
        p->inputs = problem.inputs;
        p->rules = problem.rules;
        p->timetable = *timetable;
        p->school_name = "3ο ΓΥΜΝΑΣΙΟ ΛΑΡΙΣΑΣ";
        p->year = 2025;
        p->bytes = RenderPage(*p);
        return p;
    }();
    return *school;
}

// A generated school of `classes` class sections with its witness timetable.
inline PrintedSchool GeneratedPrintedSchool(int classes, std::uint64_t seed) {
    GeneratedSchool generated = GenerateSchool(TypicalSchool(classes, seed));
    PrintedSchool p;
    p.inputs = generated.inputs;
    p.rules = generated.rules;
    p.timetable = generated.witness;
    p.school_name = "ΓΕΝΙΚΟ ΛΥΚΕΙΟ ΔΟΚΙΜΩΝ";
    p.year = 2026;
    p.bytes = RenderPage(p);
    return p;
}

inline QString WritePage(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return {};
    }
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
}

}  // namespace taktirio::data::testing
