// The school exchange file: reading with every check, so that a broken file
// is refused before anything reaches the database, and writing.
#include "data/exchange/school_document.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <initializer_list>

#include "data/database/errors.h"
#include "data/entry/validation.h"
#include "data/exchange/strict_json.h"

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

QString Item(const QString& key, qsizetype index) {
    return QStringLiteral("%1[%2]").arg(key).arg(index);
}

// A name in quotation marks for a message; a name beyond any maximum is cut,
// so that a refusal never repeats megabytes of text.
QString Quoted(const QString& name) {
    if (name.size() > kMaxPairNameLength) {
        return u'"' + name.left(kMaxPairNameLength) + QStringLiteral("…\"");
    }
    return u'"' + name + u'"';
}

[[noreturn]] void FailImport(const QString& item, const QString& reason) {
    throw ImportError(ImportRefusal(item, reason), item + QStringLiteral(": ") + reason);
}

QString FileTooLarge() {
    return S("το αρχείο είναι μεγαλύτερο από %1 MiB").arg(kMaxSchoolFileBytes >> 20);
}

// The ordered key of an unordered pair of names.
QString Unordered(const QString& a, const QString& b) {
    return a < b ? a + u'\n' + b : b + u'\n' + a;
}

class Parser {
  public:
    SchoolDocument Parse(const QByteArray& json);

  private:
    [[noreturn]] static void Fail(const QString& item, const QString& reason) {
        FailImport(item, reason);
    }
    static void OnlyKeys(const QJsonObject& object, const QString& item,
                         std::initializer_list<const char*> keys);
    static QJsonObject ObjectAt(const QJsonValue& value, const QString& item);
    static QJsonArray ArrayAt(const QJsonObject& object, const char* key, bool required);
    static int IntAt(const QJsonObject& object, const char* key, const QString& item, int low,
                     int high, const char* range_reason);
    static int IntOf(const QJsonValue& value, const QString& item, int low, int high,
                     const char* range_reason);
    static QString NameOf(const QJsonValue& value, const QString& item);
    static QString NameAt(const QJsonObject& object, const char* key, const QString& item);
    static void CheckLength(const QString& name, const QString& item, int max_length,
                            const char* what);

    QString ClassAt(const QJsonObject& object, const char* key, const QString& item) const;
    QString TeacherOf(const QJsonValue& value, const QString& item, bool single_only) const;
    static std::pair<QJsonValue, QJsonValue> TwoOf(const QJsonValue& value, const QString& item);

    void ReadSchool(const QJsonObject& root);
    void ReadNames(const QJsonObject& root);
    void ReadPairs(const QJsonObject& root);
    void ReadAllocation(const QJsonObject& root);
    void ReadDays(const QJsonObject& root);
    void ReadPinned(const QJsonObject& root);
    void ReadAbsences(const QJsonObject& root);
    void ReadJointAndSplit(const QJsonObject& root);
    void ReadApart(const QJsonObject& root);
    static void Unique(QSet<QString>& seen, const QString& key, const QString& item);

    SchoolDocument doc_;
    QSet<QString> classes_;
    QSet<QString> singles_;
    QHash<QString, QString> pairs_;  // either order -> the order of the file
};

void Parser::OnlyKeys(const QJsonObject& object, const QString& item,
                      std::initializer_list<const char*> keys) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : keys) {
            known = known || it.key() == QLatin1String(key);
        }
        if (!known) {
            Fail(item.isEmpty() ? it.key() : item + u'.' + it.key(), S("άγνωστο κλειδί"));
        }
    }
}

QJsonObject Parser::ObjectAt(const QJsonValue& value, const QString& item) {
    if (!value.isObject()) {
        Fail(item, S("αναμένεται αντικείμενο"));
    }
    return value.toObject();
}

QJsonArray Parser::ArrayAt(const QJsonObject& object, const char* key, bool required) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() && !required) {
        return {};
    }
    if (!value.isArray()) {
        Fail(QString::fromLatin1(key), value.isUndefined() ? S("λείπει") : S("αναμένεται λίστα"));
    }
    return value.toArray();
}

