#include "gui/run/background.h"

#include <memory>

namespace taktirio::gui {

QThread* RunInBackground(QObject* context, std::function<void()> work,
                         std::function<void(std::exception_ptr)> done) {
    auto error = std::make_shared<std::exception_ptr>();
    QThread* thread = QThread::create([work = std::move(work), error] {
        try {
            work();
        } catch (...) {
            *error = std::current_exception();
        }
    });
    QObject::connect(thread, &QThread::finished, context, [thread, error, done = std::move(done)] {
        thread->deleteLater();
        done(*error);
    });
    thread->start();
    return thread;
}

}  // namespace taktirio::gui
