// taktirio-cli check under run options, and verify PAGE: a page the program
// wrote passes; pages edited to break one rule are caught under that rule;
// another school's page, unknown names and a damaged page get their own codes.
// taktirio-cli move PAGE: an exchange printed and saved as a page that passes
// verify, a refusal naming its rule, outputs that may not be replaced.
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli_support.h"
#include "core/common/narrow.h"
#include "core/edit/exchange_wording.h"
#include "core/edit/timetable_edit.h"
#include "core/pages/solution_page_reader.h"
#include "core/pages/solution_page_writer.h"
#include "core/rules/placement_rule.h"
#include "core/solver/slots.h"
#include "core/text/cp1253.h"
#include "core/text/wording.h"
#include "core/verify/page_verdict.h"
#include "data/database/database.h"
#include "data/exchange/school_document.h"
#include "data/load/problem_loader.h"
#include "data_test_support.h"

namespace taktirio::data::testing {
namespace {

TEST(CliCheck, TheLastHourLimitOfOneIsRefusedWithTheValueThatCounts) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemoSchoolFile} + at).code, 0);

    CliResult r = RunCli(QStringList{QStringLiteral("check")} + at);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(U("Τα δεδομένα πέρασαν τον έλεγχο.")));

    r = RunCli(
        QStringList{QStringLiteral("check"), QStringLiteral("--last-hours"), QStringLiteral("1")} +
        at);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(U("Δεν υπάρχει ωρολόγιο πρόγραμμα"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("1) Με όριο 1 τοποθετήσεων"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("Το όριο πρέπει να είναι τουλάχιστον 2"))) << r.err.toStdString();

    r = RunCli(
        QStringList{QStringLiteral("check"), QStringLiteral("--last-hours"), QStringLiteral("9")} +
        at);
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(U("Μη αποδεκτές τιμές.")));
}

// Two class sections taught together by a teacher pair, four hours a week.
SchoolDocument JointPairSchool() {
    SchoolDocument d;
    d.name = U("Σχολείο Ζεύγους");
    d.responsible = U("Υπεύθυνος");
    d.classes = {U("Α1"), U("Α2")};
    d.teachers = {U("Μ1"), U("Μ2")};
    for (int t = 1; t <= 8; ++t) {
        d.teachers.append(U("Δ%1").arg(t));
    }
    d.pairs = {{U("Μ1"), U("Μ2")}};
    for (int c = 0; c < 2; ++c) {
        d.allocation.append({d.classes[c], U("Μ1+Μ2"), 4, 0});
        for (int k = 1; k <= 4; ++k) {
            d.allocation.append({d.classes[c], U("Δ%1").arg(4 * c + k), k == 4 ? 7 : 8, 0});
        }
    }
    d.joint = {{U("Μ1+Μ2"), d.classes[0], d.classes[1]}};
    return d;
}

// A lesson pinned on Monday's 2nd hour of a class section of three hours
// (one row of its page: the 1st hour) would be on no page: the checks of
// every search and the run itself, even without checks, refuse the data,
// naming the class section, the teacher, the day and the hour. (One pinned
// beyond the hour positions but within the rows shown, as the loader's test
// school has, is still taken.)
TEST(CliCheck, ALessonPinnedBeyondItsClassSectionsHoursIsRefused) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    ASSERT_EQ(
        RunCli(QStringList{QStringLiteral("import"),
                           QStringLiteral(TAKTIRIO_DATA_FIXTURES "/pinned-beyond-hours.json")} +
               at)
            .code,
        0);
    const QString reason =
        U("Ο διδάσκων ΒΒ έχει κλειδωμένο μάθημα στο Α1 Δευτέρα 2η ώρα, μετά την τελευταία ώρα "
          "(1η) που έχει το τμήμα");
    const QStringList commands[] = {
        {QStringLiteral("check")},
        {QStringLiteral("check"), QStringLiteral("--search"), QStringLiteral("exact")},
        {QStringLiteral("solve"), QStringLiteral("--seed"), QStringLiteral("1")},
        {QStringLiteral("solve"), QStringLiteral("--seed"), QStringLiteral("1"),
         QStringLiteral("--no-checks")},
    };
    for (const QStringList& command : commands) {
        SCOPED_TRACE(command.join(u' ').toStdString());
        const CliResult r = RunCli(command + at);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
    }
    EXPECT_FALSE(
        QFileInfo::exists(dir.filePath(QStringLiteral("SOLUTIONS/HOMEBASE/SOLUTION1.htm"))));
}

