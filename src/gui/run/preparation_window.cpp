#include "gui/run/preparation_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "core/run/run_messages.h"
#include "data/prepare/working_copy.h"
#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"
#include "gui/run/background.h"
#include "gui/run/queued_run_listener.h"

namespace taktirio::gui {

PreparationWindow::PreparationWindow(ProgramContext* context,
                                     std::shared_ptr<data::RunSequence> sequence, QWidget* parent)
    : Window("TForm4", U("Παρακαλώ περίμενε"), parent),
      context_(context),
      sequence_(std::move(sequence)),
      listener_(new QueuedRunListener(this)) {
    // No title-bar buttons: the window goes when the preparation ends.
    setTitleBar(TitleBar::kNone);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    gauge_->setRange(0, data::kPreparationSteps);
    gauge_->setValue(0);
    gauge_->setMinimumWidth(560);
    QPalette yellow = gauge_->palette();
    yellow.setColor(QPalette::Highlight, Qt::yellow);
    yellow.setColor(QPalette::HighlightedText, Qt::black);
    gauge_->setPalette(yellow);
    auto* column = new QVBoxLayout(this);
    column->addWidget(MakeLabel(
        this, "Label1",
        U("Παρακαλώ περίμενε το πρόγραμμα προετοιμάζει τα δεδομένα για την εύρεση λύσεων.")));
    column->addWidget(gauge_);
    connect(listener_, &QueuedRunListener::stepped, gauge_,
            [this](int step, int /*total*/) { gauge_->setValue(step); });
}

PreparationWindow::~PreparationWindow() {
    if (worker_ != nullptr) {
        sequence_->Stop();
        worker_->wait();
    }
}

void PreparationWindow::start() {
    if (started_) {
        return;
    }
    started_ = true;
    sequence_->SetListener(listener_);
    std::shared_ptr<data::RunSequence> sequence = sequence_;
    worker_ = RunInBackground(
        this, [sequence] { sequence->Prepare(); },
        [this](std::exception_ptr error) { finish(error); });
}

void PreparationWindow::finish(std::exception_ptr error) {
    worker_ = nullptr;
    done_ = true;
    sequence_->SetListener(nullptr);
    const bool stopped = sequence_->StopRequested();
    sequence_->ClearStop();
    if (error != nullptr) {
        const QString message = data::RunFailureMessage(error);
        if (stopped) {
            context_->asker->Inform(this, message);
        } else {
            context_->asker->Error(this, message);
        }
    }
    close();
    emit prepared(error == nullptr);
}

bool PreparationWindow::confirmClose() {
    if (done_ || !started_) {
        return true;
    }
    if (!sequence_->StopRequested() &&
        context_->asker->Confirm(this, QString::fromUtf8(kStopQuestion))) {
        sequence_->Stop();  // the window closes once the copy is rolled back
    }
    return false;
}

void PreparationWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    Window::keyPressEvent(event);
}

}  // namespace taktirio::gui
