// sync --to=REF: each FILE aligned to a reference subtitle that is already
// right for the video, what was found said as a person reads it, and the file
// re-timed only when the match is clear (or on --force).
#pragma once

#include "cli_options.h"

// Runs sync --to over the request's files; the exit code, for several files
// the first failure's. A file whose alignment is not confident is left as it
// was with exit code 1, unless the request says --force.
int AlignFiles(const CliRequest& request);
