#pragma once

#include <QString>
#include <functional>

#include "data/reports/work_tables.h"

class QWidget;

namespace taktirio::gui {

struct ProgramContext;
class ReportViewer;

// What a report button does with its report: show it in the preview, or
// write it as a PDF file without the preview.
enum class ReportAction { kPreview, kSavePdf };

// Runs the layout `name` over the work tables as the last reading of
// `reading` left them, loaded through a connection of its own that is closed
// again before the report is shown. A database that cannot be read is told
// with its message; false then.
bool RunStoredReport(const QString& name, data::PrintReading reading, ReportAction action,
                     ProgramContext* context, ReportViewer& viewer, QWidget* parent);

// Runs the layout over tables already loaded.
void RunReport(const QString& name, const data::PrintTables& tables, ReportAction action,
               ProgramContext* context, ReportViewer& viewer, QWidget* parent);

// The context menu of a report button: "Αποθήκευση ως PDF" calls `save`.
void AddSavePdfMenu(QWidget* button, const std::function<void()>& save);

}  // namespace taktirio::gui
