#include "gui/common/date_picker.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QToolButton>
#include <QWidgetAction>
#include <algorithm>
#include <array>

namespace taktirio::gui {

namespace {

// Where day, month and year stand in the locale's short date format.
struct FieldOrder {
    int day;
    int month;
    int year;
};

FieldOrder ShortFormatOrder() {
    const QString format = QLocale().dateFormat(QLocale::ShortFormat);
    std::array<std::pair<qsizetype, int*>, 3> fields{};
    FieldOrder order{0, 1, 2};
    fields[0] = {format.indexOf(u'd'), &order.day};
    fields[1] = {format.indexOf(u'M'), &order.month};
    fields[2] = {format.indexOf(u'y'), &order.year};
    std::sort(fields.begin(), fields.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < 3; ++i) {
        *fields[static_cast<std::size_t>(i)].second = i;
    }
    return order;
}

int FullYear(const QString& digits, const QDate& today) {
    const int year = digits.toInt();
    if (digits.size() == 4) {
        return year;
    }
    // The two-digit year within fifty years of today.
    const int century = today.year() / 100 * 100;
    int full = century + year;
    if (full > today.year() + 49) {
        full -= 100;
    } else if (full < today.year() - 50) {
        full += 100;
    }
    return full;
}

QString Shown(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

}  // namespace

QDate ParseTypedDate(const QString& text, const QDate& today) {
    static const QRegularExpression whole(
        QStringLiteral("^(\\d{1,4})[/.\\-](\\d{1,4})[/.\\-](\\d{1,4})$"));
    const QRegularExpressionMatch match = whole.match(text.trimmed());
    if (!match.hasMatch()) {
        return {};
    }
    const FieldOrder order = ShortFormatOrder();
    const QString day = match.captured(order.day + 1);
    const QString month = match.captured(order.month + 1);
    const QString year = match.captured(order.year + 1);
    if (day.size() > 2 || month.size() > 2 || (year.size() != 2 && year.size() != 4)) {
        return {};
    }
    return QDate(FullYear(year, today), month.toInt(), day.toInt());
}

DatePicker::DatePicker(QWidget* parent) : QWidget(parent) {
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("DateText"));
    // Digits and the separators only, never more than a whole date.
    text_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,4}([/.\\-][0-9]{0,4}){0,2}")), text_));
    text_->setMaxLength(10);
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) +
                           16);
    text_->installEventFilter(this);

    calendar_ = new QCalendarWidget;
    calendar_->setObjectName(QStringLiteral("DateCalendar"));
    calendar_->setGridVisible(true);
    popup_ = new QMenu(this);
    auto* holder = new QWidgetAction(popup_);
    holder->setDefaultWidget(calendar_);
    popup_->addAction(holder);
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("DateButton"));
    button_->setArrowType(Qt::DownArrow);
    button_->setMenu(popup_);
    button_->setPopupMode(QToolButton::InstantPopup);
    button_->setFocusPolicy(Qt::NoFocus);
    // The text as high as the button beside it, so that they read as one control.
    text_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(text_);
    row->addWidget(button_);
    setFocusProxy(text_);

    connect(text_, &QLineEdit::textEdited, this, &DatePicker::takeTypedText);
    connect(text_, &QLineEdit::editingFinished, this, &DatePicker::finishTyping);
    connect(popup_, &QMenu::aboutToShow, this, [this] {
        if (date_.isValid()) {
            calendar_->setSelectedDate(date_);
        }
    });
    connect(calendar_, &QCalendarWidget::clicked, this, [this](QDate chosen) {
        popup_->close();
        setDate(chosen);
    });
    connect(calendar_, &QCalendarWidget::activated, this, [this](QDate chosen) {
        popup_->close();
        setDate(chosen);
    });
}

void DatePicker::setDate(const QDate& date) {
    if (!date.isValid()) {
        return;
    }
    const bool changed = date != date_;
    date_ = date;
    before_typing_ = date;
    text_->setText(Shown(date_));
    if (changed) {
        emit dateChanged(date_);
    }
}

void DatePicker::takeTypedText(const QString& text) {
    const QDate typed = ParseTypedDate(text, QDate::currentDate());
    if (typed.isValid() && typed != date_) {
        date_ = typed;
        emit dateChanged(date_);
    }
}

void DatePicker::finishTyping() {
    // A text that is not a whole date, e.g. "1/9/202" on its way from
    // "1/9/20", leaves the date the typing started from.
    if (!ParseTypedDate(text_->text(), QDate::currentDate()).isValid()) {
        setDate(before_typing_);
        return;
    }
    setDate(date_);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::FocusIn) {
        // After the click that brought the focus, which would place the cursor.
        QTimer::singleShot(0, text_, &QLineEdit::selectAll);
    }
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter takes the typed date, and presses no button of the window.
            finishTyping();
            text_->selectAll();
            return true;
        }
        if ((key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier) ||
            key->key() == Qt::Key_F4) {
            button_->showMenu();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace taktirio::gui
