// Carrying out a parsed request: the open tests, the file's own range end, the
// engine's run under the backup protocol, and the messages of each outcome.
#pragma once

#include "cli_options.h"

// Runs shift, sync, append or last over the request's files; returns the exit code,
// for several files the first failure's.
int RunRequest(const CliRequest& request);
