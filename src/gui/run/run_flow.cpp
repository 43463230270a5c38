#include "gui/run/run_flow.h"

#include <QDialog>
#include <memory>

#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/program_context.h"
#include "gui/run/preparation_window.h"
#include "gui/run/requested_solutions_window.h"
#include "gui/run/run_window.h"

namespace taktirio::gui {

namespace {

using Sequence = std::shared_ptr<data::RunSequence>;

// The main window back at full size and active once the way into a run has
// ended, wherever it ended: the window system does not always hand the
// activation back to it when the last of the run's windows goes.
void BackToMainWindow(QWidget* main_window) {
    main_window->setEnabled(true);
    main_window->setWindowState((main_window->windowState() & ~Qt::WindowMinimized) |
                                Qt::WindowMaximized);
    main_window->raise();
    main_window->activateWindow();
}

void OpenRunWindow(ProgramContext* context, const Sequence& sequence, QWidget* main_window) {
    auto* window = new RunWindow(context, sequence, main_window);
    QObject::connect(window, &QDialog::finished, main_window,
                     [main_window] { BackToMainWindow(main_window); });
    window->OpenModal();
}

void Prepare(ProgramContext* context, const Sequence& sequence, QWidget* main_window) {
    try {
        sequence->Lock();  // held until the run window goes
    } catch (const data::DataError& error) {
        context->asker->Error(main_window, error.message());
        BackToMainWindow(main_window);
        return;
    }
    auto* window = new PreparationWindow(context, sequence, main_window);
    QObject::connect(window, &PreparationWindow::prepared, main_window,
                     [context, sequence, main_window](bool ok) {
                         if (ok && sequence->stage() == data::RunStage::kPrepared) {
                             main_window->setEnabled(true);
                             OpenRunWindow(context, sequence, main_window);
                         } else {
                             BackToMainWindow(main_window);
                         }
                     });
    main_window->setEnabled(false);
    window->setEnabled(true);  // a window of its own, not disabled with its parent
    window->OpenModal();
    window->start();
}

}  // namespace

// The main window stays maximised behind the run's windows: in its normal
// state it would shrink to the least its menu needs.
void StartRunFlow(ProgramContext* context, QWidget* main_window) {
    auto sequence = std::make_shared<data::RunSequence>(context->paths);
    data::DataProblem problem = data::DataProblem::kNone;
    try {
        problem = sequence->Check();
    } catch (const data::DataError& error) {
        context->asker->Error(main_window, error.message());
        BackToMainWindow(main_window);
        return;
    }
    if (problem != data::DataProblem::kNone) {
        context->asker->Error(main_window, data::DataProblemMessage(problem));
        BackToMainWindow(main_window);
        return;
    }
    auto* dialog = new RequestedSolutionsWindow(context, sequence, main_window);
    QObject::connect(dialog, &QDialog::finished, main_window, [context, sequence, main_window] {
        if (sequence->stage() == data::RunStage::kRequestedStored) {
            Prepare(context, sequence, main_window);
        } else {
            BackToMainWindow(main_window);
        }
    });
    dialog->OpenModal();
}

}  // namespace taktirio::gui
