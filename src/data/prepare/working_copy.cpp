// The working copy of a school: what a run reads, rebuilt from the entry
// database before every run. This file holds the entry point, the identifier
// maps and the copied tables; working_copy_rules.cpp the rules.
#include "data/prepare/working_copy.h"

#include <QSqlError>

#include "core/solver/errors.h"
#include "core/solver/slots.h"
#include "core/text/wording.h"
#include "data/database/database.h"
#include "data/database/schema.h"
#include "data/entry/base_lists.h"
#include "data/entry/validation.h"
#include "data/prepare/working_copy_builder.h"

namespace taktirio::data {

namespace detail {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

constexpr int kMaxIds = 255;  // class sections and teachers are bytes to the solver

}  // namespace

PreparedStatement::PreparedStatement(const QSqlDatabase& db, const QString& sql)
    : query_(db), sql_(sql) {
    query_.setForwardOnly(true);
    if (!query_.prepare(sql)) {
        throw DatabaseError(S(kDatabaseProblemMessage),
                            query_.lastError().text() + QStringLiteral(" in: ") + sql);
    }
}

void PreparedStatement::Exec(const QVariantList& values) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        query_.bindValue(static_cast<int>(i), values[i]);
    }
    if (!query_.exec()) {
        throw DatabaseError(S(kDatabaseProblemMessage),
                            query_.lastError().text() + QStringLiteral(" in: ") + sql_);
    }
}

void RefusePreparation(const QString& reason, const QString& detail) {
    throw PreparationError(S(kContradictoryDataMessage) + u'\r' + reason, detail);
}

WorkingCopyBuilder::WorkingCopyBuilder(const Session& entry, const QSqlDatabase& working)
    : entry_(entry), working_(working), school_(entry.school) {}

QSqlQuery WorkingCopyBuilder::Read(const char* sql) const {
    return Run(entry_.db, S(sql), {school_});
}

int WorkingCopyBuilder::NewClassId(const QVariant& old_id, const char* table) const {
    const auto found = class_ids_.constFind(old_id.toLongLong());
    if (old_id.isNull() || found == class_ids_.constEnd()) {
        RefusePreparation(
            S("Ο πίνακας %1 αναφέρεται σε τμήμα (κωδικός %2) που δεν υπάρχει.")
                .arg(QLatin1String(table), old_id.toString()),
            QStringLiteral("%1: no class %2").arg(QLatin1String(table), old_id.toString()));
    }
    return *found;
}

int WorkingCopyBuilder::NewTeacherId(const QVariant& old_id, const char* table) const {
    const auto found = teacher_ids_.constFind(old_id.toLongLong());
    if (old_id.isNull() || found == teacher_ids_.constEnd()) {
        RefusePreparation(
            S("Ο πίνακας %1 αναφέρεται σε διδάσκοντα (κωδικός %2) που δεν υπάρχει.")
                .arg(QLatin1String(table), old_id.toString()),
            QStringLiteral("%1: no teacher %2").arg(QLatin1String(table), old_id.toString()));
    }
    return *found;
}

QList<int> WorkingCopyBuilder::Receivers(int teacher) const {
    return QList<int>{teacher} + pairs_of_member_.value(TeacherName(teacher));
}

// Steps 1 and 2: the solver numbers class sections and teachers in bytes.
void WorkingCopyBuilder::CheckCounts() {
    const qint64 classes = ScalarInt(
        entry_.db, S("SELECT COUNT(*) FROM CLASSES WHERE SCHOOL_USERNAME = ?"), {school_});
    if (classes > kMaxIds) {
        RefusePreparation(S("Το σχολείο έχει %1 τμήματα· το όριο είναι 255.").arg(classes),
                          QStringLiteral("%1 classes").arg(classes));
    }
    const qint64 teachers =
        ScalarInt(entry_.db, S("SELECT COUNT(*) FROM DISPLAY_TEACHERS_4 WHERE SCHOOL_USERNAME = ?"),
                  {school_});
    if (teachers > kMaxIds) {
        RefusePreparation(
            S("Το σχολείο έχει %1 διδάσκοντες και ζεύγη διδασκόντων· το όριο είναι 255.")
                .arg(teachers),
            QStringLiteral("%1 teachers and pairs").arg(teachers));
    }
}

