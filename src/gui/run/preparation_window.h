#pragma once

#include <QPointer>
#include <QThread>
#include <memory>

#include "gui/common/window.h"

class QProgressBar;

namespace taktirio::data {
class RunSequence;
}

namespace taktirio::gui {

struct ProgramContext;
class QueuedRunListener;

// TForm4: the working copy is rebuilt off the window's thread, with its own
// database connections, while this window shows the text and a progress bar.
// Esc or closing it asks the stop question; a stop leaves the previous copy.
// It closes itself when the preparation ends and then emits `prepared`.
class PreparationWindow : public Window {
    Q_OBJECT

  public:
    PreparationWindow(ProgramContext* context, std::shared_ptr<data::RunSequence> sequence,
                      QWidget* parent = nullptr);
    ~PreparationWindow() override;

    // Starts the preparation once; the window must be shown.
    void start();

  signals:
    // The preparation ended: `ok` when the working copy is complete.
    void prepared(bool ok);

  protected:
    bool confirmClose() override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void finish(std::exception_ptr error);

    ProgramContext* context_;
    std::shared_ptr<data::RunSequence> sequence_;
    QueuedRunListener* listener_;
    QProgressBar* gauge_;
    QPointer<QThread> worker_;
    bool started_ = false;
    bool done_ = false;
};

}  // namespace taktirio::gui