int Parser::IntOf(const QJsonValue& value, const QString& item, int low, int high,
                  const char* range_reason) {
    const double number = value.toDouble(-1e9);
    if (!value.isDouble() || std::trunc(number) != number) {
        Fail(item, S("αναμένεται ακέραιος αριθμός"));
    }
    if (number < low || number > high) {
        Fail(item, S(range_reason));
    }
    return static_cast<int>(number);
}

int Parser::IntAt(const QJsonObject& object, const char* key, const QString& item, int low,
                  int high, const char* range_reason) {
    return IntOf(object.value(QLatin1String(key)), item + u'.' + QLatin1String(key), low, high,
                 range_reason);
}

QString Parser::NameOf(const QJsonValue& value, const QString& item) {
    if (!value.isString()) {
        Fail(item, S("αναμένεται όνομα"));
    }
    const QString name = value.toString();
    if (!IsAcceptableName(name) || name != name.trimmed()) {
        Fail(item + u' ' + Quoted(name),
             S("μη αποδεκτό όνομα (κενό, κενά στην αρχή ή στο τέλος, εισαγωγικά, %, !, < "
               "ή χαρακτήρας που δεν γράφεται σε windows-1253)"));
    }
    return name;
}

QString Parser::NameAt(const QJsonObject& object, const char* key, const QString& item) {
    return NameOf(object.value(QLatin1String(key)), item + u'.' + QLatin1String(key));
}

void Parser::CheckLength(const QString& name, const QString& item, int max_length,
                         const char* what) {
    if (name.size() > max_length) {
        Fail(item + u' ' + Quoted(name),
             S("%1 γράφεται με έως %2 χαρακτήρες").arg(S(what)).arg(max_length));
    }
}

QString Parser::ClassAt(const QJsonObject& object, const char* key, const QString& item) const {
    const QString name = NameAt(object, key, item);
    if (!classes_.contains(name)) {
        Fail(item + u'.' + QLatin1String(key) + u' ' + Quoted(name), S("άγνωστο τμήμα"));
    }
    return name;
}

QString Parser::TeacherOf(const QJsonValue& value, const QString& item, bool single_only) const {
    const QString name = NameOf(value, item);
    if (singles_.contains(name)) {
        return name;
    }
    if (pairs_.contains(name)) {
        if (single_only) {
            Fail(item + u' ' + Quoted(name), S("δεκτός μόνο μεμονωμένος διδάσκων, όχι ζεύγος"));
        }
        return pairs_.value(name);
    }
    Fail(item + u' ' + Quoted(name), S("άγνωστος διδάσκων"));
}

std::pair<QJsonValue, QJsonValue> Parser::TwoOf(const QJsonValue& value, const QString& item) {
    if (!value.isArray() || value.toArray().size() != 2) {
        Fail(item, S("αναμένονται δύο ονόματα"));
    }
    return {value.toArray().at(0), value.toArray().at(1)};
}

void Parser::Unique(QSet<QString>& seen, const QString& key, const QString& item) {
    if (seen.contains(key)) {
        Fail(item, S("διπλή εγγραφή"));
    }
    seen.insert(key);
}

void Parser::ReadSchool(const QJsonObject& root) {
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kSchoolFormat)) {
        Fail(S("format"), S("αναμένεται \"taktirio-school\""));
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != kSchoolFormatVersion) {
        Fail(S("version"), S("αναμένεται 1"));
    }
    const QJsonObject school = ObjectAt(root.value(QLatin1String("school")), S("school"));
    OnlyKeys(school, S("school"), {"name", "responsible", "solutions_requested"});
    doc_.name = NameAt(school, "name", S("school"));
    CheckLength(doc_.name, S("school.name"), kMaxSchoolNameLength, "το όνομα του σχολείου");
    doc_.responsible = NameAt(school, "responsible", S("school"));
    CheckLength(doc_.responsible, S("school.responsible"), kMaxResponsibleNameLength,
                "το όνομα του υπευθύνου");
    if (school.contains(QLatin1String("solutions_requested"))) {
        doc_.solutions_requested = IntAt(school, "solutions_requested", S("school"), 1, 254,
                                         "ο αριθμός λύσεων πρέπει να είναι από 1 έως 254");
    }
}

