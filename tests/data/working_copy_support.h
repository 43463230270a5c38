#pragma once

// A school's entry database and its working database side by side in one
// temporary directory, for tests of the preparation and the loader.

#include "data/database/schema.h"
#include "data/entry/allocation.h"
#include "data/entry/base_lists.h"
#include "data/entry/day_hour_rules.h"
#include "data/entry/pairing_rules.h"
#include "data/load/problem_loader.h"
#include "data/prepare/working_copy.h"
#include "data_test_support.h"

namespace taktirio::data::testing {

class WorkingCopyTest : public SchoolTest {
  protected:
    void SetUp() override {
        SchoolTest::SetUp();
        working_.emplace(Database::Open(dir_.filePath(QStringLiteral("DATA.sqlite"))));
    }
    void TearDown() override {
        working_.reset();
        SchoolTest::TearDown();
    }

  public:
    const QSqlDatabase& W() const { return working_->connection(); }
    void Prepare() { PrepareWorkingCopy(session_, W()); }
    LoadedProblem Load() { return LoadProblem(W(), session_.school); }

    // Entry identifiers by name.
    int C(const char* name) const { return IdOf("CLASSES", "CLASS_ID", "CLASS", U(name)); }
    int T(const char* name) const { return IdOf("TEACHERS", "TEACHER_ID", "TEACHER", U(name)); }

    void Classes(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            InsertClass(session_, U(name));
        }
    }
    void Teachers(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            InsertTeacher(session_, U(name));
        }
    }
    void Pair(const char* first, const char* second) { InsertPair(session_, U(first), U(second)); }
    void Allocate(const char* cls, const char* teacher, int singles, int doubles = 0) {
        InsertAllocation(session_, C(cls), T(teacher), singles, doubles);
    }

    // Deletes every entry row of the school but its SCHOOLS row, between the
    // cases of a table.
    void ClearEntry() {
        for (const QString& table : SchoolDataTables()) {
            data::Run(session_.db, QStringLiteral("DELETE FROM %1").arg(table));
        }
    }
    // Every row of every table of the working database, to tell whether it
    // changed at all.
    QList<QList<QStringList>> WorkingSnapshot() const {
        QList<QList<QStringList>> tables;
        for (const QString& table : DesignTables()) {
            tables.append(
                Rows(W(), QStringLiteral("SELECT rowid, * FROM %1 ORDER BY rowid").arg(table)));
        }
        return tables;
    }

    // Every row of a working-database answer, as texts.
    QList<QStringList> WorkingRows(const char* sql) const { return Rows(W(), U(sql)); }
    // Runs a statement on either file outside the program's checks, to write
    // what the windows never would.
    static void Force(const QSqlDatabase& db, const char* sql, const QVariantList& values = {}) {
        data::Run(db, QStringLiteral("PRAGMA foreign_keys = OFF"));
        data::Run(db, U(sql), values);
        data::Run(db, QStringLiteral("PRAGMA foreign_keys = ON"));
    }

  private:
    int IdOf(const char* table, const char* id, const char* column, const QString& name) const {
        return static_cast<int>(
            ScalarInt(session_.db,
                      QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                          .arg(QLatin1String(id), QLatin1String(table), QLatin1String(column)),
                      {name}));
    }

    std::optional<Database> working_;
};

// Working identifiers by name.
inline int WorkingTeacher(const QSqlDatabase& w, const char* name) {
    return static_cast<int>(ScalarInt(
        w, QStringLiteral("SELECT TEACHER_ID FROM TEACHERS WHERE TEACHER = ?"), {U(name)}));
}

}  // namespace taktirio::data::testing
