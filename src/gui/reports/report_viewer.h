#pragma once

#include <QString>

class QWidget;

namespace taktirio::gui {
class Asker;
}

namespace taktirio::reports {
class ReportLayout;
}

namespace taktirio::gui {

inline constexpr char kSavePdfCaption[] = "Αποθήκευση ως PDF";
inline constexpr char kPdfFilter[] = "PDF (*.pdf)";
inline constexpr char kPdfSavedMessage[] = "Το αρχείο %1 γράφτηκε (%2 σελίδες).";

// Shows a drawn report to the user. The windows take one of these so that
// tests see which report was asked for without a modal preview.
class ReportViewer {
  public:
    virtual ~ReportViewer() = default;
    // Shows `layout` and returns when the user has finished with it.
    virtual void Show(QWidget* parent, const reports::ReportLayout& layout) = 0;
};

// The program's viewer: the print preview with printing, page set-up and
// zoom, and a button that saves the report as a PDF file, drawn straight
// from the work tables rather than through the printer.
class PreviewViewer : public ReportViewer {
  public:
    explicit PreviewViewer(Asker* asker) : asker_(asker) {}
    void Show(QWidget* parent, const reports::ReportLayout& layout) override;

  private:
    Asker* asker_;
};

// Asks for a file name and writes `layout` as a PDF without a preview; the
// outcome is told by the program's message boxes. False when nothing was
// written.
bool SaveReportAsPdf(QWidget* parent, const reports::ReportLayout& layout, Asker& asker);

}  // namespace taktirio::gui