// Step 3: the school's rows go with its SCHOOLS row by cascade; they are also
// deleted table by table, children first, so that rows a damaged file kept
// without their school row cannot collide with the new identifiers.
void WorkingCopyBuilder::ClearSchool() {
    for (const QString& table : SchoolDataTables()) {
        Run(working_, S("DELETE FROM %1 WHERE SCHOOL_USERNAME = ?").arg(table), {school_});
    }
    Run(working_, S("DELETE FROM SCHOOLS WHERE USERNAME = ?"), {school_});
}

// Step 4: the school row, read by column name, with STEP 10.
void WorkingCopyBuilder::CopySchoolRow() {
    QSqlQuery row = Run(entry_.db,
                        S("SELECT SCHOOL_NAME, ADDRESS, PHONE_1, PHONE_2, FAX, EMAIL, "
                          "PERSON_RESPONSIBLE_TO_INSERT_DATA, USERNAME, [PASSWORD], "
                          "NUMBER_OF_SOLUTIONS_REQUESTED FROM SCHOOLS WHERE USERNAME = ?"),
                        {school_});
    if (!row.next()) {
        RefusePreparation(S("Το σχολείο %1 δεν είναι καταχωρημένο.").arg(school_),
                          QStringLiteral("no SCHOOLS row for %1").arg(school_));
    }
    QVariantList values;
    for (int c = 0; c < 10; ++c) {
        values.append(row.value(c));
    }
    Run(working_,
        S("INSERT INTO SCHOOLS(SCHOOL_NAME, ADDRESS, PHONE_1, PHONE_2, FAX, EMAIL, "
          "PERSON_RESPONSIBLE_TO_INSERT_DATA, USERNAME, [PASSWORD], "
          "NUMBER_OF_SOLUTIONS_REQUESTED, STEP) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 10)"),
        values);
}

// Step 5: class sections 1..C in the order they were entered.
void WorkingCopyBuilder::CopyClasses() {
    PreparedStatement insert(
        working_, S("INSERT INTO CLASSES(CLASS, CLASS_ID, SCHOOL_USERNAME) VALUES(?, ?, ?)"));
    QSqlQuery rows =
        Read("SELECT CLASS, CLASS_ID FROM CLASSES WHERE SCHOOL_USERNAME = ? ORDER BY CLASS_ID");
    while (rows.next()) {
        const int id = static_cast<int>(class_names_.size());
        class_ids_.insert(rows.value(1).toLongLong(), id);
        class_names_.push_back(rows.value(0).toString());
        insert.Exec({class_names_.back(), id, school_});
    }
}

void WorkingCopyBuilder::AddTeacher(int new_id, qint64 old_id, const QString& name) {
    teacher_ids_.insert(old_id, new_id);
    teacher_names_.push_back(name);
}

// Step 6: single teachers first by entry identifier, then the pairs as the
// lists show them (one orientation each).
void WorkingCopyBuilder::CopyTeachers() {
    PreparedStatement insert(
        working_, S("INSERT INTO TEACHERS(TEACHER, TEACHER_ID, SCHOOL_USERNAME) VALUES(?, ?, ?)"));
    QSqlQuery singles = Read(
        "SELECT TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_1 WHERE SCHOOL_USERNAME = ? "
        "ORDER BY TEACHER_ID");
    while (singles.next()) {
        const int id = static_cast<int>(teacher_names_.size());
        const QString name = singles.value(0).toString();
        AddTeacher(id, singles.value(1).toLongLong(), name);
        single_by_name_.insert(name, id);
        insert.Exec({name, id, school_});
    }
    QSqlQuery pairs = Read(
        "SELECT TEACHER, TEACHER_ID FROM DISPLAY_TEACHERS_2 WHERE SCHOOL_USERNAME = ? "
        "ORDER BY TEACHER_ID");
    while (pairs.next()) {
        WorkingPair pair;
        pair.id = static_cast<int>(teacher_names_.size());
        pair.name = pairs.value(0).toString();
        PairMemberNames(pair.name, pair.first, pair.second);
        AddTeacher(pair.id, pairs.value(1).toLongLong(), pair.name);
        // Exact member names: "ΝΙΚΟΛΑΟΥ" is not a member of "ΝΙΚΟΛΑΟΥΔΗΣ+…".
        pairs_of_member_[pair.first].append(pair.id);
        if (pair.second != pair.first) {
            pairs_of_member_[pair.second].append(pair.id);
        }
        pairs_.append(pair);
        insert.Exec({pair.name, pair.id, school_});
    }
}

