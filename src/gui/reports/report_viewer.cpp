#include "gui/reports/report_viewer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <QToolBar>
#include <algorithm>
#include <memory>
#include <vector>

#include "core/text/wording.h"
#include "gui/common/asker.h"
#include "gui/common/file_dialog.h"
#include "gui/common/look.h"
#include "reports/layouts/report_catalog.h"
#include "reports/layouts/report_layout.h"

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
                                                 QWidget* parent, Asker& asker, PdfFolder* folder) {
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
        // First in the toolbar: a toolbar too narrow for all its buttons
        // hides the last ones behind its overflow arrow.
        QAction* first = tools->actions().value(0);
        auto* save = new QAction(U(kSavePdfCaption), tools);
        save->setObjectName(QStringLiteral("SavePdf"));
        save->setToolTip(U(kSavePdfCaption));
        tools->insertAction(first, save);
        tools->insertSeparator(first);
        // Icons a little smaller than the toolbar's own, so that with the
        // added text every button, printing too, fits the preview's width
        // on a 1024 x 768 screen.
        tools->setIconSize(QSize(20, 20));
        QObject::connect(save, &QAction::triggered, dialog, [dialog, &layout, &asker, folder] {
            SaveReportAsPdf(dialog, layout, AskPdfPath(dialog, layout.Name(), folder), asker);
        });
    }
    // A page is read best large: most of the screen, yet never more than a
    // 1024 x 768 screen holds with a window manager's frame, as every window.
    constexpr QSize kMostWithFrame(1024 - 16, 768 - 40);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : dialog->screen()) {
        const QRect area = screen->availableGeometry();
        dialog->resize(std::min(area.width() * 4 / 5, kMostWithFrame.width()),
                       std::min(area.height() * 9 / 10, kMostWithFrame.height()));
    }
    return preview;
}

void PreviewViewer::Show(QWidget* parent, const reports::ReportLayout& layout) {
    QPrinter printer(QPrinter::HighResolution);
    MakePreview(printer, layout, parent, *asker_, &folder_)->exec();
}

QString PreviewViewer::PdfPath(QWidget* parent, const QString& name) {
    return AskPdfPath(parent, name, &folder_);
}

namespace {

// The user's documents folder, or the home folder where there is none (a
// file dialog shown a missing folder would open in the current directory).
QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

}  // namespace

QString PdfFolder::Folder() const {
    if (!last_.isEmpty() && QDir(last_).exists()) {
        return last_;
    }
    return DocumentsFolder();
}

void PdfFolder::Remember(const QString& chosen_path) {
    if (!chosen_path.isEmpty()) {
        last_ = QFileInfo(chosen_path).absolutePath();
    }
}

std::unique_ptr<FileDialog> MakePdfDialog(QWidget* parent, const QString& name,
                                          const QString& folder) {
    const QString in = !folder.isEmpty() && QDir(folder).exists() ? folder : DocumentsFolder();
    const QString suggested = QDir(in).filePath(name + QStringLiteral(".pdf"));
    auto dialog =
        std::make_unique<FileDialog>(parent, "SaveDialog1", U(kSavePdfCaption), suggested,
                                     QString::fromLatin1(kPdfFilter), QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    return dialog;
}

QString AskPdfPath(QWidget* parent, const QString& name, PdfFolder* folder) {
    QString path =
        MakePdfDialog(parent, name, folder != nullptr ? folder->Folder() : QString())->ChooseFile();
    if (!path.isEmpty() && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    if (folder != nullptr) {
        folder->Remember(path);
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
        asker.Inform(parent, U(kPdfSavedMessage)
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(QString::fromStdString(CountOf(pages, "σελίδα", "σελίδες"))));
        return true;
    } catch (const reports::ReportOutputError& error) {
        asker.Error(parent, error.message());
        return false;
    }
}

}  // namespace taktirio::gui
