#include "core/common/system_errors.h"

#include <cerrno>

namespace taktirio {

namespace {

struct Wording {
    int error_number;
    const char* text;
};

// The causes a user meets with files, folders and threads.
constexpr Wording kWordings[] = {
    {ENOSPC, "ο δίσκος είναι γεμάτος"},
    {EDQUOT, "εξαντλήθηκε ο χώρος που επιτρέπεται στον χρήστη στον δίσκο"},
    {EFBIG, "το αρχείο ξεπερνά το μέγιστο επιτρεπόμενο μέγεθος"},
    {EACCES, "δεν επιτρέπεται η πρόσβαση"},
    {EPERM, "η ενέργεια δεν επιτρέπεται"},
    {EROFS, "ο δίσκος δέχεται μόνο ανάγνωση"},
    {ENOENT, "δεν υπάρχει τέτοιο αρχείο ή φάκελος"},
    {ENOTDIR, "ένα μέρος της διαδρομής δεν είναι φάκελος"},
    {EISDIR, "είναι φάκελος"},
    {EEXIST, "υπάρχει ήδη"},
    {ENOTEMPTY, "ο φάκελος δεν είναι άδειος"},
    {EBUSY, "χρησιμοποιείται από άλλο πρόγραμμα"},
    {ETXTBSY, "χρησιμοποιείται από άλλο πρόγραμμα"},
    {EIO, "σφάλμα ανάγνωσης ή εγγραφής του δίσκου"},
    {ENAMETOOLONG, "το όνομα είναι πολύ μεγάλο"},
    {ELOOP, "υπερβολικά πολλοί σύνδεσμοι (symbolic links) στη διαδρομή"},
    {EMFILE, "η διεργασία έχει ανοιχτά όσα αρχεία επιτρέπονται"},
    {ENFILE, "το σύστημα έχει ανοιχτά όσα αρχεία επιτρέπονται"},
    {EXDEV, "τα δύο ονόματα βρίσκονται σε διαφορετικούς δίσκους"},
    {EAGAIN, "το σύστημα δεν έχει προς το παρόν διαθέσιμους πόρους (όριο διεργασιών ή νημάτων)"},
    {ENOMEM, "η μνήμη του υπολογιστή δεν επαρκεί"},
    {EINVAL, "μη αποδεκτή τιμή"},
    {EINTR, "η λειτουργία διακόπηκε"},
    {ENODEV, "δεν υπάρχει η συσκευή"},
    {ENXIO, "δεν υπάρχει η συσκευή"},
    {ESTALE, "ο κοινόχρηστος φάκελος του δικτύου δεν είναι πια διαθέσιμος"},
    {ENOLCK, "δεν υπάρχουν διαθέσιμα κλειδώματα αρχείων"},
    {EOPNOTSUPP, "η λειτουργία δεν υποστηρίζεται"},
};

}  // namespace

std::string SystemErrorText(int error_number) {
    for (const Wording& wording : kWordings) {
        if (wording.error_number == error_number) {
            return wording.text;
        }
    }
    return "σφάλμα συστήματος " + std::to_string(error_number);
}

std::string SystemErrorText(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        return SystemErrorText(error.value());
    }
    return "σφάλμα " + std::to_string(error.value());
}

}  // namespace taktirio