void Parser::ReadNames(const QJsonObject& root) {
    const QJsonArray classes = ArrayAt(root, "classes", true);
    for (qsizetype i = 0; i < classes.size(); ++i) {
        const QString item = Item(S("classes"), i);
        const QString name = NameOf(classes[i], item);
        CheckLength(name, item, kMaxClassNameLength, "το όνομα τμήματος");
        if (!IsAcceptableClassName(name)) {
            Fail(item + u' ' + Quoted(name),
                 S("το K.KENH σημειώνει στις εκτυπώσεις την κοινή κενή ώρα· δώσε στο τμήμα "
                   "άλλο όνομα"));
        }
        Unique(classes_, name, item + u' ' + Quoted(name));
        doc_.classes.append(name);
    }
    if (doc_.classes.size() > 255) {
        Fail(S("classes"), S("περισσότερα από 255 τμήματα"));
    }
    const QJsonArray teachers = ArrayAt(root, "teachers", true);
    for (qsizetype i = 0; i < teachers.size(); ++i) {
        const QString item = Item(S("teachers"), i);
        const QString name = NameOf(teachers[i], item);
        if (name.contains(u'+')) {
            Fail(item + u' ' + Quoted(name), S("το όνομα διδάσκοντος δεν μπορεί να περιέχει +"));
        }
        CheckLength(name, item, kMaxTeacherNameLength, "το όνομα διδάσκοντος");
        Unique(singles_, name, item + u' ' + Quoted(name));
        doc_.teachers.append(name);
    }
}

void Parser::ReadPairs(const QJsonObject& root) {
    const QJsonArray pairs = ArrayAt(root, "pairs", false);
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const QString item = Item(S("pairs"), i);
        const auto [a, b] = TwoOf(pairs[i], item);
        const QString first = TeacherOf(a, item + QStringLiteral("[0]"), true);
        const QString second = TeacherOf(b, item + QStringLiteral("[1]"), true);
        if (first == second) {
            Fail(item, S("τα δύο μέλη είναι ίδια"));
        }
        const QString name = first + u'+' + second;
        if (pairs_.contains(name)) {
            Fail(item + u' ' + Quoted(name), S("διπλή εγγραφή"));
        }
        pairs_.insert(name, name);
        pairs_.insert(second + u'+' + first, name);
        doc_.pairs.append({first, second});
    }
    if (doc_.teachers.size() + doc_.pairs.size() > 255) {
        Fail(S("teachers"), S("περισσότεροι από 255 διδάσκοντες και ζεύγη"));
    }
}

void Parser::ReadAllocation(const QJsonObject& root) {
    const QJsonArray rows = ArrayAt(root, "allocation", true);
    QSet<QString> seen;
    QHash<QString, int> totals;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString item = Item(S("allocation"), i);
        const QJsonObject row = ObjectAt(rows[i], item);
        OnlyKeys(row, item, {"class", "teacher", "single", "double"});
        SchoolDocument::Allocation a;
        a.class_name = ClassAt(row, "class", item);
        a.teacher = NameAt(row, "teacher", item);
        const QString teacher =
            TeacherOf(row.value(QLatin1String("teacher")), item + S(".teacher"), false);
        a.singles = IntAt(row, "single", item, 0, 15, "τα μονόωρα πρέπει να είναι από 0 έως 15");
        a.doubles = IntAt(row, "double", item, 0, 10, "τα δίωρα πρέπει να είναι από 0 έως 10");
        if (a.singles == 0 && a.doubles == 0) {
            Fail(item, S("χωρίς ώρες διδασκαλίας"));
        }
        Unique(seen, a.class_name + u'\n' + teacher, item);
        int& total = totals[a.class_name];
        total += a.singles + 2 * a.doubles;
        if (total > 50) {
            Fail(item + u' ' + Quoted(a.class_name), S("οι ώρες του τμήματος ξεπερνούν τις 50"));
        }
        doc_.allocation.append(a);
    }
}

