#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace taktirio::gui {

class Desktop;

// One program that can stand for a utility item: its executable and the
// arguments that open the right part of it.
struct UtilityProgram {
    QString executable;
    QStringList arguments;
};

// A utility item of the main menu and the programs that stand for it on this
// system, in order of preference.
struct UtilityItem {
    const char* object_name;
    QString caption;
    QList<UtilityProgram> programs;
};

// WordPad, Notepad, Paint, Calculator, Command Prompt, Task Manager and
// Windows Version, in the menu's order.
QList<UtilityItem> UtilityItems();

// Starts the first program of the item found on the system. False when none
// is found or the one found cannot start.
bool StartUtility(const UtilityItem& item, Desktop& desktop);

inline constexpr char kUtilityNotFoundMessage[] =
    "H εφαρμογή δεν βρέθηκε.\rΠιθανόν πρόβλημα με τα Windows";

}  // namespace taktirio::gui
