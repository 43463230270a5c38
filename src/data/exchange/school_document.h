#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace taktirio::data {

// One school's entry data by name, as the exchange file holds it. Teachers
// of a lesson or rule are single teachers or pairs written "A+B" (either
// order); days are 1 (Monday) to 5, hours 1 to 10.
struct SchoolDocument {
    struct Allocation {
        QString class_name;
        QString teacher;
        int singles = 0;
        int doubles = 0;
        friend bool operator==(const Allocation&, const Allocation&) = default;
    };
    struct Pinned {
        QString class_name;
        QString teacher;
        int day = 0;
        int hour = 0;
        friend bool operator==(const Pinned&, const Pinned&) = default;
    };
    struct AbsentDay {
        QString teacher;
        int day = 0;
        friend bool operator==(const AbsentDay&, const AbsentDay&) = default;
    };
    struct FreeHour {
        QString teacher;
        int day = 0;
        int hour = 0;
        friend bool operator==(const FreeHour&, const FreeHour&) = default;
    };
    struct Joint {
        QString teacher;
        QString class1;
        QString class2;
        friend bool operator==(const Joint&, const Joint&) = default;
    };
    struct Split {
        QString class_name;
        QString teacher1;
        QString teacher2;
        friend bool operator==(const Split&, const Split&) = default;
    };
    using NamePair = std::pair<QString, QString>;

    QString name;
    QString responsible;
    int solutions_requested = 1;
    QStringList classes;
    QStringList teachers;
    QList<NamePair> pairs;
    QList<Allocation> allocation;
    QList<int> eighth_hour_days;
    QList<Pinned> pinned;
    QList<AbsentDay> absent_days;
    QList<FreeHour> free_hours;
    QList<Joint> joint;
    QList<Split> split;
    QList<NamePair> apart;

    friend bool operator==(const SchoolDocument&, const SchoolDocument&) = default;
};

inline constexpr char kSchoolFormat[] = "taktirio-school";
inline constexpr int kSchoolFormatVersion = 1;

// The largest exchange file read, in bytes (16 MiB). The export of a school
// of 255 class sections and 255 teachers with every rule a real timetable
// has, and names of the longest length, takes a few megabytes; the maximum
// bounds the memory a hostile file can take.
inline constexpr qsizetype kMaxSchoolFileBytes = qsizetype{16} << 20;

// Reads and checks a whole exchange file: strict JSON (no key given twice,
// no half of a surrogate pair, at most kMaxJsonDepth levels, at most
// kMaxSchoolFileBytes), its format and version, every name (windows-1253, no
// quote, percent or exclamation mark, no "+" in a teacher, no longer than
// the maximum of its kind), every reference, range, duplicate, class total
// (at most 50) and the limits of 255 class sections and 255 teachers. Throws
// ImportError naming the item.
SchoolDocument ParseSchoolDocument(const QByteArray& json);

// The bytes of an exchange file. A file larger than kMaxSchoolFileBytes is
// refused (ImportError) before it is read; a path that is not a regular file
// (a folder, a device, a pipe) or cannot be read is a DataError.
QByteArray ReadSchoolFile(const QString& path);

// The document as indented UTF-8 JSON.
QByteArray WriteSchoolDocument(const SchoolDocument& document);

// The text of an import refusal naming the item (for example "classes[2]").
QString ImportRefusal(const QString& item, const QString& reason);

}  // namespace taktirio::data
