#include "gui/common/maker.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/common/link_label.h"
#include "gui/common/look.h"

namespace taktirio::gui {

QWidget* MakeProductName(QWidget* parent, const char* object_name, bool on_dark) {
    QLabel* label = MakeLabel(parent, object_name, QStringLiteral("TAKTIRIO"));
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(37);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    if (on_dark) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(palette);
    }
    return label;
}

QWidget* MakeContactBlock(QWidget* parent, Desktop* desktop) {
    auto* block = new QWidget(parent);
    block->setObjectName(QStringLiteral("ContactBlock"));
    auto* form = new QFormLayout(block);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(MakeLabel(block, "MakerName", QString::fromLatin1(kMakerName)));
    form->addRow(U("Ιστοσελίδα:"),
                 new LinkLabel("WebLink", QString::fromLatin1(kWebSite),
                               QUrl(QString::fromLatin1(kWebSite)), desktop, block));
    form->addRow(QStringLiteral("E-mail:"),
                 new LinkLabel("MailLink", QString::fromLatin1(kMailAddress),
                               QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMailAddress)),
                               desktop, block));
    form->addRow(U("Τηλέφωνο:"),
                 new LinkLabel("CallLink", QStringLiteral("+30 210 000 0000"),
                               QUrl(QStringLiteral("tel:") + QString::fromLatin1(kPhoneNumber)),
                               desktop, block));
    return block;
}

}  // namespace taktirio::gui