TEST(CliCheck, APairGivingJointLessonsOnMoreDaysThanAMemberComesIsNamed) {
    QTemporaryDir dir;
    const QStringList at = {QStringLiteral("--dir"), dir.path()};
    const QString file = dir.filePath(QStringLiteral("school.json"));
    auto import = [&](const SchoolDocument& document) {
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(WriteSchoolDocument(document));
        out.close();
        const CliResult r = RunCli(QStringList{QStringLiteral("import"), file} + at);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
    };
    SchoolDocument school = JointPairSchool();
    import(school);
    CliResult r = RunCli(QStringList{QStringLiteral("check")} + at);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();

    // One member away on Monday and Tuesday: the pair comes three days.
    school.absent_days = {{U("Μ1"), 1}, {U("Μ1"), 2}};
    import(school);
    r = RunCli(QStringList{QStringLiteral("check")} + at);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(U("Μ1+Μ2 διδάσκει ταυτόχρονα στα τμήματα Α1 και Α2")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("χρειάζονται 4 ημέρες, αλλά είναι διαθέσιμες μόνο 3")))
        << r.err.toStdString();
}

// The demo school solved once, its page, and the problem as a run loads it.
struct SolvedDemo {
    QTemporaryDir dir;
    QString page;
    LoadedProblem problem;
    ByteMatrix timetable;
};

QStringList At(const SolvedDemo& demo) {
    return {QStringLiteral("--dir"), demo.dir.path()};
}

// The class tables of a page in the school's numbers.
class TimetableSink : public PageSink {
  public:
    explicit TimetableSink(const SolverInputs& in)
        : in_(in), timetable(AsIndex(in.number_of_classes) + 1, kSlotColumns) {}
    void Row(const PageRow& row) override {
        const std::string name = row.table_name.substr(std::string("ΤΜΗΜΑ: ").size());
        const int c = Find(in_.class_names, name);
        for (int s = 1; s <= kSlots; ++s) {
            if (!row.cells[AsIndex(s)].empty()) {
                timetable(AsIndex(c), AsIndex(s)) =
                    AsByte(Find(in_.teacher_names, row.cells[AsIndex(s)]));
            }
        }
    }
    static int Find(const std::vector<std::string>& names, const std::string& name) {
        const auto it = std::find(names.begin() + 1, names.end(), name);
        EXPECT_NE(it, names.end()) << name;
        return it == names.end() ? 0 : static_cast<int>(it - names.begin());
    }

  private:
    const SolverInputs& in_;

  public:
    ByteMatrix timetable;
};

const SolvedDemo& Demo() {
    static SolvedDemo* demo = [] {
        auto* d = new SolvedDemo;
        const QStringList at = {QStringLiteral("--dir"), d->dir.path()};
        EXPECT_EQ(RunCli(QStringList{QStringLiteral("import"), kDemoSchoolFile} + at).code, 0);
        const CliResult r = RunCli(QStringList{QStringLiteral("solve"), QStringLiteral("-n"),
                                               QStringLiteral("1"), QStringLiteral("--seed"),
                                               QStringLiteral("5"), QStringLiteral("--threads"),
                                               QStringLiteral("1"), QStringLiteral("--replace")} +
                                   at);
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        const QDir solutions(d->dir.filePath(QStringLiteral("SOLUTIONS")));
        const QString user = solutions.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
        d->page = solutions.filePath(user + QStringLiteral("/SOLUTION1.htm"));
        Database working = Database::Open(d->dir.filePath(QStringLiteral("DATA.sqlite")));
        d->problem = LoadProblem(working.connection(), user);
        TimetableSink sink(d->problem.inputs);
        SolutionPageReader::Open(d->page.toStdString()).ReadClassTables(sink);
        d->timetable = sink.timetable;
        return d;
    }();
    return *demo;
}

