#include "gui/shell/calendar_window.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/calendar/church_calendar.h"
#include "gui/common/date_picker.h"
#include "gui/common/look.h"

namespace taktirio::gui {

namespace {

// A year box whose typed text can be followed before it becomes a value.
class YearBox : public QSpinBox {
  public:
    using QSpinBox::lineEdit;
    using QSpinBox::QSpinBox;
};

core::CivilDate ToCivil(const QDate& date) {
    return {date.year(), date.month(), date.day()};
}

// The short date of the program's locale (Greek, set at start), as the pickers show it.
QString ShortDate(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

}  // namespace

CalendarWindow::CalendarWindow(QWidget* parent) : Window("TForm22", U("Ημερολογιακά"), parent) {
    QGroupBox* group = MakeGroupBox(this, "GroupBox1", U("Ημερολογιακά"));
    calendar_ = new QCalendarWidget(group);
    calendar_->setObjectName(QStringLiteral("MonthCalendar1"));
    calendar_->setGridVisible(true);
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(calendar_);
    inside->addWidget(MakeLabel(group, "Label1", U("Για αλλαγή κάνε click στο μήνα ή έτος")));
    inside->addSpacing(6);
    inside->addWidget(createEaster());
    inside->addSpacing(6);
    inside->addWidget(createDaysBetween());

    QPushButton* exit = MakeButton(this, "Button1", U("Έξοδος"), U("Έξοδος"));
    auto* column = new QVBoxLayout(this);
    column->addWidget(group);
    column->addWidget(exit, 0, Qt::AlignRight);
    setDefaultButton(exit);
    setExitButton(exit);
    connect(exit, &QPushButton::clicked, this, &QWidget::close);

    const QDate today = QDate::currentDate();
    year_->setValue(today.year());
    find_pasxa(year_->text());
    calendar_->setSelectedDate(today);
    from_->setDate(today);
    to_->setDate(today);
    from_text_->setText(ShortDate(today));
    to_text_->setText(ShortDate(today));
    showDaysBetween();
}

QWidget* CalendarWindow::createEaster() {
    auto* row = new QWidget(this);
    auto* year = new YearBox(row);
    year_ = year;
    year_->setObjectName(QStringLiteral("SpinEdit1"));
    year_->setToolTip(U("Έτος"));
    year_->setRange(core::kFirstEasterYear, core::kLastEasterYear);
    easter_ = MakeLabel(row, "Label2", {});
    easter_->setMinimumWidth(easter_->fontMetrics().horizontalAdvance(U("είναι 30 Απριλίου")) + 8);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(MakeLabel(row, "Label3", U("Το Πάσχα για το έτος:")));
    line->addWidget(year_);
    line->addWidget(easter_);
    line->addStretch();
    // The text, not the value: a year typed outside the range empties the
    // result at once, while the box still holds the last valid value.
    connect(year->lineEdit(), &QLineEdit::textChanged, this, &CalendarWindow::find_pasxa);
    return row;
}

QWidget* CalendarWindow::createDaysBetween() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(MakeLabel(box, "Label4", U("Αριθμός ημερών μεταξύ δύο ημερομηνιών")), 0, 0, 1,
                    3);
    const auto add_picker = [this, box, grid](int row, const char* label_name, const QString& label,
                                              const char* picker_name, const char* edit_name,
                                              DatePicker*& picker, QLineEdit*& edit) {
        picker = new DatePicker(box);
        picker->setObjectName(QString::fromLatin1(picker_name));
        picker->setToolTip(U("Επέλεξε ή δώσε ημερομηνία"));
        edit = new QLineEdit(box);
        edit->setObjectName(QString::fromLatin1(edit_name));
        edit->setReadOnly(true);
        grid->addWidget(MakeLabel(box, label_name, label), row, 0);
        grid->addWidget(picker, row, 1);
        grid->addWidget(edit, row, 2);
        connect(picker, &DatePicker::dateChanged, this, [this, edit](const QDate& date) {
            edit->setText(ShortDate(date));
            showDaysBetween();
        });
    };
    add_picker(1, "Label5", U("Από:"), "DateTimePicker1", "Edit1", from_, from_text_);
    add_picker(2, "Label6", U("Μέχρι:"), "DateTimePicker2", "Edit2", to_, to_text_);
    days_ = MakeLabel(box, "Label7", {});
    days_->setMinimumWidth(days_->fontMetrics().horizontalAdvance(U("Αριθμός ημερών=000000")));
    grid->addWidget(days_, 3, 0, 1, 3);
    return box;
}

void CalendarWindow::find_pasxa(const QString& year_text) {
    bool ok = false;
    const int year = year_text.trimmed().toInt(&ok);
    easter_->setText(ok ? QString::fromStdString(core::EasterText(year)) : QString());
}

void CalendarWindow::showDaysBetween() {
    days_->setText(QString::fromStdString(
        core::DaysBetweenText(ToCivil(from_->date()), ToCivil(to_->date()))));
}

}  // namespace taktirio::gui
