// The reports drawn to PDF from a page's work tables and read back with
// pdftotext: every cell of the demo timetable in its report, the general
// plan's seven strips, the summary's legend, the page counts of a 30-class
// school and every Greek letter.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QSet>
#include <csignal>

#include "core/solver/slots.h"
#include "reports/layouts/plan_reports.h"
#include "reports/pdf_support.h"

namespace taktirio::reports::testing {
namespace {

using data::PrintReading;
using data::PrintTables;
using data::testing::DemoPrintedSchool;
using data::testing::Ix;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString PageNumber(int page, int pages) {
    return QStringLiteral("%1 / %2").arg(page).arg(pages);
}

class ReportPdfTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QTemporaryDir dir_;
};

// One page per class section with its name, the school header and each of
// its lessons' teachers; the same for the teachers and their class sections.
TEST_F(ReportPdfTest, ClassAndTeacherTimetablesShowEveryCell) {
    const PrintedSchool& school = DemoPrintedSchool();
    PrintedPage printed(dir_, school.bytes);
    const QStringList classes =
        PdfPages(printed.Pdf(QStringLiteral("REPORT2"), printed.Tables(PrintReading::kClasses)));
    ASSERT_EQ(classes.size(), school.inputs.number_of_classes);
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        const QString& text = classes[c - 1];
        EXPECT_TRUE(
            text.contains(QString::fromUtf8("ΤΜΗΜΑ: ") + Q(school.inputs.class_names[Ix(c)])));
        EXPECT_TRUE(text.contains(QString::fromUtf8("3ο ΓΥΜΝΑΣΙΟ ΛΑΡΙΣΑΣ")));
        EXPECT_TRUE(text.contains(QString::fromUtf8("ΣΧΟΛΙΚΗ ΧΡΟΝΙΑ 2025-2026")));
        EXPECT_TRUE(text.contains(QString::fromUtf8("Ωρολόγιο Πρόγραμμα των Τμημάτων")));
        EXPECT_TRUE(text.contains(PageNumber(c, school.inputs.number_of_classes)));
        for (int s = 1; s <= kSlots; ++s) {
            if (const int t = school.timetable(Ix(c), Ix(s)); t != 0) {
                EXPECT_TRUE(text.contains(Q(school.inputs.teacher_names[Ix(t)])))
                    << school.inputs.class_names[Ix(c)] << " slot " << s;
            }
        }
    }

    const PrintTables tables = printed.Tables(PrintReading::kTeachers);
    const QStringList teachers = PdfPages(printed.Pdf(QStringLiteral("REPORT1"), tables));
    ASSERT_EQ(teachers.size(), tables.rows.size());
    int page = 0;
    for (int t = 1; t <= school.inputs.number_of_teachers; ++t) {
        if (!school.IsSingle(t)) {
            continue;
        }
        const QString& text = teachers[page++];
        EXPECT_TRUE(text.contains(QString::fromUtf8("ΚΑΘΗΓΗΤΗΣ: ") +
                                  Q(school.inputs.teacher_names[Ix(t)])));
        for (int s = 1; s <= kSlots; ++s) {
            for (const std::string& class_name : school.ClassesOf(t, s)) {
                EXPECT_TRUE(text.contains(Q(class_name))) << school.inputs.teacher_names[Ix(t)];
            }
        }
    }
}

