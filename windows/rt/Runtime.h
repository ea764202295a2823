/* What the Windows programs have instead of a C runtime. */
#ifndef PW_RT_RUNTIME_H
#define PW_RT_RUNTIME_H
#include <windows.h>

/* Each program defines this; its result is the process's exit code. */
int AppMain(void);

#endif
