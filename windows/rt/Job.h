/* The job that holds a command and everything it starts, and the wait until it is over. Used by Process.c. */
#ifndef PW_RT_JOB_H
#define PW_RT_JOB_H
#include <windows.h>

typedef struct Job {
    HANDLE job;
    HANDLE port;
} Job;

/* Creates the job and its completion port. 0 when either cannot be had. */
int Job_Open(Job *job);
void Job_Close(Job *job);

/* Returns once every process in the job has ended, or, after the command's own process has ended, once what
   it left behind is either idle or has been waited for as long as anything is. */
void Job_WaitUntilEmpty(Job *job, HANDLE command);

#endif
