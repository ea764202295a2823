#include "Module.h"

/* How long a message stays on the screen: long enough to be read by someone watching, short enough that an
   unattended installation barely notices it. */
#define MESSAGE_MS 10000

/* The message box is the only window of this thread. */
static BOOL CALLBACK AskToClose(HWND window, LPARAM unused)
{
    (void)unused;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

/* A thread timer fires inside the message box's own message loop, which dispatches it here. */
static VOID CALLBACK CloseMessage(HWND unused, UINT message, UINT_PTR timer, DWORD time)
{
    (void)unused, (void)message, (void)time;
    KillTimer(NULL, timer);
    EnumThreadWindows(GetCurrentThreadId(), AskToClose, 0);
}

void ShowMessage(const PwChar *title, const PwChar *text)
{
    /* Windows closes a box of MessageBoxTimeoutW when its time is up (user32 has it since XP but declares it
       nowhere, so it is looked up). Wine ignores that time: there a timer of our own closes the box. Without
       the timer nothing is sure to close it, and there is no box, only the log; without a display,
       MessageBoxW returns at once. */
    typedef int(WINAPI * MessageBoxTimeout)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);
    MessageBoxTimeout showTimed = (MessageBoxTimeout)(void (*)(void))GetProcAddress(GetModuleHandleW(u"user32.dll"),
                                                                                     "MessageBoxTimeoutW");
    UINT_PTR timer = SetTimer(NULL, 0, MESSAGE_MS, CloseMessage);
    if (!timer)
        return;
    const UINT style = MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST;
    if (showTimed)
        showTimed(NULL, text, title, style, 0, MESSAGE_MS);
    else
        MessageBoxW(NULL, text, title, style);
    KillTimer(NULL, timer);
}