// The page of a timetable, written beside the demo's page.
QString WritePage(const ByteMatrix& timetable, const QString& name) {
    const SolvedDemo& demo = Demo();
    const SolverInputs& in = demo.problem.inputs;
    SolutionPageContent content;
    content.number_of_classes = in.number_of_classes;
    content.number_of_teachers = in.number_of_teachers;
    content.class_week_hours = in.class_week_hours;
    content.timetable = &timetable;
    content.class_names = in.class_names;
    content.teacher_names = in.teacher_names;
    content.solution_time_text = "0:0:0:1";
    content.joint_lessons = demo.problem.rules.JointLessons();
    content.year = 2026;
    const QString path = demo.dir.filePath(name);
    SolutionPageWriter::WriteFile(path.toStdString(),
                                  RenderSolutionPage(demo.problem.page_info, content));
    return path;
}

CliResult Verify(const QString& page, const QStringList& options = {}) {
    return RunCli(QStringList{QStringLiteral("verify"), page} + options + At(Demo()));
}

int Cell(const ByteMatrix& t, int c, int s) {
    return t(AsIndex(c), AsIndex(s));
}
bool Pinned(int c, int s) {
    return Demo().problem.inputs.pinned_lessons(AsIndex(c), AsIndex(s)) != 0;
}
bool Denied(int t, int s) {
    const RuleTables& rules = Demo().problem.rules;
    const auto denied = rules.DeniedSlots();
    return std::find(denied.begin(), denied.end(), DeniedSlot{AsByte(t), AsByte(s)}) !=
           denied.end();
}

// Swaps two cells of one class section; both must be searched lessons.
bool SwapWhere(ByteMatrix& t, const std::function<bool(int c, int s, int other)>& wanted) {
    const int C = Demo().problem.inputs.number_of_classes;
    for (int c = 1; c <= C; ++c) {
        for (int s = 1; s <= kSlots; ++s) {
            for (int other = 1; other <= kSlots; ++other) {
                if (s == other || Cell(t, c, s) == 0 || Cell(t, c, other) == 0 ||
                    Cell(t, c, s) == Cell(t, c, other) || Pinned(c, s) || Pinned(c, other) ||
                    !wanted(c, s, other)) {
                    continue;
                }
                std::swap(t(AsIndex(c), AsIndex(s)), t(AsIndex(c), AsIndex(other)));
                return true;
            }
        }
    }
    return false;
}

struct Edit {
    VerifyRule rule;
    std::function<bool(ByteMatrix&)> apply;
};

// Whether the tool's output holds a line of `rule`, as scripts and people read
// it: the rule's Greek name first, its key in brackets last.
bool HasRuleLine(const QString& out, VerifyRule rule) {
    const PlacementRule placement = PlacementRuleOf(rule);
    const QString title = QString::fromUtf8(RuleTitle(placement).data(),
                                            static_cast<qsizetype>(RuleTitle(placement).size()));
    const QString key =
        QStringLiteral(" [") + QString::fromLatin1(RuleName(rule).data()) + QStringLiteral("]");
    for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(title + QStringLiteral(": ")) && line.endsWith(key)) {
            return true;
        }
    }
    return false;
}

