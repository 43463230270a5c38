#include "data/database/greek_collation.h"

#include <sqlite3.h>

namespace taktirio::data {

namespace {

// The text without accents (combining marks after decomposition), in capitals.
QString FoldedKey(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString key;
    key.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        if (ch.category() != QChar::Mark_NonSpacing) {
            key.append(ch);
        }
    }
    return key.toUpper();
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

int CompareCallback(void*, int length_a, const void* a, int length_b, const void* b) {
    const QString text_a = QString::fromUtf8(static_cast<const char*>(a), length_a);
    const QString text_b = QString::fromUtf8(static_cast<const char*>(b), length_b);
    return GreekCompare(text_a, text_b);
}

}  // namespace

int GreekCompare(const QString& a, const QString& b) {
    if (const int folded = QString::compare(FoldedKey(a), FoldedKey(b)); folded != 0) {
        return Sign(folded);
    }
    if (const int upper = QString::compare(a.toUpper(), b.toUpper()); upper != 0) {
        return Sign(upper);
    }
    return Sign(QString::compare(a, b));
}

bool RegisterGreekCollation(sqlite3* handle) {
    return sqlite3_create_collation(handle, "GREEK", SQLITE_UTF8, nullptr, &CompareCallback) ==
           SQLITE_OK;
}

}  // namespace taktirio::data