// Step 7: the allocation with its weekly hours, single + 2 x double.
void WorkingCopyBuilder::CopyAllocation() {
    PreparedStatement insert(working_,
                             S("INSERT INTO TEACHERS_OF_CLASS(CLASS_ID, TEACHER_ID, HOURS, DYOWRA, "
                               "SCHOOL_USERNAME) VALUES(?, ?, ?, ?, ?)"));
    QSqlQuery rows = Read(
        "SELECT CLASS_ID, TEACHER_ID, MONOWRA, DYOWRA FROM TEACHERS_OF_CLASS "
        "WHERE SCHOOL_USERNAME = ? ORDER BY rowid");
    while (rows.next()) {
        const int c = NewClassId(rows.value(0), "TEACHERS_OF_CLASS");
        const int t = NewTeacherId(rows.value(1), "TEACHERS_OF_CLASS");
        const qint64 singles = rows.value(2).toLongLong();
        const qint64 doubles = rows.value(3).toLongLong();
        const qint64 hours = singles + 2 * doubles;
        if (rows.value(2).isNull() || singles < 0 || doubles < 0 || hours > kMaxIds) {
            RefusePreparation(
                S("Ο διδάσκων %1 στο τμήμα %2 έχει %3 και %4· "
                  "οι ώρες πρέπει να είναι από 0 έως 255.")
                    .arg(TeacherName(t), ClassName(c),
                         QString::fromStdString(CountOf(singles, "μονόωρο", "μονόωρα")),
                         QString::fromStdString(CountOf(doubles, "δίωρο", "δίωρα"))),
                QStringLiteral("allocation class %1 teacher %2: hours %3")
                    .arg(c)
                    .arg(t)
                    .arg(hours));
        }
        insert.Exec({c, t, hours, doubles, school_});
    }
}

}  // namespace detail

bool SlotOfHourText(const QString& text, int& slot, QString& working_text) {
    int day = 0;
    int hour = 0;
    if (!ParseDayHourText(text, day, hour)) {
        return false;
    }
    slot = SlotOf(day, hour);
    const std::string_view upper = kDayNamesUpper[static_cast<std::size_t>(day)];
    working_text = QString::fromUtf8("ΜΕΡΑ=") +
                   QString::fromUtf8(upper.data(), static_cast<qsizetype>(upper.size())) +
                   QString::fromUtf8(" ΩΡΑ=") + QString::number(hour);
    return true;
}

void PrepareWorkingCopy(const Session& entry, const QSqlDatabase& working,
                        const StepProgress& progress) {
    detail::WorkingCopyBuilder builder(entry, working);
    int step = 0;
    const auto done = [&progress, &step](int steps) {
        for (int k = 0; k < steps; ++k) {
            ++step;
            if (progress) {
                progress(step, kPreparationSteps);
            }
        }
    };
    // Every read of the entry database happens in one read transaction, so the
    // copy is one consistent state even while another connection writes.
    Transaction reading(entry.db);
    builder.CheckCounts();
    done(2);
    // Nothing is written outside this transaction: a refusal at any later
    // step leaves the previous working copy as it was.
    Transaction transaction(working);
    using Step = void (detail::WorkingCopyBuilder::*)();
    constexpr Step kSteps[] = {
        &detail::WorkingCopyBuilder::ClearSchool,
        &detail::WorkingCopyBuilder::CopySchoolRow,
        &detail::WorkingCopyBuilder::CopyClasses,
        &detail::WorkingCopyBuilder::CopyTeachers,
        &detail::WorkingCopyBuilder::CopyAllocation,
        &detail::WorkingCopyBuilder::CopySplit,
        &detail::WorkingCopyBuilder::CopyApart,
        &detail::WorkingCopyBuilder::CopyJoint,
        &detail::WorkingCopyBuilder::CopyAbsentDays,
        &detail::WorkingCopyBuilder::CopyPinned,
        &detail::WorkingCopyBuilder::CopyFreeHours,
        &detail::WorkingCopyBuilder::PairsAgainstMembers,
        &detail::WorkingCopyBuilder::PairsSharingMembers,
    };
    for (const Step run : kSteps) {
        (builder.*run)();
        done(1);
    }
    builder.CopyEighthHours();
    // The last step is reported before the commit, so that a stop asked at
    // any step, the last one included, still leaves the previous copy.
    done(1);
    transaction.Commit();
    reading.Commit();
}

}  // namespace taktirio::data
