// A recursive-descent JSON reader for the exchange file. QJsonDocument keeps
// the last of two equal keys without a word and passes half a surrogate pair
// through, which the database then stores as bytes no page can hold; this
// reader refuses both, says where, and builds the same Qt values otherwise.
#include "data/exchange/strict_json.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QSet>
#include <algorithm>
#include <utility>
#include <vector>

namespace taktirio::data {

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    return -1;
}

class Reader {
  public:
    explicit Reader(const QByteArray& json) : data_(json.constData()), size_(json.size()) {}

    QJsonObject Document() {
        if (size_ >= 3 && Byte(0) == 0xEF && Byte(1) == 0xBB && Byte(2) == 0xBF) {
            pos_ = 3;
        }
        SkipBlanks();
        if (Peek() != '{') {
            Malformed(S("αναμένεται αντικείμενο"));
        }
        QJsonObject root = Object(1);
        SkipBlanks();
        if (pos_ < size_) {
            Malformed(S("περιεχόμενο μετά το τέλος του αντικειμένου"));
        }
        return root;
    }

  private:
    // One step of the path to the value being read: a key or a list index.
    struct Step {
        QString key;
        qsizetype index = -1;
    };

    unsigned char Byte(qsizetype at) const { return static_cast<unsigned char>(data_[at]); }
    char Peek() const { return pos_ < size_ ? data_[pos_] : '\0'; }
    bool AtEnd() const { return pos_ >= size_; }

    void SkipBlanks() {
        while (pos_ < size_ && (data_[pos_] == ' ' || data_[pos_] == '\t' || data_[pos_] == '\n' ||
                                data_[pos_] == '\r')) {
            ++pos_;
        }
    }

    QString Path() const {
        QString path;
        for (const Step& step : path_) {
            if (step.index >= 0) {
                path += QStringLiteral("[%1]").arg(step.index);
            } else {
                path += (path.isEmpty() ? QString() : QStringLiteral(".")) + step.key;
            }
        }
        return path;
    }

    [[noreturn]] void Refuse(const QString& reason, qsizetype at, bool malformed) const {
        JsonRefusal refusal;
        refusal.path = Path();
        refusal.reason = reason;
        refusal.malformed = malformed;
        refusal.line = 1;
        qsizetype line_start = 0;
        const qsizetype end = std::min(at, size_);
        for (qsizetype i = 0; i < end; ++i) {
            if (data_[i] == '\n') {
                ++refusal.line;
                line_start = i + 1;
            }
        }
        refusal.column = 1;
        for (qsizetype i = line_start; i < end; ++i) {
            refusal.column += IsContinuation(Byte(i)) ? 0 : 1;
        }
        throw StrictJsonError(std::move(refusal));
    }

    [[noreturn]] void Malformed(const QString& reason) const {
        Refuse(AtEnd() ? S("το αρχείο τελειώνει πριν κλείσει") : reason, pos_, true);
    }

    QJsonValue Value(int depth) {
        SkipBlanks();
        switch (Peek()) {
            case '{':
                return Object(depth + 1);
            case '[':
                return Array(depth + 1);
            case '"':
                return String();
            case 't':
                Word("true");
                return true;
            case 'f':
                Word("false");
                return false;
            case 'n':
                Word("null");
                return QJsonValue(QJsonValue::Null);
            default:
                return Number();
        }
    }

    void CheckDepth(int depth) const {
        if (depth > kMaxJsonDepth) {
            Refuse(S("περισσότερα από %1 επίπεδα εμφώλευσης").arg(kMaxJsonDepth), pos_, true);
        }
    }

    QJsonObject Object(int depth) {
        CheckDepth(depth);
        ++pos_;  // '{'
        std::vector<std::pair<QString, QJsonValue>> members;
        QSet<QString> keys;
        SkipBlanks();
        if (Peek() == '}') {
            ++pos_;
            return {};
        }
        while (true) {
            SkipBlanks();
            if (Peek() != '"') {
                Malformed(S("αναμένεται κλειδί σε εισαγωγικά"));
            }
            const qsizetype key_at = pos_;
            QString key = String();
            path_.push_back({key, -1});
            if (keys.contains(key)) {
                Refuse(S("το κλειδί δίνεται δεύτερη φορά"), key_at, false);
            }
            keys.insert(key);
            SkipBlanks();
            if (Peek() != ':') {
                Malformed(S("αναμένεται \":\""));
            }
            ++pos_;
            QJsonValue value = Value(depth);
            SkipBlanks();
            if (Peek() != ',' && Peek() != '}') {
                Malformed(S("αναμένεται \",\" ή \"}\""));  // named after the member before
            }
            path_.pop_back();
            members.emplace_back(std::move(key), std::move(value));
            if (data_[pos_++] == '}') {
                break;
            }
        }
        // In key order each insert lands at the end: no quadratic cost for
        // an object of many keys.
        std::sort(members.begin(), members.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        QJsonObject object;
        for (auto& [key, value] : members) {
            object.insert(key, value);
        }
        return object;
    }

    QJsonArray Array(int depth) {
        CheckDepth(depth);
        ++pos_;  // '['
        QJsonArray array;
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
            return array;
        }
        while (true) {
            path_.push_back({QString(), array.size()});
            array.append(Value(depth));
            SkipBlanks();
            if (Peek() != ',' && Peek() != ']') {
                Malformed(S("αναμένεται \",\" ή \"]\""));  // named after the item before
            }
            path_.pop_back();
            if (data_[pos_++] == ']') {
                return array;
            }
        }
    }

