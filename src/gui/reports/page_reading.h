#pragma once

#include <QObject>
#include <QString>

#include "data/reports/work_tables.h"

class QThread;

namespace taktirio::gui {

// One reading of a solution page into the print work tables, run on a thread
// of its own with its own connection to REPORT.sqlite, so that the window
// that started it keeps drawing and shows the readers' progress. Progress
// and the result arrive as queued signals on the thread that owns this
// object.
class PageReading : public QObject {
    Q_OBJECT

  public:
    explicit PageReading(QObject* parent = nullptr);
    // Waits for a reading still under way: the worker never outlives its
    // window.
    ~PageReading() override;

    // Starts reading `page_path` into the work tables of `database_path` and
    // back for the layouts, the tables held from the reading to the loading
    // so that another print's reading cannot come between. False while
    // another reading of this object is under way.
    bool Start(const QString& database_path, const QString& page_path, data::PrintReading reading);
    // From Start until the result has been delivered.
    bool running() const { return working_; }
    // Blocks until the reading under way has ended (tests, shutdown).
    void Wait();

  signals:
    // A timetable's name, as the readers announce it.
    void progress(const QString& text);
    // The reading is stored; `tables` is what it stored.
    void finished(const taktirio::data::PrintTables& tables);
    // Nothing was stored: the message to show (page and line, or the database).
    void failed(const QString& message);

  private:
    void Run(const QString& database_path, const QString& page_path, data::PrintReading reading);
    void Ended();

    QThread* thread_ = nullptr;
    bool working_ = false;
};

}  // namespace taktirio::gui
