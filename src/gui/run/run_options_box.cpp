#include "gui/run/run_options_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/common/look.h"

namespace taktirio::gui {

namespace {

const RunSettings kDefaults;

QSpinBox* MakeSpin(QWidget* parent, const char* object_name, SettingRange range, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(object_name));
    spin->setRange(range.low, range.high);
    spin->setValue(value);
    return spin;
}

QCheckBox* MakeCheck(QWidget* parent, const char* object_name, const QString& text) {
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(QString::fromLatin1(object_name));
    return check;
}

// A switch and its number side by side, at the left.
QHBoxLayout* SwitchRow(QWidget* on, QWidget* number) {
    auto* row = new QHBoxLayout;
    row->addWidget(on);
    if (number != nullptr) {
        row->addWidget(number);
    }
    row->addStretch();
    return row;
}

}  // namespace

RunOptionsBox::RunOptionsBox(Form form, QWidget* parent) : QWidget(parent), form_(form) {
    MakeControls();
    if (form_ == Form::kFull) {
        LayOutFull();
    } else {
        LayOutCompact();
    }
    connect(class_hours_, &QComboBox::currentIndexChanged, this, &RunOptionsBox::Changed);
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             last_hours_on_, day_hours_on_, no_single_runs_, four_in_a_row_}) {
        connect(button, &QAbstractButton::toggled, this, &RunOptionsBox::Changed);
    }
    for (QSpinBox* spin : {last_hours_, day_hours_}) {
        connect(spin, &QSpinBox::valueChanged, this, &RunOptionsBox::Changed);
    }
}

// The controls of both forms, named as each window has always named them.
void RunOptionsBox::MakeControls() {
    const bool full = form_ == Form::kFull;
    last_hours_on_ = MakeCheck(this, full ? "CheckBox1" : "CheckLastHours",
                               full ? U("Ενεργοποίηση") : U("Τελευταίες ώρες την εβδομάδα, έως"));
    last_hours_ = MakeSpin(this, full ? "SpinEdit1" : "SpinLastHours", kLastHoursLimitRange,
                           kDefaults.last_hours_limit);
    day_hours_on_ = MakeCheck(this, full ? "CheckBox2" : "CheckDayHours",
                              full ? U("Ενεργοποίηση") : U("Ώρες την ημέρα, έως"));
    day_hours_ = MakeSpin(this, full ? "SpinEdit2" : "SpinDayHours", kDayHoursLimitRange,
                          kDefaults.day_hours_limit);
    class_hours_ = new QComboBox(this);
    class_hours_->setObjectName(full ? QStringLiteral("ComboBox1")
                                     : QStringLiteral("ComboMaxPerDay"));
    for (int hours = kClassHoursPerDayRange.low; hours <= kClassHoursPerDayRange.high; ++hours) {
        class_hours_->addItem(QString::number(hours));
    }
    four_in_a_row_ =
        MakeCheck(this, full ? "CheckBox3" : "CheckFourInARow",
                  full ? U("Συνεχόμενος αριθμός ωρών διδασκαλίας ενός καθηγητή σε μια μέρα <=4")
                       : U("Έως 4 ώρες στη σειρά"));
    if (!full) {
        no_single_runs_ = MakeCheck(this, "CheckNoSingleRuns", U("Όχι συνεχόμενα μονόωρα"));
        return;
    }
    singles_allowed_ = new QRadioButton(
        U("Επιτρεπτή τοποθέτηση μονόωρων ώστε να σχηματίζονται συνεχόμενα 2 ωρα ή 3 ωρα"), this);
    singles_allowed_->setObjectName(QStringLiteral("RadioButton1"));
    singles_allowed_->setChecked(true);
    auto* singles_refused = new QRadioButton(
        U("Μη επιτρεπτή τοποθέτηση μονόωρων ώστε να σχηματίζονται συνεχόμενα 2 ωρα ή 3 ωρα"), this);
    singles_refused->setObjectName(QStringLiteral("RadioButton2"));
    no_single_runs_ = singles_refused;
}

