#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "data/run/run_sequence.h"

namespace taktirio::gui {

// Hears a run on its worker threads and passes the news to the window's
// thread as queued signals. News that arrives while a delivery is still
// waiting in the queue joins it, so however fast solutions are found (254 in
// under a second) at most one event waits in the window's queue.
class QueuedRunListener : public QObject, public data::RunListener {
    Q_OBJECT

  public:
    explicit QueuedRunListener(QObject* parent = nullptr) : QObject(parent) {}

    bool Progress(data::RunWork work, int step, int total) override;
    void SearchStarted(std::uint64_t seed, int threads) override;
    void Solution(int solution, const std::string& line, const SolutionGaps& gaps) override;
    void Attempts(std::int64_t attempts) override;

  signals:
    // On the window's thread, in this order within one delivery.
    void stepped(int step, int total);  // preparation or loading
    void searchStarted();
    // The solutions' lines and their teacher gaps, one each, in order.
    void solutionsFound(const QStringList& lines, const QList<taktirio::SolutionGaps>& gaps,
                        int last_solution);
    // The search goes on: solutions found of those requested, and the
    // attempts made so far.
    void searchProgressed(int found, int requested, qint64 attempts);

  private:
    struct Steps {
        int step = 0;
        int total = 0;
    };
    void Post();
    void Deliver();

    std::mutex mutex_;
    std::optional<Steps> steps_;
    bool started_ = false;
    QStringList lines_;
    QList<SolutionGaps> gaps_;
    int last_solution_ = 0;
    std::optional<Steps> found_;
    std::int64_t attempts_ = 0;
    std::atomic<bool> posted_{false};
};

}  // namespace taktirio::gui
