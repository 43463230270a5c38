#include "gui/reports/page_reading.h"

#include <QThread>
#include <exception>

#include "data/database/database.h"
#include "data/database/errors.h"

namespace taktirio::gui {

PageReading::PageReading(QObject* parent) : QObject(parent) {
    // Made first, so these run before any window's slot: a window that
    // starts the next reading from its result finds this one done.
    connect(this, &PageReading::finished, this, [this] { working_ = false; });
    connect(this, &PageReading::failed, this, [this] { working_ = false; });
}

PageReading::~PageReading() {
    Wait();
}

bool PageReading::Start(const QString& database_path, const QString& page_path,
                        data::PrintReading reading) {
    if (working_) {
        return false;
    }
    // The previous reading has delivered its result; its thread is ending.
    Wait();
    working_ = true;
    thread_ = QThread::create(
        [this, database_path, page_path, reading] { Run(database_path, page_path, reading); });
    thread_->setObjectName(QStringLiteral("PageReading"));
    // Queued: the thread object is released on this object's thread, after
    // the worker's last signal has been delivered.
    connect(thread_, &QThread::finished, this, &PageReading::Ended, Qt::QueuedConnection);
    thread_->start();
    return true;
}

void PageReading::Wait() {
    if (thread_ != nullptr) {
        thread_->wait();
        delete thread_;
        thread_ = nullptr;
    }
}

void PageReading::Ended() {
    // The thread has left its work and is about to end; a Wait() may have
    // released it already.
    Wait();
}

// Runs on the worker thread. The connection is opened, used and closed here:
// a connection belongs to the thread that opened it. The signals are emitted
// from this thread and reach the window queued.
void PageReading::Run(const QString& database_path, const QString& page_path,
                      data::PrintReading reading) {
    try {
        data::PrintTables tables;
        {
            const data::Database db = data::Database::Open(database_path, data::ReportDesign());
            tables = data::ReadPrintTables(db.connection(), page_path, reading,
                                           [this](const QString& text) { emit progress(text); });
        }
        emit finished(tables);
    } catch (const data::DataError& error) {
        emit failed(error.message());
    } catch (const std::exception& error) {
        emit failed(QString::fromUtf8("Παρουσιάστηκε σφάλμα.\r") + QString::fromUtf8(error.what()));
    }
}

}  // namespace taktirio::gui
