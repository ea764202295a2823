#include "CommandLine.h"

static const PwChar *SkipBlanks(const PwChar *p)
{
    while (RtIsBlank(*p))
        ++p;
    return p;
}

const PwChar *RtCmd_SkipProgramName(const PwChar *commandLine)
{
    const PwChar *p = commandLine;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && !RtIsBlank(*p))
            ++p;
    }
    return SkipBlanks(p);
}

/* Reads one argument; with backslashEscapes, by the C runtime's rules, else with every backslash a plain
   character. */
static const PwChar *ReadArgument(const PwChar *cursor, RtText *argument, int backslashEscapes)
{
    const PwChar *p = SkipBlanks(cursor);
    if (!*p)
        return NULL;
    int quoted = 0;
    while (*p && (quoted || !RtIsBlank(*p))) {
        size_t backslashes = 0;
        if (backslashEscapes)
            while (p[backslashes] == '\\')
                ++backslashes;
        if (p[backslashes] != '"') {
            /* A plain character, or backslashes that no quote follows, which stand for themselves. What comes
               after them is looked at afresh: a blank there still ends the argument. */
            size_t plain = backslashes ? backslashes : 1;
            RtText_Append(argument, p, plain);
            p += plain;
            continue;
        }
        p += backslashes;
        for (size_t i = 0; i < backslashes / 2; ++i)
            RtText_AppendChar(argument, '\\');
        if (backslashes % 2) {
            RtText_AppendChar(argument, '"');
        } else if (quoted && p[1] == '"') {
            RtText_AppendChar(argument, '"');
            ++p;
        } else {
            quoted = !quoted;
        }
        ++p;
    }
    return p;
}

const PwChar *RtCmd_NextArgument(const PwChar *cursor, RtText *argument)
{
    return ReadArgument(cursor, argument, 1);
}

const PwChar *RtCmd_NextPlainArgument(const PwChar *cursor, RtText *argument)
{
    return ReadArgument(cursor, argument, 0);
}

void RtCmd_AppendQuoted(RtText *commandLine, const PwChar *argument, size_t length)
{
    int plain = length > 0;
    for (size_t i = 0; i < length && plain; ++i)
        plain = !RtIsBlank(argument[i]) && argument[i] != '"' && argument[i] != '\n' && argument[i] != '\v';
    if (plain) {
        RtText_Append(commandLine, argument, length);
        return;
    }
    RtText_AppendChar(commandLine, '"');
    size_t backslashes = 0;
    for (size_t i = 0; i < length; ++i) {
        if (argument[i] == '\\') {
            ++backslashes;
        } else {
            /* Backslashes mean something only before a quote; there they are doubled, and the quote escaped. */
            if (argument[i] == '"')
                for (backslashes = backslashes + 1; backslashes; --backslashes)
                    RtText_AppendChar(commandLine, '\\');
            backslashes = 0;
        }
        RtText_AppendChar(commandLine, argument[i]);
    }
    for (; backslashes; --backslashes)
        RtText_AppendChar(commandLine, '\\');
    RtText_AppendChar(commandLine, '"');
}

const PwChar *RtCmd_LeadingFile(const PwChar *args, RtCmd_IsFile isFile, void *context, RtText *file,
                                int *known)
{
    const PwChar *start = SkipBlanks(args);
    *known = 0;
    if (*start != '"') {
        /* The longest candidate first: every place where a word ends, from the last one back. */
        size_t end = RtLength(start);
        while (end && RtIsBlank(start[end - 1]))
            --end;
        while (end) {
            if (isFile(context, start, end)) {
                RtText_Append(file, start, end);
                *known = 1;
                return SkipBlanks(start + end);
            }
            while (end && !RtIsBlank(start[end - 1]))
                --end;
            while (end && RtIsBlank(start[end - 1]))
                --end;
        }
    }
    size_t before = file->length;
    const PwChar *rest = RtCmd_NextArgument(start, file);
    if (!rest)
        return start;
    *known = isFile(context, RtText_Z(file) + before, file->length - before);
    return SkipBlanks(rest);
}

int RtCmd_DropLastWord(const PwChar *args, size_t *length, const PwChar *word)
{
    size_t end = *length;
    while (end && RtIsBlank(args[end - 1]))
        --end;
    size_t start = end;
    while (start && !RtIsBlank(args[start - 1]))
        --start;
    if (!RtEqualNoCase(args + start, end - start, word, RtLength(word)))
        return 0;
    while (start && RtIsBlank(args[start - 1]))
        --start;
    *length = start;
    return 1;
}
