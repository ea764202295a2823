#include "Module.h"

/* How long a message stays on the screen: long enough to be read by someone watching, short enough that an
   unattended installation barely notices it. */
#define MESSAGE_MS 10000

static BOOL CALLBACK EndMessageBox(HWND window, LPARAM unused)
{
    (void)unused;
    /* The message box is the thread's one dialog; COM may have left a hidden window of another class. */
    PwChar kind[8];
    if (GetClassNameW(window, kind, 8) == 6 && RtEqualNoCase(kind, 6, u"#32770", 6))
        EndDialog(window, IDOK);
    return TRUE;
}

static VOID CALLBACK TimeIsUp(HWND window, UINT message, UINT_PTR timer, DWORD time)
{
    (void)window, (void)message, (void)timer, (void)time;
    EnumThreadWindows(GetCurrentThreadId(), EndMessageBox, 0);
}

void ShowMessage(const PwChar *title, const PwChar *text)
{
    /* The box's own message loop runs the thread's timers: this one ends the box when its time is up. It
       does so under Wine too, which ignores MessageBoxTimeoutW's time. Without the timer there is no box,
       only the log: a box that waits for an answer would hold Windows setup for ever. The process ends soon
       after the box, and the timer with it. */
    if (!SetTimer(NULL, 0, MESSAGE_MS, TimeIsUp))
        return;
    RtLog_Line(u"the failure is shown in a window that closes by itself");
    MessageBoxW(NULL, text, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}