std::vector<Edit> Edits() {
    const RuleTables& rules = Demo().problem.rules;
    std::vector<Edit> edits;
    edits.push_back({VerifyRule::kHours, [](ByteMatrix& t) {
                         for (int s = 1; s <= kSlots; ++s) {
                             if (Cell(t, 1, s) != 0 && !Pinned(1, s)) {
                                 t(1, AsIndex(s)) = 0;
                                 return true;
                             }
                         }
                         return false;
                     }});
    edits.push_back({VerifyRule::kTeacherClash, [](ByteMatrix& t) {
                         for (int s = 1; s <= kSlots; ++s) {
                             if (Cell(t, 1, s) != 0 && !Pinned(1, s) && Cell(t, 4, s) != 0 &&
                                 !Pinned(4, s)) {
                                 t(4, AsIndex(s)) = t(1, AsIndex(s));
                                 return true;
                             }
                         }
                         return false;
                     }});
    edits.push_back({VerifyRule::kDeniedSlot, [](ByteMatrix& t) {
                         return SwapWhere(t, [&t](int c, int s, int other) {
                             return Denied(Cell(t, c, s), other);
                         });
                     }});
    edits.push_back({VerifyRule::kPinned, [](ByteMatrix& t) {
                         const int C = Demo().problem.inputs.number_of_classes;
                         for (int c = 1; c <= C; ++c) {
                             for (int s = 1; s <= kSlots; ++s) {
                                 if (Pinned(c, s)) {
                                     for (int other = 1; other <= kSlots; ++other) {
                                         if (Cell(t, c, other) != 0 &&
                                             Cell(t, c, other) != Cell(t, c, s)) {
                                             std::swap(t(AsIndex(c), AsIndex(s)),
                                                       t(AsIndex(c), AsIndex(other)));
                                             return true;
                                         }
                                     }
                                 }
                             }
                         }
                         return false;
                     }});
    edits.push_back({VerifyRule::kJoint, [&rules](ByteMatrix& t) {
                         const int c2 = rules.JointLessons().front().class2;
                         const int j = rules.JointLessons().front().teacher;
                         return SwapWhere(t, [&t, c2, j](int c, int s, int /*other*/) {
                             return c == c2 && Cell(t, c, s) == j;
                         });
                     }});
    edits.push_back({VerifyRule::kSameHour, [&rules](ByteMatrix& t) {
                         // A lesson of the second teacher of a pair moved, in a later class
                         // section, to a slot where the first teaches an earlier one.
                         const int a = rules.SameHourPairs().front().first;
                         const int b = rules.SameHourPairs().front().second;
                         const int C = Demo().problem.inputs.number_of_classes;
                         for (int c = 1; c <= C; ++c) {
                             for (int s = 1; s <= kSlots; ++s) {
                                 if (Cell(t, c, s) != a) {
                                     continue;
                                 }
                                 for (int later = c + 1; later <= C; ++later) {
                                     if (Cell(t, later, s) != 0 && !Pinned(later, s)) {
                                         t(AsIndex(later), AsIndex(s)) = AsByte(b);
                                         return true;
                                     }
                                 }
                             }
                         }
                         return false;
                     }});
    edits.push_back({VerifyRule::kSplit, [&rules](ByteMatrix& t) {
                         const int c = rules.Splits().front().class_section;
                         const int t1 = rules.Splits().front().first;
                         const int t2 = rules.Splits().front().second;
                         // Bring a lesson of the first teacher onto a day of the second.
                         return SwapWhere(t, [&t, c, t1, t2](int cc, int s, int other) {
                             if (cc != c || Cell(t, cc, s) != t1) {
                                 return false;
                             }
                             for (int p = DayOfSlot(other); p <= kSlots; p += kDays) {
                                 if (Cell(t, cc, p) == t2 && p != other) {
                                     return true;
                                 }
                             }
                             return false;
                         });
                     }});
    edits.push_back({VerifyRule::kClassDay, [](ByteMatrix& t) {
                         // A third lesson of a teacher on a day where it already has two.
                         return SwapWhere(t, [&t](int c, int s, int other) {
                             int held = 0;
                             for (int p = DayOfSlot(other); p <= kSlots; p += kDays) {
                                 held += Cell(t, c, p) == Cell(t, c, s) && p != s ? 1 : 0;
                             }
                             return held >= 2 && DayOfSlot(s) != DayOfSlot(other);
                         });
                     }});
    return edits;
}

TEST(CliVerify, APageTheProgramWrotePassesAndPrintsNothing) {
    const CliResult r = Verify(Demo().page);
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    // The same timetable written again by the test passes too.
    const CliResult again = Verify(WritePage(Demo().timetable, QStringLiteral("again.htm")));
    EXPECT_EQ(again.code, 0) << again.out.toStdString() << again.err.toStdString();
}

TEST(CliVerify, APageEditedToBreakARuleIsCaughtUnderThatRule) {
    for (const Edit& edit : Edits()) {
        ByteMatrix timetable = Demo().timetable;
        const std::string name(RuleName(edit.rule));
        ASSERT_TRUE(edit.apply(timetable)) << name << ": no place to break it";
        const CliResult r =
            Verify(WritePage(timetable, QString::fromStdString(name) + QStringLiteral(".htm")));
        EXPECT_EQ(r.code, 1) << name;
        EXPECT_TRUE(HasRuleLine(r.out, edit.rule)) << name << "\n" << r.out.toStdString();
    }
}

