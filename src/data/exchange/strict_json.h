#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <utility>

namespace taktirio::data {

// Deepest nesting of objects and lists that the reader accepts. The exchange
// file needs four levels (the file, a list, an item, a pair of names).
inline constexpr int kMaxJsonDepth = 16;

// Why a text is not accepted as JSON: where (the path of the value, such as
// "school.name" or "teachers[3]"; empty at the top), what is wrong, and the
// line and column (1-based, in characters) at which it was found. `malformed`
// is set when the text is not JSON at all, clear for a key given twice or
// half a surrogate pair.
struct JsonRefusal {
    QString path;
    QString reason;
    bool malformed = false;
    qsizetype line = 0;
    qsizetype column = 0;
};

// Thrown by ReadStrictJsonObject.
class StrictJsonError {
  public:
    explicit StrictJsonError(JsonRefusal refusal) : refusal_(std::move(refusal)) {}
    const JsonRefusal& refusal() const { return refusal_; }

  private:
    JsonRefusal refusal_;
};

// Reads UTF-8 JSON whose top is an object, more strictly than QJsonDocument:
// a key given twice in one object, a \u escape of half a UTF-16 surrogate pair
// without its other half, malformed UTF-8, control characters in strings,
// nesting deeper than kMaxJsonDepth and anything after the top object are
// refused with a StrictJsonError. A leading byte order mark is skipped.
QJsonObject ReadStrictJsonObject(const QByteArray& json);

}  // namespace taktirio::data
