#include "Shortcut.h"

#include <string.h>

static const struct {
    const PwChar *text;
    SfxFolder folder;
} kTokens[] = {
    {u"%ProgramFiles%", SFX_FOLDER_PROGRAM_FILES}, {u"%CommonDocuments%", SFX_FOLDER_COMMON_DOCUMENTS},
    {u"%MyDocuments%", SFX_FOLDER_MY_DOCUMENTS},   {u"%UserDesktop%", SFX_FOLDER_USER_DESKTOP},
    {u"%%S", SFX_FOLDER_MODULE},                   {u"%%T", SFX_FOLDER_EXTRACTION},
};

static int IsSeparator(const PwChar *p)
{
    return p[0] == '}' && p[1] == ',' && p[2] == '{';
}

/* Appends a field without its quotes: a path or a file name cannot hold one. */
static void AppendWithoutQuotes(RtText *out, const PwChar *field, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (field[i] != '"')
            RtText_AppendChar(out, field[i]);
}

static void ReadTarget(SfxShortcut *shortcut, const PwChar *field, size_t length)
{
    RtText target = {0};
    for (size_t i = 0; i < length; ++i) {
        if (field[i] == '"')
            continue;
        RtText_AppendChar(&target, field[i]);
        if (field[i] == '\\' && i + 1 < length && field[i + 1] == '\\')
            ++i;
    }
    const PwChar *path = RtText_Z(&target);
    size_t skip = 0;
    for (size_t i = 0; i < sizeof kTokens / sizeof *kTokens && !skip; ++i) {
        size_t tokenLength = RtLength(kTokens[i].text);
        if (target.length >= tokenLength && RtEqualNoCase(path, tokenLength, kTokens[i].text, tokenLength)
            && (path[tokenLength] == '\\' || path[tokenLength] == 0)) {
            shortcut->folder = kTokens[i].folder;
            skip = tokenLength + (path[tokenLength] == '\\');
        }
    }
    RtText_Append(&shortcut->target, path + skip, target.length - skip);
    RtText_Free(&target);
}

int SfxShortcut_Read(const PwChar *line, SfxShortcut *shortcut)
{
    memset(shortcut, 0, sizeof *shortcut);
    const PwChar *brace = line;
    while (*brace && *brace != '{')
        ++brace;
    int place = -1;
    for (const PwChar *p = line; p < brace; ++p) {
        switch (RtFoldCase(*p)) {
        case 'D': place = SFX_PLACE_DESKTOP; break;
        case 'S': place = SFX_PLACE_START_MENU; break;
        case 'P': place = SFX_PLACE_PROGRAMS; break;
        case 'T': place = SFX_PLACE_STARTUP; break;
        case 'U': shortcut->currentUser = 1; break;
        default: break;
        }
    }
    if (!*brace || place < 0)
        return 0;
    shortcut->place = (SfxPlace)place;

    const PwChar *body = brace + 1;
    size_t length = RtLength(body);
    if (length && body[length - 1] == '}')
        --length;
    size_t cuts[4], count = 0;
    for (size_t i = 0; i + 3 <= length && count < 3; ++i)
        if (IsSeparator(body + i)) {
            cuts[count++] = i;
            i += 2;
        }
    if (count == 3)
        for (size_t i = length - 3; i >= cuts[2] + 3; --i)
            if (IsSeparator(body + i)) {
                cuts[count++] = i;
                break;
            }
    size_t starts[5], ends[5];
    for (size_t k = 0; k < 5; ++k) {
        starts[k] = k == 0 ? 0 : k <= count ? cuts[k - 1] + 3 : length;
        ends[k] = k < count ? cuts[k] : length;
    }
    ReadTarget(shortcut, body + starts[0], ends[0] - starts[0]);
    RtText_Append(&shortcut->parameters, body + starts[1], ends[1] - starts[1]);
    AppendWithoutQuotes(&shortcut->subfolder, body + starts[2], ends[2] - starts[2]);
    RtText_Append(&shortcut->description, body + starts[3], ends[3] - starts[3]);
    AppendWithoutQuotes(&shortcut->name, body + starts[4], ends[4] - starts[4]);
    return 1;
}

int SfxShortcut_ForAllUsers(const SfxShortcut *shortcut, int runsAsSystem)
{
    return !shortcut->currentUser || runsAsSystem;
}

static int IsAbsolute(const RtText *path)
{
    return (path->length >= 2 && path->chars[1] == ':') || (path->length && path->chars[0] == '\\');
}

void SfxShortcut_TargetPath(const SfxShortcut *shortcut, const PwChar *const folders[SFX_FOLDER_COUNT],
                            RtText *path)
{
    const PwChar *target = RtText_Z(&shortcut->target);
    if (shortcut->folder == SFX_FOLDER_NONE && IsAbsolute(&shortcut->target)) {
        RtText_Append(path, target, shortcut->target.length);
        return;
    }
    const PwChar *base = folders[shortcut->folder == SFX_FOLDER_NONE ? SFX_FOLDER_EXTRACTION : shortcut->folder];
    if (shortcut->target.length)
        RtText_AppendPath(path, base, RtLength(base), target, shortcut->target.length);
    else
        RtText_AppendZ(path, base);
}

static void AppendSeparator(RtText *path)
{
    if (path->length && path->chars[path->length - 1] != '\\')
        RtText_AppendChar(path, '\\');
}

int SfxShortcut_LinkPath(const SfxShortcut *shortcut, const PwChar *placeFolder, RtText *path)
{
    const PwChar *name = RtText_Z(&shortcut->name);
    size_t nameLength = shortcut->name.length;
    if (!nameLength) {
        const PwChar *target = RtText_Z(&shortcut->target);
        size_t start = shortcut->target.length, end = start;
        while (start && target[start - 1] != '\\')
            --start;
        while (end > start && target[end - 1] != '.')
            --end;
        name = target + start;
        nameLength = end > start + 1 ? end - 1 - start : shortcut->target.length - start;
    }
    if (!nameLength)
        return 0;
    const PwChar *sub = RtText_Z(&shortcut->subfolder);
    size_t subLength = shortcut->subfolder.length;
    while (subLength && *sub == '\\')
        ++sub, --subLength;
    while (subLength && sub[subLength - 1] == '\\')
        --subLength;
    RtText_AppendZ(path, placeFolder);
    if (subLength) {
        AppendSeparator(path);
        RtText_Append(path, sub, subLength);
    }
    AppendSeparator(path);
    RtText_Append(path, name, nameLength);
    if (!(nameLength >= 4 && RtEqualNoCase(name + nameLength - 4, 4, u".lnk", 4)))
        RtText_AppendAscii(path, ".lnk");
    return 1;
}

void SfxShortcut_Free(SfxShortcut *shortcut)
{
    RtText_Free(&shortcut->target);
    RtText_Free(&shortcut->parameters);
    RtText_Free(&shortcut->subfolder);
    RtText_Free(&shortcut->description);
    RtText_Free(&shortcut->name);
}
