#include "gui/shell/about_window.h"

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/desktop.h"
#include "gui/common/look.h"
#include "gui/common/maker.h"

namespace taktirio::gui {

AboutWindow::AboutWindow(Desktop* desktop, QWidget* parent)
    : Window("TForm150", QStringLiteral("About TAKTIRIO"), parent), desktop_(desktop) {
    QGroupBox* group = MakeGroupBox(this, "GroupBox1", QStringLiteral("About TAKTIRIO"));
    auto* inside = new QVBoxLayout(group);
    inside->setContentsMargins(24, 12, 24, 12);
    inside->addWidget(MakeProductName(group, "Label1", false));
    QLabel* version = MakeLabel(group, "Label2", QString::fromLatin1(kVersionText));
    version->setAlignment(Qt::AlignCenter);
    inside->addWidget(version);
    inside->addSpacing(8);
    inside->addWidget(MakeContactBlock(group, desktop), 0, Qt::AlignHCenter);

    QPushButton* ok = MakeButton(this, "Button1", QStringLiteral("OK"), QStringLiteral("OK"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    setDefaultButton(ok);
    setExitButton(ok);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

void AboutWindow::contextMenuEvent(QContextMenuEvent* event) {
    desktop_->OpenUrl(QUrl(QString::fromLatin1(kWebSite)));
    event->accept();
}

}  // namespace taktirio::gui
