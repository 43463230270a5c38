#pragma once

// The working-copy preparation's own pieces; not part of the layer's API.

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <vector>

#include "data/entry/session.h"
#include "data/prepare/step_progress.h"

namespace taktirio::data::detail {

// One statement prepared once and run for many rows with bound values.
class PreparedStatement {
  public:
    PreparedStatement(const QSqlDatabase& db, const QString& sql);
    void Exec(const QVariantList& values);

  private:
    QSqlQuery query_;
    QString sql_;
};

// Throws PreparationError: the contradictory-data text and `reason` on a line
// of its own for the user, `detail` for logs and tests.
[[noreturn]] void RefusePreparation(const QString& reason, const QString& detail);

// A teacher pair of the working copy: its identifier, name and members.
struct WorkingPair {
    int id = 0;
    QString name;
    QString first;
    QString second;
};

// Builds one working copy, step by step, inside the caller's transaction. The
// identifier maps turn entry identifiers into working ones; an identifier that
// is not in them is a reference to a row the school does not have.
class WorkingCopyBuilder {
  public:
    WorkingCopyBuilder(const Session& entry, const QSqlDatabase& working);

    void CheckCounts();          // steps 1 and 2
    void ClearSchool();          // step 3
    void CopySchoolRow();        // step 4
    void CopyClasses();          // step 5
    void CopyTeachers();         // step 6
    void CopyAllocation();       // step 7
    void CopySplit();            // step 8
    void CopyApart();            // step 9
    void CopyJoint();            // step 10
    void CopyAbsentDays();       // step 11
    void CopyPinned();           // step 12
    void CopyFreeHours();        // step 13
    void PairsAgainstMembers();  // step 14
    void PairsSharingMembers();  // step 15
    void CopyEighthHours();      // step 16

  private:
    QSqlQuery Read(const char* sql) const;
    int NewClassId(const QVariant& old_id, const char* table) const;
    int NewTeacherId(const QVariant& old_id, const char* table) const;
    const QString& ClassName(int id) const { return class_names_[static_cast<std::size_t>(id)]; }
    const QString& TeacherName(int id) const {
        return teacher_names_[static_cast<std::size_t>(id)];
    }
    // The teacher and every pair that holds the teacher as a member.
    QList<int> Receivers(int teacher) const;
    void AddTeacher(int new_id, qint64 old_id, const QString& name);
    void InsertApart(int first, int second, int from_human);

    Session entry_;
    QSqlDatabase working_;
    QString school_;

    QHash<qint64, int> class_ids_;
    std::vector<QString> class_names_{QString()};
    QHash<qint64, int> teacher_ids_;
    std::vector<QString> teacher_names_{QString()};
    QHash<QString, int> single_by_name_;
    QList<WorkingPair> pairs_;
    QHash<QString, QList<int>> pairs_of_member_;
};

}  // namespace taktirio::data::detail
