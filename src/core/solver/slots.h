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
// Seven hours a day: the slots 1..35 of a week before any eighth hour.
inline constexpr int kSevenHourWeekSlots = 7 * kDays;                    // 35
inline constexpr int kFirstEighthHourSlot = kSevenHourWeekSlots + 1;     // 36
inline constexpr int kLastEighthHourSlot = kSevenHourWeekSlots + kDays;  // 40
// A school with eighth hours on some days (a busiest week of 36 to 39 hours)
// maps a class section's hour positions 36..39 onto those days' eighth-hour
// slots, in order.
inline constexpr int kFirstEighthHourPosition = kSevenHourWeekSlots + 1;         // 36
inline constexpr int kLastEighthHourPosition = kSevenHourWeekSlots + kDays - 1;  // 39
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
