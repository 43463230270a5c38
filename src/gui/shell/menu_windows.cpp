#include "shell/menu_windows.h"

#include "run/run_flow.h"

namespace taktirio::gui {

// Each window of a menu item gets its case here, e.g.
//     case MenuWindow::kClasses:
//         (new ClassesWindow(context, parent))->OpenModal();
//         return true;
bool OpenMenuWindow(MenuWindow which, [[maybe_unused]] ProgramContext* context,
                    [[maybe_unused]] QWidget* parent) {
    switch (which) {
        case MenuWindow::kSolve:
            StartRunFlow(context, parent);
            return true;
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
        case MenuWindow::kPrint:
        case MenuWindow::kFreeHourTeachers:
            return false;
    }
    return false;
}

}  // namespace taktirio::gui
