#include "core/verify/page_verdict.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <map>
#include <stdexcept>
#include <string_view>

#include "core/common/narrow.h"
#include "core/pages/solution_page_writer.h"
#include "core/rules/placement_rule.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio {

namespace {

// The page's class tables, each named "ΤΜΗΜΑ: " + the class section's name.
class ClassTablesSink : public PageSink {
  public:
    explicit ClassTablesSink(PageClassTables& tables) : tables_(tables) {}

    void Row(const PageRow& row) override {
        tables_.rows.push_back(row);
        std::string& name = tables_.rows.back().table_name;
        if (name.starts_with(kClassPrefix)) {
            name.erase(0, kClassPrefix.size());
        }
    }
    void Header(const SchoolHeader& header) override { tables_.school_name = header.school_name; }

  private:
    static constexpr std::string_view kClassPrefix = "ΤΜΗΜΑ: ";
    PageClassTables& tables_;
};

// The general plan's rows by name, their grey cells, and the school year.
class PlanSink : public PageSink {
  public:
    explicit PlanSink(WholePage& page) : page_(page) {}
    void Row(const PageRow& /*row*/) override {}
    void Header(const SchoolHeader& header) override { page_.school_year = header.school_year; }
    void PlanRowName(const std::string& name) override { page_.plan_rows.push_back(name); }
    void CommonFreeHour(const std::string& name, int column) override {
        page_.grey_cells.emplace_back(name, column);
    }

  private:
    WholePage& page_;
};

// A reading only to know that the readers can take the page.
class NoSink : public PageSink {
  public:
    void Row(const PageRow& /*row*/) override {}
};

std::map<std::string, int> Numbers(const std::vector<std::string>& names) {
    std::map<std::string, int> numbers;
    for (std::size_t i = 1; i < names.size(); ++i) {
        numbers.emplace(names[i], static_cast<int>(i));
    }
    return numbers;
}

}  // namespace

PageClassTables ReadPageClassTables(const std::string& path) {
    PageClassTables tables;
    ClassTablesSink sink(tables);
    SolutionPageReader reader = SolutionPageReader::Open(path);
    reader.ReadSchoolHeader(sink);
    reader.ReadClassTables(sink);
    return tables;
}

WholePage ReadWholePage(const std::string& path) {
    return ReadWholePage(SolutionPageReader::Open(path));
}

WholePage ReadWholePage(SolutionPageReader reader_of_page) {
    WholePage page(std::move(reader_of_page));
    SolutionPageReader& reader = page.reader;
    ClassTablesSink classes(page.classes);
    reader.ReadSchoolHeader(classes);
    reader.ReadClassTables(classes);
    NoSink nothing;
    reader.ReadTeacherTables(nothing);
    reader.ReadSummaryTables(nothing);
    PlanSink plan(page);
    reader.ReadSchoolHeader(plan);
    reader.ReadGeneralPlanTeachers(nothing);
    reader.MarkCommonFreeHours(plan);
    page.solution = reader.ReadSolutionHeader();
    return page;
}

namespace {

// The page as its class timetables make it, numbered as the page numbers
// them: class sections in the order of their timetables, teachers in the
// order of the general plan's rows.
class PageRewrite {
  public:
    PageRewrite(const WholePage& page, const PageClassTables& classes, const SolverInputs& school,
                const RuleTables& rules)
        : PageRewrite(page, classes, school, rules, page.solution) {}
    PageRewrite(const WholePage& page, const PageClassTables& classes, const SolverInputs& school,
                const RuleTables& rules, const SolutionHeader& solution)
        : page_(page), classes_(classes), school_(school), rules_(rules), solution_(solution) {}

    // The page as the writer writes it; empty, with `why` set, when it
    // cannot be written.
    std::string Write(std::string& why) {
        const int classes = static_cast<int>(classes_.rows.size());
        const int teachers = static_cast<int>(page_.plan_rows.size());
        if (classes > kMaxCount || teachers > kMaxCount) {
            why = "περισσότερα από 255 τμήματα ή διδάσκοντες";
            return {};
        }
        NameClasses();
        NameTeachers();
        if (auto unknown = FillTimetable()) {
            why = *unknown;
            return {};
        }
        JointLessons();
        SolutionPageContent content;
        content.number_of_classes = classes;
        content.number_of_teachers = teachers;
        content.class_week_hours = week_hours_;
        content.timetable = &timetable_;
        content.class_names = class_names_;
        content.teacher_names = teacher_names_;
        content.current_solution = solution_.solution;
        content.solutions_requested = solution_.requested;
        content.solution_time_text = solution_.time_text;
        content.joint_lessons = joint_;
        content.year = Year();
        try {
            return RenderSolutionPage(info_, content);
        } catch (const std::exception&) {
            why = "τα προγράμματα των τμημάτων της δεν σχηματίζουν σελίδα λύσης";
            return {};
        }
    }

