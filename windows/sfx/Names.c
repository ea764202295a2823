#include "Names.h"

static int IsSeparator(PwChar c)
{
    return c == '\\' || c == '/';
}

static int IsForbidden(PwChar c)
{
    return c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*';
}

int SfxNames_Make(const PwChar *path, size_t length, RtText *out)
{
    if (length == 0 || IsSeparator(path[0]))
        return 0;
    size_t start = out->length;
    for (size_t i = 0; i <= length;) {
        size_t end = i;
        while (end < length && !IsSeparator(path[end]))
            ++end;
        size_t size = end - i;
        if (size == 0 || (size == 1 && path[i] == '.') || (size == 2 && path[i] == '.' && path[i + 1] == '.')) {
            RtText_Truncate(out, start);
            return 0;
        }
        if (i)
            RtText_AppendChar(out, '\\');
        for (size_t k = i; k < end; ++k) {
            PwChar c = path[k];
            int trailing = k + 1 == end && (c == '.' || c == ' ');
            RtText_AppendChar(out, IsForbidden(c) || trailing ? '_' : c);
        }
        i = end + 1;
    }
    return 1;
}

size_t SfxNames_MadeFolder(const PwChar *folder, size_t length, const PwChar *made, size_t madeLength)
{
    size_t limit = length < madeLength ? length : madeLength, same = 0;
    while (same < limit && folder[same] == made[same])
        ++same;
    if (same == limit && (same == length || folder[same] == '\\') && (same == madeLength || made[same] == '\\'))
        return same;
    /* The folders both hold end at the last separator before the first difference. */
    while (same && folder[--same] != '\\') {
    }
    return same;
}

void SfxNames_Add(SfxNames *names, const PwChar *name, size_t length)
{
    RtText_Append(&names->all, name, length);
    RtText_AppendChar(&names->all, 0);
    if (!names->all.failed)
        ++names->count;
}

int SfxNames_Contains(const SfxNames *names, const PwChar *name, size_t length)
{
    const PwChar *p = RtText_Z(&names->all);
    for (size_t i = 0; i < names->count; ++i) {
        size_t size = RtLength(p);
        if (RtEqualNoCase(p, size, name, length))
            return 1;
        p += size + 1;
    }
    return 0;
}

void SfxNames_Free(SfxNames *names)
{
    RtText_Free(&names->all);
    names->count = 0;
}
