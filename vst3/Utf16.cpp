#include "vst3/Utf16.h"

#include <cstring>

namespace qx::vst3 {

namespace {

// The part of `text` between its leading and trailing blanks.
const char* trimmed(const char* text, std::size_t& length) {
    if (text == nullptr) text = "";
    while (*text == ' ')
        ++text;
    length = std::strlen(text);
    while (length > 0 && text[length - 1] == ' ')
        --length;
    return text;
}

template <typename Unit> void copyInto(const char* text, Unit* out, int32 capacity) {
    if (out == nullptr || capacity <= 0) return;
    std::size_t length = 0;
    const char* begin = trimmed(text, length);
    if (length > static_cast<std::size_t>(capacity - 1))
        length = static_cast<std::size_t>(capacity - 1);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = static_cast<Unit>(static_cast<unsigned char>(begin[i]));
    out[length] = 0;
}

} // namespace

void toUtf16(const char* text, char16* out, int32 capacity) {
    copyInto(text, out, capacity);
}

void copyTrimmed(const char* text, char8* out, int32 capacity) {
    copyInto(text, out, capacity);
}

void fromUtf16(const char16* text, char* out, int32 capacity) {
    if (out == nullptr || capacity <= 0) return;
    int32 n = 0;
    if (text != nullptr) {
        for (; n < capacity - 1 && text[n] != 0; ++n)
            out[n] = text[n] < 0x80 ? static_cast<char>(text[n]) : '?';
    }
    out[n] = '\0';
}

} // namespace qx::vst3
