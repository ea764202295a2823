#include "Block.h"

#include <string.h>

static const char kStart[] = ";!@Install@!UTF-8!";
static const char kEnd[] = ";!@InstallEnd@!";
static const uint8_t kArchiveSignature[] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};

static int IsLineBreak(unsigned c)
{
    return c == '\n' || c == '\r';
}

static int KeyIs(const PwChar *key, size_t length, const char *name)
{
    size_t i = 0;
    for (; i < length && name[i]; ++i)
        if (RtFoldCase(key[i]) != RtFoldCase((PwChar)name[i]))
            return 0;
    return i == length && !name[i];
}

static int ValueIs(const PwChar *value, PwChar digit)
{
    return value[0] == digit && value[1] == 0;
}

static void ReadLine(PwChar *line, PwChar *end, SfxBlock *config)
{
    while (line < end && RtIsBlank(*line))
        ++line;
    if (line == end || *line == ';')
        return;
    PwChar *equals = line;
    while (equals < end && *equals != '=')
        ++equals;
    if (equals == end)
        return;
    PwChar *keyEnd = equals;
    while (keyEnd > line && RtIsBlank(keyEnd[-1]))
        --keyEnd;
    PwChar *value = equals + 1;
    while (value < end && RtIsBlank(*value))
        ++value;
    while (end > value && RtIsBlank(end[-1]))
        --end;
    if (value < end && *value == '"') {
        ++value;
        if (end > value && end[-1] == '"')
            --end;
    }
    *end = 0;

    size_t keyLength = (size_t)(keyEnd - line);
    if (KeyIs(line, keyLength, "RunProgram"))
        config->runProgram = value;
    else if (KeyIs(line, keyLength, "GUIMode"))
        config->hidden = ValueIs(value, '2');
    else if (KeyIs(line, keyLength, "OverwriteMode"))
        config->overwriteMode = ValueIs(value, '1') ? 1 : ValueIs(value, '2') ? 2 : 0;
    else if (KeyIs(line, keyLength, "Shortcut"))
        config->shortcuts[config->shortcutCount++] = value;
}

static SfxBlockResult ReadLines(const uint8_t *bytes, size_t size, SfxBlock *config)
{
    if (!RtText_AppendUtf8(&config->text, bytes, size))
        return SFX_BLOCK_NOT_UTF8;
    /* Every line break, CR or LF, may start a line: a block of CR-only breaks has as many lines as CRs. */
    size_t lines = 1;
    for (size_t i = 0; i < size; ++i)
        lines += IsLineBreak(bytes[i]);
    config->shortcuts = RtAlloc(lines * sizeof *config->shortcuts);
    if (config->text.failed || !config->shortcuts)
        return SFX_BLOCK_MEMORY;
    if (!config->text.chars)
        return SFX_BLOCK_OK;
    PwChar *p = config->text.chars, *end = p + config->text.length;
    while (p < end) {
        PwChar *line = p;
        while (p < end && !IsLineBreak(*p))
            ++p;
        PwChar *lineEnd = p;
        while (p < end && IsLineBreak(*p))
            *p++ = 0;
        ReadLine(line, lineEnd, config);
    }
    return SFX_BLOCK_OK;
}

SfxBlockResult SfxBlock_Read(const uint8_t *bytes, size_t size, SfxBlock *config)
{
    memset(config, 0, sizeof *config);
    const size_t startLength = sizeof kStart - 1, endLength = sizeof kEnd - 1;
    if (size < startLength || memcmp(bytes, kStart, startLength) != 0)
        return SFX_BLOCK_NO_BLOCK;
    /* The end marker counts where the archive follows it (line breaks aside): a value may hold the marker's
       text, since the build writes values as they stand. */
    size_t lastEnd = 0;
    for (size_t at = startLength; at + endLength <= size; ++at) {
        if (memcmp(bytes + at, kEnd, endLength) != 0)
            continue;
        lastEnd = at;
        size_t archive = at + endLength;
        while (archive < size && IsLineBreak(bytes[archive]))
            ++archive;
        if (size - archive >= sizeof kArchiveSignature
            && memcmp(bytes + archive, kArchiveSignature, sizeof kArchiveSignature) == 0) {
            config->archiveOffset = archive;
            return ReadLines(bytes + startLength, at - startLength, config);
        }
    }
    if (!lastEnd)
        return SFX_BLOCK_NO_END;
    /* Without its archive the block still says whether the installer may show a window to say so. */
    SfxBlockResult read = ReadLines(bytes + startLength, lastEnd - startLength, config);
    return read == SFX_BLOCK_OK ? SFX_BLOCK_NO_ARCHIVE : read;
}

const char *SfxBlock_Message(SfxBlockResult result)
{
    switch (result) {
    case SFX_BLOCK_OK:
        return "";
    case SFX_BLOCK_NO_BLOCK:
        return "no configuration block follows the self-extractor: the file is not a complete installer";
    case SFX_BLOCK_NO_END:
        return "the configuration block has no end marker: the installer is damaged or truncated";
    case SFX_BLOCK_NO_ARCHIVE:
        return "no 7z archive follows the configuration block: the installer is damaged or truncated";
    case SFX_BLOCK_NOT_UTF8:
        return "the configuration block is not valid UTF-8";
    case SFX_BLOCK_MEMORY:
        break;
    }
    return "out of memory while reading the configuration block";
}

void SfxBlock_Free(SfxBlock *config)
{
    RtText_Free(&config->text);
    RtFree(config->shortcuts);
    config->shortcuts = NULL;
}
