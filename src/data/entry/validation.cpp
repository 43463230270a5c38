#include "data/entry/validation.h"

#include <QStringList>

#include "core/text/cp1253.h"
#include "data/entry/messages.h"
#include "data/reports/work_tables.h"

namespace taktirio::data {

bool is_valid_input(const QString& text) {
    for (const QChar ch : text) {
        // No surrogate is in windows-1253; a lone one would pass the check
        // below, since toUtf8() replaces it with a character that passes.
        if (ch == u'\'' || ch == u'"' || ch == u'%' || ch == u'!' || ch == u'<' ||
            ch.category() == QChar::Other_Control || ch.isSurrogate()) {
            return false;
        }
    }
    return FitsCp1253(text.toUtf8().toStdString());
}

bool IsAcceptableName(const QString& text) {
    return is_valid_input(text) && !text.trimmed().isEmpty();
}

bool IsAcceptableName(const QString& text, int max_length) {
    return text.size() <= max_length && IsAcceptableName(text);
}

namespace {

// An acceptable name of at most `max_length` characters, stored trimmed.
bool IsStoredName(const QString& name, int max_length) {
    return IsAcceptableName(name, max_length) && name == name.trimmed();
}

}  // namespace

bool IsAcceptableClassName(const QString& name) {
    return IsStoredName(name, kMaxClassNameLength) && name != QLatin1String(kCommonFreeHourMark);
}

bool IsAcceptableTeacherName(const QString& name) {
    return IsStoredName(name, kMaxTeacherNameLength) && !name.contains(u'+');
}

bool IsAcceptablePairName(const QString& name) {
    const qsizetype plus = name.indexOf(u'+');
    return plus >= 0 && IsStoredName(name, kMaxPairNameLength) &&
           IsAcceptableTeacherName(name.left(plus).trimmed()) &&
           IsAcceptableTeacherName(name.mid(plus + 1).trimmed());
}

bool IsAcceptableSchoolName(const QString& name) {
    return IsStoredName(name, kMaxSchoolNameLength);
}

bool IsAcceptableResponsibleName(const QString& name) {
    return IsStoredName(name, kMaxResponsibleNameLength);
}

QString DayName(int day) {
    if (day < 1 || day > kDaysPerWeek) {
        return {};
    }
    return QString::fromUtf8(kEntryDays[day - 1]);
}

int DayNumber(const QString& name) {
    for (int day = 1; day <= kDaysPerWeek; ++day) {
        if (name == DayName(day)) {
            return day;
        }
    }
    return 0;
}

QString DayHourText(int day, int hour) {
    return DayName(day) + QString::fromUtf8(" Ωρα ") + QString::number(hour);
}

bool ParseDayHourText(const QString& text, int& day, int& hour) {
    const QStringList parts = text.split(QString::fromUtf8(" Ωρα "));
    if (parts.size() != 2) {
        return false;
    }
    bool ok = false;
    const int h = parts[1].toInt(&ok);
    const int d = DayNumber(parts[0]);
    if (!ok || d == 0 || h < 1 || h > kMaxHoursPerDay || parts[1] != QString::number(h)) {
        return false;
    }
    day = d;
    hour = h;
    return true;
}

}  // namespace taktirio::data
