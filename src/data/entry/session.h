#pragma once

#include <QSqlDatabase>
#include <QString>

namespace taktirio::data {

// What every data function of a logged-in school works through: the entry
// database's connection and the school's user name, which scopes every
// statement (SCHOOL_USERNAME / USERNAME).
struct Session {
    QSqlDatabase db;
    QString school;
};

}  // namespace taktirio::data
