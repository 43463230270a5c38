#pragma once

#include "reports/layouts/report_layout.h"

namespace taktirio::reports {

// A strip of the general plan, portrait: one row per teacher in plan order.
// All seven strips share the header, the head and the row height and hold the
// same teachers on the same page, so that their pages, taped side by side in
// the order of their letters, make one wall chart with aligned rows.
class PlanStripReport : public ReportLayout {
  public:
    using ReportLayout::ReportLayout;
    QPageLayout::Orientation Orientation() const override { return QPageLayout::Portrait; }
    QString Title() const override;

    // Teacher rows on one page of `area`.
    static int RowsPerPage(const PageArea& area);

  protected:
    int CountPages(const PageArea& area) const override;
    void PaintBody(QPainter& painter, const PageArea& area, int page) const override;
    // The two head rows over the strip's columns.
    virtual void PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                           const PageArea& area) const = 0;
    virtual void PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                          const PageArea& area) const = 0;
};

// Category A: the teachers, numbered.
class Report3 : public PlanStripReport {
  public:
    using PlanStripReport::PlanStripReport;
    QString Name() const override { return QStringLiteral("REPORT3"); }

  protected:
    QString CategoryLetter() const override { return QStringLiteral("A"); }
    QString Subtitle() const override;
    void PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                   const PageArea& area) const override;
    void PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                  const PageArea& area) const override;
};

// Categories B to Z: one day, its hours as columns, the class sections taught,
// common free hours shaded.
class DayStripReport : public PlanStripReport {
  public:
    DayStripReport(data::PrintTables tables, int day);

  protected:
    QString Subtitle() const override;
    void PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                   const PageArea& area) const override;
    void PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                  const PageArea& area) const override;

  private:
    int day_;
    int hours_;
};

class Report4 : public DayStripReport {
  public:
    explicit Report4(data::PrintTables tables) : DayStripReport(std::move(tables), 1) {}
    QString Name() const override { return QStringLiteral("REPORT4"); }

  protected:
    QString CategoryLetter() const override { return QStringLiteral("B"); }
};

class Report5 : public DayStripReport {
  public:
    explicit Report5(data::PrintTables tables) : DayStripReport(std::move(tables), 2) {}
    QString Name() const override { return QStringLiteral("REPORT5"); }

  protected:
    QString CategoryLetter() const override { return QString::fromUtf8("Γ"); }
};

class Report6 : public DayStripReport {
  public:
    explicit Report6(data::PrintTables tables) : DayStripReport(std::move(tables), 3) {}
    QString Name() const override { return QStringLiteral("REPORT6"); }

  protected:
    QString CategoryLetter() const override { return QString::fromUtf8("Δ"); }
};

class Report7 : public DayStripReport {
  public:
    explicit Report7(data::PrintTables tables) : DayStripReport(std::move(tables), 4) {}
    QString Name() const override { return QStringLiteral("REPORT7"); }

  protected:
    QString CategoryLetter() const override { return QStringLiteral("E"); }
};

class Report8 : public DayStripReport {
  public:
    explicit Report8(data::PrintTables tables) : DayStripReport(std::move(tables), 5) {}
    QString Name() const override { return QStringLiteral("REPORT8"); }

  protected:
    QString CategoryLetter() const override { return QStringLiteral("Z"); }
};

// Category H: each teacher's weekly teaching hours.
class Report9 : public PlanStripReport {
  public:
    using PlanStripReport::PlanStripReport;
    QString Name() const override { return QStringLiteral("REPORT9"); }

  protected:
    QString CategoryLetter() const override { return QStringLiteral("H"); }
    QString Subtitle() const override;
    void PaintHead(QPainter& painter, const QRectF& top, const QRectF& bottom,
                   const PageArea& area) const override;
    void PaintRow(QPainter& painter, const QRectF& rect, const data::WorkRow& row,
                  const PageArea& area) const override;
};

}  // namespace taktirio::reports
