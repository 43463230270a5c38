#pragma once

#include <array>
#include <string_view>

namespace taktirio {

// The weekly time grid: 5 days, at most 10 hours a day, slots numbered hour by
// hour so that slot s and s + 5 are consecutive hours of one day.
inline constexpr int kDays = 5;
inline constexpr int kMaxHoursPerDay = 10;
inline constexpr int kSlots = kDays * kMaxHoursPerDay;  // 50
inline constexpr int kSlotColumns = kSlots + 1;         // index 0 unused
inline constexpr int kFirstEighthHourSlot = 36;
inline constexpr int kLastEighthHourSlot = 40;
inline constexpr int kMaxCount = 255;  // classes, teachers and hours are bytes

constexpr int SlotOf(int day, int hour) {
    return (hour - 1) * kDays + day;
}
constexpr int DayOfSlot(int slot) {
    return ((slot - 1) % kDays) + 1;
}
constexpr int HourOfSlot(int slot) {
    return ((slot - 1) / kDays) + 1;
}
constexpr bool IsSlot(int slot) {
    return slot >= 1 && slot <= kSlots;
}

// Day names as the working copy and the solution pages write them.
inline constexpr std::array<std::string_view, kDays + 1> kDayNamesUpper = {
    "", "ΔΕΥΤΕΡΑ", "ΤΡΙΤΗ", "ΤΕΤΑΡΤΗ", "ΠΕΜΠΤΗ", "ΠΑΡΑΣΚΕΥΗ"};
// Day names as the entry database and its windows write them.
inline constexpr std::array<std::string_view, kDays + 1> kDayNames = {
    "", "Δευτέρα", "Τρίτη", "Τετάρτη", "Πέμπτη", "Παρασκευή"};

}  // namespace taktirio
