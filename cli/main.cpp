// tembrel-cli: the command-line front end over the timing engine, for shells
// and for a whole season of episodes at once.
#include <string>

#include "cli_messages.h"
#include "cli_options.h"
#include "exit_codes.h"
#include "run_commands.h"
#include "sync_tag_search.h"
#include "terminal_progress.h"

int main(int argc, char** argv) {
    CliRequest request;
    std::string error;
    if (!ParseCommandLine(argc, argv, &request, &error)) {
        ReportUsageError(error);
        return EXIT_USAGE;
    }
    if (request.command == COMMAND_HELP || request.command == COMMAND_VERSION) {
        if (request.command == COMMAND_HELP) {
            PrintHelp();
        } else {
            PrintVersion();
        }
        return FinishStandardOutput() ? EXIT_DONE : EXIT_CANNOT_SAVE;
    }
    BuildSyncTagTables();
    InitTerminalProgress();
    return RunRequest(request);
}
