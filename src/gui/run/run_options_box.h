#pragma once

#include <QWidget>

#include "core/run/run_settings.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace taktirio::gui {

// The run's placement options as the user sets them: the most last hours of
// a teacher in a week, whether single hours may form runs, the most hours of
// a teacher in a day, the most hours of a teacher in one class section in a
// day, at most four hours in a row. Every number offers the range
// RunSettingsValid checks (run_settings.h), no other.
//
// The run window shows them in full: a label above each limit, its number
// shown only while the limit is on, the single hours as two choices, and a
// notice for each option that makes the search slower. The solution editor
// shows them compactly beside its week: short texts, each number beside its
// switch, enabled while the switch is on.
class RunOptionsBox : public QWidget {
    Q_OBJECT

  public:
    enum class Form { kFull, kCompact };

    RunOptionsBox(Form form, QWidget* parent);

    // `settings` with the placement options as shown: a limit that is off
    // carries its loosest value, as the search expects; the other fields
    // are kept.
    RunSettings Read(RunSettings settings = {}) const;
    // Shows the placement options of `settings`, without `changed`.
    void Show(const RunSettings& settings);
    // Enables or disables the controls (not their labels, which stay
    // readable); a compact number only while its switch is on as well.
    void SetControlsEnabled(bool on);

  signals:
    // An option changed, by the user or by a program (not by Show).
    void changed();
    // The user turned on an option that makes the search slower (the full
    // form's notice is the run window's to give).
    void slowerOptionChosen();

  private:
    void MakeControls();
    void LayOutFull();
    void LayOutCompact();
    void LimitClicked(QSpinBox* limit, int starting_value);
    void EnableNumbers();
    void Changed();

    Form form_;
    bool showing_ = false;  // inside Show: no `changed`
    bool controls_enabled_ = true;
    QCheckBox* last_hours_on_ = nullptr;
    QSpinBox* last_hours_ = nullptr;
    QCheckBox* day_hours_on_ = nullptr;
    QSpinBox* day_hours_ = nullptr;
    QComboBox* class_hours_ = nullptr;
    // Full: the pair of choices, the second refusing the runs; compact: one
    // switch. Either way checked means no runs of single hours.
    QRadioButton* singles_allowed_ = nullptr;
    QAbstractButton* no_single_runs_ = nullptr;
    QCheckBox* four_in_a_row_ = nullptr;
};

}  // namespace taktirio::gui
