#pragma once

#include <QObject>
#include <QThread>
#include <exception>
#include <functional>

namespace taktirio::gui {

// Runs `work` on a thread of its own and then `done` on `context`'s thread,
// with the error `work` raised (null when none). The thread deletes itself.
QThread* RunInBackground(QObject* context, std::function<void()> work,
                         std::function<void(std::exception_ptr)> done);

}  // namespace taktirio::gui
