#include "Module.h"

/* How long a message stays on the screen: long enough to be read by someone watching, short enough that an
   unattended installation barely notices it. */
#define MESSAGE_MS 10000

void ShowMessage(const PwChar *title, const PwChar *text)
{
    /* MessageBoxTimeoutW closes the window by itself. user32 has it since Windows XP but does not declare
       it, so it is looked up; without it, and without a display, there is no window, only the log. */
    typedef int(WINAPI * MessageBoxTimeout)(HWND, LPCWSTR, LPCWSTR, UINT, WORD, DWORD);
    HMODULE user32 = LoadLibraryW(u"user32.dll");
    MessageBoxTimeout show =
        user32 ? (MessageBoxTimeout)(void (*)(void))GetProcAddress(user32, "MessageBoxTimeoutW") : NULL;
    if (show)
        show(NULL, text, title, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST, 0, MESSAGE_MS);
}