  private:
    void NameClasses() {
        class_names_.assign(1, std::string());
        week_hours_.assign(1, 0);
        for (const PageRow& row : classes_.rows) {
            class_numbers_.emplace(row.table_name, static_cast<int>(class_names_.size()));
            class_names_.push_back(row.table_name);
            // The page shows a row for every started five hours.
            week_hours_.push_back(AsByte(row.hour_rows * kDays));
        }
        info_.school_name = classes_.school_name;
        info_.max_class_week_hours = *std::max_element(week_hours_.begin(), week_hours_.end());
    }

    void NameTeachers() {
        teacher_names_.assign(1, std::string());
        for (const std::string& name : page_.plan_rows) {
            const int number = static_cast<int>(teacher_names_.size());
            teacher_numbers_.emplace(name, number);
            teacher_names_.push_back(name);
            if (name.find('+') == std::string::npos) {
                info_.AddSingleTeacher(AsByte(number), name);
            }
        }
        for (const auto& [name, column] : page_.grey_cells) {
            const auto t = teacher_numbers_.find(name);
            if (t != teacher_numbers_.end() && IsSlot(column)) {
                info_.AddDenyHour(AsByte(t->second), AsByte(column));
            }
        }
    }

    std::optional<std::string> FillTimetable() {
        timetable_ = ByteMatrix(class_names_.size(), kSlotColumns);
        for (std::size_t c = 1; c < class_names_.size(); ++c) {
            const PageRow& row = classes_.rows[c - 1];
            for (int s = 1; s <= kSlots; ++s) {
                const std::string& name = row.cells[AsIndex(s)];
                if (name.empty()) {
                    continue;
                }
                const auto t = teacher_numbers_.find(name);
                if (t == teacher_numbers_.end()) {
                    return "ο διδάσκων «" + name + "» του τμήματος " + row.table_name + ", " +
                           SlotName(s) + ", δεν έχει γραμμή στο γενικό πρόγραμμα";
                }
                timetable_(c, AsIndex(s)) = AsByte(t->second);
            }
        }
        return std::nullopt;
    }

    // The school's joint lessons in the page's numbers; one that names a
    // class section or teacher the page lacks shows nowhere.
    void JointLessons() {
        joint_.clear();
        for (const JointLesson& joint : rules_.JointLessons()) {
            const auto c1 = class_numbers_.find(ClassName(joint.class1));
            const auto c2 = class_numbers_.find(ClassName(joint.class2));
            const auto t = teacher_numbers_.find(TeacherName(joint.teacher));
            if (c1 != class_numbers_.end() && c2 != class_numbers_.end() &&
                t != teacher_numbers_.end()) {
                joint_.push_back({AsByte(c1->second), AsByte(c2->second), AsByte(t->second)});
            }
        }
    }

    std::string ClassName(int c) const {
        return c >= 1 && c <= school_.number_of_classes ? school_.class_names[AsIndex(c)]
                                                        : std::string();
    }
    std::string TeacherName(int t) const {
        return t >= 1 && t <= school_.number_of_teachers ? school_.teacher_names[AsIndex(t)]
                                                         : std::string();
    }

    // The first year of "ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2025-2026"; 0 when there is none, so
    // that the year's line departs.
    int Year() const {
        constexpr std::string_view kPrefix = "ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ ";
        const std::string_view text = page_.school_year;
        int year = 0;
        if (text.starts_with(kPrefix)) {
            std::from_chars(text.data() + kPrefix.size(), text.data() + text.size(), year);
        }
        return year;
    }

    const WholePage& page_;
    const PageClassTables& classes_;
    const SolverInputs& school_;
    const RuleTables& rules_;
    const SolutionHeader& solution_;
    SolutionPageInfo info_;
    std::vector<std::string> class_names_;
    std::vector<std::string> teacher_names_;
    std::map<std::string, int> class_numbers_;
    std::map<std::string, int> teacher_numbers_;
    std::vector<std::uint8_t> week_hours_;
    std::vector<JointLesson> joint_;
    ByteMatrix timetable_;
};

}  // namespace

