// The prints of a 30-class-section school: reading its page into the work
// tables of REPORT.sqlite (one transaction a reading), and drawing each
// report layout from those tables into a PDF file.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <optional>

#include "data/database/database.h"
#include "data/reports/work_tables.h"
#include "reports/layouts/report_catalog.h"
#include "school30_page.h"

namespace taktirio {
namespace {

using data::PrintReading;

// The work tables in a temporary directory, opened once.
struct WorkTables {
    QTemporaryDir dir;
    std::optional<data::Database> db;
    QString page;

    WorkTables() {
        db.emplace(
            data::Database::Open(data::ReportDatabasePath(dir.path()), data::ReportDesign()));
        page = QString::fromStdString(School30().path);
    }
};

WorkTables& Tables() {
    static WorkTables* tables = new WorkTables;
    return *tables;
}

constexpr PrintReading kReadings[] = {PrintReading::kClasses, PrintReading::kTeachers,
                                      PrintReading::kGeneralPlan, PrintReading::kSummary};
const char* const kReadingNames[] = {"classes", "teachers", "general_plan", "summary"};

void BM_ReadIntoWorkTables(benchmark::State& state) {
    WorkTables& tables = Tables();
    const PrintReading reading = kReadings[state.range(0)];
    for (auto _ : state) {
        data::ReadIntoWorkTables(tables.db->connection(), tables.page, reading);
    }
    const data::PrintTables loaded = data::LoadPrintTables(tables.db->connection(), reading);
    state.counters["rows"] = static_cast<double>(loaded.rows.size());
    state.SetLabel(kReadingNames[state.range(0)]);
}
BENCHMARK(BM_ReadIntoWorkTables)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// One report drawn alone into a PDF file, from the tables of its reading.
void BM_DrawReportPdf(benchmark::State& state) {
    static const char* const kReports[] = {"REPORT2", "REPORT1",  "REPORT3", "REPORT4",
                                           "REPORT5", "REPORT6",  "REPORT7", "REPORT8",
                                           "REPORT9", "REPORT11", "REPORT12"};
    static const PrintReading kReadingOf[] = {
        PrintReading::kClasses,     PrintReading::kTeachers,    PrintReading::kGeneralPlan,
        PrintReading::kGeneralPlan, PrintReading::kGeneralPlan, PrintReading::kGeneralPlan,
        PrintReading::kGeneralPlan, PrintReading::kGeneralPlan, PrintReading::kGeneralPlan,
        PrintReading::kSummary,     PrintReading::kSummary};
    WorkTables& tables = Tables();
    const auto k = static_cast<std::size_t>(state.range(0));
    data::ReadIntoWorkTables(tables.db->connection(), tables.page, kReadingOf[k]);
    const data::PrintTables loaded = data::LoadPrintTables(tables.db->connection(), kReadingOf[k]);
    std::vector<std::unique_ptr<reports::ReportLayout>> layouts;
    layouts.push_back(reports::MakeReport(QString::fromLatin1(kReports[k]), loaded));
    const QString pdf = tables.dir.filePath(QStringLiteral("bench.pdf"));
    int pages = 0;
    for (auto _ : state) {
        pages = reports::WritePdf(pdf, layouts);
    }
    state.counters["pages"] = pages;
    state.SetLabel(kReports[k]);
}
BENCHMARK(BM_DrawReportPdf)->DenseRange(0, 10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace taktirio

// Drawing needs fonts, and fonts a QGuiApplication; no display is used.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
