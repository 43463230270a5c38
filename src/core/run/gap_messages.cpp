#include "core/run/gap_messages.h"

#include "core/common/narrow.h"

namespace taktirio {

namespace {

// "n" or, when the rework changed it, "before → after".
std::string Amount(int before, int after, bool reworked) {
    return reworked ? std::to_string(before) + " → " + std::to_string(after)
                    : std::to_string(after);
}

// Both counts are shown only when the rework changed them; a rework that
// moved lessons without changing the counts has nothing to show.
bool Reworked(const SolutionGaps& gaps) {
    return gaps.searched.total != gaps.written.total || gaps.searched.worst != gaps.written.worst;
}

}  // namespace

std::string GapAmountsText(const SolutionGaps& gaps) {
    const bool reworked = Reworked(gaps);
    return Amount(gaps.searched.total, gaps.written.total, reworked) + " συνολικά, έως " +
           Amount(gaps.searched.worst, gaps.written.worst, reworked) + " ανά καθηγητή";
}

std::string SolutionGapsLine(const SolutionGaps& gaps, const TeacherPeople& people) {
    std::string line = "  Κενά καθηγητών: " + GapAmountsText(gaps);
    const int worst = gaps.written.worst_person;
    if (gaps.written.worst > 0 && worst >= 1 && worst <= people.count()) {
        line += " (" + people.names[AsIndex(worst)] + ")";
    }
    return line;
}

std::string SolutionGapsCell(const SolutionGaps& gaps) {
    const bool reworked = Reworked(gaps);
    return Amount(gaps.searched.total, gaps.written.total, reworked) + " (έως " +
           Amount(gaps.searched.worst, gaps.written.worst, reworked) + ")";
}

std::string FewestGapsLine(const RunSummary& summary) {
    const int n = summary.fewest_gaps_solution;
    if (n < 1 || AsIndex(n) > summary.gaps.size()) {
        return {};
    }
    const GapSummary& fewest = summary.gaps[AsIndex(n - 1)].written;
    // The ranking is by the most burdened teacher first, the total only
    // among equals: said in the line, since a solution with a smaller total
    // may stand elsewhere in the list.
    return "Λιγότερα κενά καθηγητών: Λύση=" + std::to_string(n) +
           " (τα λιγότερα κενά του πιο επιβαρυμένου διδάσκοντα: έως " +
           std::to_string(fewest.worst) + " ανά καθηγητή, " + std::to_string(fewest.total) +
           " συνολικά)";
}

namespace {

// Timetables of an engine ("της ακριβούς αναζήτησης") that the verifier
// refused and that were never written.
std::string RefusedTimetablesWarning(int refused, const std::string& engine) {
    if (refused <= 0) {
        return {};
    }
    return "Προσοχή, σφάλμα του προγράμματος: " + std::to_string(refused) +
           (refused == 1 ? " πρόγραμμα " + engine + " δεν πέρασε"
                         : " προγράμματα " + engine + " δεν πέρασαν") +
           " τον έλεγχο των κανόνων και δεν γράφτηκαν.";
}

}  // namespace

std::string RefusedExactWarning(int refused) {
    return RefusedTimetablesWarning(refused, "της ακριβούς αναζήτησης");
}

std::string RefusedSearchedWarning(int refused) {
    return RefusedTimetablesWarning(refused, "της αναζήτησης");
}

std::string RefusedReworksWarning(int refused) {
    if (refused <= 0) {
        return {};
    }
    return "Προσοχή, σφάλμα του προγράμματος: " + std::to_string(refused) +
           (refused == 1 ? " βελτιωμένο πρόγραμμα δεν πέρασε"
                         : " βελτιωμένα προγράμματα δεν πέρασαν") +
           " τον έλεγχο των κανόνων· γράφτηκε στη θέση " + (refused == 1 ? "του" : "τους") +
           " το πρόγραμμα όπως το βρήκε η αναζήτηση.";
}

}  // namespace taktirio
