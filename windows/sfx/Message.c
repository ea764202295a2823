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
    UINT_PTR timer = SetTimer(NULL, 0, MESSAGE_MS, CloseMessage);
    /* Without a timer nothing would close the window: then there is none, only the log. Without a display
       MessageBoxW returns at once. */
    if (!timer)
        return;
    MessageBoxW(NULL, text, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
    KillTimer(NULL, timer);
}