// All seven strips in one PDF, in the order of their letters, each page
// with its letter and number; strip A lists the teachers, strip H their hours.
TEST_F(ReportPdfTest, GeneralPlanHasAllSevenStrips) {
    PrintedPage printed(dir_, DemoPrintedSchool().bytes);
    const PrintTables tables = printed.Tables(PrintReading::kGeneralPlan);
    const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
    EXPECT_EQ(WritePdf(pdf, MakeReports(PrintReading::kGeneralPlan, tables)), 7);
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 7);
    const QStringList letters = {
        QStringLiteral("A"), QStringLiteral("B"), QString::fromUtf8("Γ"), QString::fromUtf8("Δ"),
        QStringLiteral("E"), QStringLiteral("Z"), QStringLiteral("H")};
    const QStringList subtitles = {QString::fromUtf8("Διδάσκοντες"),
                                   QString::fromUtf8("Δευτέρα"),
                                   QString::fromUtf8("Τρίτη"),
                                   QString::fromUtf8("Τετάρτη"),
                                   QString::fromUtf8("Πέμπτη"),
                                   QString::fromUtf8("Παρασκευή"),
                                   QString::fromUtf8("Σύνολο ωρών διδασκαλίας")};
    for (int k = 0; k < 7; ++k) {
        EXPECT_TRUE(pages[k].contains(letters[k] + QStringLiteral(" 1 / 1"))) << k;
        EXPECT_TRUE(pages[k].contains(subtitles[k])) << k;
        EXPECT_TRUE(
            pages[k].contains(QString::fromUtf8("Γενικό Πλάνο του Ωρολογίου Προγράμματος")));
    }
    for (const data::WorkRow& row : tables.rows) {
        EXPECT_TRUE(pages[0].contains(QString::number(*row.ordinal) + u' ' + row.name))
            << row.name.toStdString();
        for (int day = 1; day <= kDays; ++day) {
            for (int hour = 1; hour <= kMaxHoursPerDay; ++hour) {
                const QString& cell = row.cells[Ix(SlotOf(day, hour))];
                if (!cell.isEmpty() && cell != QLatin1String(data::kCommonFreeHourMark)) {
                    EXPECT_TRUE(pages[day].contains(cell));
                }
            }
        }
    }
    // Shaded, not written: the mark itself never reaches the paper.
    for (const QString& page : pages) {
        EXPECT_FALSE(page.contains(QLatin1String(data::kCommonFreeHourMark)));
    }
    QString hours;
    for (const data::WorkRow& row : tables.rows) {
        hours += QString::number(*row.weekly_hours) + u' ';
    }
    EXPECT_TRUE(pages[6].contains(hours.trimmed()));
}

// Part 1 has every class section; part 2 every number with its teacher.
TEST_F(ReportPdfTest, SummaryHasEveryClassAndTheLegendEveryNumber) {
    const PrintedSchool& school = DemoPrintedSchool();
    PrintedPage printed(dir_, school.bytes);
    const PrintTables tables = printed.Tables(PrintReading::kSummary);
    const QString pdf = dir_.filePath(QStringLiteral("summary.pdf"));
    WritePdf(pdf, MakeReports(PrintReading::kSummary, tables));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QString::fromUtf8("Μέρος 1")));
    for (int c = 1; c <= school.inputs.number_of_classes; ++c) {
        EXPECT_TRUE(pages[0].contains(Q(school.inputs.class_names[Ix(c)])));
    }
    EXPECT_TRUE(pages[1].contains(QString::fromUtf8("Μέρος 2")));
    ASSERT_GT(tables.names.size(), 20);
    for (const data::NumberedName& entry : tables.names) {
        EXPECT_TRUE(pages[1].contains(QString::number(entry.number) + u' ' + entry.name))
            << entry.number;
    }
}

// A 30-class school: one page per class section and per teacher; the strips
// share their page count, every page but the last of a strip is full and
// strip A holds every teacher once, in order.
TEST_F(ReportPdfTest, PageCountsOfAThirtyClassSchool) {
    const PrintedSchool school = data::testing::GeneratedPrintedSchool(30, 2026);
    PrintedPage printed(dir_, school.bytes);
    EXPECT_EQ(PdfPageCount(
                  printed.Pdf(QStringLiteral("REPORT2"), printed.Tables(PrintReading::kClasses))),
              30);
    const PrintTables teachers = printed.Tables(PrintReading::kTeachers);
    EXPECT_EQ(PdfPageCount(printed.Pdf(QStringLiteral("REPORT1"), teachers)), teachers.rows.size());

    const PrintTables plan = printed.Tables(PrintReading::kGeneralPlan);
    const qsizetype count = plan.rows.size();
    ASSERT_GT(count, 60);
    const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
    const int total = WritePdf(pdf, MakeReports(PrintReading::kGeneralPlan, plan));
    ASSERT_EQ(total % 7, 0);
    const int per_strip = total / 7;
    EXPECT_GE(per_strip, 2);
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), total);
    for (int p = 0; p < per_strip; ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("A ") + PageNumber(p + 1, per_strip)));
        EXPECT_TRUE(
            pages[6 * per_strip + p].contains(QStringLiteral("H ") + PageNumber(p + 1, per_strip)));
    }
    // Each teacher on one page of strip A, in plan order.
    std::vector<int> rows_on_page(static_cast<std::size_t>(per_strip), 0);
    int page = 0;
    for (qsizetype r = 0; r < count; ++r) {
        const QString entry = QString::number(r + 1) + u' ' + plan.rows[r].name;
        while (page < per_strip && !pages[page].contains(entry)) {
            ++page;
        }
        ASSERT_LT(page, per_strip) << "row " << r << " not found in order";
        ++rows_on_page[static_cast<std::size_t>(page)];
    }
    for (int p = 1; p + 1 < per_strip; ++p) {
        EXPECT_EQ(rows_on_page[static_cast<std::size_t>(p)], rows_on_page[0]);
    }
    EXPECT_LE(rows_on_page.back(), rows_on_page[0]);
    EXPECT_GT(rows_on_page.back(), 0);

    const PrintTables summary = printed.Tables(PrintReading::kSummary);
    EXPECT_EQ(PdfPageCount(printed.Pdf(QStringLiteral("REPORT11"), summary)), 1);
    const QStringList legend = PdfPages(printed.Pdf(QStringLiteral("REPORT12"), summary));
    ASSERT_FALSE(legend.isEmpty());
    for (const data::NumberedName& entry : summary.names) {
        bool found = false;
        for (const QString& legend_page : legend) {
            found |= legend_page.contains(QString::number(entry.number) + u' ' + entry.name);
        }
        EXPECT_TRUE(found) << entry.number;
    }
}

