/* Command lines the Windows way: reading arguments as a program's start-up code splits them, quoting one so
   that it comes back unchanged, and finding the file that a command names first when that name holds blanks
   and nobody quoted it (the add-on's command lines carry start file names as they stand). Portable C. */
#ifndef PW_RT_COMMANDLINE_H
#define PW_RT_COMMANDLINE_H

#include "Text.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Passes the program name at the start of a command line (quoted, or up to the first blank; backslashes are
   plain characters there) and the blanks after it. */
const PwChar *RtCmd_SkipProgramName(const PwChar *commandLine);

/* Reads the argument at cursor into argument (appended) and returns where the next one starts, or NULL when
   only blanks are left. The rules are those of the C runtime's start-up and CommandLineToArgvW: blanks
   separate arguments except inside double quotes; 2n backslashes before a quote give n backslashes and the
   quote opens or closes quoting; 2n+1 give n backslashes and a literal quote; two quotes inside quoting
   give one literal quote; other backslashes are literal, and a blank after them still ends the argument
   ("C:\App\ /x" is two arguments). */
const PwChar *RtCmd_NextArgument(const PwChar *cursor, RtText *argument);

/* The same for programs that read their command line with their own rules, in which a backslash is always a
   plain character: msiexec, cmd. There "DIR="C:\App\" /qn" is two arguments; by the C runtime's rules the
   quote after the backslash would be literal and the two would be one. */
const PwChar *RtCmd_NextPlainArgument(const PwChar *cursor, RtText *argument);

/* Appends argument so that RtCmd_NextArgument reads it back unchanged: as it stands when it has no blank or
   quote and is not empty, otherwise in quotes with the backslashes before a quote (and at the end) doubled. */
void RtCmd_AppendQuoted(RtText *commandLine, const PwChar *argument, size_t length);

/* Says whether name (not zero-terminated) names a file the caller knows of. */
typedef int (*RtCmd_IsFile)(void *context, const PwChar *name, size_t length);

/* Finds the file that args names first: a quoted first argument; else the longest run of words, cut at a
   blank, that isFile accepts ("my setup.msi /qb" finds "my setup.msi"); else the first argument. Appends it
   to file, sets *known to whether isFile accepted it, and returns the rest of args after its blanks. */
const PwChar *RtCmd_LeadingFile(const PwChar *args, RtCmd_IsFile isFile, void *context, RtText *file,
                                int *known);

/* When the last word of the first *length characters of args is word (without case), shortens *length to
   the text before it and its blanks and returns 1. */
int RtCmd_DropLastWord(const PwChar *args, size_t *length, const PwChar *word);

#ifdef __cplusplus
}
#endif

#endif
