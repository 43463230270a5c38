#include "reports/report_viewer.h"

#include <QAction>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <memory>
#include <vector>

#include "common/asker.h"
#include "common/file_dialog.h"
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

std::unique_ptr<QPrintPreviewDialog> MakePreview(QPrinter& printer,
                                                 const reports::ReportLayout& layout,
                                                 QWidget* parent, Asker& asker) {
    printer.setDocName(layout.Title());
    printer.setCreator(QStringLiteral("TAKTIRIO"));
    layout.SetUpPage(printer);
    auto preview = std::make_unique<QPrintPreviewDialog>(&printer, parent);
    QPrintPreviewDialog* dialog = preview.get();
    dialog->setObjectName(QStringLiteral("ReportPreview"));
    dialog->setWindowTitle(layout.Name() + QStringLiteral(" - ") + layout.Title());
    QObject::connect(dialog, &QPrintPreviewDialog::paintRequested, dialog,
                     [&layout](QPrinter* device) { layout.Paint(*device); });
    if (auto* tools = dialog->findChild<QToolBar*>()) {
        tools->addSeparator();
        QAction* save = tools->addAction(U(kSavePdfCaption));
        save->setObjectName(QStringLiteral("SavePdf"));
        save->setToolTip(U(kSavePdfCaption));
        QObject::connect(save, &QAction::triggered, dialog, [dialog, &layout, &asker] {
            SaveReportAsPdf(dialog, layout, AskPdfPath(dialog, layout.Name()), asker);
        });
    }
    // A page is read best large: most of the screen.
    if (const QScreen* screen = parent != nullptr ? parent->screen() : dialog->screen()) {
        const QRect area = screen->availableGeometry();
        dialog->resize(area.width() * 4 / 5, area.height() * 9 / 10);
    }
    return preview;
}

void PreviewViewer::Show(QWidget* parent, const reports::ReportLayout& layout) {
    QPrinter printer(QPrinter::HighResolution);
    MakePreview(printer, layout, parent, *asker_)->exec();
}

QString PreviewViewer::PdfPath(QWidget* parent, const QString& name) {
    return AskPdfPath(parent, name);
}

std::unique_ptr<FileDialog> MakePdfDialog(QWidget* parent, const QString& name) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    auto dialog =
        std::make_unique<FileDialog>(parent, "SaveDialog1", U(kSavePdfCaption), suggested,
                                     QString::fromLatin1(kPdfFilter), QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    return dialog;
}

QString AskPdfPath(QWidget* parent, const QString& name) {
    QString path = MakePdfDialog(parent, name)->ChooseFile();
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    return path;
}

bool SaveReportAsPdf(QWidget* parent, const reports::ReportLayout& layout, const QString& path,
                     Asker& asker) {
    if (path.isEmpty()) {
        return false;
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
