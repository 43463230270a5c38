#include "run/run_messages.h"

namespace taktirio {

std::string SolutionLine(int solution, const std::string& time_text) {
    return "Λύση=" + std::to_string(solution) + " Χρόνος=" + time_text;
}

std::string SummaryMessage(int found, int requested, const std::string& total_time_text) {
    return "Έχουν βρεθεί με επιτυχία " + std::to_string(found) + " από τις " +
           std::to_string(requested) + " λύσεις." + "\r" + "Συνολικός χρόνος επεξεργασίας " +
           total_time_text + ".";
}

std::string OpenFolderQuestion(const std::string& directory) {
    return "Τo Directory που αποθηκεύτηκαν οι λύσεις είναι\r" + directory + "\r" +
           "Να το εμφανίσω τώρα;";
}

std::string FolderNotOpenedMessage(const std::string& directory) {
    return "Παρουσιάστηκε σφάλμα.\rΟι λύσεις είναι διαθέσιμες στο\r" + directory;
}

}  // namespace taktirio
