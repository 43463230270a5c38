#pragma once

class QWidget;

namespace taktirio::gui {

struct ProgramContext;

// The main menu's items that open windows of their own.
enum class MenuWindow {
    kClasses,           // TForm10
    kTeachers,          // TForm11
    kTeacherPairs,      // TForm12
    kAllocation,        // TForm13
    kEightHourDays,     // TForm14, after its guard
    kPinnedLessons,     // TForm15
    kAbsentDays,        // TForm16
    kFreeHours,         // TForm17
    kTwoClassTeachers,  // TForm18
    kLessonSplit,       // TForm19
    kExclusivePairs,    // TForm20
    kTeacherView,       // TForm25
    kSolve,             // the checks and the way into a run
    kPrint,             // TForm1A
    kFreeHourTeachers,  // TForm24
    kSolutionEdit,      // hand changes to a found solution
};

// Opens the window of a menu item, modal to the program, and returns true;
// false while the item's window is not part of the program yet. This is the
// one place where the main menu learns about a new window.
bool OpenMenuWindow(MenuWindow which, ProgramContext* context, QWidget* parent);

}  // namespace taktirio::gui