void Parser::ReadDays(const QJsonObject& root) {
    const QJsonArray days = ArrayAt(root, "eighth_hour_days", false);
    QSet<QString> seen;
    for (qsizetype i = 0; i < days.size(); ++i) {
        const QString item = Item(S("eighth_hour_days"), i);
        const int day = IntOf(days[i], item, 1, 5, "η μέρα πρέπει να είναι από 1 έως 5");
        Unique(seen, QString::number(day), item);
        doc_.eighth_hour_days.append(day);
    }
}

void Parser::ReadPinned(const QJsonObject& root) {
    const QJsonArray rows = ArrayAt(root, "pinned", false);
    QSet<QString> seen;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString item = Item(S("pinned"), i);
        const QJsonObject row = ObjectAt(rows[i], item);
        OnlyKeys(row, item, {"class", "teacher", "day", "hour"});
        SchoolDocument::Pinned p;
        p.class_name = ClassAt(row, "class", item);
        p.teacher = NameAt(row, "teacher", item);
        TeacherOf(row.value(QLatin1String("teacher")), item + S(".teacher"), false);
        p.day = IntAt(row, "day", item, 1, 5, "η μέρα πρέπει να είναι από 1 έως 5");
        p.hour = IntAt(row, "hour", item, 1, 10, "η ώρα πρέπει να είναι από 1 έως 10");
        Unique(seen, QStringLiteral("%1\n%2\n%3").arg(p.class_name).arg(p.day).arg(p.hour), item);
        doc_.pinned.append(p);
    }
}

void Parser::ReadAbsences(const QJsonObject& root) {
    const QJsonArray absent = ArrayAt(root, "absent_days", false);
    QSet<QString> seen;
    for (qsizetype i = 0; i < absent.size(); ++i) {
        const QString item = Item(S("absent_days"), i);
        const QJsonObject row = ObjectAt(absent[i], item);
        OnlyKeys(row, item, {"teacher", "day"});
        SchoolDocument::AbsentDay a;
        a.teacher = TeacherOf(row.value(QLatin1String("teacher")), item + S(".teacher"), true);
        a.day = IntAt(row, "day", item, 1, 5, "η μέρα πρέπει να είναι από 1 έως 5");
        Unique(seen, QStringLiteral("%1\n%2").arg(a.teacher).arg(a.day), item);
        doc_.absent_days.append(a);
    }
    const QJsonArray free = ArrayAt(root, "free_hours", false);
    seen.clear();
    for (qsizetype i = 0; i < free.size(); ++i) {
        const QString item = Item(S("free_hours"), i);
        const QJsonObject row = ObjectAt(free[i], item);
        OnlyKeys(row, item, {"teacher", "day", "hour"});
        SchoolDocument::FreeHour f;
        f.teacher = TeacherOf(row.value(QLatin1String("teacher")), item + S(".teacher"), true);
        f.day = IntAt(row, "day", item, 1, 5, "η μέρα πρέπει να είναι από 1 έως 5");
        f.hour = IntAt(row, "hour", item, 1, 10, "η ώρα πρέπει να είναι από 1 έως 10");
        Unique(seen, QStringLiteral("%1\n%2\n%3").arg(f.teacher).arg(f.day).arg(f.hour), item);
        doc_.free_hours.append(f);
    }
}