// A label above each limit, whose number shows once it is switched on and
// goes back to its starting value when switched off; each option that makes
// the search slower says so as it is turned on.
void RunOptionsBox::LayOutFull() {
    last_hours_->hide();
    day_hours_->hide();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(MakeLabel(
        this, "Label3",
        U("Μέγιστος αριθμός τοποθετήσεων καθηγητή στις τελευταίες ώρες σε μιαν εβδομάδα")));
    column->addLayout(SwitchRow(last_hours_on_, last_hours_));
    column->addWidget(singles_allowed_);
    column->addWidget(no_single_runs_);
    column->addWidget(MakeLabel(this, "Label4",
                                U("Μέγιστος αριθμός ωρών διδασκαλίας ενός καθηγητή σε μια μέρα")));
    column->addLayout(SwitchRow(day_hours_on_, day_hours_));
    column->addWidget(
        MakeLabel(this, "Label5",
                  U("Μέγιστος ημερήσιος αριθμός ωρών διδασκαλίας ενός καθηγητή σε ένα τμήμα")));
    column->addLayout(SwitchRow(class_hours_, nullptr));
    column->addWidget(four_in_a_row_);

    connect(last_hours_on_, &QCheckBox::clicked, this,
            [this] { LimitClicked(last_hours_, kDefaults.last_hours_limit); });
    connect(day_hours_on_, &QCheckBox::clicked, this,
            [this] { LimitClicked(day_hours_, kDefaults.day_hours_limit); });
    connect(no_single_runs_, &QAbstractButton::clicked, this, &RunOptionsBox::slowerOptionChosen);
    connect(four_in_a_row_, &QCheckBox::clicked, this, [this](bool on) {
        if (on) {
            emit slowerOptionChosen();
        }
    });
}

void RunOptionsBox::LimitClicked(QSpinBox* limit, int starting_value) {
    if (!limit->isHidden()) {
        limit->hide();
        limit->setValue(starting_value);
    } else {
        limit->show();
        emit slowerOptionChosen();
    }
}

// The hours in one class section first, then each limit's switch with its
// number beside it, enabled while the switch is on.
void RunOptionsBox::LayOutCompact() {
    EnableNumbers();
    auto* form = new QGridLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    form->addWidget(MakeLabel(this, "Label3", U("Ώρες σε ένα τμήμα την ημέρα, έως")), 0, 0);
    form->addWidget(class_hours_, 0, 1);
    form->addWidget(last_hours_on_, 1, 0);
    form->addWidget(last_hours_, 1, 1);
    form->addWidget(day_hours_on_, 2, 0);
    form->addWidget(day_hours_, 2, 1);
    form->addWidget(no_single_runs_, 3, 0, 1, 2);
    form->addWidget(four_in_a_row_, 4, 0, 1, 2);
    form->setColumnStretch(0, 1);
    for (QCheckBox* on : {last_hours_on_, day_hours_on_}) {
        connect(on, &QCheckBox::toggled, this, &RunOptionsBox::EnableNumbers);
    }
}

void RunOptionsBox::SetControlsEnabled(bool on) {
    controls_enabled_ = on;
    for (QWidget* control : std::initializer_list<QWidget*>{
             last_hours_on_, day_hours_on_, class_hours_, no_single_runs_, four_in_a_row_}) {
        control->setEnabled(on);
    }
    if (singles_allowed_ != nullptr) {
        singles_allowed_->setEnabled(on);
    }
    EnableNumbers();
}

void RunOptionsBox::EnableNumbers() {
    const bool compact = form_ == Form::kCompact;
    last_hours_->setEnabled(controls_enabled_ && (!compact || last_hours_on_->isChecked()));
    day_hours_->setEnabled(controls_enabled_ && (!compact || day_hours_on_->isChecked()));
}

RunSettings RunOptionsBox::Read(RunSettings settings) const {
    settings.max_class_hours_per_day = kClassHoursPerDayRange.low + class_hours_->currentIndex();
    settings.last_hours_limit_on = last_hours_on_->isChecked();
    settings.last_hours_limit =
        settings.last_hours_limit_on ? last_hours_->value() : kLastHoursLimitOff;
    settings.day_hours_limit_on = day_hours_on_->isChecked();
    settings.day_hours_limit =
        settings.day_hours_limit_on ? day_hours_->value() : kDayHoursLimitOff;
    settings.no_single_hour_runs = no_single_runs_->isChecked();
    settings.four_hour_run_limit_on = four_in_a_row_->isChecked();
    return settings;
}

void RunOptionsBox::Show(const RunSettings& settings) {
    showing_ = true;
    const int hours = settings.max_class_hours_per_day;
    class_hours_->setCurrentIndex(
        kClassHoursPerDayRange.Holds(hours) ? hours - kClassHoursPerDayRange.low : 0);
    const auto limit = [this](QCheckBox* on, QSpinBox* number, bool limit_on, int value) {
        on->setChecked(limit_on);
        if (limit_on) {
            number->setValue(value);
        }
        if (form_ == Form::kFull) {
            number->setHidden(!limit_on);
        }
    };
    limit(last_hours_on_, last_hours_, settings.last_hours_limit_on, settings.last_hours_limit);
    limit(day_hours_on_, day_hours_, settings.day_hours_limit_on, settings.day_hours_limit);
    no_single_runs_->setChecked(settings.no_single_hour_runs);
    if (singles_allowed_ != nullptr) {
        singles_allowed_->setChecked(!settings.no_single_hour_runs);
    }
    four_in_a_row_->setChecked(settings.four_hour_run_limit_on);
    showing_ = false;
}

void RunOptionsBox::Changed() {
    if (!showing_) {
        emit changed();
    }
}

}  // namespace taktirio::gui
