#include "gui/common/look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>

#include "gui/common/qt_texts.h"

namespace taktirio::gui {

QString DisplayText(const QString& text) {
    QString shown = text;
    shown.replace(u'\r', u'\n');
    return shown;
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString ProgramFontFamily() {
    const QStringList greek = QFontDatabase::families(QFontDatabase::Greek);
    for (const QString& preferred : {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")}) {
        if (greek.contains(preferred, Qt::CaseInsensitive)) {
            return preferred;
        }
    }
    return greek.isEmpty() ? QApplication::font().family() : greek.first();
}

void SetUpProgram(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("taktirio"));
    QApplication::setDesktopFileName(QStringLiteral("taktirio"));
    // The start-up window is hidden while the login or the main window is up.
    QApplication::setQuitOnLastWindowClosed(false);
    ApplyProgramLook(app);
}

void ApplyProgramLook(QApplication& app) {
    const QString family = ProgramFontFamily();
    // Tahoma 8 point is the program's face; DejaVu Sans reads alike at 9.
    QFont font(family, family == QLatin1String("Tahoma") ? 8 : 9);
    app.setFont(font);
    QApplication::setWindowIcon(ProgramIcon());
    // Month and day names, the date pickers' formats and Qt's own dialogs in
    // Greek whatever the system's language: the whole interface is Greek.
    QLocale::setDefault(QLocale(QLocale::Greek, QLocale::Greece));
    InstallQtGreekTexts(app);
}

QIcon ProgramIcon() {
    QPixmap pixmap(128, 128);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPanelBlue);
    painter.drawRoundedRect(4, 4, 120, 120, 16, 16);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(16, 18, 96, 94, 6, 6);
    painter.setBrush(kSkyBlue);
    painter.drawRect(16, 24, 96, 12);
    const QColor marked(240, 180, 41);
    for (int row = 0; row < 4; ++row) {
        for (int day = 0; day < 5; ++day) {
            painter.setBrush((row + day * 3) % 4 == 0 ? marked : kPanelBlue);
            painter.drawRoundedRect(22 + day * 18, 42 + row * 16, 14, 12, 2, 2);
        }
    }
    painter.end();
    return QIcon(pixmap);
}

void PaintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QPushButton* MakeButton(QWidget* parent, const char* object_name, const QString& text,
                        const QString& hint) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(object_name));
    // Room on both sides of the caption, whatever the style leaves: a long
    // caption never touches the button's edges.
    QString caption = text;
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    constexpr int kCaptionRoom = 28;
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(caption) + kCaptionRoom);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* object_name, const QString& text) {
    auto* label = new QLabel(DisplayText(text), parent);
    label->setObjectName(QString::fromLatin1(object_name));
    return label;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* object_name, const QString& title) {
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(object_name));
    return box;
}

}  // namespace taktirio::gui