    void Word(const char* word) {
        for (const char* ch = word; *ch != '\0'; ++ch) {
            if (Peek() != *ch) {
                Malformed(S("αναμένεται τιμή"));
            }
            ++pos_;
        }
    }

    void Digits() {
        if (Peek() < '0' || Peek() > '9') {
            Malformed(S("μη έγκυρος αριθμός"));
        }
        while (Peek() >= '0' && Peek() <= '9') {
            ++pos_;
        }
    }

    QJsonValue Number() {
        const qsizetype start = pos_;
        if (Peek() == '-') {
            ++pos_;
        }
        if (Peek() == '0') {
            ++pos_;
        } else if (Peek() >= '1' && Peek() <= '9') {
            Digits();
        } else {
            Malformed(start == pos_ ? S("αναμένεται τιμή") : S("μη έγκυρος αριθμός"));
        }
        if (Peek() == '.') {
            ++pos_;
            Digits();
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-') {
                ++pos_;
            }
            Digits();
        }
        // The grammar is checked; an overflow gives an infinity, which every
        // range check refuses.
        return QByteArray::fromRawData(data_ + start, pos_ - start).toDouble();
    }

    char16_t Escape4() {
        int code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexDigit(Peek());
            if (digit < 0) {
                Malformed(S("μη έγκυρη ακολουθία \\u"));
            }
            code = code * 16 + digit;
            ++pos_;
        }
        return static_cast<char16_t>(code);
    }

    // After the backslash of "\u": one character, or a whole surrogate pair.
    void UnicodeEscape(QString& text, qsizetype escape_at) {
        const char16_t unit = Escape4();
        if (QChar::isLowSurrogate(unit)) {
            LoneSurrogate(unit, escape_at);
        }
        if (!QChar::isHighSurrogate(unit)) {
            text += QChar(unit);
            return;
        }
        if (Peek() != '\\' || pos_ + 1 >= size_ || data_[pos_ + 1] != 'u') {
            LoneSurrogate(unit, escape_at);
        }
        pos_ += 2;
        const char16_t low = Escape4();
        if (!QChar::isLowSurrogate(low)) {
            LoneSurrogate(unit, escape_at);
        }
        text += QChar(unit);
        text += QChar(low);
    }

    [[noreturn]] void LoneSurrogate(char16_t unit, qsizetype at) const {
        const QString hex = QString::number(unit, 16).toUpper().rightJustified(4, u'0');
        Refuse(S("μη έγκυρος χαρακτήρας \\u%1 (μισό ζεύγους UTF-16 χωρίς το άλλο μισό)").arg(hex),
               at, false);
    }

    // Length of the UTF-8 sequence at pos_ (1 to 4), or 0 when it is malformed
    // (overlong, a surrogate, beyond U+10FFFF, cut short).
    qsizetype Utf8Length() const {
        const unsigned char lead = Byte(pos_);
        qsizetype length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return 0;
        }
        if (pos_ + length > size_ || Byte(pos_ + 1) < low || Byte(pos_ + 1) > high) {
            return 0;
        }
        for (qsizetype i = 2; i < length; ++i) {
            if (!IsContinuation(Byte(pos_ + i))) {
                return 0;
            }
        }
        return length;
    }

    QString String() {
        ++pos_;  // '"'
        QString text;
        qsizetype run = pos_;  // start of the bytes not yet copied to text
        const auto flush = [&] { text += QString::fromUtf8(data_ + run, pos_ - run); };
        while (true) {
            if (AtEnd()) {
                Malformed(QString());
            }
            const unsigned char byte = Byte(pos_);
            if (byte == '"') {
                flush();
                ++pos_;
                return text;
            }
            if (byte < 0x20) {
                Refuse(S("χαρακτήρας ελέγχου μέσα σε κείμενο"), pos_, true);
            }
            if (byte < 0x80) {
                if (byte == '\\') {
                    flush();
                    Backslash(text);
                    run = pos_;
                } else {
                    ++pos_;
                }
                continue;
            }
            const qsizetype length = Utf8Length();
            if (length == 0) {
                Refuse(S("μη έγκυρο UTF-8"), pos_, true);
            }
            pos_ += length;
        }
    }

    void Backslash(QString& text) {
        const qsizetype escape_at = pos_;
        ++pos_;
        const char ch = Peek();
        ++pos_;
        switch (ch) {
            case '"':
            case '\\':
            case '/':
                text += QLatin1Char(ch);
                return;
            case 'b':
                text += u'\b';
                return;
            case 'f':
                text += u'\f';
                return;
            case 'n':
                text += u'\n';
                return;
            case 'r':
                text += u'\r';
                return;
            case 't':
                text += u'\t';
                return;
            case 'u':
                UnicodeEscape(text, escape_at);
                return;
            default:
                pos_ = escape_at;
                Malformed(S("μη έγκυρη ακολουθία διαφυγής"));
        }
    }

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    std::vector<Step> path_;
};

}  // namespace

QJsonObject ReadStrictJsonObject(const QByteArray& json) {
    return Reader(json).Document();
}

}  // namespace taktirio::data
