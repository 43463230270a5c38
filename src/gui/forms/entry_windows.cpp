// The eleven data-entry windows, each declared by its inputs, its notes and
// the data operation its insert button runs.
#include "gui/forms/entry_windows.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <memory>

#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/pairing_rules.h"
#include "data/entry/validation.h"
#include "gui/common/look.h"
#include "gui/forms/entry_window.h"

namespace taktirio::gui {

namespace {

using data::EntryWindow;
using data::PickList;
using W = DataEntryWindow;

// The hints of the lookup lists, as each window words them.
const char kClassHint[] = " Δώσε τμήμα";
const char kTeacherHint[] = "Δώσε διδάσκων";
const char kChooseTeacherHint[] = "Επέλεξε ένα από τους διδάσκοντες";

void Classes(W* w) {
    QLineEdit* name =
        w->addNameEdit("Edit1", U("Τμήμα:"), U("Δώσε τμήμα"), data::kMaxClassNameLength);
    w->setInsert([w, name] { data::InsertClass(w->session(), name->text()); });
}

void Teachers(W* w) {
    QLineEdit* name = w->addNameEdit("Edit1", U("Ονοματεπώνυμο:"), U("Δώσε ονοματεπώνυμο"),
                                     data::kMaxTeacherNameLength);
    w->setInsert([w, name] { data::InsertTeacher(w->session(), name->text()); });
}

void Pairs(W* w) {
    QComboBox* first = w->addPickList("TeacherList1", U("Διδάσκων 1:"), U(kChooseTeacherHint),
                                      PickList::kSingleTeachers);
    QComboBox* second = w->addPickList("TeacherList2", U("Διδάσκων 2:"), U(kChooseTeacherHint),
                                       PickList::kSingleTeachers);
    w->addNote("Label_order", U("H σειρά των ονομάτων στο ζεύγος δεν έχει σημασία"));
    w->addNote("Label_explain",
               U("Καταχωρούνται όλα τα ζεύγη διδασκόντων όπου ο καθένας διδάσκει ένα μέρος\r"
                 "ενός τμήματος (πχ Πληροφορική και Οικιακή Οικονομία: ΠΑΠΑΔΟΠΟΥΛΟΣ+ΓΕΩΡΓΙΟΥ),\r"
                 "ή ο καθένας διδάσκει ένα μέρος δύο τμημάτων (πχ δύο καθηγητές Φυσικής Αγωγής,\r"
                 "ο ένας με τα αγόρια και ο άλλος με τα κορίτσια των ίδιων δύο τμημάτων)."));
    w->setInsert([w, first, second] {
        data::InsertPair(w->session(), W::ChosenText(first), W::ChosenText(second));
    });
}

void Allocation(W* w) {
    QComboBox* teacher =
        w->addPickList("TeacherList", U("Διδάσκων:"), U(kTeacherHint), PickList::kTeachersAndPairs);
    QComboBox* klass =
        w->addPickList("ClassList", U("Τμήμα:"), U("Δώσε τμήμα"), PickList::kClasses);
    QSpinBox* singles =
        w->addSpinBox("SpinEdit1", U("Μονόωρα:"), U("Δώσε μονόωρα"), data::kMaxSingleHours);
    QSpinBox* doubles =
        w->addSpinBox("SpinEdit2", U("Υποχρεωτικά\rΣυνεχόμενα δίωρα:"),
                      U("Δώσε τα υποχρεωτικά συνεχόμενα δίωρα"), data::kMaxDoubleHours);
    w->addNote("Label_note1",
               U("  1) Τα συνεχόμενα δίωρα που είναι σε προκαθορισμένες μέρες και ώρες δεν "
                 "δηλώνονται."));
    w->addNote("Label_note2", U("  Όμως οι ώρες αυτές πρέπει να συμπεριληφθούν στα μονόωρα. "));
    w->addNote("Label_note3",
               U("  Δηλώνονται μόνο τα συνεχόμενα δίωρα που θα έχουν τυχαία θέση στο πρόγραμμα."));
    w->addNote("Label_note4",
               U("  2) Όπου δεν υπάρχουν μονόωρα ή υποχρεωτικά συνεχόμενα δίωρα να γράψετε 0."));
    w->listByClass(klass);
    w->setInsert([w, teacher, klass, singles, doubles] {
        data::InsertAllocation(w->session(), W::ChosenId(klass), W::ChosenId(teacher),
                               singles->value(), doubles->value());
    });
}

void EighthHourDays(W* w) {
    w->addNote("Label_required", data::RequiredEighthHourDaysText(w->session()));
    w->addNote("Label_note1", U("  Προσοχή: Να δηλώσεις τις μέρες που θα υπάρχουν 8 ωρα."));
    w->addNote("Label_note2", U("  Διαφορετικά το πρόγραμμα θα τις επιλέξει αυτόματα."));
    QComboBox* day = w->addDayList("DayList", U("Μέρα:"), U("Δώσε μέρα"));
    w->setInsert([w, day] { data::InsertEighthHourDay(w->session(), W::ChosenText(day)); });
}

void Pinned(W* w) {
    w->addNote("Label_note1",
               U("  Αν κάποιος διδάσκει σε δυο τμήματα ταυτόχρονα και θέλεις να τον"));
    w->addNote("Label_note2",
               U("  τοποθετήσεις σε συγκεκριμένη μέρα και ώρα της εβδομάδας τότε πρέπει"));
    w->addNote("Label_note3", U("  να κάνεις την ίδια δήλωση και στα δυο τμήματα που διδάσκει."));
    w->addNote("Label_note4", U("  (Πιθανή περίπτωση καθηγητών σωματικής αγωγής κλπ)."));
    QComboBox* klass = w->addPickList("ClassList", U("Τμήμα:"), U(kClassHint), PickList::kClasses);
    QComboBox* teacher =
        w->addPickList("TeacherList", U("Διδάσκων:"), U(kTeacherHint), PickList::kTeachersAndPairs);
    QComboBox* day = w->addDayList("DayList", U("Μέρα:"), U("Δώσε μέρα"));
    QComboBox* hour = w->addHourList("HourList", U("Ώρα:"), U("Δώσε ώρα"));
    w->setInsert([w, klass, teacher, day, hour] {
        data::InsertPinned(w->session(), W::ChosenId(klass), W::ChosenId(teacher),
                           W::ChosenText(day), W::ChosenText(hour));
    });
}

void AbsentDays(W* w) {
    QComboBox* teacher =
        w->addPickList("TeacherList", U("Διδάσκων:"), U(kTeacherHint), PickList::kSingleTeachers);
    QComboBox* day = w->addDayList("DayList", U("Μέρα:"), U("Δώσε μέρα"));
    w->setInsert([w, teacher, day] {
        data::InsertAbsentDay(w->session(), W::ChosenId(teacher), W::ChosenText(day));
    });
}

void FreeHours(W* w) {
    QComboBox* teacher =
        w->addPickList("TeacherList", U("Διδάσκων:"), U(kTeacherHint), PickList::kSingleTeachers);
    QComboBox* day = w->addDayList("DayList", U("Μέρα:"), U("Δώσε μέρα"));
    QComboBox* hour = w->addHourList("HourList", U("Ώρα:"), U("Δώσε ώρα"));
    w->setInsert([w, teacher, day, hour] {
        data::InsertFreeHour(w->session(), W::ChosenId(teacher), W::ChosenText(day),
                             W::ChosenText(hour));
    });
}

void Joint(W* w) {
    QComboBox* first =
        w->addPickList("ClassList1", U("Τμήμα 1:"), U(kClassHint), PickList::kClasses);
    QComboBox* teacher =
        w->addPickList("TeacherList", U("Διδάσκων:"), U(kTeacherHint), PickList::kTeachersAndPairs);
    QComboBox* second =
        w->addPickList("ClassList2", U("Τμήμα 2:"), U(kClassHint), PickList::kClasses);
    w->setInsert([w, first, teacher, second] {
        data::InsertJoint(w->session(), W::ChosenId(first), W::ChosenId(teacher),
                          W::ChosenId(second));
    });
}

void Split(W* w) {
    w->addNote("Label_note1", U("  Προσοχή: Να καταχωρηθεί το ζεύγος των καθηγητών που διδάσκει "));
    w->addNote("Label_note2",
               U("  το ίδιο μάθημα στο ίδιο τμήμα (Όπου υπάρχει αυτή η περίπτωση)."));
    QComboBox* klass = w->addPickList("ClassList", U("Τμήμα:"), U(kClassHint), PickList::kClasses);
    QComboBox* first = w->addPickList("TeacherList1", U("Διδάσκων 1:"), U(kTeacherHint),
                                      PickList::kTeachersAndPairs);
    QComboBox* second = w->addPickList("TeacherList2", U("Διδάσκων 2:"), U(kTeacherHint),
                                       PickList::kTeachersAndPairs);
    w->setInsert([w, klass, first, second] {
        data::InsertSplit(w->session(), W::ChosenId(klass), W::ChosenId(first),
                          W::ChosenId(second));
    });
}

void Apart(W* w) {
    w->addNote("Label_note1",
               U("  Παράδειγμα 1: Σε ένα μικρό σχολείο με δύο υποδιευθυντές, τουλάχιστον ο ένας "
                 "να είναι εκτός τάξης."));
    w->addNote("Label_note2",
               U("  Παράδειγμα 2: Όταν ο διευθυντής έχει μάθημα να είναι εκτός τάξης "
                 "συγκεκριμένος υποδιευθυντής."));
    QComboBox* first = w->addPickList("TeacherList1", U("Διδάσκων 1:"), U(kChooseTeacherHint),
                                      PickList::kTeachersAndPairs);
    QComboBox* second = w->addPickList("TeacherList2", U("Διδάσκων 2:"), U(kChooseTeacherHint),
                                       PickList::kTeachersAndPairs);
    w->setInsert([w, first, second] {
        data::InsertApart(w->session(), W::ChosenId(first), W::ChosenId(second));
    });
}

struct Declaration {
    const char* object_name;
    void (*declare)(W*);
};

// In the order of data::EntryWindow.
constexpr Declaration kDeclarations[] = {
    {"TForm10", Classes},    {"TForm11", Teachers},       {"TForm12", Pairs},
    {"TForm13", Allocation}, {"TForm14", EighthHourDays}, {"TForm15", Pinned},
    {"TForm16", AbsentDays}, {"TForm17", FreeHours},      {"TForm18", Joint},
    {"TForm19", Split},      {"TForm20", Apart},
};

}  // namespace

DataEntryWindow* MakeEntryWindow(EntryWindow which, ProgramContext* context, QWidget* parent) {
    const Declaration& declaration = kDeclarations[static_cast<std::size_t>(which)];
    auto window =
        std::make_unique<DataEntryWindow>(declaration.object_name, which, context, parent);
    declaration.declare(window.get());
    window->refresh();
    return window.release();
}

}  // namespace taktirio::gui
