#include "reports/report_viewer.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <memory>
#include <vector>

#include "common/asker.h"
#include "common/look.h"
#include "layouts/report_catalog.h"
#include "layouts/report_layout.h"

namespace taktirio::gui {

namespace {

// A new copy of the layout over the same tables, for the PDF writer, which
// takes the layouts it writes.
std::vector<std::unique_ptr<reports::ReportLayout>> CopyOf(const reports::ReportLayout& layout) {
    std::vector<std::unique_ptr<reports::ReportLayout>> layouts;
    layouts.push_back(reports::MakeReport(layout.Name(), layout.tables()));
    return layouts;
}

}  // namespace

void PreviewViewer::Show(QWidget* parent, const reports::ReportLayout& layout) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(layout.Title());
    printer.setCreator(QStringLiteral("TAKTIRIO"));
    layout.SetUpPage(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("ReportPreview"));
    preview.setWindowTitle(layout.Name() + QStringLiteral(" - ") + layout.Title());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&layout](QPrinter* device) { layout.Paint(*device); });
    if (auto* tools = preview.findChild<QToolBar*>()) {
        tools->addSeparator();
        QAction* save = tools->addAction(U(kSavePdfCaption));
        save->setObjectName(QStringLiteral("SavePdf"));
        save->setToolTip(U(kSavePdfCaption));
        QObject::connect(save, &QAction::triggered, &preview,
                         [this, &preview, &layout] { SaveReportAsPdf(&preview, layout, *asker_); });
    }
    // A page is read best large: most of the screen.
    if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr) {
        const QRect area = screen->availableGeometry();
        preview.resize(area.width() * 4 / 5, area.height() * 9 / 10);
    }
    preview.exec();
}

bool SaveReportAsPdf(QWidget* parent, const reports::ReportLayout& layout, Asker& asker) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(layout.Name() + QStringLiteral(".pdf"));
    QString path = QFileDialog::getSaveFileName(parent, U(kSavePdfCaption), suggested,
                                                QString::fromLatin1(kPdfFilter));
    if (path.isEmpty()) {
        return false;
    }
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    try {
        const int pages = reports::WritePdf(path, CopyOf(layout));
        asker.Inform(parent, U(kPdfSavedMessage).arg(QDir::toNativeSeparators(path)).arg(pages));
        return true;
    } catch (const reports::ReportOutputError& error) {
        asker.Error(parent, error.message());
        return false;
    }
}

}  // namespace taktirio::gui
