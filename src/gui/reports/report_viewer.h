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
inline constexpr char kPdfSavedMessage[] = "Το αρχείο %1 γράφτηκε (%2).";

// Where the next PDF is offered: the folder the user last saved one in,
// while it exists, else the user's documents folder (the home folder when
// there is none).
class PdfFolder {
  public:
    QString Folder() const;
    // Notes the folder of a chosen file; an empty path (cancelled) changes
    // nothing.
    void Remember(const QString& chosen_path);

  private:
    QString last_;
};

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
    PdfFolder folder_;  // kept for as long as the viewer, across its reports
};

// The preview of `layout` on `printer`, set up for the layout's page, with
// the button that saves the report as a PDF first in its toolbar, so that no
// width of the dialog hides it; not shown yet. `folder` (optional, outliving
// the dialog) is where the PDF is offered and remembers the user's choice.
std::unique_ptr<QPrintPreviewDialog> MakePreview(QPrinter& printer,
                                                 const reports::ReportLayout& layout,
                                                 QWidget* parent, Asker& asker,
                                                 PdfFolder* folder = nullptr);

// The save dialog for the PDF of the report `name`, in `folder` (the user's
// documents folder, or home, when empty or gone); not shown yet.
std::unique_ptr<FileDialog> MakePdfDialog(QWidget* parent, const QString& name,
                                          const QString& folder = {});

// Asks where the PDF of the report `name` goes, offering `folder`'s folder
// and remembering the choice there (optional); ".pdf" is added when the
// name has no such ending. Empty when cancelled.
QString AskPdfPath(QWidget* parent, const QString& name, PdfFolder* folder = nullptr);

// Writes `layout` as a PDF to `path` without a preview, drawn straight from
// its tables; the outcome is told by the program's message boxes. Nothing is
// written for an empty path. False when nothing was written.
bool SaveReportAsPdf(QWidget* parent, const reports::ReportLayout& layout, const QString& path,
                     Asker& asker);

}  // namespace taktirio::gui
