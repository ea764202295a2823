#include "Runtime.h"

/* Past this size the log starts afresh when a program opens it. */
#define LOG_LIMIT (64 * 1024)

static HANDLE logFile; /* NULL when there is no log */
static RtText logPrefix;
static HANDLE console;

void RtLog_Start(void)
{
    PwChar folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    RtText path = {0};
    if (length && length <= MAX_PATH)
        RtText_AppendPath(&path, folder, length, u"packwright-addon.log", 20);
    /* Under the system account, in a folder where anyone may create files, the log's name may have been
       taken first by a link to a file that only the system may write: it is opened as itself, never
       followed, and anything but a plain file with one name is left alone. */
    HANDLE opened = INVALID_HANDLE_VALUE;
    if (path.length && !path.failed)
        opened = CreateFileW(RtText_Z(&path), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    RtText_Free(&path);
    BY_HANDLE_FILE_INFORMATION file;
    if (opened != INVALID_HANDLE_VALUE) {
        if (GetFileInformationByHandle(opened, &file) && file.nNumberOfLinks == 1
            && !(file.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
            logFile = opened;
            if (file.nFileSizeHigh || file.nFileSizeLow > LOG_LIMIT)
                SetEndOfFile(logFile); /* a fresh handle stands at offset 0 */
        } else {
            CloseHandle(opened);
        }
    }

    RtText self = {0};
    if (RtModulePath(&self)) {
        size_t folderLength = RtFolderLength(RtText_Z(&self));
        RtText_AppendZ(&logPrefix, RtText_Z(&self) + folderLength + (folderLength < self.length));
    }
    RtText_Free(&self);
    RtText_AppendChar(&logPrefix, '[');
    RtText_AppendNumber(&logPrefix, GetCurrentProcessId());
    RtText_AppendAscii(&logPrefix, "] ");
}

static void AppendTwoDigits(RtText *text, unsigned value)
{
    RtText_AppendChar(text, (PwChar)('0' + value / 10 % 10));
    RtText_AppendChar(text, (PwChar)('0' + value % 10));
}

/* Writes text as UTF-8 to file; at the file's end when append is set, even when another program of the
   add-on writes to the same log at the same time. */
static void WriteUtf8(HANDLE file, const PwChar *text, size_t length, int append)
{
    uint8_t *bytes = RtAlloc(length * 3 + 1);
    if (!bytes)
        return;
    DWORD size = (DWORD)RtUtf16ToUtf8(text, length, bytes), written;
    OVERLAPPED atEnd = {0};
    atEnd.Offset = atEnd.OffsetHigh = 0xFFFFFFFF;
    WriteFile(file, bytes, size, &written, append ? &atEnd : NULL);
    RtFree(bytes);
}

void RtLog_Line(const PwChar *text)
{
    if (!logFile)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    RtText line = {0};
    RtText_AppendNumber(&line, now.wYear);
    RtText_AppendChar(&line, '-');
    AppendTwoDigits(&line, now.wMonth);
    RtText_AppendChar(&line, '-');
    AppendTwoDigits(&line, now.wDay);
    RtText_AppendChar(&line, ' ');
    AppendTwoDigits(&line, now.wHour);
    RtText_AppendChar(&line, ':');
    AppendTwoDigits(&line, now.wMinute);
    RtText_AppendChar(&line, ':');
    AppendTwoDigits(&line, now.wSecond);
    RtText_AppendChar(&line, ' ');
    RtText_Append(&line, RtText_Z(&logPrefix), logPrefix.length);
    RtText_AppendZ(&line, text);
    RtText_AppendAscii(&line, "\r\n");
    WriteUtf8(logFile, RtText_Z(&line), line.length, 1);
    RtText_Free(&line);
}

static void ConsoleLine(const PwChar *text)
{
    /* A program of the windows subsystem has standard handles only when its starter passed some; from a
       command prompt it has none, and writes to the prompt's console by attaching to it. */
    if (!console) {
        console = GetStdHandle(STD_ERROR_HANDLE);
        if ((!console || console == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
            console = CreateFileW(u"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  NULL, OPEN_EXISTING, 0, NULL);
        if (!console)
            console = INVALID_HANDLE_VALUE;
    }
    if (console == INVALID_HANDLE_VALUE)
        return;
    RtText line = {0};
    RtText_AppendZ(&line, text);
    RtText_AppendAscii(&line, "\r\n");
    DWORD mode, written;
    if (GetConsoleMode(console, &mode))
        WriteConsoleW(console, RtText_Z(&line), (DWORD)line.length, &written, NULL);
    else
        WriteUtf8(console, RtText_Z(&line), line.length, 0);
    RtText_Free(&line);
}

void RtReport(const PwChar *line)
{
    RtLog_Line(line);
    ConsoleLine(line);
}

void RtText_AppendFailure(RtText *line, const char *text, const PwChar *detail, DWORD code)
{
    RtText_AppendAscii(line, text);
    if (detail) {
        RtText_AppendAscii(line, ": ");
        RtText_AppendZ(line, detail);
    }
    if (code) {
        RtText_AppendAscii(line, ": ");
        RtText_AppendError(line, code);
    }
}

void RtLog_Failure(const char *text, const PwChar *detail, DWORD code)
{
    RtText line = {0};
    RtText_AppendFailure(&line, text, detail, code);
    RtReport(RtText_Z(&line));
    RtText_Free(&line);
}
