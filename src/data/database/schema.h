#pragma once

#include <QString>
#include <QStringList>

namespace taktirio::data {

// The two database files of one school, beside the program.
inline constexpr char kEntryDatabaseFile[] = "DATA2.sqlite";
inline constexpr char kWorkingDatabaseFile[] = "DATA.sqlite";

// Written into every file we create (PRAGMA application_id, "TAKT") so that a
// file of another program is told apart from ours.
inline constexpr int kApplicationId = 0x54414B54;
// The design of the tables and views; raised whenever they change, with a step
// that brings a file of the previous design up to date.
inline constexpr int kDesignVersion = 1;

// Every statement that creates the design in an empty file: tables, indexes,
// views. Both files share it; the working columns are simply unused in the
// entry file and the other way round.
QStringList SchemaStatements();

// Tables that hold one school's entry data, children before parents, so that
// deleting in this order never waits on a cascade.
QStringList SchoolDataTables();

// Every table and view the design holds, for checks and tests.
QStringList DesignTables();
QStringList DesignViews();

// What a database file is created with and checked against when it is opened:
// its application id, its design version and its tables and views. The two
// school files share one design; other files of the program have their own.
struct DatabaseDesign {
    int application_id = 0;
    int version = 0;
    QStringList statements;  // create the design in an empty file
    QStringList tables;      // must exist in a file of this design
    QStringList views;
    // A work file holds nothing of the user's: one whose design was altered
    // (a trigger, a view or a table of its own added, a definition changed)
    // is built afresh rather than used or refused.
    bool work_file = false;
};

// The design of DATA2.sqlite and DATA.sqlite.
DatabaseDesign SchoolDesign();

}  // namespace taktirio::data
