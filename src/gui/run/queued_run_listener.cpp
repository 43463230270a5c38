#include "gui/run/queued_run_listener.h"

#include <QMetaObject>

namespace taktirio::gui {

bool QueuedRunListener::Progress(data::RunWork work, int step, int total) {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        if (work == data::RunWork::kSearch) {
            found_ = Steps{step, total};
        } else {
            steps_ = Steps{step, total};
        }
    }
    Post();
    return true;  // a stop is asked through RunSequence::Stop
}

void QueuedRunListener::SearchStarted(std::uint64_t /*seed*/, int /*threads*/) {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        started_ = true;
    }
    Post();
}

void QueuedRunListener::Solution(int solution, const std::string& line, const SolutionGaps& gaps) {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        lines_.append(QString::fromStdString(line));
        gaps_.append(gaps);
        last_solution_ = solution;
    }
    Post();
}

void QueuedRunListener::Attempts(std::int64_t attempts) {
    const std::lock_guard<std::mutex> hold(mutex_);
    attempts_ = attempts;  // delivered with the next Progress
}

void QueuedRunListener::Post() {
    if (!posted_.exchange(true)) {
        QMetaObject::invokeMethod(this, &QueuedRunListener::Deliver, Qt::QueuedConnection);
    }
}

void QueuedRunListener::Deliver() {
    posted_.store(false);
    std::optional<Steps> steps;
    bool started = false;
    QStringList lines;
    QList<SolutionGaps> gaps;
    int last_solution = 0;
    std::optional<Steps> found;
    std::int64_t attempts = 0;
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        steps.swap(steps_);
        std::swap(started, started_);
        lines.swap(lines_);
        gaps.swap(gaps_);
        last_solution = last_solution_;
        found.swap(found_);
        attempts = attempts_;
    }
    if (steps) {
        emit stepped(steps->step, steps->total);
    }
    if (started) {
        emit searchStarted();
    }
    if (!lines.isEmpty()) {
        emit solutionsFound(lines, gaps, last_solution);
    }
    if (found) {
        emit searchProgressed(found->step, found->total, attempts);
    }
}

}  // namespace taktirio::gui
