#include "gui/shell/menu_windows.h"

#include <functional>

#include "data/database/errors.h"
#include "gui/common/asker.h"
#include "gui/common/program_context.h"
#include "gui/forms/entry_window.h"
#include "gui/forms/entry_windows.h"
#include "gui/forms/teacher_view_window.h"
#include "gui/reports/free_hour_window.h"
#include "gui/reports/print_window.h"
#include "gui/reports/solution_edit_window.h"
#include "gui/run/run_flow.h"

namespace taktirio::gui {

namespace {

// Builds a window and opens it; a database that cannot be opened is told in
// its own words and no window opens.
bool OpenBuilt(ProgramContext* context, QWidget* parent, const std::function<Window*()>& build) {
    try {
        build()->OpenModal();
    } catch (const data::DataError& error) {
        context->asker->Error(parent, error.message());
    }
    return true;
}

bool OpenEntry(data::EntryWindow which, ProgramContext* context, QWidget* parent) {
    return OpenBuilt(context, parent, [&] { return MakeEntryWindow(which, context, parent); });
}

}  // namespace

// Each window of a menu item gets its case here, e.g.
//     case MenuWindow::kPrint:
//         (new PrintWindow(context, parent))->OpenModal();
//         return true;
bool OpenMenuWindow(MenuWindow which, ProgramContext* context, QWidget* parent) {
    switch (which) {
        case MenuWindow::kSolve:
            StartRunFlow(context, parent);
            return true;
        case MenuWindow::kClasses:
            return OpenEntry(data::EntryWindow::kClasses, context, parent);
        case MenuWindow::kTeachers:
            return OpenEntry(data::EntryWindow::kTeachers, context, parent);
        case MenuWindow::kTeacherPairs:
            return OpenEntry(data::EntryWindow::kPairs, context, parent);
        case MenuWindow::kAllocation:
            return OpenEntry(data::EntryWindow::kAllocation, context, parent);
        case MenuWindow::kEightHourDays:
            return OpenEntry(data::EntryWindow::kEighthHourDays, context, parent);
        case MenuWindow::kPinnedLessons:
            return OpenEntry(data::EntryWindow::kPinned, context, parent);
        case MenuWindow::kAbsentDays:
            return OpenEntry(data::EntryWindow::kAbsentDays, context, parent);
        case MenuWindow::kFreeHours:
            return OpenEntry(data::EntryWindow::kFreeHours, context, parent);
        case MenuWindow::kTwoClassTeachers:
            return OpenEntry(data::EntryWindow::kJoint, context, parent);
        case MenuWindow::kLessonSplit:
            return OpenEntry(data::EntryWindow::kSplit, context, parent);
        case MenuWindow::kExclusivePairs:
            return OpenEntry(data::EntryWindow::kApart, context, parent);
        case MenuWindow::kTeacherView:
            return OpenBuilt(context, parent,
                             [&] { return new TeacherViewWindow(context, parent); });
        case MenuWindow::kPrint:
            // Made once and shown again at every opening.
            OpenPrintWindow(context, parent);
            return true;
        case MenuWindow::kFreeHourTeachers:
            (new FreeHourWindow(context, parent))->OpenModal();
            return true;
        case MenuWindow::kSolutionEdit:
            (new SolutionEditWindow(context, parent))->OpenModal();
            return true;
    }
    return false;
}

}  // namespace taktirio::gui