TEST(CliVerify, TheRunOptionsOfTheCommandLineAreChecked) {
    // The page was found without a last-hour limit; under a limit of 1 it breaks it.
    const CliResult r = Verify(Demo().page, {QStringLiteral("--last-hours"), QStringLiteral("1")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.contains(U("τελευταίες ώρες: τμήμα "))) << r.out.toStdString();
    EXPECT_TRUE(HasRuleLine(r.out, VerifyRule::kLastHours)) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(U("η ώρα"))) << r.out.toStdString();
}

// Each option set that the demo's page breaks only as a teacher's week counts
// it (every hour of the person, pinned ones and those through a pair), or
// breaks in both readings: the lines printed are exactly the finished
// reading's, never a line that only the reading as searched produces.
TEST(CliVerify, APageKeepingTheRulesOnlyAsSearchedHasItsOwnCodeAndTheFinishedLines) {
    const SolvedDemo& demo = Demo();
    const std::vector<QStringList> option_sets = {
        {QStringLiteral("--day-hours"), QStringLiteral("5")},
        {QStringLiteral("--day-hours"), QStringLiteral("6")},
        {QStringLiteral("--max-four-in-a-row")},
        {QStringLiteral("--last-hours"), QStringLiteral("1"),
         QStringLiteral("--max-four-in-a-row")},
        {QStringLiteral("--last-hours"), QStringLiteral("4")},
    };
    int only_as_searched = 0;
    int kept = 0;
    for (const QStringList& options : option_sets) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        RunOptions run;
        run.day_hours_limit_on = options.contains(QStringLiteral("--day-hours"));
        run.day_hours_limit = AsByte(run.day_hours_limit_on ? options.value(1).toInt() : 10);
        run.four_hour_run_limit_on = options.contains(QStringLiteral("--max-four-in-a-row"));
        run.last_hours_limit_on = options.contains(QStringLiteral("--last-hours"));
        run.last_hours_limit = AsByte(run.last_hours_limit_on ? options.value(1).toInt() : 5);
        const TimetableJudgement judgement =
            JudgePageTimetable(demo.problem.inputs, run, demo.problem.rules, demo.timetable);
        const CliResult r = Verify(demo.page, options);
        QStringList expected;
        for (const Violation& v : judgement.finished) {
            expected << QString::fromStdString(
                ViolationLine(v, demo.problem.inputs, RuleKeyShown::kAtEnd));
        }
        if (judgement.KeepsRules()) {
            EXPECT_EQ(r.code, 0) << r.out.toStdString();
            ++kept;
            continue;
        }
        QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
        if (judgement.KeepsRulesOnlyAsSearched()) {
            ++only_as_searched;
            EXPECT_EQ(r.code, 11) << r.out.toStdString();
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(
                lines.takeFirst(),
                QString::fromUtf8(kKeepsRulesOnlyAsSearchedMessage.data(),
                                  static_cast<qsizetype>(kKeepsRulesOnlyAsSearchedMessage.size())));
            for (QString& line : lines) {
                line = line.trimmed();
            }
        } else {
            EXPECT_EQ(r.code, 1) << r.out.toStdString();
        }
        EXPECT_EQ(lines, expected);
    }
    // The demo's page has a teacher with six hours on a day, one of them
    // pinned: under a limit of five only the finished reading counts it.
    EXPECT_GT(only_as_searched, 0);
    EXPECT_GT(kept, 0);
}