// A school whose names use every Greek letter, with accents and diaereses:
// each name comes out of the PDF as it went in.
TEST_F(ReportPdfTest, EveryGreekLetterComesOutOfThePdf) {
    const std::vector<std::string> names = {
        "",        "ΑΒΓΔΕΖΗΘΙΚΛΜ", "ΝΞΟΠΡΣΤΥΦΧΨΩ", "αβγδεζηθικλμ", "νξοπρσςτυφχψω",
        "ΆΈΉΊΌΎΏ", "άέήίόύώ",      "ΪΫ ϊϋ ΐΰ"};
    PrintedSchool school;
    school.inputs = SolverInputs::Sized(2, 7);
    school.inputs.class_names = {"", "Ά1", "Ϋ2"};
    school.timetable = ByteMatrix(3, kSlotColumns);
    for (int t = 1; t <= 7; ++t) {
        school.inputs.teacher_names[Ix(t)] = names[Ix(t)];
        school.timetable(1, Ix(t)) = data::testing::Byte(t);
        school.timetable(2, Ix(8 - t)) = data::testing::Byte(t);
    }
    school.inputs.class_week_hours = {0, 7, 7};
    school.school_name = "Σχολείο Ϊώάννινα Ϋ ΐ ΰ";
    school.year = 2024;
    school.bytes = data::testing::RenderPage(school);
    PrintedPage printed(dir_, school.bytes);

    const QString classes =
        PdfPages(printed.Pdf(QStringLiteral("REPORT2"), printed.Tables(PrintReading::kClasses)))
            .join(u' ');
    const QString teachers =
        PdfPages(printed.Pdf(QStringLiteral("REPORT1"), printed.Tables(PrintReading::kTeachers)))
            .join(u' ');
    EXPECT_TRUE(classes.contains(Q(school.school_name))) << classes.toStdString();
    for (int t = 1; t <= 7; ++t) {
        EXPECT_TRUE(classes.contains(Q(names[Ix(t)]))) << names[Ix(t)];
        EXPECT_TRUE(teachers.contains(QString::fromUtf8("ΚΑΘΗΓΗΤΗΣ: ") + Q(names[Ix(t)])))
            << names[Ix(t)];
    }
    EXPECT_TRUE(teachers.contains(QString::fromUtf8("Ά1")));
    EXPECT_TRUE(teachers.contains(QString::fromUtf8("Ϋ2")));
}

// The PDF is written beside its name and renamed over it: a write that fails
// half-way (here a file-size limit, as a full disk would) leaves the previous
// file whole and no temporary file behind.
TEST_F(ReportPdfTest, APdfThatCannotBeWrittenWholeLeavesThePreviousFile) {
    PrintedPage printed(dir_, DemoPrintedSchool().bytes);
    const PrintTables tables = printed.Tables(PrintReading::kGeneralPlan);
    const QString pdf = dir_.filePath(QStringLiteral("plan.pdf"));
    ASSERT_EQ(WritePdf(pdf, MakeReports(PrintReading::kGeneralPlan, tables)), 7);
    const QByteArray before = data::testing::FileBytes(pdf);
    const QStringList files = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 8192;
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool refused = false;
    try {
        WritePdf(pdf, MakeReports(PrintReading::kGeneralPlan, tables));
    } catch (const ReportOutputError& error) {
        refused = error.message().contains(pdf);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_TRUE(refused);
    EXPECT_EQ(data::testing::FileBytes(pdf), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), files);
}

}  // namespace
}  // namespace taktirio::reports::testing
