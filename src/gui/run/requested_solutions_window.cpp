#include "gui/run/requested_solutions_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "data/prepare/requested_solutions.h"
#include "data/run/run_sequence.h"
#include "gui/common/asker.h"
#include "gui/common/look.h"
#include "gui/common/program_context.h"

namespace taktirio::gui {

RequestedSolutionsWindow::RequestedSolutionsWindow(ProgramContext* context,
                                                   std::shared_ptr<data::RunSequence> sequence,
                                                   QWidget* parent)
    : Window("TForm8", U("Ζητούμενες λύσεις"), parent),
      context_(context),
      sequence_(std::move(sequence)) {
    count_ = new QSpinBox(this);
    count_->setObjectName(QStringLiteral("SpinEdit1"));
    count_->setRange(data::kMinSolutionsRequested, data::kMaxSolutionsRequested);
    count_->setValue(1);
    count_->setToolTip(U("Ζητούμενες λύσεις"));
    auto* row = new QHBoxLayout;
    row->addWidget(MakeLabel(this, "Label1", U("Ζητούμενες λύσεις (1 - 254):")));
    row->addWidget(count_);
    QPushButton* ok = MakeButton(this, "Button1", U("&OK"));
    QPushButton* exit = MakeButton(this, "Button2", U("Έξο&δος"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addSpacing(12);
    column->addLayout(buttons);
    setDefaultButton(ok);
    setExitButton(exit);
    connect(ok, &QPushButton::clicked, this, &RequestedSolutionsWindow::store);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);
}

void RequestedSolutionsWindow::store() {
    const int solutions = count_->value();
    if (solutions < data::kMinSolutionsRequested || solutions > data::kMaxSolutionsRequested) {
        return;
    }
    try {
        sequence_->StoreRequestedSolutions(solutions);
    } catch (const data::DataError& error) {
        context_->asker->Error(this, error.message());  // the dialog stays open
        return;
    }
    close();
}

}  // namespace taktirio::gui