TEST(CliVerify, OtherSchoolsUnknownNamesAndDamagedPagesHaveTheirOwnCodes) {
    const SolvedDemo& demo = Demo();
    const QByteArray bytes = FileBytes(demo.page);
    auto write = [&demo](const QString& name, const QByteArray& content) {
        const QString path = demo.dir.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return path;
    };
    const QByteArray school =
        QByteArray::fromStdString(Utf8ToCp1253(demo.problem.page_info.school_name));
    ASSERT_TRUE(bytes.contains(school));

    QByteArray other = bytes;
    other.replace(school, QByteArray::fromStdString(Utf8ToCp1253("Άλλο Σχολείο")));
    CliResult r = Verify(write(QStringLiteral("other.htm"), other));
    EXPECT_EQ(r.code, 8);
    EXPECT_TRUE(r.err.contains(U("είναι λύση του σχολείου «Άλλο Σχολείο»"))) << r.err.toStdString();

    const QByteArray a1 = QByteArray::fromStdString(Utf8ToCp1253("ΤΜΗΜΑ: <u>Α1<"));
    ASSERT_TRUE(bytes.contains(a1));
    QByteArray renamed = bytes;
    renamed.replace(a1, QByteArray::fromStdString(Utf8ToCp1253("ΤΜΗΜΑ: <u>Ω9<")));
    r = Verify(write(QStringLiteral("renamed.htm"), renamed));
    EXPECT_EQ(r.code, 9);
    EXPECT_TRUE(r.err.contains(U("τμήμα «Ω9»"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(U("το τμήμα Α1 του σχολείου λείπει"))) << r.err.toStdString();

    // Cut in the middle of the class sections' tables.
    r = Verify(write(QStringLiteral("cut.htm"), bytes.left(bytes.indexOf(a1) + 300)));
    EXPECT_EQ(r.code, 10);
    EXPECT_TRUE(r.err.contains(U("έχει αλλοιωθεί"))) << r.err.toStdString();

    // Cut after its last timetable, or altered where only the general plan
    // or the teachers' timetables show: the page is read whole.
    const QByteArray teacher_cell = "<td nowrap><div align='center'><strong>";
    QByteArray emptied = bytes;
    for (qsizetype at = emptied.indexOf(teacher_cell); at >= 0;
         at = emptied.indexOf(teacher_cell, at)) {
        const qsizetype end = emptied.indexOf("</td>", at) + 5;
        emptied.replace(at, end - at, "<td nowrap>&nbsp;</td>");
    }
    const QByteArray plan_name =
        "<td nowrap><strong>" +
        QByteArray::fromStdString(Utf8ToCp1253(demo.problem.inputs.teacher_names[2]));
    ASSERT_TRUE(bytes.contains(plan_name));
    QByteArray renamed_in_plan = bytes;
    renamed_in_plan.replace(
        renamed_in_plan.indexOf(plan_name), plan_name.size(),
        "<td nowrap><strong>" + QByteArray::fromStdString(Utf8ToCp1253("ΑΛΛΟΣ ΚΑΘΗΓΗΤΗΣ")));
    const struct {
        const char* name;
        QByteArray page;
    } altered[] = {
        {"before-body.htm", bytes.left(bytes.lastIndexOf("</body>"))},
        {"before-html.htm", bytes.left(bytes.lastIndexOf("</html>"))},
        {"teachers-emptied.htm", emptied},
        {"plan-renamed.htm", renamed_in_plan},
    };
    for (const auto& page : altered) {
        r = Verify(write(QString::fromLatin1(page.name), page.page));
        EXPECT_EQ(r.code, 10) << page.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(U("έχει αλλοιωθεί"))) << r.err.toStdString();
    }

    r = Verify(demo.dir.filePath(QStringLiteral("missing.htm")));
    EXPECT_EQ(r.code, 4);
}

// The first request of the demo's timetable, class section by class section
// and slot by slot, that the editor answers with an exchange (or refuses).
std::optional<MoveRequest> FirstRequest(const TimetableEditor& editor, bool keeps_rules) {
    const SolvedDemo& demo = Demo();
    for (int c = 1; c <= demo.problem.inputs.number_of_classes; ++c) {
        for (int from = 1; from <= kSlots; ++from) {
            for (int to = 1; to <= kSlots; ++to) {
                const MoveRequest request{c, from, to};
                if (demo.timetable(AsIndex(c), AsIndex(to)) == 0 ||
                    RequestProblem(demo.problem.inputs, demo.timetable, request)) {
                    continue;
                }
                if (editor.Propose(demo.timetable, request).keeps_rules == keeps_rules) {
                    return request;
                }
            }
        }
    }
    return std::nullopt;
}

QStringList MoveArguments(const MoveRequest& request) {
    const SolvedDemo& demo = Demo();
    const auto place = [](int slot) {
        return QStringLiteral("%1,%2").arg(DayOfSlot(slot)).arg(HourOfSlot(slot));
    };
    return QStringList{QStringLiteral("move"),
                       demo.page,
                       QStringLiteral("--class"),
                       QString::fromStdString(
                           demo.problem.inputs.class_names[AsIndex(request.class_section)]),
                       QStringLiteral("--from"),
                       place(request.from_slot),
                       QStringLiteral("--to"),
                       place(request.to_slot)} +
           At(demo);
}

TEST(CliMove, AnExchangeIsPrintedAndSavedAsAPageThatPassesVerify) {
    const SolvedDemo& demo = Demo();
    const RunOptions options;
    const TimetableEditor editor(demo.problem.inputs, options, demo.problem.rules);
    const std::optional<MoveRequest> request = FirstRequest(editor, true);
    ASSERT_TRUE(request.has_value());
    const MoveProposal proposal = editor.Propose(demo.timetable, *request);
    const QString output = demo.dir.filePath(QStringLiteral("moved.htm"));
    const CliResult r = RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), output});
    ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    for (const CellChange& change : proposal.changes) {
        const QString line =
            QString::fromStdString(demo.problem.inputs.class_names[AsIndex(change.class_section)]) +
            QStringLiteral(", ") + QString::fromStdString(SlotName(change.slot)) +
            QStringLiteral(": ");
        EXPECT_TRUE(r.out.contains(line)) << line.toStdString() << "\n" << r.out.toStdString();
    }
    // The window's wording, line for line: the headline with the gap
    // totals, then each cell and each person's gaps, indented.
    const ExchangeWording words =
        WordExchange(editor, demo.problem.inputs, demo.timetable, proposal);
    std::string said = words.headline + "\n";
    for (const std::string& line : words.lines) {
        said += "  " + line + "\n";
    }
    EXPECT_TRUE(r.out.toStdString().starts_with(said)) << said << "\n" << r.out.toStdString();
    EXPECT_TRUE(said.find(", κενά συνολικά ") != std::string::npos) << said;
    EXPECT_TRUE(said.find("\n  Κενά: ") != std::string::npos) << said;
    EXPECT_EQ(Verify(output).code, 0);
    TimetableSink sink(demo.problem.inputs);
    SolutionPageReader::Open(output.toStdString()).ReadClassTables(sink);
    ByteMatrix expected = demo.timetable;
    ApplyChanges(expected, proposal.changes);
    EXPECT_EQ(sink.timetable, expected);
}

