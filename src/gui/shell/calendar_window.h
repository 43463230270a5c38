#pragma once

#include "gui/common/window.h"

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace taktirio::gui {

class DatePicker;

// The church calendar TForm22: a month calendar, the Orthodox Easter of a
// year and the number of days between two dates. It touches no database.
class CalendarWindow : public Window {
    Q_OBJECT

  public:
    explicit CalendarWindow(QWidget* parent = nullptr);

  private:
    QWidget* createEaster();
    QWidget* createDaysBetween();
    void find_pasxa(const QString& year_text);
    void showDaysBetween();

    QCalendarWidget* calendar_;
    QSpinBox* year_;
    QLabel* easter_;
    DatePicker* from_;
    DatePicker* to_;
    QLineEdit* from_text_;
    QLineEdit* to_text_;
    QLabel* days_;
};

}  // namespace taktirio::gui