void Parser::ReadJointAndSplit(const QJsonObject& root) {
    const QJsonArray joint = ArrayAt(root, "joint", false);
    QSet<QString> seen;
    for (qsizetype i = 0; i < joint.size(); ++i) {
        const QString item = Item(S("joint"), i);
        const QJsonObject row = ObjectAt(joint[i], item);
        OnlyKeys(row, item, {"teacher", "classes"});
        SchoolDocument::Joint j;
        j.teacher = NameAt(row, "teacher", item);
        const QString teacher =
            TeacherOf(row.value(QLatin1String("teacher")), item + S(".teacher"), false);
        const auto [a, b] = TwoOf(row.value(QLatin1String("classes")), item + S(".classes"));
        const QJsonObject classes{{QStringLiteral("a"), a}, {QStringLiteral("b"), b}};
        j.class1 = ClassAt(classes, "a", item + S(".classes[0]"));
        j.class2 = ClassAt(classes, "b", item + S(".classes[1]"));
        if (j.class1 == j.class2) {
            Fail(item, S("τα δύο τμήματα είναι ίδια"));
        }
        Unique(seen, teacher + u'\n' + Unordered(j.class1, j.class2), item);
        doc_.joint.append(j);
    }
    const QJsonArray split = ArrayAt(root, "split", false);
    seen.clear();
    for (qsizetype i = 0; i < split.size(); ++i) {
        const QString item = Item(S("split"), i);
        const QJsonObject row = ObjectAt(split[i], item);
        OnlyKeys(row, item, {"class", "teachers"});
        SchoolDocument::Split s;
        s.class_name = ClassAt(row, "class", item);
        const auto [a, b] = TwoOf(row.value(QLatin1String("teachers")), item + S(".teachers"));
        s.teacher1 = NameOf(a, item + S(".teachers[0]"));
        s.teacher2 = NameOf(b, item + S(".teachers[1]"));
        const QString t1 = TeacherOf(a, item + S(".teachers[0]"), false);
        const QString t2 = TeacherOf(b, item + S(".teachers[1]"), false);
        if (t1 == t2) {
            Fail(item, S("τα δύο μέλη είναι ίδια"));
        }
        Unique(seen, s.class_name + u'\n' + Unordered(t1, t2), item);
        doc_.split.append(s);
    }
}

void Parser::ReadApart(const QJsonObject& root) {
    const QJsonArray apart = ArrayAt(root, "apart", false);
    QSet<QString> seen;
    for (qsizetype i = 0; i < apart.size(); ++i) {
        const QString item = Item(S("apart"), i);
        const auto [a, b] = TwoOf(apart[i], item);
        const QString first = NameOf(a, item + QStringLiteral("[0]"));
        const QString second = NameOf(b, item + QStringLiteral("[1]"));
        const QString t1 = TeacherOf(a, item + QStringLiteral("[0]"), false);
        const QString t2 = TeacherOf(b, item + QStringLiteral("[1]"), false);
        if (t1 == t2) {
            Fail(item, S("τα δύο μέλη είναι ίδια"));
        }
        Unique(seen, Unordered(t1, t2), item);
        doc_.apart.append({first, second});
    }
}

// The file as one JSON object; a text that is not JSON, a key given twice or
// half a surrogate pair is refused at its place.
QJsonObject ReadRoot(const QByteArray& json) {
    if (json.size() > kMaxSchoolFileBytes) {
        FailImport(S("JSON"), FileTooLarge());
    }
    try {
        return ReadStrictJsonObject(json);
    } catch (const StrictJsonError& error) {
        const JsonRefusal& r = error.refusal();
        const QString item = r.path.isEmpty() ? S("JSON") : r.path;
        const QString where = S("γραμμή %1, στήλη %2").arg(r.line).arg(r.column);
        if (r.malformed) {
            FailImport(item, S("το αρχείο δεν είναι έγκυρο JSON (%1: %2)").arg(where, r.reason));
        }
        FailImport(item, S("%1 (%2)").arg(r.reason, where));
    }
}

SchoolDocument Parser::Parse(const QByteArray& json) {
    const QJsonObject root = ReadRoot(json);
    OnlyKeys(
        root, QString(),
        {"format", "version", "school", "classes", "teachers", "pairs", "allocation",
         "eighth_hour_days", "pinned", "absent_days", "free_hours", "joint", "split", "apart"});
    ReadSchool(root);
    ReadNames(root);
    ReadPairs(root);
    ReadAllocation(root);
    ReadDays(root);
    ReadPinned(root);
    ReadAbsences(root);
    ReadJointAndSplit(root);
    ReadApart(root);
    return doc_;
}

