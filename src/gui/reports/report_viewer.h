#pragma once

#include <QString>
#include <memory>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace taktirio::gui {
class Asker;
class FileDialog;
}  // namespace taktirio::gui

namespace taktirio::reports {
class ReportLayout;
}

namespace taktirio::gui {

inline constexpr char kSavePdfCaption[] = "Αποθήκευση ως PDF";
inline constexpr char kPdfFilter[] = "PDF (*.pdf)";
inline constexpr char kPdfSavedMessage[] = "Το αρχείο %1 γράφτηκε (%2 σελίδες).";

// Shows a drawn report to the user, or asks where its PDF goes. The windows
// take one of these so that tests see which report was asked for without a
// modal preview or file dialog.
class ReportViewer {
  public:
    virtual ~ReportViewer() = default;
    // Shows `layout` and returns when the user has finished with it.
    virtual void Show(QWidget* parent, const reports::ReportLayout& layout) = 0;
    // The file the report `name` is saved to as a PDF; empty when cancelled.
    virtual QString PdfPath(QWidget* parent, const QString& name) = 0;
};

// The program's viewer: the print preview with printing, page set-up and
// zoom, and a button that saves the report as a PDF file, drawn straight
// from the work tables rather than through the printer.
class PreviewViewer : public ReportViewer {
  public:
    explicit PreviewViewer(Asker* asker) : asker_(asker) {}
    void Show(QWidget* parent, const reports::ReportLayout& layout) override;
    QString PdfPath(QWidget* parent, const QString& name) override;

  private:
    Asker* asker_;
};

// The preview of `layout` on `printer`, set up for the layout's page, with
// the button that saves the report as a PDF; not shown yet.
std::unique_ptr<QPrintPreviewDialog> MakePreview(QPrinter& printer,
                                                 const reports::ReportLayout& layout,
                                                 QWidget* parent, Asker& asker);

// The save dialog for the PDF of the report `name`, in the user's documents
// folder; not shown yet.
std::unique_ptr<FileDialog> MakePdfDialog(QWidget* parent, const QString& name);

// Asks where the PDF of the report `name` goes; ".pdf" is added when the
// name has no such ending. Empty when cancelled.
QString AskPdfPath(QWidget* parent, const QString& name);

// Writes `layout` as a PDF to `path` without a preview, drawn straight from
// its tables; the outcome is told by the program's message boxes. Nothing is
// written for an empty path. False when nothing was written.
bool SaveReportAsPdf(QWidget* parent, const reports::ReportLayout& layout, const QString& path,
                     Asker& asker);

}  // namespace taktirio::gui