std::optional<std::string> PageDisagreement(const WholePage& page, const SolverInputs& inputs,
                                            const RuleTables& rules) {
    std::string why;
    const std::string written = PageRewrite(page, page.classes, inputs, rules).Write(why);
    if (!why.empty()) {
        return why;
    }
    const std::optional<LineDifference> difference = page.reader.FirstLineDifference(written);
    if (!difference) {
        if (!page.reader.EndsWithLineBreak()) {
            return "η σελίδα τελειώνει χωρίς την αλλαγή γραμμής της τελευταίας γραμμής της";
        }
        return std::nullopt;
    }
    const std::string line = "γραμμή " + std::to_string(difference->line) + ": ";
    if (difference->found.empty()) {
        return line + "η σελίδα τελειώνει πριν από «" + difference->expected + "»";
    }
    if (difference->expected.empty()) {
        return line + "η σελίδα συνεχίζει μετά το τέλος της με «" + difference->found + "»";
    }
    return line + "«" + difference->found + "» στη θέση του «" + difference->expected + "»";
}

std::string PageWithTimetable(const WholePage& page, const SolverInputs& inputs,
                              const RuleTables& rules, const ByteMatrix& timetable,
                              const SolutionHeader& solution) {
    const std::map<std::string, int> classes = Numbers(inputs.class_names);
    PageClassTables tables = page.classes;
    for (PageRow& row : tables.rows) {
        const auto c = classes.find(row.table_name);
        if (c == classes.end() || AsIndex(c->second) >= timetable.rows()) {
            throw std::invalid_argument("το τμήμα «" + row.table_name + "» δεν είναι του σχολείου");
        }
        for (int s = 1; s <= kSlots; ++s) {
            const int t = timetable(AsIndex(c->second), AsIndex(s));
            row.cells[AsIndex(s)] = t == 0 ? std::string() : inputs.teacher_names[AsIndex(t)];
        }
    }
    std::string why;
    std::string written = PageRewrite(page, tables, inputs, rules, solution).Write(why);
    if (!why.empty()) {
        throw std::invalid_argument(why);
    }
    return written;
}

PageVerdict JudgePage(const WholePage& page, const std::string& school_name,
                      const SolverInputs& inputs, const RunOptions& options,
                      const RuleTables& rules) {
    PageVerdict verdict;
    if (page.classes.school_name != school_name) {
        verdict.outcome = PageVerdict::Outcome::kOtherSchool;
        return verdict;
    }
    PageTimetable read = TimetableOfPage(page.classes, inputs);
    if (!read.unknown.empty()) {
        verdict.outcome = PageVerdict::Outcome::kUnknownNames;
        verdict.reasons = std::move(read.unknown);
        return verdict;
    }
    verdict.timetable = std::move(read.timetable);
    TimetableJudgement judgement = JudgePageTimetable(inputs, options, rules, verdict.timetable);
    if (!judgement.KeepsRules()) {
        verdict.outcome = judgement.KeepsRulesOnlyAsSearched()
                              ? PageVerdict::Outcome::kKeepsRulesOnlyAsSearched
                              : PageVerdict::Outcome::kBreaksRules;
        verdict.violations = std::move(judgement.finished);
        for (const Violation& violation : verdict.violations) {
            verdict.reasons.push_back(ViolationLine(violation, inputs));
        }
        return verdict;
    }
    if (auto departs = PageDisagreement(page, inputs, rules)) {
        verdict.outcome = PageVerdict::Outcome::kAltered;
        verdict.reasons.push_back(std::move(*departs));
    }
    return verdict;
}

PageTimetable TimetableOfPage(const PageClassTables& page, const SolverInputs& inputs) {
    const std::map<std::string, int> classes = Numbers(inputs.class_names);
    const std::map<std::string, int> teachers = Numbers(inputs.teacher_names);
    PageTimetable result{ByteMatrix(AsIndex(inputs.number_of_classes) + 1, kSlotColumns), {}};
    std::vector<bool> seen(AsIndex(inputs.number_of_classes) + 1, false);
    for (const PageRow& row : page.rows) {
        const auto c = classes.find(row.table_name);
        if (c == classes.end()) {
            result.unknown.push_back("τμήμα «" + row.table_name + "»");
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
                result.unknown.push_back("διδάσκων «" + name + "» στο τμήμα " + row.table_name +
                                         ", " + SlotName(s));
                continue;
            }
            result.timetable(AsIndex(c->second), AsIndex(s)) = AsByte(t->second);
        }
    }
    for (int c = 1; c <= inputs.number_of_classes; ++c) {
        if (!seen[AsIndex(c)]) {
            result.unknown.push_back("το τμήμα " + inputs.class_names[AsIndex(c)] +
                                     " του σχολείου λείπει από τη σελίδα");
        }
    }
    return result;
}

