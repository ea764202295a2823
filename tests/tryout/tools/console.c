/* console.exe WHAT: an installer of the console kind, for the tests of a try.
     done      prints "done" without a line break, installs nothing and ends with 0
     key       waits for a key, as "press any key" does
     version   ends with the Windows version it sees: major * 100 + minor */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char **argv)
{
    const char *what = argc > 1 ? argv[1] : "";
    if (strcmp(what, "key") == 0)
        return getchar() == EOF ? 2 : 0;
    if (strcmp(what, "version") == 0) {
        OSVERSIONINFOW version;
        ZeroMemory(&version, sizeof version);
        version.dwOSVersionInfoSize = sizeof version;
        GetVersionExW(&version);
        return (int)(version.dwMajorVersion * 100 + version.dwMinorVersion);
    }
    fputs("done", stdout);
    return 0;
}
