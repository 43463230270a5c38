#pragma once

class QWidget;

namespace taktirio::gui {

struct ProgramContext;

// The menu command "Εύρεση - υπολογισμός &λύσεων": the checks before a run
// (messages A and B), the requested solutions (TForm8), the preparation of
// the working copy (TForm4, the main window disabled meanwhile) and the run
// window (TForm1). Each window opens when the one before has closed; the
// program directory is locked from the preparation until the run window goes.
void StartRunFlow(ProgramContext* context, QWidget* main_window);

}  // namespace taktirio::gui
