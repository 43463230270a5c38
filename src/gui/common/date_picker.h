#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QMenu;
class QToolButton;

namespace taktirio::gui {

// A date picker whose date is typed whole, in the format it shows (the short
// date of the program's locale), or chosen in a month calendar that drops
// down from its button (or Alt+Down). A click into the text selects all of
// it, so that typing replaces it. The date follows the text whenever it is a
// whole date; on Enter (which presses no button of the window) or when the
// picker loses the focus, a text that is no whole date gives way to the date
// the typing started from.
class DatePicker : public QWidget {
    Q_OBJECT

  public:
    explicit DatePicker(QWidget* parent = nullptr);

    QDate date() const { return date_; }
    void setDate(const QDate& date);
    QLineEdit* lineEdit() const { return text_; }

  signals:
    void dateChanged(const QDate& date);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void takeTypedText(const QString& text);
    void finishTyping();

    QDate date_;
    QDate before_typing_;  // the date to go back to when the typed text is no date
    QLineEdit* text_;
    QToolButton* button_;
    QMenu* popup_;
    QCalendarWidget* calendar_;
};

// The date a person typed in the short date format of the program's locale:
// day, month and year in that format's order, with "/", "." or "-" between
// them, the day and the month in one or two digits, the year in two or four.
// A two-digit year is the one within fifty years of `today`. An invalid date
// when the text is not a whole date.
QDate ParseTypedDate(const QString& text, const QDate& today);

}  // namespace taktirio::gui
