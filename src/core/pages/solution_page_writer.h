#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/run/solution_writer.h"
#include "core/solver/byte_matrix.h"
#include "core/solver/run_context.h"

namespace taktirio {

// One single teacher (a name without a plus sign) as the loader lists them.
struct KATGHIGITES_SINGLE_STRUCTURE {
    std::uint8_t teacher_number = 0;
    std::string teacher_name;
};

// What the page writer needs beyond the run's solutions: read only here.
// Lists keep the loader's layout: entry k (1 to count) at the indices noted,
// index 0 unused.
struct SolutionPageInfo {
    std::string school_name;
    std::string program_directory;  // the page goes to <dir>/SOLUTIONS/<user>/SOLUTION<n>.htm
    std::string user_name;
    std::uint8_t max_class_week_hours = 0;  // sets the hours per day the page shows

    std::uint8_t single_teacher_count = 0;
    std::vector<KATGHIGITES_SINGLE_STRUCTURE> single_teachers{{}};  // [k], teacher-number order

    std::int32_t deny_hours_count = 0;
    std::vector<std::uint8_t> deny_hours{0, 0};  // [2k] teacher, [2k+1] slot: shown grey when free

    void AddSingleTeacher(std::uint8_t number, std::string name);
    void AddDenyHour(std::uint8_t teacher, std::uint8_t slot);
};

// One complete timetable as the page shows it, gathered from the run's claimed
// solution (or built by hand in tests). Name lists and class_week_hours have
// an unused entry 0; timetable is [class][slot] with teacher numbers, 0 = free.
struct SolutionPageContent {
    int number_of_classes = 0;
    int number_of_teachers = 0;
    std::span<const std::uint8_t> class_week_hours;
    const ByteMatrix* timetable = nullptr;
    std::span<const std::string> class_names;
    std::span<const std::string> teacher_names;
    int current_solution = 1;
    int solutions_requested = 1;
    std::string_view solution_time_text;
    std::span<const JointLesson> joint_lessons;
    int year = 0;  // the school year shown is year-(year + 1)
};

// The maker's contact values on every page's credit lines.
inline constexpr std::string_view kMakerEmails[2] = {"taktirio@example.org", "support@example.org"};
inline constexpr std::string_view kMakerWebSites[3] = {"https://taktirio.example.org",
                                                       "https://www.example.org/taktirio",
                                                       "https://help.example.org/taktirio"};

// The hours per day a page shows for a school's largest weekly hours: 7 up to
// 35, 8 up to 40, 9 up to 45, else 10.
int PageHoursPerDay(int max_class_week_hours);

// The whole page in windows-1253 with CR LF line ends. Throws EncodingError
// naming the text that windows-1253 cannot hold, and ContradictoryDataError
// when the timetable holds a teacher or a week the page cannot show.
std::string RenderSolutionPage(const SolutionPageInfo& info, const SolutionPageContent& content);

// Checks before a run that every name its pages will show (the school, each
// class section, each teacher and pair) can be written in windows-1253, so that
// a run is refused before anything is deleted rather than stopped at its first
// page. Returns the message naming the first that cannot; nothing when all can.
// Name lists have an unused entry 0.
std::optional<std::string> UnwritableNameMessage(const SolutionPageInfo& info,
                                                 std::span<const std::string> class_names,
                                                 std::span<const std::string> teacher_names);

// <program directory>/SOLUTIONS/<user name>/SOLUTION<n>.htm
std::string SolutionPagePath(const SolutionPageInfo& info, int solution);

// The year of today's local date.
int CurrentYear();

// Writes each completed timetable of a run as its solution page, replacing a
// page of the same name. The SOLUTIONS/<user> directory must exist (the run
// creates it). Throws PageWriteError naming the path when the file cannot be
// created or written, EncodingError for a name windows-1253 cannot hold; no
// file is created for a page that cannot be encoded.
class SolutionPageWriter : public SolutionWriter {
  public:
    explicit SolutionPageWriter(SolutionPageInfo info, std::function<int()> year = CurrentYear);

    void WriteSolution(const ClaimedSolution& solution) override;

    // The page of one timetable, written to `path` through a temporary file
    // in the same folder renamed over it: the name holds the old page or the
    // whole new one, never part of one, and a link of that name is replaced.
    static void WriteFile(const std::string& path, const std::string& bytes);

    const SolutionPageInfo& info() const { return info_; }

  private:
    SolutionPageInfo info_;
    std::function<int()> year_;
};

}  // namespace taktirio
