#pragma once
// The Windows programs' UTF-16 texts seen from the tests: literals in, readable UTF-8 out.
#include "Text.h"

#include <string>

namespace pwtest {

inline const PwChar* W(const char16_t* text)
{
    return reinterpret_cast<const PwChar*>(text);
}

inline std::string U8(const PwChar* text, size_t length)
{
    std::string out(length * 3, '\0');
    out.resize(RtUtf16ToUtf8(text, length, reinterpret_cast<uint8_t*>(out.data())));
    return out;
}

inline std::string U8(const PwChar* text)
{
    return text ? U8(text, RtLength(text)) : "<none>";
}

// An RtText that frees itself.
struct Text {
    RtText text{};
    Text() = default;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    ~Text() { RtText_Free(&text); }
    RtText* get() { return &text; }
    std::string str() const { return U8(RtText_Z(&text), text.length); }
};

}  // namespace pwtest
