// A print preview draws the layout on a QPrinter after the user's page
// set-up: the layout takes the page as the printer has it.
#include <gtest/gtest.h>

#include <QPrinter>

#include "reports/layouts/plan_reports.h"
#include "reports/layouts/timetable_reports.h"
#include "reports/pdf_support.h"

namespace taktirio::reports::testing {
namespace {

QString PageSize(const QString& pdf) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+ x [0-9.]+) pts"))
            .match(RunTool(QStringLiteral("pdfinfo"), {pdf}));
    return match.captured(1);
}

TEST(Printer, LayoutFollowsThePageSetUp) {
    QTemporaryDir dir;
    PrintedPage printed(dir, data::testing::DemoPrintedSchool().bytes);
    const data::PrintTables classes = printed.Tables(data::PrintReading::kClasses);
    const Report2 timetable(classes);

    struct Case {
        const char* name;
        QPageLayout::Orientation orientation;
        const char* size;
    };
    const Case cases[] = {{"as set up", QPageLayout::Landscape, "842 x 595"},
                          {"turned to portrait", QPageLayout::Portrait, "595 x 842"}};
    for (const Case& c : cases) {
        QPrinter printer(QPrinter::HighResolution);
        const QString pdf = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        timetable.SetUpPage(printer);
        EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
        printer.setPageOrientation(c.orientation);  // the user's page set-up
        EXPECT_EQ(timetable.Paint(printer), 9) << c.name;
        EXPECT_EQ(PageSize(pdf), QString::fromLatin1(c.size)) << c.name;
        const QStringList pages = PdfPages(pdf);
        ASSERT_EQ(pages.size(), 9) << c.name;
        EXPECT_TRUE(pages[8].contains(QString::fromUtf8("ΤΜΗΜΑ: Γ3"))) << c.name;
        EXPECT_TRUE(pages[8].contains(QStringLiteral("9 / 9"))) << c.name;
    }

    // The strips count their pages on the printer's page: a smaller page
    // holds fewer teachers, so more pages.
    const data::PrintTables plan = printed.Tables(data::PrintReading::kGeneralPlan);
    const Report3 strip(plan);
    QPrinter a4(QPrinter::HighResolution);
    a4.setOutputFormat(QPrinter::PdfFormat);
    strip.SetUpPage(a4);
    QPrinter a5(QPrinter::HighResolution);
    a5.setOutputFormat(QPrinter::PdfFormat);
    strip.SetUpPage(a5);
    a5.setPageSize(QPageSize(QPageSize::A5));
    EXPECT_EQ(strip.PageCount(a4), 1);
    EXPECT_GT(strip.PageCount(a5), 1);
}

}  // namespace
}  // namespace taktirio::reports::testing
