#include "gui/shell/startup_window.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/shell/startup.h"
#include "gui/common/look.h"
#include "gui/common/maker.h"

namespace taktirio::gui {

StartupWindow::StartupWindow(Desktop* desktop, QWidget* parent)
    : Window("TForm3", QString::fromUtf8(data::kProgramTitle), parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Panel1"));
    frame->setFrameShape(QFrame::Box);
    auto* column = new QVBoxLayout(frame);
    column->setSpacing(8);
    column->setContentsMargins(24, 16, 24, 16);
    column->addWidget(MakeProductName(frame, "Label1", false));
    QLabel* version = MakeLabel(frame, "Label2", QString::fromLatin1(kVersionText));
    version->setAlignment(Qt::AlignCenter);
    column->addWidget(version);
    // Two blanks after the comma, as the program always showed the line.
    QLabel* schools = MakeLabel(frame, "Label3", U("Για τα Γυμνάσια, Λύκεια,  Ιδιωτικά Σχολεία"));
    schools->setAlignment(Qt::AlignCenter);
    QFont bold = schools->font();
    bold.setBold(true);
    schools->setFont(bold);
    column->addWidget(schools);
    column->addSpacing(8);
    column->addWidget(MakeContactBlock(frame, desktop), 0, Qt::AlignHCenter);
    QPushButton* ok = MakeButton(frame, "Button1", QStringLiteral("&OK"), QStringLiteral("OK"));
    column->addSpacing(8);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    setDefaultButton(ok);
    connect(ok, &QPushButton::clicked, this, &StartupWindow::okPressed);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
}

}  // namespace taktirio::gui
