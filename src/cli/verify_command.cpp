// taktirio-cli verify PAGE: a solution page read back and checked, rule by
// rule, against the school's data by the independent verifier.
#include "verify_command.h"

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli_commands.h"
#include "common/narrow.h"
#include "console.h"
#include "load/school_reading.h"
#include "pages/page_errors.h"
#include "pages/solution_page_reader.h"
#include "prepare/working_copy.h"
#include "solver/errors.h"
#include "solver/slots.h"
#include "verify/timetable_verifier.h"

namespace taktirio::cli {

namespace {

// The page's header and its class sections' timetables, teacher names in the cells.
class ClassTables : public PageSink {
  public:
    // A class table is named "ΤΜΗΜΑ: " + the class section's name.
    void Row(const PageRow& row) override {
        rows.push_back(row);
        std::string& name = rows.back().table_name;
        if (name.starts_with(kClassPrefix)) {
            name.erase(0, kClassPrefix.size());
        }
    }
    void Header(const SchoolHeader& header) override { school_name = header.school_name; }

    std::string school_name;
    std::vector<PageRow> rows;

  private:
    static constexpr std::string_view kClassPrefix = "ΤΜΗΜΑ: ";
};

std::map<std::string, int> Numbers(const std::vector<std::string>& names) {
    std::map<std::string, int> numbers;
    for (std::size_t i = 1; i < names.size(); ++i) {
        numbers.emplace(names[i], static_cast<int>(i));
    }
    return numbers;
}

std::string SlotText(int s) {
    return std::string(kDayNames[AsIndex(DayOfSlot(s))]) + " " + std::to_string(HourOfSlot(s)) +
           "η ώρα";
}

// One violation with the school's names: rule, class section, teacher, slot.
std::string Line(const Violation& v, const SolverInputs& in) {
    std::string line(RuleName(v.rule));
    std::string where;
    const auto add = [&where](const std::string& part) {
        where += where.empty() ? part : ", " + part;
    };
    if (v.class_section >= 1 && v.class_section <= in.number_of_classes) {
        add("τμήμα " + in.class_names[AsIndex(v.class_section)]);
    }
    if (v.teacher >= 1 && v.teacher <= in.number_of_teachers) {
        add("διδάσκων " + in.teacher_names[AsIndex(v.teacher)]);
    }
    if (IsSlot(v.slot)) {
        add(SlotText(v.slot));
    }
    line += where.empty() ? "" : ": " + where;
    line += v.detail.empty() ? "" : " (" + v.detail + ")";
    return line;
}

// The page's timetable in the school's numbers; the names the school lacks
// are listed in `unknown`, and the school's class sections the page lacks too.
ByteMatrix TimetableOf(const ClassTables& page, const SolverInputs& in,
                       std::vector<std::string>& unknown) {
    const std::map<std::string, int> classes = Numbers(in.class_names);
    const std::map<std::string, int> teachers = Numbers(in.teacher_names);
    ByteMatrix timetable(AsIndex(in.number_of_classes) + 1, kSlotColumns);
    std::vector<bool> seen(AsIndex(in.number_of_classes) + 1, false);
    for (const PageRow& row : page.rows) {
        const auto c = classes.find(row.table_name);
        if (c == classes.end()) {
            unknown.push_back("τμήμα «" + row.table_name + "»");
            continue;
        }
        seen[AsIndex(c->second)] = true;
        for (int s = 1; s <= kSlots; ++s) {
            const std::string& name = row.cells[AsIndex(s)];
            if (name.empty()) {
                continue;
            }
            const auto t = teachers.find(name);
            if (t == teachers.end()) {
                unknown.push_back("διδάσκων «" + name + "» στο τμήμα " + row.table_name + ", " +
                                  SlotText(s));
                continue;
            }
            timetable(AsIndex(c->second), AsIndex(s)) = AsByte(t->second);
        }
    }
    for (int c = 1; c <= in.number_of_classes; ++c) {
        if (!seen[AsIndex(c)]) {
            unknown.push_back("το τμήμα " + in.class_names[AsIndex(c)] +
                              " του σχολείου λείπει από τη σελίδα");
        }
    }
    return timetable;
}

}  // namespace

int VerifyPage(const data::Session& session, const QString& page, const RunSettings& settings) {
    if (!RunSettingsValid(settings)) {
        Say(stderr, kInvalidValuesMessage);
        return kExitUsage;
    }
    const std::string path = page.toStdString();
    ClassTables tables;
    try {
        SolutionPageReader reader = SolutionPageReader::Open(path);
        reader.ReadSchoolHeader(tables);
        reader.ReadClassTables(tables);
    } catch (const PageReadError& error) {
        if (error.line() == 0) {  // the file itself cannot be read
            Say(stderr, "Το αρχείο " + path + " δεν μπορεί να διαβαστεί.\r" + error.what());
            return kExitFailure;
        }
        Say(stderr, "Η σελίδα " + path +
                        " δεν είναι σελίδα λύσης του TAKTIRIO ή έχει αλλοιωθεί.\r" + error.what());
        return kExitDamagedPage;
    }

    data::LoadedProblem problem;
    try {
        problem = data::LoadSchoolForReading(session);
    } catch (const data::PreparationError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    } catch (const data::ProblemLoadError& error) {
        Say(stderr, error.message().toStdString());
        return kExitDataProblem;
    }
    if (tables.school_name != problem.page_info.school_name) {
        Say(stderr, "Η σελίδα " + path + " είναι λύση του σχολείου «" + tables.school_name +
                        "», όχι του «" + problem.page_info.school_name + "».");
        return kExitOtherSchool;
    }
    std::vector<std::string> unknown;
    const ByteMatrix timetable = TimetableOf(tables, problem.inputs, unknown);
    if (!unknown.empty()) {
        std::string text = "Η σελίδα " + path +
                           " δεν ταιριάζει με τα δεδομένα του σχολείου: ονόματα που δεν υπάρχουν:";
        for (const std::string& item : unknown) {
            text += "\r  " + item;
        }
        Say(stderr, text);
        return kExitUnknownNames;
    }
    std::vector<Violation> violations;
    try {
        // A page does not say whether its timetable was reworked toward fewer
        // gaps. One that keeps every rule read as the search built it, or read
        // as a finished timetable, passes; otherwise the search's reading names
        // what is broken.
        const RunOptions options = ToRunOptions(settings);
        violations = VerifyTimetable(problem.inputs, options, problem.rules, timetable);
        if (!violations.empty() && VerifyTimetable(problem.inputs, options, problem.rules,
                                                   timetable, VerifyMode::kFinished)
                                       .empty()) {
            violations.clear();
        }
    } catch (const std::invalid_argument& error) {
        Say(stderr, std::string(kContradictoryDataMessage) + "\r" + error.what());
        return kExitDataProblem;
    }
    for (const Violation& violation : violations) {
        Say(stdout, Line(violation, problem.inputs));
    }
    return violations.empty() ? kExitOk : kExitDataProblem;
}

}  // namespace taktirio::cli
