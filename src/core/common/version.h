#pragma once

namespace taktirio {

// The program's version as the About window shows it; both programs print it
// for --version, and their manual pages are made from that output.
inline constexpr char kVersionText[] = "Version 4.0.2.2024-2025";

}  // namespace taktirio
