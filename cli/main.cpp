// tembrel-cli: the command-line front end over the timing engine, for shells
// and for a whole season of episodes at once.
#include <string>
#include <vector>

#include "cli_messages.h"
#include "cli_options.h"
#include "exit_codes.h"
#include "program_arguments.h"
#include "edit_job.h"
#include "run_commands.h"
#include "sync_tag_search.h"
#include "terminal_progress.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments;
    ReadProgramArguments(argc, argv, &arguments);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments) {
        utf8Argv.push_back(&argument[0]);
    }
    utf8Argv.push_back(nullptr);
    CliRequest request;
    std::string error;
    if (!ParseCommandLine(static_cast<int>(arguments.size()), utf8Argv.data(), &request, &error)) {
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
    InstallEditInterruptHandlers();
    return RunRequest(request);
}
