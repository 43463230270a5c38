#include "report_drawing.h"

#include "cli_commands.h"
#include "console.h"
#include "core/text/wording.h"
#include "data/database/database.h"
#include "data/reports/work_tables.h"
#include "reports/layouts/report_catalog.h"

namespace taktirio::cli {

using namespace taktirio::data;

int DrawReport(const PrintJob& job) {
    const Database db = Database::Open(ReportDatabasePath(job.directory), ReportDesign());
    const PrintTables tables = ReadPrintTables(db.connection(), job.page, job.reading);
    const auto layouts = reports::MakeReports(job.reading, tables);
    const int pages = reports::WritePdf(job.output, layouts);
    Say(stdout, QString::fromUtf8("Γράφτηκε το αρχείο %1 (%2).")
                    .arg(job.output, QString::fromStdString(CountOf(pages, "σελίδα", "σελίδες"))));
    return kExitOk;
}

}  // namespace taktirio::cli
