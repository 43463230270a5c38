#pragma once

#include "reports/layouts/report_layout.h"

namespace taktirio::reports {

// One timetable per page, days as columns and hours as rows, landscape: the
// rows of a classes or a teachers reading.
class TimetableReport : public ReportLayout {
  public:
    explicit TimetableReport(data::PrintTables tables);
    QPageLayout::Orientation Orientation() const override { return QPageLayout::Landscape; }

  protected:
    int CountPages(const PageArea& area) const override;
    void PaintBody(QPainter& painter, const PageArea& area, int page) const override;

  private:
    int hours_;  // the hour rows every page shows
};

// The class sections' timetables: "ΤΜΗΜΑ: " + class, cells = teachers.
class Report2 : public TimetableReport {
  public:
    using TimetableReport::TimetableReport;
    QString Name() const override { return QStringLiteral("REPORT2"); }
    QString Title() const override;
};

// The teachers' timetables: "ΚΑΘΗΓΗΤΗΣ: " + teacher, cells = class sections.
class Report1 : public TimetableReport {
  public:
    using TimetableReport::TimetableReport;
    QString Name() const override { return QStringLiteral("REPORT1"); }
    QString Title() const override;
};

}  // namespace taktirio::reports
