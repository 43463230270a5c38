#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/pages/solution_page_reader.h"
#include "core/pages/solution_page_writer.h"
#include "core/solver/byte_matrix.h"

namespace taktirio::testing {

inline std::string FixturePath(const std::string& name) {
    return std::string(TAKTIRIO_FIXTURES_DIR) + "/pages/" + name;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The small school of the golden page: class sections Α1 (7 hours), Β1
// (2 hours) and Γ1 (none); teachers ΠΑΠΑΔΟΠΟΥΛΟΣ, ΓΕΩΡΓΙΟΥ, ΝΙΚΟΛΑΟΥ (no
// lessons) and the pair of the first two; ΓΕΩΡΓΙΟΥ teaches Α1 and Β1 at once;
// hours refused: ΠΑΠΑΔΟΠΟΥΛΟΣ at slots 1 (free: grey) and 3 (taken), ΝΙΚΟΛΑΟΥ
// at slot 12 (grey).
struct SmallSchool {
    std::vector<std::string> classes{"", "Α1", "Β1", "Γ1"};
    std::vector<std::string> teachers{"", "ΠΑΠΑΔΟΠΟΥΛΟΣ", "ΓΕΩΡΓΙΟΥ", "ΝΙΚΟΛΑΟΥ",
                                      "ΠΑΠΑΔΟΠΟΥΛΟΣ + ΓΕΩΡΓΙΟΥ"};
    std::vector<std::uint8_t> week_hours{0, 7, 2, 0};
    std::vector<JointLesson> joint{{.class1 = 1, .class2 = 2, .teacher = 2}};
    ByteMatrix timetable{4, 51};
    SolutionPageInfo info;

    SmallSchool() {
        const std::uint8_t a1[] = {0, 2, 2, 1, 4, 1, 1, 4};
        for (std::size_t s = 1; s <= 7; ++s) {
            timetable(1, s) = a1[s];
        }
        timetable(2, 1) = 2;
        timetable(2, 2) = 2;
        info.school_name = "2ο ΓΥΜΝΑΣΙΟ ΠΑΤΡΩΝ";
        info.max_class_week_hours = 7;
        info.AddSingleTeacher(1, "ΠΑΠΑΔΟΠΟΥΛΟΣ");
        info.AddSingleTeacher(2, "ΓΕΩΡΓΙΟΥ");
        info.AddSingleTeacher(3, "ΝΙΚΟΛΑΟΥ");
        info.AddDenyHour(1, 1);
        info.AddDenyHour(1, 3);
        info.AddDenyHour(3, 12);
    }

    SolutionPageContent Content() const {
        SolutionPageContent content;
        content.number_of_classes = 3;
        content.number_of_teachers = 4;
        content.class_week_hours = week_hours;
        content.timetable = &timetable;
        content.class_names = classes;
        content.teacher_names = teachers;
        content.current_solution = 3;
        content.solutions_requested = 5;
        content.solution_time_text = "0:0:1:250";
        content.joint_lessons = joint;
        content.year = 2024;
        return content;
    }
};

// A fresh, empty directory under the system's temporary directory.
inline std::filesystem::path FreshDirectory(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Keeps everything the readers deliver.
struct RecordingSink : PageSink {
    void Row(const PageRow& row) override { rows.push_back(row); }
    void Header(const SchoolHeader& h) override { header = h; }
    void CommonFreeHour(const std::string& name, int column) override {
        free_hours.emplace_back(name, column);
    }
    void SummaryNames(const std::vector<std::string>& list) override { names = list; }
    void Progress(const std::string& text) override { progress.push_back(text); }

    // Column → text of the non-empty cells of row r.
    std::map<int, std::string> Cells(std::size_t r) const {
        std::map<int, std::string> cells;
        for (int c = 1; c <= 50; ++c) {
            if (!rows.at(r).cells[static_cast<std::size_t>(c)].empty()) {
                cells[c] = rows.at(r).cells[static_cast<std::size_t>(c)];
            }
        }
        return cells;
    }

    std::vector<PageRow> rows;
    SchoolHeader header;
    std::vector<std::pair<std::string, int>> free_hours;
    std::vector<std::string> names;
    std::vector<std::string> progress;
};

// The page's lines (windows-1253, without line ends) and back.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// Runs one reader, or the header reading with the two that continue it.
enum class Reading { kClasses, kTeachers, kSummary, kPlan };
inline RecordingSink ReadPage(SolutionPageReader& reader, Reading reading) {
    RecordingSink sink;
    switch (reading) {
        case Reading::kClasses:
            reader.ReadClassTables(sink);
            break;
        case Reading::kTeachers:
            reader.ReadTeacherTables(sink);
            break;
        case Reading::kSummary:
            reader.ReadSummaryTables(sink);
            break;
        case Reading::kPlan:
            reader.ReadSchoolHeader(sink);
            reader.ReadGeneralPlanTeachers(sink);
            reader.MarkCommonFreeHours(sink);
            break;
    }
    return sink;
}

}  // namespace taktirio::testing
