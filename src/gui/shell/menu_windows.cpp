#include "shell/menu_windows.h"

namespace taktirio::gui {

bool OpenMenuWindow(MenuWindow which, ProgramContext* context, QWidget* parent) {
    static_cast<void>(context);
    static_cast<void>(parent);
    switch (which) {
        case MenuWindow::kClasses:
        case MenuWindow::kTeachers:
        case MenuWindow::kTeacherPairs:
        case MenuWindow::kAllocation:
        case MenuWindow::kEightHourDays:
        case MenuWindow::kPinnedLessons:
        case MenuWindow::kAbsentDays:
        case MenuWindow::kFreeHours:
        case MenuWindow::kTwoClassTeachers:
        case MenuWindow::kLessonSplit:
        case MenuWindow::kExclusivePairs:
        case MenuWindow::kTeacherView:
        case MenuWindow::kSolve:
        case MenuWindow::kPrint:
        case MenuWindow::kFreeHourTeachers:
            return false;
    }
    return false;
}

}  // namespace taktirio::gui
