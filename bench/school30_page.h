#pragma once

// The solution page of a generated 30-class-section school, written once to
// a temporary file, for the benchmarks of the page and of the prints.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/common/narrow.h"
#include "core/generator/school_generator.h"
#include "core/pages/solution_page_writer.h"

namespace taktirio {

// The school, its timetable and its page, built once.
struct PageSchool {
    GeneratedSchool school;
    SolutionPageInfo info;
    SolutionPageContent content;
    std::string path;
    std::string bytes;
};

inline const PageSchool& School30() {
    static const PageSchool* page = [] {
        auto* p = new PageSchool;
        p->school = GenerateSchool(TypicalSchool(30, 2026));
        const SolverInputs& in = p->school.inputs;
        p->info.school_name = "ΓΕΝΙΚΟ ΛΥΚΕΙΟ ΔΟΚΙΜΩΝ";
        p->info.max_class_week_hours =
            *std::max_element(in.class_week_hours.begin(), in.class_week_hours.end());
        for (int t = 1; t <= in.number_of_teachers; ++t) {
            if (in.teacher_names[AsIndex(t)].find('+') == std::string::npos) {
                p->info.AddSingleTeacher(static_cast<std::uint8_t>(t),
                                         in.teacher_names[AsIndex(t)]);
            }
        }
        const RuleTables& rules = p->school.rules;
        for (const DeniedSlot& denied : rules.DeniedSlots()) {
            p->info.AddDenyHour(denied.teacher, denied.slot);
        }
        p->content.number_of_classes = in.number_of_classes;
        p->content.number_of_teachers = in.number_of_teachers;
        p->content.class_week_hours = in.class_week_hours;
        p->content.timetable = &p->school.witness;
        p->content.class_names = in.class_names;
        p->content.teacher_names = in.teacher_names;
        p->content.solution_time_text = "0:0:2:125";
        p->content.joint_lessons = rules.JointLessons();
        p->content.year = 2026;
        p->bytes = RenderSolutionPage(p->info, p->content);
        p->path = (std::filesystem::temp_directory_path() / "taktirio_pages_bench.htm").string();
        SolutionPageWriter::WriteFile(p->path, p->bytes);
        return p;
    }();
    return *page;
}

}  // namespace taktirio