QJsonArray Strings(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

QJsonArray PairArray(const QList<SchoolDocument::NamePair>& pairs) {
    QJsonArray array;
    for (const auto& [a, b] : pairs) {
        array.append(QJsonArray{a, b});
    }
    return array;
}

QJsonObject Object(std::initializer_list<std::pair<const char*, QJsonValue>> members) {
    QJsonObject object;
    for (const auto& [key, value] : members) {
        object.insert(QLatin1String(key), value);
    }
    return object;
}

}  // namespace

QString ImportRefusal(const QString& item, const QString& reason) {
    return S("Το αρχείο του σχολείου δεν έγινε δεκτό.\r%1: %2").arg(item, reason);
}

SchoolDocument ParseSchoolDocument(const QByteArray& json) {
    return Parser().Parse(json);
}

QByteArray ReadSchoolFile(const QString& path) {
    const QString unreadable = S("Το αρχείο %1 δεν μπορεί να διαβαστεί.").arg(path);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        // A device such as /dev/zero never ends; a folder or a pipe is no file.
        throw DataError(unreadable + S("\rΔεν είναι κανονικό αρχείο (είναι φάκελος, συσκευή "
                                       "ή σωλήνας)."),
                        QStringLiteral("not a regular file: ") + path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw DataError(unreadable, file.errorString());
    }
    // The size is checked before reading, and the reading stops one byte past
    // the maximum in case the file grows meanwhile.
    if (file.size() > kMaxSchoolFileBytes) {
        FailImport(path, FileTooLarge());
    }
    QByteArray bytes = file.read(kMaxSchoolFileBytes + 1);
    if (bytes.size() > kMaxSchoolFileBytes) {
        FailImport(path, FileTooLarge());
    }
    if (file.error() != QFileDevice::NoError) {
        throw DataError(unreadable, file.errorString());
    }
    return bytes;
}

QByteArray WriteSchoolDocument(const SchoolDocument& d) {
    QJsonArray allocation;
    for (const auto& a : d.allocation) {
        allocation.append(Object({{"class", a.class_name},
                                  {"teacher", a.teacher},
                                  {"single", a.singles},
                                  {"double", a.doubles}}));
    }
    QJsonArray days;
    for (const int day : d.eighth_hour_days) {
        days.append(day);
    }
    QJsonArray pinned;
    for (const auto& p : d.pinned) {
        pinned.append(Object(
            {{"class", p.class_name}, {"teacher", p.teacher}, {"day", p.day}, {"hour", p.hour}}));
    }
    QJsonArray absent;
    for (const auto& a : d.absent_days) {
        absent.append(Object({{"teacher", a.teacher}, {"day", a.day}}));
    }
    QJsonArray free;
    for (const auto& f : d.free_hours) {
        free.append(Object({{"teacher", f.teacher}, {"day", f.day}, {"hour", f.hour}}));
    }
    QJsonArray joint;
    for (const auto& j : d.joint) {
        joint.append(Object({{"teacher", j.teacher}, {"classes", QJsonArray{j.class1, j.class2}}}));
    }
    QJsonArray split;
    for (const auto& s : d.split) {
        split.append(
            Object({{"class", s.class_name}, {"teachers", QJsonArray{s.teacher1, s.teacher2}}}));
    }
    const QJsonObject root = Object({
        {"format", QString::fromLatin1(kSchoolFormat)},
        {"version", kSchoolFormatVersion},
        {"school", Object({{"name", d.name},
                           {"responsible", d.responsible},
                           {"solutions_requested", d.solutions_requested}})},
        {"classes", Strings(d.classes)},
        {"teachers", Strings(d.teachers)},
        {"pairs", PairArray(d.pairs)},
        {"allocation", allocation},
        {"eighth_hour_days", days},
        {"pinned", pinned},
        {"absent_days", absent},
        {"free_hours", free},
        {"joint", joint},
        {"split", split},
        {"apart", PairArray(d.apart)},
    });
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

}  // namespace taktirio::data
