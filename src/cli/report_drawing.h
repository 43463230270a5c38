#pragma once

#include "print_command.h"

namespace taktirio::cli {

// Reads the job's page into the work tables and draws its report into the
// PDF with the report layouts: the part of `print` that needs Qt Gui.
int DrawReport(const PrintJob& job);

}  // namespace taktirio::cli
