#pragma once

namespace taktirio::data {

// The data-entry windows' one refusal text.
inline constexpr char kEntryRefusedMessage[] = "Δεν επιτρέπεται αυτή η καταχώρηση.";

// The red note under every free-text box.
inline constexpr char kQuoteNote[] =
    "Δεν γίνεται δεκτή η χρήση μονών ή διπλών εισαγωγικών (πχ ' , \")";

// The five school days as the entry database writes them, Monday first.
inline constexpr const char* kEntryDays[] = {"Δευτέρα", "Τρίτη", "Τετάρτη", "Πέμπτη", "Παρασκευή"};

}  // namespace taktirio::data
