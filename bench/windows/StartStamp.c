/* The start file of the benchmark's add-on. The self-extractor starts it as soon as everything is extracted:
   it writes that moment (nanoseconds since 1970, from the system clock that Linux shares) to the file that
   PW_BENCH_STAMP names, and ends at once. */
#define _WIN32_WINNT 0x0602
#include <windows.h>

#include <stdio.h>

int main(void)
{
    FILETIME now;
    ULARGE_INTEGER ticks;
    char path[MAX_PATH];
    FILE *stamp;
    GetSystemTimePreciseAsFileTime(&now);
    ticks.LowPart = now.dwLowDateTime;
    ticks.HighPart = now.dwHighDateTime;
    if (!GetEnvironmentVariableA("PW_BENCH_STAMP", path, MAX_PATH) || !(stamp = fopen(path, "w")))
        return 1;
    /* FILETIME counts 100 ns from 1601. */
    fprintf(stamp, "%llu\n", (ticks.QuadPart - 116444736000000000ULL) * 100ULL);
    return fclose(stamp) ? 1 : 0;
}
