#include "gui/reports/stored_report.h"

#include <QAction>
#include <QWidget>

#include "data/database/database.h"
#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/reports/report_viewer.h"
#include "reports/layouts/report_catalog.h"

namespace taktirio::gui {

bool RunStoredReport(const QString& name, data::PrintReading reading, ReportAction action,
                     ProgramContext* context, ReportViewer& viewer, QWidget* parent) {
    data::PrintTables tables;
    try {
        // Opened and closed for each report, so that between two presses
        // the window holds nothing open.
        const data::Database db = data::Database::Open(
            data::ReportDatabasePath(context->paths.directory), data::ReportDesign());
        tables = data::LoadPrintTables(db.connection(), reading);
    } catch (const data::DataError& error) {
        context->asker->Error(parent, error.message());
        return false;
    }
    RunReport(name, tables, action, context, viewer, parent);
    return true;
}

void RunReport(const QString& name, const data::PrintTables& tables, ReportAction action,
               ProgramContext* context, ReportViewer& viewer, QWidget* parent) {
    const std::unique_ptr<reports::ReportLayout> layout = reports::MakeReport(name, tables);
    if (layout == nullptr) {
        context->asker->Error(parent,
                              U("Παρουσιάστηκε σφάλμα.\rΗ αναφορά %1 δεν υπάρχει.").arg(name));
        return;
    }
    if (action == ReportAction::kSavePdf) {
        SaveReportAsPdf(parent, *layout, viewer.PdfPath(parent, name), *context->asker);
    } else {
        viewer.Show(parent, *layout);
    }
}

void AddSavePdfMenu(QWidget* button, const std::function<void()>& save) {
    auto* action = new QAction(U(kSavePdfCaption), button);
    action->setObjectName(button->objectName() + QStringLiteral("SavePdf"));
    QObject::connect(action, &QAction::triggered, button, save);
    button->addAction(action);
    button->setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace taktirio::gui
