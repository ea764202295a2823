/* An installer that hangs without a window: it waits for ever, as one waiting on a lost event would. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    Sleep(INFINITE);
    return 0;
}
