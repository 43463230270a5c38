#pragma once

#include <QFont>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include "data/reports/work_tables.h"

class QPagedPaintDevice;
class QPainter;

namespace taktirio::reports {

// Where a page's parts lie, in device pixels: the body between the header
// and the footer, and the millimetre for sizes given in millimetres.
struct PageArea {
    QRectF body;
    qreal mm = 1;
    qreal Mm(qreal millimetres) const { return millimetres * mm; }
};

// One printed report drawn from the work tables. Every page carries the
// school's name and year, the report's title and "page / pages"; a subclass
// lays out the body. The same object draws on a PDF writer, a printer or a
// print preview's printer: Paint takes the page as the device has it, so a
// page set-up made in a preview is honoured.
class ReportLayout {
  public:
    explicit ReportLayout(data::PrintTables tables) : tables_(std::move(tables)) {}
    virtual ~ReportLayout() = default;
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // "REPORT2" …, the name the print windows know the layout by.
    virtual QString Name() const = 0;
    virtual QString Title() const = 0;
    virtual QPageLayout::Orientation Orientation() const = 0;

    // A4 in the layout's orientation with even margins: what a preview or a
    // PDF starts from.
    void SetUpPage(QPagedPaintDevice& device) const;
    // Draws every page; returns the number of pages.
    int Paint(QPagedPaintDevice& device) const;
    // Draws every page on a painter already active on `device`; `first_page`
    // is false when the device already holds pages (several reports in one
    // PDF), so that a new page is started first.
    int PaintPages(QPainter& painter, QPagedPaintDevice& device, bool first_page) const;

    // The number of pages on `device` as its page now stands.
    int PageCount(const QPagedPaintDevice& device) const;

    const data::PrintTables& tables() const { return tables_; }

    // DejaVu Sans carries every Greek letter; Tahoma has none on Linux.
    static QFont Font(qreal point_size, bool bold = false);

  protected:
    // The letter of a general plan strip, drawn large in the header; none
    // for other reports.
    virtual QString CategoryLetter() const { return {}; }
    // A second title line (the part of a summary, the day of a strip).
    virtual QString Subtitle() const { return {}; }
    virtual int CountPages(const PageArea& area) const = 0;
    virtual void PaintBody(QPainter& painter, const PageArea& area, int page) const = 0;

  private:
    PageArea AreaOf(const QPagedPaintDevice& device) const;
    void PaintFrame(QPainter& painter, const PageArea& area, int page, int pages) const;

    data::PrintTables tables_;
};

}  // namespace taktirio::reports
