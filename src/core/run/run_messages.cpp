#include "core/run/run_messages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "core/run/solution_files.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"

namespace taktirio {

const char* NoTimetableMessage(RunEnd end) {
    switch (end) {
        case RunEnd::kStopped:
            return kStoppedWithoutTimetableMessage;
        case RunEnd::kTimeLimit:
            return kTimeLimitWithoutTimetableMessage;
        case RunEnd::kAllFound:
        case RunEnd::kExhausted:
        case RunEnd::kPageNotWritten:
            break;
    }
    return kNoSolutionMessage;
}

std::string SearchProgressText(std::int64_t elapsed_seconds, std::int64_t attempts) {
    const std::int64_t seconds = elapsed_seconds < 0 ? 0 : elapsed_seconds;
    char time[32];
    std::snprintf(time, sizeof time, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return std::string("Χρόνος: ") + time + "   Προσπάθειες: " + std::to_string(attempts);
}

std::string SolutionLine(int solution, const std::string& time_text,
                         const std::string& found_at_text) {
    return "Λύση=" + std::to_string(solution) + " Χρόνος=" + time_text + ", " + kFoundAtWords +
           " " + found_at_text;
}

std::string SummaryMessage(int found, int requested, const std::string& total_time_text) {
    // The verb agrees with the count found, the article and noun with the
    // count asked: "Έχει βρεθεί με επιτυχία 1 από τη 1 λύση."
    return std::string(found == 1 ? "Έχει βρεθεί" : "Έχουν βρεθεί") + " με επιτυχία " +
           std::to_string(found) + (requested == 1 ? " από τη " : " από τις ") +
           CountOf(requested, "λύση", "λύσεις") + "." + "\r" + "Συνολικός χρόνος επεξεργασίας " +
           total_time_text + ".";
}

std::string NoFurtherTimetableMessage(int found) {
    if (found == 1) {
        return "Αποδείχθηκε ότι δεν υπάρχει άλλο ωρολόγιο πρόγραμμα που να τηρεί όλους τους "
               "περιορισμούς: βρέθηκε το μοναδικό.";
    }
    return "Αποδείχθηκε ότι δεν υπάρχουν άλλα ωρολόγια προγράμματα που να τηρούν όλους τους "
           "περιορισμούς: βρέθηκαν όλα: " +
           std::to_string(found) + ".";
}

namespace {

// The first line of a message ("\r" ends a line).
std::string FirstLine(const std::string& message) {
    return message.substr(0, message.find('\r'));
}

}  // namespace

std::string RunEndText(const RunSummary& summary) {
    std::string how;
    if (summary.end == RunEnd::kPageNotWritten) {
        how = FirstLine(PageNotWrittenEnding(summary.found, false));
    } else if (summary.end == RunEnd::kExhausted) {
        how = summary.found == 0 ? FirstLine(summary.impossibility)
                                 : NoFurtherTimetableMessage(summary.found);
    } else if (summary.end == RunEnd::kTimeLimit) {
        how = kTimeLimitReachedText;
    } else if (summary.end == RunEnd::kStopped) {
        how = kStoppedByUserText;
    }
    const std::string count = FirstLine(SummaryMessage(summary.found, summary.requested, ""));
    return how.empty() ? count : how + "\r" + count;
}

std::string PageNotWrittenEnding(int found, bool previous_pages_kept) {
    std::string text = "Η αναζήτηση λύσεων σταμάτησε. ";
    if (found == 0) {
        text += "Δεν γράφτηκε καμία σελίδα λύσης.";
    } else if (found == 1) {
        text += "Γράφτηκε μόνο η σελίδα " + SolutionPageName(1) + ".";
    } else {
        text +=
            "Γράφτηκαν οι σελίδες " + SolutionPageName(1) + " έως " + SolutionPageName(found) + ".";
    }
    if (previous_pages_kept) {
        text += "\r" + std::string(kPreviousPagesKeptMessage);
    }
    return text;
}

std::string OpenFolderQuestion(const std::string& directory) {
    return "Τo Directory που αποθηκεύτηκαν οι λύσεις είναι\r" + directory + "\r" +
           "Να το εμφανίσω τώρα;";
}

std::string FolderNotOpenedMessage(const std::string& directory) {
    return "Παρουσιάστηκε σφάλμα.\rΟι λύσεις είναι διαθέσιμες στο\r" + directory;
}

}  // namespace taktirio

namespace taktirio {
namespace {

// How many rules and teachers the evidence names; the rest would be noise.
constexpr std::size_t kRulesShown = 4;
constexpr std::size_t kTeachersShown = 5;

std::string Num(long long value) {
    return std::to_string(value);
}

std::string Times(std::int64_t count) {
    return Num(count) + (count == 1 ? " φορά" : " φορές");
}

// Indices 1.. of `counts` with a count above 0, most first; ties by number.
std::vector<int> MostFirst(const std::vector<std::int64_t>& counts, std::size_t most) {
    std::vector<int> order;
    for (std::size_t i = 1; i < counts.size(); ++i) {
        if (counts[i] > 0) {
            order.push_back(static_cast<int>(i));
        }
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return counts[static_cast<std::size_t>(a)] > counts[static_cast<std::size_t>(b)];
    });
    if (order.size() > most) {
        order.resize(most);
    }
    return order;
}

std::string FailedClassLine(const SearchEvidence& evidence, const SolverInputs& inputs) {
    const std::vector<int> worst = MostFirst(evidence.class_failures, 1);
    if (worst.empty()) {
        return "Κανένα τμήμα δεν έμεινε ασυμπλήρωτο: η αναζήτηση διακόπηκε πριν αποτύχει "
               "κάποια προσπάθεια.";
    }
    const auto c = static_cast<std::size_t>(worst.front());
    std::string line = "Το τμήμα που απέτυχε συχνότερα: " + ClassName(inputs, worst.front()) +
                       ", που ξεκίνησε και δεν συμπληρώθηκε " + Times(evidence.class_failures[c]);
    if (c < evidence.joint_refusals.size() && evidence.joint_refusals[c] > 0) {
        line += " (" + Times(evidence.joint_refusals[c]) +
                " συμπληρώθηκε αλλά δεν ταίριαζαν τα μαθήματα διδασκόντων σε δύο τμήματα την "
                "ίδια ώρα)";
    }
    if (c < evidence.attempts_ended.size() && evidence.attempts_ended[c] > 0) {
        line += "· εκεί εγκαταλείφθηκαν " + Num(evidence.attempts_ended[c]) + " από τις " +
                CountOf(evidence.attempts, "προσπάθεια", "προσπάθειες");
    }
    return line + ".";
}

std::string DeepestLine(const SearchEvidence& evidence, const SolverInputs& inputs) {
    const int c = evidence.deepest_class;
    const auto uc = static_cast<std::size_t>(c);
    const int hours = uc < inputs.class_hours.size() ? inputs.class_hours[uc] : 0;
    std::string line = "Το πιο μακρινό σημείο που έφτασε: " + ClassName(inputs, c) + " (" + Num(c) +
                       "ο από τα " + Num(inputs.number_of_classes) +
                       " τμήματα στη σειρά συμπλήρωσης), ώρα " + Num(evidence.deepest_position) +
                       " από τις " + Num(hours);
    if (evidence.deepest_slot > 0) {
        line += " (" + SlotName(evidence.deepest_slot) + ")";
    }
    return line + ".";
}

}  // namespace

DeniedSlotCounts SplitDeniedSlots(const SearchEvidence& evidence, const DeniedSlotRules& denied) {
    DeniedSlotCounts counts;
    const std::int64_t total = evidence.Refused(Refusal::kSlotDenied);
    if (!denied.known()) {
        counts.either = total;
        return counts;
    }
    const std::vector<std::int64_t>& at = evidence.denied_slot_refusals;
    for (std::size_t i = 0; i < at.size(); ++i) {
        const int t = static_cast<int>(i / kSlotColumns);
        const int s = static_cast<int>(i % kSlotColumns);
        (denied.OnAbsentDay(t, s) ? counts.absent_day : counts.free_hour) += at[i];
    }
    // Refusals counted without their slot (evidence put together by hand)
    // cannot be told apart.
    counts.either = total - counts.absent_day - counts.free_hour;
    return counts;
}

std::string DeniedSlotText(DeniedSlotRule rule) {
    switch (rule) {
        case DeniedSlotRule::kAbsentDay:
            return "ημέρα στην οποία ο διδάσκων απουσιάζει";
        case DeniedSlotRule::kFreeHour:
            return "ώρα στην οποία ο διδάσκων πρέπει να είναι ελεύθερος";
        case DeniedSlotRule::kEither:
            break;
    }
    return "ημέρα που ο διδάσκων απουσιάζει ή ώρα που πρέπει να είναι ελεύθερος";
}

std::string RefusalText(Refusal rule) {
    static constexpr const char* kRunOption = " (περιορισμός του υπολογισμού λύσεων)";
    switch (rule) {
        case Refusal::kPlaced:
            return "τοποθέτηση";
        case Refusal::kNoRoomForSecond:
            return "δίωρο χωρίς ελεύθερη την επόμενη ώρα της ίδιας ημέρας";
        case Refusal::kTeacherBusy:
            return "ο διδάσκων διδάσκει την ίδια ώρα σε άλλο τμήμα";
        case Refusal::kSpreadOverDays:
            return "ο διδάσκων έχει ήδη μάθημα στο τμήμα την ίδια ημέρα (οι ώρες του στο τμήμα "
                   "δεν είναι περισσότερες από τις ημέρες που έρχεται)";
        case Refusal::kSplitSameDay:
            return "χωρισμός μαθήματος: ο άλλος διδάσκων διδάσκει το τμήμα την ίδια ημέρα";
        case Refusal::kClassDayFull:
            return std::string(
                       "μέγιστος ημερήσιος αριθμός ωρών διδασκαλίας ενός καθηγητή σε ένα "
                       "τμήμα") +
                   kRunOption;
        case Refusal::kSingleHourRun:
            return std::string(
                       "μη επιτρεπτή τοποθέτηση μονόωρων ώστε να σχηματίζονται "
                       "συνεχόμενα 2 ωρα ή 3 ωρα") +
                   kRunOption;
        case Refusal::kSlotDenied:
            return DeniedSlotText(DeniedSlotRule::kEither);
        case Refusal::kLastHoursFull:
            return std::string(
                       "μέγιστος αριθμός τοποθετήσεων καθηγητή στις τελευταίες ώρες σε "
                       "μιαν εβδομάδα") +
                   kRunOption;
        case Refusal::kDayHoursFull:
            return std::string("μέγιστος αριθμός ωρών διδασκαλίας ενός καθηγητή σε μια μέρα") +
                   kRunOption;
        case Refusal::kSameHourConflict:
            return "διδάσκοντες που δεν διδάσκουν ποτέ την ίδια ώρα";
        case Refusal::kTooManyInARow:
            return std::string(
                       "συνεχόμενος αριθμός ωρών διδασκαλίας ενός καθηγητή σε μια μέρα "
                       "<=4") +
                   kRunOption;
    }
    return "κανόνας " + Num(static_cast<int>(rule));
}

std::vector<std::string> EvidenceLines(const SearchEvidence& evidence, const SolverInputs& inputs,
                                       const DeniedSlotRules& denied) {
    std::vector<std::string> lines;
    if (evidence.empty()) {
        return lines;
    }
    lines.push_back(FailedClassLine(evidence, inputs));
    if (evidence.deepest_class > 0) {
        lines.push_back(DeepestLine(evidence, inputs));
    }

    // Rules, most refusals first; kPlaced is no refusal. A refused slot is
    // worded by the rule the user entered for it.
    struct Rule {
        std::string text;
        std::int64_t count = 0;
    };
    std::vector<Rule> by_rule;
    std::int64_t refused = 0;
    for (std::size_t k = 1; k < kRefusalKinds; ++k) {
        const auto rule = static_cast<Refusal>(k);
        refused += evidence.refusals[k];
        if (rule != Refusal::kSlotDenied) {
            by_rule.push_back({RefusalText(rule), evidence.refusals[k]});
            continue;
        }
        const DeniedSlotCounts split = SplitDeniedSlots(evidence, denied);
        by_rule.push_back({DeniedSlotText(DeniedSlotRule::kAbsentDay), split.absent_day});
        by_rule.push_back({DeniedSlotText(DeniedSlotRule::kFreeHour), split.free_hour});
        by_rule.push_back({DeniedSlotText(DeniedSlotRule::kEither), split.either});
    }
    std::erase_if(by_rule, [](const Rule& rule) { return rule.count <= 0; });
    std::stable_sort(by_rule.begin(), by_rule.end(),
                     [](const Rule& a, const Rule& b) { return a.count > b.count; });
    if (by_rule.size() > kRulesShown) {
        by_rule.resize(kRulesShown);
    }
    if (!by_rule.empty()) {
        lines.push_back("Οι κανόνες που απέρριψαν τους περισσότερους υποψήφιους διδάσκοντες (" +
                        CountOf(refused, "απόρριψη", "απορρίψεις") + " σε " +
                        CountOf(evidence.draws, "δοκιμή", "δοκιμές") + "):");
        for (std::size_t i = 0; i < by_rule.size(); ++i) {
            const std::int64_t n = by_rule[i].count;
            const std::int64_t percent = (100 * n + refused / 2) / refused;
            lines.push_back(Num(static_cast<long long>(i + 1)) + ") " + by_rule[i].text + ": " +
                            Times(n) + " (" + Num(percent) + "%)");
        }
    }

    const std::vector<int> teachers = MostFirst(evidence.teacher_refusals, kTeachersShown);
    if (!teachers.empty()) {
        std::string line = "Οι διδάσκοντες που απορρίφθηκαν συχνότερα: ";
        for (std::size_t i = 0; i < teachers.size(); ++i) {
            line += (i == 0 ? "" : ", ") + TeacherName(inputs, teachers[i]) + " (" +
                    Times(evidence.teacher_refusals[static_cast<std::size_t>(teachers[i])]) + ")";
        }
        lines.push_back(line + ".");
    }
    return lines;
}

std::string EvidenceMessage(const SearchEvidence& evidence, const SolverInputs& inputs,
                            const DeniedSlotRules& denied) {
    const std::vector<std::string> lines = EvidenceLines(evidence, inputs, denied);
    if (lines.empty()) {
        return {};
    }
    std::string message = "Τι συνάντησε η αναζήτηση λύσεων:";
    for (const std::string& line : lines) {
        message += "\r" + line;
    }
    return message;
}

}  // namespace taktirio