// A page written under a new name says which solution it is: SOLUTION<n>.htm
// is solution n, with a count no page of its folder numbers past; any other
// name keeps the number of the page it was edited from.
TEST(CliMove, ASavedPageCarriesItsOwnNumberNameAndATrueCount) {
    const SolvedDemo& demo = Demo();
    const TimetableEditor editor(demo.problem.inputs, RunOptions{}, demo.problem.rules);
    const std::optional<MoveRequest> request = FirstRequest(editor, true);
    ASSERT_TRUE(request.has_value());
    QTemporaryDir folder;
    QFile later(folder.filePath(QStringLiteral("SOLUTION9.htm")));  // a page further on
    ASSERT_TRUE(later.open(QIODevice::WriteOnly));
    later.close();
    struct Case {
        QString name;
        int number;
        int count;
        std::string file_name;
    };
    // The demo page is solution 1 of 1.
    const Case cases[] = {
        {QStringLiteral("SOLUTION6.htm"), 6, 9, "SOLUTION6.htm"},
        {QStringLiteral("edited.htm"), 1, 9, "SOLUTION1.htm"},
        {QStringLiteral("SOLUTION06.htm"), 1, 9, "SOLUTION1.htm"},
    };
    for (const Case& c : cases) {
        const QString output = folder.filePath(c.name);
        const CliResult r =
            RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), output});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        const WholePage page = ReadWholePage(output.toStdString());
        EXPECT_EQ(page.solution.solution, c.number) << c.name.toStdString();
        EXPECT_EQ(page.solution.requested, c.count) << c.name.toStdString();
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains(
            QByteArray::fromStdString("File Name=<strong>" + c.file_name + "</strong>")))
            << c.name.toStdString();
        EXPECT_EQ(Verify(output).code, 0) << c.name.toStdString();
    }
    // Within the folder alone the count follows the page's own number.
    QTemporaryDir alone;
    const QString output = alone.filePath(QStringLiteral("SOLUTION4.htm"));
    ASSERT_EQ(RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), output}).code, 0);
    EXPECT_EQ(ReadWholePage(output.toStdString()).solution.requested, 4);
}

