// The system calls through which the edit job changes names and puts files on
// disk on POSIX systems, in one table (edit_job_posix.cpp): the job makes
// these calls through it only, so that a test can make any one of them fail,
// or end the process right there, and so reach every instant of a swap.
#pragma once

struct EditSystemCalls {
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*rmdir)(const char* path);
    int (*fsync)(int descriptor);
    // renameat2 with RENAME_EXCHANGE; -1 with ENOSYS where there is none.
    int (*exchange)(const char* first, const char* second);
};

// The table in use. Its entries may be replaced, and put back.
EditSystemCalls* EditJobSystemCalls();
