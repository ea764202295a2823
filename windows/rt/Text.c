#include "Text.h"

#include <string.h>

size_t RtLength(const PwChar *text)
{
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}

PwChar RtFoldCase(PwChar c)
{
    return c >= 'a' && c <= 'z' ? (PwChar)(c - 'a' + 'A') : c;
}

int RtEqualNoCase(const PwChar *a, size_t aLength, const PwChar *b, size_t bLength)
{
    if (aLength != bLength)
        return 0;
    for (size_t i = 0; i < aLength; ++i)
        if (RtFoldCase(a[i]) != RtFoldCase(b[i]))
            return 0;
    return 1;
}

int RtIsBlank(PwChar c)
{
    return c == ' ' || c == '\t';
}

static int Reserve(RtText *text, size_t extra)
{
    if (text->failed)
        return 0;
    if (text->length + extra < text->capacity)
        return 1;
    size_t capacity = text->capacity ? text->capacity : 64;
    while (capacity <= text->length + extra)
        capacity *= 2;
    PwChar *chars = RtAlloc(capacity * sizeof(PwChar));
    if (!chars) {
        text->failed = 1;
        return 0;
    }
    if (text->chars)
        memcpy(chars, text->chars, text->length * sizeof(PwChar));
    RtFree(text->chars);
    text->chars = chars;
    text->capacity = capacity;
    return 1;
}

void RtText_Append(RtText *text, const PwChar *chars, size_t count)
{
    if (!Reserve(text, count))
        return;
    memcpy(text->chars + text->length, chars, count * sizeof(PwChar));
    text->length += count;
    text->chars[text->length] = 0;
}

void RtText_AppendZ(RtText *text, const PwChar *chars)
{
    RtText_Append(text, chars, RtLength(chars));
}

void RtText_AppendChar(RtText *text, PwChar c)
{
    RtText_Append(text, &c, 1);
}

void RtText_AppendAscii(RtText *text, const char *ascii)
{
    while (*ascii)
        RtText_AppendChar(text, (PwChar)(unsigned char)*ascii++);
}

void RtText_AppendNumber(RtText *text, uint64_t value)
{
    /* Digits by subtracting powers of ten: dividing a 64-bit number would take a compiler helper on i686. */
    uint64_t powers[20];
    powers[19] = 1;
    for (int i = 19; i > 0; --i)
        powers[i - 1] = powers[i] * 10;
    int started = 0;
    for (int i = 0; i < 20; ++i) {
        PwChar digit = '0';
        for (; value >= powers[i]; value -= powers[i])
            ++digit;
        started |= digit != '0' || i == 19;
        if (started)
            RtText_AppendChar(text, digit);
    }
}

/* The code point of the sequence at *p, which it passes; -1 for anything that is not the shortest form of a
   scalar value. */
static int32_t DecodeUtf8(const uint8_t **p, const uint8_t *end)
{
    static const int32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    uint8_t lead = *(*p)++;
    int more = lead < 0x80 ? 0 : lead >= 0xC0 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
             : lead >= 0xF0 && lead < 0xF8 ? 3 : -1;
    if (more < 0 || end - *p < more)
        return -1;
    int32_t code = more ? lead & (0x3F >> more) : lead;
    for (int i = 0; i < more; ++i) {
        uint8_t next = *(*p)++;
        if ((next & 0xC0) != 0x80)
            return -1;
        code = code << 6 | (next & 0x3F);
    }
    if (code < smallest[more] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
        return -1;
    return code;
}

int RtText_AppendUtf8(RtText *text, const uint8_t *utf8, size_t size)
{
    const uint8_t *end = utf8 + size;
    for (const uint8_t *p = utf8; p < end;)
        if (DecodeUtf8(&p, end) < 0)
            return 0;
    for (const uint8_t *p = utf8; p < end;) {
        int32_t code = DecodeUtf8(&p, end);
        if (code >= 0x10000) {
            code -= 0x10000;
            RtText_AppendChar(text, (PwChar)(0xD800 + (code >> 10)));
            RtText_AppendChar(text, (PwChar)(0xDC00 + (code & 0x3FF)));
        } else {
            RtText_AppendChar(text, (PwChar)code);
        }
    }
    return 1;
}

void RtText_AppendPath(RtText *text, const PwChar *path, size_t length, const PwChar *name, size_t nameLength)
{
    RtText_Append(text, path, length);
    if (length && path[length - 1] != '\\')
        RtText_AppendChar(text, '\\');
    RtText_Append(text, name, nameLength);
}

void RtText_Truncate(RtText *text, size_t length)
{
    if (length < text->length) {
        text->length = length;
        text->chars[length] = 0;
    }
}

const PwChar *RtText_Z(const RtText *text)
{
    static const PwChar empty[1];
    return text->chars ? text->chars : empty;
}

void RtText_Free(RtText *text)
{
    RtFree(text->chars);
    text->chars = NULL;
    text->length = text->capacity = 0;
    text->failed = 0;
}

size_t RtUtf16ToUtf8(const PwChar *text, size_t length, uint8_t *out)
{
    uint8_t *start = out;
    for (size_t i = 0; i < length; ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        if (code < 0x80) {
            *out++ = (uint8_t)code;
        } else if (code < 0x800) {
            *out++ = (uint8_t)(0xC0 | code >> 6);
            *out++ = (uint8_t)(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            *out++ = (uint8_t)(0xE0 | code >> 12);
            *out++ = (uint8_t)(0x80 | (code >> 6 & 0x3F));
            *out++ = (uint8_t)(0x80 | (code & 0x3F));
        } else {
            *out++ = (uint8_t)(0xF0 | code >> 18);
            *out++ = (uint8_t)(0x80 | (code >> 12 & 0x3F));
            *out++ = (uint8_t)(0x80 | (code >> 6 & 0x3F));
            *out++ = (uint8_t)(0x80 | (code & 0x3F));
        }
    }
    return (size_t)(out - start);
}
