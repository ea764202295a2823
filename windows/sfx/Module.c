#include "Runtime.h"

int AppMain(void)
{
    return 1;
}
