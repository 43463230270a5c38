#pragma once

#include <QString>

#include "core/common/version.h"

class QWidget;

namespace taktirio::gui {

class Desktop;

// The program's own contact details, shown by the start-up, login, main and
// About windows. Neutral addresses of the reserved example domain.
inline constexpr char kMakerName[] = "MERIDON SOFTWARE DEVELOPMENT";
using taktirio::kVersionText;  // common/version.h
inline constexpr char kWebSite[] = "https://taktirio.example.org";
inline constexpr char kHelpSite[] = "https://taktirio.example.org/help";
inline constexpr char kNewsSite[] = "https://taktirio.example.org/news";
inline constexpr char kMailAddress[] = "info@taktirio.example.org";
inline constexpr char kPhoneNumber[] = "+302100000000";

// The product name in the large white-on-blue or dark face of the windows.
QWidget* MakeProductName(QWidget* parent, const char* object_name, bool on_dark);

// The maker's name and the web, mail and call links, in one column.
QWidget* MakeContactBlock(QWidget* parent, Desktop* desktop);

}  // namespace taktirio::gui
