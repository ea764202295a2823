/* Small helpers the Windows test tools share: UTF-8 output and files written as UTF-8. */
#ifndef PW_TEST_TOOL_TEXT_H
#define PW_TEST_TOOL_TEXT_H
#include <windows.h>

/* Appends `text` to the file `path` as UTF-8, creating the file when it is missing. */
BOOL AppendUtf8(const wchar_t *path, const wchar_t *text);

/* Writes `text` to standard output as UTF-8, whatever the console's code page. */
void PrintUtf8(const wchar_t *text);

#endif
