#include "shell/menu_windows.h"

#include "reports/free_hour_window.h"
#include "reports/print_window.h"

namespace taktirio::gui {

// Each window of a menu item gets its case here, e.g.
//     case MenuWindow::kClasses:
//         (new ClassesWindow(context, parent))->OpenModal();
//         return true;
bool OpenMenuWindow(MenuWindow which, [[maybe_unused]] ProgramContext* context,
                    [[maybe_unused]] QWidget* parent) {
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
            return false;
        case MenuWindow::kPrint:
            // Made once and shown again at every opening.
            OpenPrintWindow(context, parent);
            return true;
        case MenuWindow::kFreeHourTeachers:
            (new FreeHourWindow(context, parent))->OpenModal();
            return true;
    }
    return false;
}

}  // namespace taktirio::gui
