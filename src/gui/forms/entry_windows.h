#pragma once

#include "data/entry/windows.h"

class QWidget;

namespace taktirio::gui {

class DataEntryWindow;
struct ProgramContext;

// The eleven data-entry windows, TForm10 to TForm20, built with their inputs
// and their list filled (the allocation window waits for a class). Throws
// data::DataError when the entry database cannot be opened.
DataEntryWindow* MakeEntryWindow(data::EntryWindow which, ProgramContext* context,
                                 QWidget* parent = nullptr);

}  // namespace taktirio::gui
