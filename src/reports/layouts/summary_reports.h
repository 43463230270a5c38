#pragma once

#include "reports/layouts/report_layout.h"

namespace taktirio::reports {

// The summary's first part, landscape: every class section of the summary
// reading against every lesson hour of the week, teachers written as the
// numbers of the names list. The rows share one page whenever they stay
// readable.
class Report11 : public ReportLayout {
  public:
    explicit Report11(data::PrintTables tables);
    QString Name() const override { return QStringLiteral("REPORT11"); }
    QString Title() const override;
    QPageLayout::Orientation Orientation() const override { return QPageLayout::Landscape; }

  protected:
    QString Subtitle() const override;
    int CountPages(const PageArea& area) const override;
    void PaintBody(QPainter& painter, const PageArea& area, int page) const override;

  private:
    qreal RowHeight(const PageArea& area) const;
    int RowsPerPage(const PageArea& area) const;

    int hours_;
};

// The summary's second part: the legend of teacher numbers, in three columns
// a page.
class Report12 : public ReportLayout {
  public:
    using ReportLayout::ReportLayout;
    QString Name() const override { return QStringLiteral("REPORT12"); }
    QString Title() const override;
    QPageLayout::Orientation Orientation() const override { return QPageLayout::Landscape; }

  protected:
    QString Subtitle() const override;
    int CountPages(const PageArea& area) const override;
    void PaintBody(QPainter& painter, const PageArea& area, int page) const override;

  private:
    static int RowsPerColumn(const PageArea& area);
};

}  // namespace taktirio::reports
