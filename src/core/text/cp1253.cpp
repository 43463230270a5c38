// The converter is glibc's iconv, opened once per thread and direction; an
// invalid or unmappable sequence stops the conversion (no transliteration).
#include "core/text/cp1253.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace taktirio {

namespace {

// "what at byte N (hex of up to four bytes from there)".
std::string Describe(std::string_view input, std::size_t offset, const char* what) {
    std::string hex;
    for (std::size_t i = offset; i < input.size() && i < offset + 4; ++i) {
        static const char* digits = "0123456789ABCDEF";
        const auto byte = static_cast<std::uint8_t>(input[i]);
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
        hex += ' ';
    }
    if (!hex.empty()) {
        hex.pop_back();
    }
    return std::string(what) + " at byte " + std::to_string(offset) + " (" + hex + ")";
}

class Converter {
  public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw EncodingError(std::string("no converter from ") + from + " to " + to, 0);
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::string Convert(std::string_view input, const char* what) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
        std::string output(input.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char* out = output.data();
        std::size_t out_left = output.size();
        while (in_left > 0) {
            const std::size_t result = iconv(handle_, &in, &in_left, &out, &out_left);
            if (result != static_cast<std::size_t>(-1)) {
                break;
            }
            const std::size_t offset = input.size() - in_left;
            if (errno == E2BIG) {
                const std::size_t used = output.size() - out_left;
                output.resize(output.size() * 2);
                out = output.data() + used;
                out_left = output.size() - used;
                continue;
            }
            throw EncodingError(Describe(input, offset, what), offset);
        }
        output.resize(output.size() - out_left);
        return output;
    }

  private:
    iconv_t handle_;
};

Converter& Encoder() {
    thread_local Converter converter("WINDOWS-1253", "UTF-8");
    return converter;
}

Converter& Decoder() {
    thread_local Converter converter("UTF-8", "WINDOWS-1253");
    return converter;
}

bool IsAscii(std::string_view text) {
    for (const char ch : text) {
        if (static_cast<unsigned char>(ch) >= 0x80) {
            return false;
        }
    }
    return true;
}

constexpr char kUnmappable[] = "character windows-1253 cannot hold";

// The start of every character of valid UTF-8: each byte that does not
// continue a sequence.
bool StartsCharacter(char byte) {
    return (static_cast<std::uint8_t>(byte) & 0xC0) != 0x80;
}

// windows-1253 holds each character in one byte, but the converter drops a
// few characters (the Unicode tag characters) without a word: the first
// character that gave no byte is the one the page would lose.
[[noreturn]] void RefuseDroppedCharacter(std::string_view utf8) {
    for (std::size_t start = 0; start < utf8.size();) {
        std::size_t end = start + 1;
        while (end < utf8.size() && !StartsCharacter(utf8[end])) {
            ++end;
        }
        if (Encoder().Convert(utf8.substr(start, end - start), kUnmappable).size() != 1) {
            throw EncodingError(Describe(utf8, start, kUnmappable), start);
        }
        start = end;
    }
    throw EncodingError(Describe(utf8, 0, kUnmappable), 0);
}

}  // namespace

std::string Utf8ToCp1253(std::string_view utf8) {
    if (IsAscii(utf8)) {
        return std::string(utf8);
    }
    std::string bytes = Encoder().Convert(utf8, kUnmappable);
    std::size_t characters = 0;
    for (const char byte : utf8) {
        characters += StartsCharacter(byte) ? 1u : 0u;
    }
    if (bytes.size() != characters) {
        RefuseDroppedCharacter(utf8);
    }
    return bytes;
}

std::string Cp1253ToUtf8(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::string(bytes);
    }
    return Decoder().Convert(bytes, "byte undefined in windows-1253");
}

bool FitsCp1253(std::string_view utf8) {
    try {
        return Cp1253ToUtf8(Utf8ToCp1253(utf8)) == utf8;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace taktirio