TEST(CliMove, ARefusalNamesItsRuleAndNothingIsWritten) {
    const SolvedDemo& demo = Demo();
    const RunOptions options;
    const TimetableEditor editor(demo.problem.inputs, options, demo.problem.rules);
    const std::optional<MoveRequest> request = FirstRequest(editor, false);
    ASSERT_TRUE(request.has_value());
    const MoveProposal proposal = editor.Propose(demo.timetable, *request);
    const QString output = demo.dir.filePath(QStringLiteral("refused.htm"));
    const CliResult r = RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), output});
    EXPECT_EQ(r.code, 1);
    ASSERT_FALSE(proposal.blocking.empty());
    EXPECT_TRUE(r.out.contains(QString::fromStdString(
        ViolationLine(proposal.blocking.front(), demo.problem.inputs, RuleKeyShown::kAtEnd))))
        << r.out.toStdString();
    // What stands in the way, in plain words, before the rules.
    for (const std::string& line : editor.InTheWay(demo.timetable, proposal)) {
        EXPECT_TRUE(r.out.contains(QStringLiteral("\n  ") + QString::fromStdString(line)))
            << line << "\n"
            << r.out.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(output));
}

TEST(CliMove, TheProgramsFilesAndThePageItselfAreNeverReplaced) {
    const SolvedDemo& demo = Demo();
    const RunOptions options;
    const TimetableEditor editor(demo.problem.inputs, options, demo.problem.rules);
    const std::optional<MoveRequest> request = FirstRequest(editor, true);
    ASSERT_TRUE(request.has_value());
    for (const QString& output : {demo.page, demo.dir.filePath(QStringLiteral("DATA2.sqlite"))}) {
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const CliResult r =
            RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), output});
        EXPECT_EQ(r.code, 3) << output.toStdString();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before) << output.toStdString();
    }
    // A place that is no day and hour, and a class section the school lacks.
    QStringList bad = MoveArguments(*request);
    bad[bad.indexOf(QStringLiteral("--to")) + 1] = QStringLiteral("6,1");
    EXPECT_EQ(RunCli(bad).code, 2);
    bad = MoveArguments(*request);
    bad[bad.indexOf(QStringLiteral("--class")) + 1] = QStringLiteral("Ω9");
    EXPECT_EQ(RunCli(bad).code, 2);
    // An output without a name is no output left out.
    const CliResult r = RunCli(MoveArguments(*request) + QStringList{QStringLiteral("-o"), {}});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(U("Η επιλογή -o της εντολής move θέλει το όνομα του αρχείου")))
        << r.err.toStdString();
}

// What is no regular file is refused as a page at once, as import refuses it
// as a school file: a pipe would keep verify and move waiting for a writer,
// and /dev/zero never ends.
TEST(CliVerify, APageThatIsNoRegularFileIsRefusedAtOnce) {
    const SolvedDemo& demo = Demo();
    const TimetableEditor editor(demo.problem.inputs, RunOptions{}, demo.problem.rules);
    const std::optional<MoveRequest> request = FirstRequest(editor, true);
    ASSERT_TRUE(request.has_value());
    QTemporaryDir scratch;
    const QString pipe = scratch.filePath(QStringLiteral("SOLUTION1.htm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& page : {pipe, QStringLiteral("/dev/zero"), scratch.path()}) {
        QStringList move = MoveArguments(*request);
        move[move.indexOf(demo.page)] = page;
        for (const QStringList& arguments :
             {QStringList{QStringLiteral("verify"), page} + At(demo), move}) {
            SCOPED_TRACE(arguments.join(u' ').toStdString());
            const CliResult r = RunCli(arguments, 20000);
            EXPECT_EQ(r.code, 4);
            EXPECT_TRUE(r.err.contains(U("δεν είναι κανονικό αρχείο"))) << r.err.toStdString();
        }
    }
}

}  // namespace
}  // namespace taktirio::data::testing