TimetableJudgement JudgePageTimetable(const SolverInputs& inputs, const RunOptions& options,
                                      const RuleTables& rules, const ByteMatrix& timetable) {
    TimetableJudgement judgement;
    judgement.finished = VerifyTimetable(inputs, options, rules, timetable, VerifyMode::kFinished);
    judgement.as_searched_holds =
        !judgement.finished.empty() && VerifyTimetable(inputs, options, rules, timetable).empty();
    return judgement;
}

std::vector<Violation> BrokenInBothReadings(const SolverInputs& inputs, const RunOptions& options,
                                            const RuleTables& rules, const ByteMatrix& timetable) {
    TimetableJudgement judgement = JudgePageTimetable(inputs, options, rules, timetable);
    if (judgement.as_searched_holds) {
        return {};
    }
    return std::move(judgement.finished);
}

std::string UnreadablePageMessage(const std::string& path, const PageReadError& error) {
    const std::string what =
        error.line() == 0
            ? "Το αρχείο " + path + " δεν μπορεί να διαβαστεί."
            : "Η σελίδα " + path + " δεν είναι σελίδα λύσης του TAKTIRIO ή έχει αλλοιωθεί.";
    return what + "\r" + PageReadErrorText(error) + ".";
}

std::string PageRefusalMessage(const PageVerdict& verdict, const std::string& path,
                               const std::string& page_school, const std::string& school) {
    switch (verdict.outcome) {
        case PageVerdict::Outcome::kSound:
        case PageVerdict::Outcome::kBreaksRules:
            return {};
        case PageVerdict::Outcome::kKeepsRulesOnlyAsSearched: {
            std::string text = std::string(kKeepsRulesOnlyAsSearchedMessage);
            for (const std::string& line : verdict.reasons) {
                text += "\r  " + line;
            }
            return text;
        }
        case PageVerdict::Outcome::kOtherSchool:
            return "Η σελίδα " + path + " είναι λύση του σχολείου «" + page_school +
                   "», όχι του «" + school + "».";
        case PageVerdict::Outcome::kUnknownNames: {
            std::string text = "Η σελίδα " + path +
                               " δεν ταιριάζει με τα δεδομένα του σχολείου: ονόματα που δεν "
                               "υπάρχουν:";
            for (const std::string& item : verdict.reasons) {
                text += "\r  " + item;
            }
            return text;
        }
        case PageVerdict::Outcome::kAltered:
            // The timetable keeps the rules; the rest of the page is not the
            // one it makes.
            return "Η σελίδα " + path +
                   " έχει αλλοιωθεί: το γενικό πρόγραμμα ή τα προγράμματα των καθηγητών δεν "
                   "είναι αυτά που δίνουν τα προγράμματα των τμημάτων της.\r" +
                   verdict.reasons.front();
    }
    return {};
}

std::string ViolationLine(const Violation& v, const SolverInputs& inputs, RuleKeyShown key) {
    std::string where;
    const auto add = [&where](const std::string& part) {
        where += where.empty() ? part : ", " + part;
    };
    if (v.class_section >= 1 && v.class_section <= inputs.number_of_classes) {
        add("τμήμα " + ClassName(inputs, v.class_section));
    }
    if (v.teacher >= 1 && v.teacher <= inputs.number_of_teachers) {
        add("διδάσκων " + TeacherName(inputs, v.teacher));
    }
    if (IsSlot(v.slot)) {
        add(SlotName(v.slot));
    }
    const PlacementRule rule = PlacementRuleOf(v.rule);
    std::string line(RuleTitle(rule));
    line += where.empty() ? "" : ": " + where;
    line += v.detail.empty() ? "" : " (" + v.detail + ")";
    if (key == RuleKeyShown::kAtEnd) {
        line += " [" + std::string(RuleKey(rule)) + "]";
    }
    return line;
}

}  // namespace taktirio
