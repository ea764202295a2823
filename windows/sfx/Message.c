#include "Module.h"

/* How long a message stays on the screen: long enough to be read by someone watching, short enough that an
   unattended installation barely notices it. */
#define MESSAGE_MS 10000

void ShowMessage(const PwChar *title, const PwChar *text)
{
    /* MessageBoxTimeoutW closes the box when its time is up. user32 has it since Windows XP but declares it
       nowhere, so it is looked up; without it there is no box, only the log, since a box without a timeout
       would wait for an answer. (Wine ignores the timeout: its tests answer such a box themselves.) */
    typedef int(WINAPI * MessageBoxTimeout)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);
    MessageBoxTimeout show = (MessageBoxTimeout)(void (*)(void))GetProcAddress(GetModuleHandleW(u"user32.dll"),
                                                                                "MessageBoxTimeoutW");
    if (show)
        show(NULL, text, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST, 0, MESSAGE_MS);
}
