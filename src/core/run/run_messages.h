#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run/run_engine.h"
#include "core/solver/search_evidence.h"
#include "core/solver/solver_inputs.h"

namespace taktirio {

// The texts a solving run shows. "\r" is a line break in a message.

inline constexpr const char* kDeletePreviousQuestion =
    "Βρέθηκαν προηγούμενες λύσεις για το σχολείο αυτό.\rΝα τις διαγράψω;";
inline constexpr const char* kStopQuestion = "Να διακόψω την διαδικασία υπολογισμού λύσεων;";
inline constexpr const char* kLoadingText =
    "Παρακαλώ περίμενε. Το πρόγραμμα διαβάζει από τη βάση δεδομένων.";
inline constexpr const char* kSearchingText = "Παρακαλώ περίμενε. Το πρόγραμμα βρίσκει λύσεις.";
inline constexpr const char* kNoSolutionMessage =
    "Το TAKTIRIO είναι κατασκευασμένο για να μπορεί να βρίσκει λύσεις αν υπάρχουν.\r\r"
    "Αν το TAKTIRIO δεν βρίσκει λύσεις μετά από συνεχή λειτουργία υπολογισμού λύσεων για "
    "περισσότερο από 5 minutes σε CPU με ταχύτητα 2GHz η ανώτερη αυτό μπορεί να οφείλεται σε ένα "
    "ή περισσότερους από τους πιο κάτω λόγους.\r\r"
    "1) Τα δεδομένα είναι αντιφατικά ή ανεπαρκή. Έλεγξε τα δεδομένα.\r\r"
    "2) Δεν υπάρχουν λύσεις με βάση τους περιορισμούς που έχουν επιλεχθεί για τον υπολογισμό "
    "λύσεων. Οι περιορισμοί που έθεσες για τον υπολογισμό λύσεων είναι αντιφατικοί ή πολύ "
    "αυστηροί με τα δεδομένα. Χαλάρωσε τους περιορισμούς που έθεσες για την εύρεση λύσεων.";
// A run the user stopped before its first timetable: nothing was learnt of
// the data or the options, so nothing is said of them.
inline constexpr const char* kStoppedWithoutTimetableMessage =
    "Η διαδικασία υπολογισμού λύσεων διακόπηκε από εσένα πριν βρεθεί κάποια λύση.\r\r"
    "Η διακοπή δεν σημαίνει ότι τα δεδομένα ή οι περιορισμοί που έθεσες είναι λάθος. "
    "Για να βρεθούν λύσεις, ξεκίνησε ξανά τον υπολογισμό λύσεων και άφησέ τον να λειτουργήσει "
    "περισσότερο.";
// A run whose time limit ran out before its first timetable: the search gave
// up, which is not a proof that none exists.
inline constexpr const char* kTimeLimitWithoutTimetableMessage =
    "Δεν βρέθηκε λύση μέσα στον χρόνο που δόθηκε για τον υπολογισμό λύσεων.\r\r"
    "Αυτό δεν σημαίνει ότι δεν υπάρχουν λύσεις: η αναζήτηση σταμάτησε επειδή τελείωσε ο "
    "χρόνος. Δώσε περισσότερο χρόνο ή χαλάρωσε τους περιορισμούς που έθεσες για την εύρεση "
    "λύσεων.";
inline constexpr const char* kPrintHintMessage =
    "Για την εκτύπωση των λύσεων να επιλέξεις από το\rκεντρικό menu την επιλογή Λύσεις -> "
    "Εκτύπωση λύσεων.";

// What a run that found no timetable says, by the way it ended: a stop by the
// user and a time limit say only that; any other end gets kNoSolutionMessage,
// the reasons in the data and the options. (A proof that none exists has its
// own message, RunSummary::impossibility.)
const char* NoTimetableMessage(RunEnd end);

// The line that shows a search at work before and between its solutions:
// the time since it started (hours:minutes:seconds) and the attempts so far.
std::string SearchProgressText(std::int64_t elapsed_seconds, std::int64_t attempts);

// "Λύση=" + n + " Χρόνος=" + time + ", βρέθηκε στο " + found at. The time
// is the page's, counted from the solution before; "found at" counts from
// the run's start, so that the lines read in the order the solutions were
// found even when one took longer than the next (a rework, another thread).
inline constexpr const char* kFoundAtWords = "βρέθηκε στο";
std::string SolutionLine(int solution, const std::string& time_text,
                         const std::string& found_at_text);

// A run whose exact search proved that the school has no timetable besides
// the `found` ones its pages hold.
std::string NoFurtherTimetableMessage(int found);

// The summary at the end of a run.
std::string SummaryMessage(int found, int requested, const std::string& total_time_text);

// What a run says of its end while it is over, in the words of its messages:
// how it ended (a proof, the time limit, a stop, a page not written; nothing
// more when every solution was found) and, on a line of its own, how many of
// those requested were found.
inline constexpr const char* kTimeLimitReachedText = "Το χρονικό όριο εξαντλήθηκε.";
inline constexpr const char* kStoppedByUserText =
    "Η διαδικασία υπολογισμού λύσεων διακόπηκε από εσένα.";
std::string RunEndText(const RunSummary& summary);

// After a page that could not be written (its own message comes first): that
// the search stopped, which pages were written, and whether the previous
// pages were kept.
std::string PageNotWrittenEnding(int found, bool previous_pages_kept);

// A run that wrote no page put the previous pages back.
inline constexpr const char* kPreviousPagesKeptMessage = "Οι προηγούμενες λύσεις δεν διαγράφηκαν.";

// The offer to open the solutions folder (the "o" of "Τo" is a Latin letter).
std::string OpenFolderQuestion(const std::string& directory);

// Shown when the solutions folder cannot be opened.
std::string FolderNotOpenedMessage(const std::string& directory);

// The rule behind a refusal, in the words of the school's timetable. A
// refused slot is worded as either rule; EvidenceLines words it by the one
// the user entered (DeniedSlotText).
std::string RefusalText(Refusal rule);

// The two rules the user enters that refuse a teacher a slot, and the words
// for a refusal whose rule is not known.
enum class DeniedSlotRule { kAbsentDay, kFreeHour, kEither };
std::string DeniedSlotText(DeniedSlotRule rule);

// The kSlotDenied refusals of `evidence` by the rule the user entered for
// their slots; all of them `either` when `denied` is not known.
struct DeniedSlotCounts {
    std::int64_t absent_day = 0;
    std::int64_t free_hour = 0;
    std::int64_t either = 0;
};
DeniedSlotCounts SplitDeniedSlots(const SearchEvidence& evidence, const DeniedSlotRules& denied);

// What the search saw in a run that ended without all its solutions, one line
// each: the class section that failed most, the furthest point reached, the
// rules that refused most candidates and the teachers refused most. Names come
// from the loaded problem the run searched (`inputs`); a number without a name
// is written as a number. A refused slot is worded by the rule the school's
// data gives it (`denied`: absent day or free hour). No lines when nothing
// was counted.
std::vector<std::string> EvidenceLines(const SearchEvidence& evidence, const SolverInputs& inputs,
                                       const DeniedSlotRules& denied);

// The same lines under a heading, joined by "\r"; empty when there are none.
std::string EvidenceMessage(const SearchEvidence& evidence, const SolverInputs& inputs,
                            const DeniedSlotRules& denied);

}  // namespace taktirio
