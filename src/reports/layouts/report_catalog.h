#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "data/database/errors.h"
#include "data/reports/work_tables.h"
#include "reports/layouts/report_layout.h"

namespace taktirio::reports {

// The layouts of one print, in printing order: the classes REPORT2, the
// teachers REPORT1, the general plan's strips REPORT3 to REPORT9 (categories
// A to H), the summary REPORT11 and REPORT12.
QStringList ReportNames(data::PrintReading reading);

// The layout called `name` over `tables`; nothing for an unknown name.
std::unique_ptr<ReportLayout> MakeReport(const QString& name, const data::PrintTables& tables);

// Every layout of a print over the same tables.
std::vector<std::unique_ptr<ReportLayout>> MakeReports(data::PrintReading reading,
                                                       const data::PrintTables& tables);

// The PDF file could not be written; the file was not created or replaced.
class ReportOutputError : public data::DataError {
  public:
    using data::DataError::DataError;
};

// Writes the layouts one after another into one PDF file, each on A4 in its
// own orientation. The file appears whole or not at all. Returns the number
// of pages; throws ReportOutputError, or std::bad_alloc before anything is
// drawn when the memory left cannot hold the drawing.
int WritePdf(const QString& path, const std::vector<std::unique_ptr<ReportLayout>>& layouts);

}  // namespace taktirio::reports
