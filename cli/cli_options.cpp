// The command line: a command word, then options and files in any order.
// Options take "--name=value" or "--name value"; in the second form the next
// argument is the value whatever it starts with, so "--shift -1500" works.
// "--" ends the options, for files whose names begin with '-'.
#include "cli_options.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "frame_rate_argument.h"
#include "nearest_name.h"
#include "retime_plan.h"
#include "time_argument.h"

namespace {

enum OptionField : int {
    FIELD_START,
    FIELD_END,
    FIELD_SHIFT,
    FIELD_STRETCH,
    FIELD_OFFSET,
    FIELD_OUTPUT,
    FIELD_QUOTED,
    FIELD_VERBOSE,
    FIELD_AT,
    FIELD_FPS,
    FIELD_DRY_RUN,
    FIELD_FORCE,
    FIELD_TO,
};

constexpr unsigned kForShift = 1u;
constexpr unsigned kForAppend = 2u;
constexpr unsigned kForLast = 4u;
constexpr unsigned kForSync = 8u;
constexpr unsigned kForList = 16u;
constexpr unsigned kWriting = kForShift | kForAppend | kForSync;
constexpr unsigned kForRuns = kWriting | kForLast;

struct OptionEntry {
    const char* name;  // without the leading "--"
    char shortName;    // the one-letter form after a single '-', or 0
    OptionField field;
    unsigned commands;
    int takesValue;
};

constexpr OptionEntry kOptions[] = {
    {"start", 0, FIELD_START, kForShift, 1},
    {"end", 0, FIELD_END, kForShift, 1},
    {"shift", 0, FIELD_SHIFT, kForShift, 1},
    {"stretch", 0, FIELD_STRETCH, kForShift, 1},
    {"fps", 0, FIELD_FPS, kForShift, 1},
    {"at", 0, FIELD_AT, kForSync, 1},
    {"offset", 0, FIELD_OFFSET, kForAppend, 1},
    {"output", 'o', FIELD_OUTPUT, kWriting, 1},
    {"quoted", 0, FIELD_QUOTED, kForRuns | kForList, 0},
    {"verbose", 'v', FIELD_VERBOSE, kForRuns | kForList, 0},
    {"dry-run", 'n', FIELD_DRY_RUN, kWriting, 0},
    {"force", 0, FIELD_FORCE, kForSync, 0},
    {"to", 0, FIELD_TO, kForSync, 1},
};

// The command words, for the "did you mean" of an unknown one.
constexpr const char* kCommandWords[] = {"shift", "sync", "append", "last", "list"};

unsigned CommandBit(CliCommand command) {
    if (command == COMMAND_SHIFT) {
        return kForShift;
    }
    if (command == COMMAND_LAST) {
        return kForLast;
    }
    if (command == COMMAND_SYNC) {
        return kForSync;
    }
    if (command == COMMAND_LIST) {
        return kForList;
    }
    return command == COMMAND_APPEND ? kForAppend : 0u;
}

const char* CommandName(CliCommand command) {
    if (command == COMMAND_SHIFT) {
        return "shift";
    }
    if (command == COMMAND_SYNC) {
        return "sync";
    }
    if (command == COMMAND_LIST) {
        return "list";
    }
    return command == COMMAND_APPEND ? "append" : "last";
}

void SetDefaults(CliRequest* request) {
    request->rangeStart = 0;
    request->rangeEnd = 0;
    request->endIsLastSync = 1;
    request->shift = 0;
    request->stretch = 0;
    request->offset = 0;
    request->readQuoted = 0;
    request->verbose = 0;
    request->syncPointCount = 0;
    request->fpsGiven = 0;
    request->fpsFrom = 0.0;
    request->fpsTo = 0.0;
    request->stretchGiven = 0;
    request->dryRun = 0;
    request->force = 0;
    request->referencePath = nullptr;
    request->outputPath = nullptr;
    request->files.clear();
}

int ReadCommandWord(const char* word, CliRequest* request, std::string* error) {
    if (std::strcmp(word, "shift") == 0) {
        request->command = COMMAND_SHIFT;
    } else if (std::strcmp(word, "append") == 0) {
        request->command = COMMAND_APPEND;
    } else if (std::strcmp(word, "sync") == 0) {
        request->command = COMMAND_SYNC;
    } else if (std::strcmp(word, "last") == 0) {
        request->command = COMMAND_LAST;
    } else if (std::strcmp(word, "list") == 0) {
        request->command = COMMAND_LIST;
    } else if (std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0) {
        request->command = COMMAND_HELP;
    } else if (std::strcmp(word, "--version") == 0 || std::strcmp(word, "-V") == 0) {
        request->command = COMMAND_VERSION;
    } else if (word[0] == '-') {
        *error = "unknown option '" + std::string(word) + "'" +
                 DidYouMean(word, {"--help", "--version"});
        return 0;
    } else {
        std::vector<std::string> words(std::begin(kCommandWords), std::end(kCommandWords));
        *error = "unknown command '" + std::string(word) + "'" + DidYouMean(word, words);
        return 0;
    }
    return 1;
}

// The long names of the options of `command`, as typed ("--name").
std::vector<std::string> OptionNames(CliCommand command) {
    std::vector<std::string> names;
    for (const OptionEntry& entry : kOptions) {
        if ((entry.commands & CommandBit(command)) != 0) {
            names.push_back(std::string("--") + entry.name);
        }
    }
    names.push_back("--help");
    return names;
}

// The option named "--name" (the text up to any '='), or null.
const OptionEntry* FindOption(const char* text, std::size_t nameLength, CliCommand command) {
    for (const OptionEntry& entry : kOptions) {
        if ((entry.commands & CommandBit(command)) != 0 && std::strlen(entry.name) == nameLength &&
            std::strncmp(entry.name, text, nameLength) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

// The option of the one-letter form "-x", or null.
const OptionEntry* FindShortOption(char letter, CliCommand command) {
    for (const OptionEntry& entry : kOptions) {
        if ((entry.commands & CommandBit(command)) != 0 && entry.shortName == letter) {
            return &entry;
        }
    }
    return nullptr;
}

int StoreTime(const char* optionName, const char* value, std::int32_t* field, std::string* error) {
    if (!ReadTimeArgument(value, field)) {
        *error = "bad TIME '" + std::string(value) + "' for " + optionName +
                 " (whole milliseconds such as -250, or a clock time such as 1:30.5, 1:30,5 "
                 "or 1:02:30.250, within 32 bits)";
        return 0;
    }
    return 1;
}

// OLD=NEW, two TIMEs; a third point is refused rather than taking the place of one.
int StorePoint(const char* optionName, const char* value, CliRequest* request, std::string* error) {
    if (request->syncPointCount == 2) {
        *error = "sync takes two " + std::string(optionName) + " points, not more";
        return 0;
    }
    const char* equals = std::strchr(value, '=');
    const std::string oldText =
        equals != nullptr ? std::string(value, static_cast<std::size_t>(equals - value)) : "";
    const int index = request->syncPointCount;
    if (equals == nullptr || !ReadTimeArgument(oldText.c_str(), &request->syncOld[index]) ||
        !ReadTimeArgument(equals + 1, &request->syncNew[index])) {
        *error = "bad point '" + std::string(value) + "' for " + optionName +
                 " (OLD=NEW, two TIMEs such as 1:02.5=1:03.7 or 1:02:03,5=1:02:05)";
        return 0;
    }
    request->syncPointCount += 1;
    return 1;
}

int StoreRates(const char* optionName, const char* value, CliRequest* request, std::string* error) {
    if (!ReadFrameRatePair(value, &request->fpsFrom, &request->fpsTo)) {
        *error = "bad rates '" + std::string(value) + "' for " + optionName +
                 " (FROM:TO, frame rates above 0 such as 25:23.976 or 25:24000/1001)";
        return 0;
    }
    request->fpsGiven = 1;
    return 1;
}

int StoreOption(const OptionEntry& entry, const char* optionName, const char* value,
                CliRequest* request, std::string* error) {
    switch (entry.field) {
        case FIELD_START:
            return StoreTime(optionName, value, &request->rangeStart, error);
        case FIELD_END:
            if (std::strcmp(value, "E") == 0 || std::strcmp(value, "e") == 0) {
                request->endIsLastSync = 1;
                return 1;
            }
            request->endIsLastSync = 0;
            return StoreTime(optionName, value, &request->rangeEnd, error);
        case FIELD_SHIFT:
            return StoreTime(optionName, value, &request->shift, error);
        case FIELD_STRETCH:
            request->stretchGiven = 1;
            return StoreTime(optionName, value, &request->stretch, error);
        case FIELD_FPS:
            return StoreRates(optionName, value, request, error);
        case FIELD_AT:
            return StorePoint(optionName, value, request, error);
        case FIELD_DRY_RUN:
            request->dryRun = 1;
            return 1;
        case FIELD_FORCE:
            request->force = 1;
            return 1;
        case FIELD_TO:
            if (value[0] == '\0' || request->referencePath != nullptr) {
                *error = "sync takes one reference " + std::string(optionName) + "=REF";
                return 0;
            }
            request->referencePath = value;
            return 1;
        case FIELD_OFFSET:
            return StoreTime(optionName, value, &request->offset, error);
        case FIELD_OUTPUT:
            if (value[0] == '\0') {
                *error = "empty output name for " + std::string(optionName);
                return 0;
            }
            request->outputPath = value;
            return 1;
        case FIELD_QUOTED:
            request->readQuoted = 1;
            return 1;
        case FIELD_VERBOSE:
            request->verbose = 1;
            return 1;
    }
    return 0;
}

// Reads the option at argv[*index], and its value from the next argument when
// it is not joined with '='; *index is left on the last argument used.
int ReadOption(int argc, char** argv, int* index, CliRequest* request, std::string* error) {
    const char* argument = argv[*index];
    const OptionEntry* entry = nullptr;
    const char* value = nullptr;
    std::string shownName(argument);
    if (argument[1] == '-') {
        const char* name = argument + 2;
        const char* equals = std::strchr(name, '=');
        const std::size_t nameLength =
            equals != nullptr ? static_cast<std::size_t>(equals - name) : std::strlen(name);
        value = equals != nullptr ? equals + 1 : nullptr;
        shownName = "--" + std::string(name, nameLength);
        entry = FindOption(name, nameLength, request->command);
    } else {
        // "-oOUT" joins the value; a flag stands alone ("-v").
        shownName = std::string("-") + argument[1];
        entry = FindShortOption(argument[1], request->command);
        if (entry != nullptr && (entry->takesValue || argument[2] == '\0')) {
            value = argument[2] != '\0' ? argument + 2 : nullptr;
        } else {
            shownName = argument;
            entry = nullptr;
        }
    }
    if (entry == nullptr) {
        *error = "unknown option '" + shownName + "' for '" + CommandName(request->command) + "'" +
                 DidYouMean(shownName, OptionNames(request->command));
        return 0;
    }
    if (!entry->takesValue) {
        if (value != nullptr) {
            *error = "option '" + shownName + "' takes no value";
            return 0;
        }
        return StoreOption(*entry, shownName.c_str(), "", request, error);
    }
    if (value == nullptr) {
        if (*index + 1 >= argc) {
            *error = "option '" + shownName + "' needs a value";
            return 0;
        }
        *index += 1;
        value = argv[*index];
    }
    return StoreOption(*entry, shownName.c_str(), value, request, error);
}

int CheckFileCount(const CliRequest& request, std::string* error) {
    const std::size_t count = request.files.size();
    if (request.command == COMMAND_SHIFT || request.command == COMMAND_SYNC) {
        if (count == 0) {
            *error = "missing FILE";
        } else if (count > 1 && request.outputPath != nullptr) {
            *error = "-o takes one FILE, not " + std::to_string(count);
        }
    } else if (request.command == COMMAND_APPEND) {
        if (count == 0) {
            *error = "missing FILE and APPEND_FILE";
        } else if (count == 1) {
            *error = "missing APPEND_FILE";
        } else if (count > 2) {
            *error = "append takes FILE and APPEND_FILE, not " + std::to_string(count) + " files";
        }
    } else if (count != 1) {
        *error = count == 0 ? "missing FILE"
                            : std::string(CommandName(request.command)) + " takes one FILE, not " +
                                  std::to_string(count);
    }
    return error->empty() ? 1 : 0;
}

// The rate of the line through the --at points: how many milliseconds of the
// new times one millisecond of the old ones becomes.
constexpr double kLowestRate = 0.5;
constexpr double kHighestRate = 2.0;

std::string RateText(const CliRequest& request) {
    const double oldSpan = static_cast<double>(request.syncOld[1]) - request.syncOld[0];
    const double newSpan = static_cast<double>(request.syncNew[1]) - request.syncNew[0];
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", newSpan / oldSpan);
    return text;
}

// Values that are each well formed but do not go together.
int CheckValues(const CliRequest& request, std::string* error) {
    if (request.fpsGiven && request.stretchGiven) {
        *error = "--fps and --stretch both set the stretch; give one of them";
        return 0;
    }
    if (request.command != COMMAND_SYNC) {
        return 1;
    }
    if (request.referencePath != nullptr) {
        if (request.syncPointCount != 0) {
            *error = "sync takes either --at points or a reference --to, not both";
            return 0;
        }
        return 1;
    }
    if (request.syncPointCount == 0) {
        *error = "sync needs two --at OLD=NEW points or a reference --to=REF";
        return 0;
    }
    if (request.syncPointCount != 2) {
        *error =
            "sync needs two --at OLD=NEW points, not " + std::to_string(request.syncPointCount);
        return 0;
    }
    if (request.syncOld[0] == request.syncOld[1]) {
        *error = "the two --at points have the same OLD time " + std::to_string(request.syncOld[0]);
        return 0;
    }
    SyncLine line;
    if (!LineThroughPoints(request.syncOld, request.syncNew, &line)) {
        *error =
            "the --at points must keep their order: a later OLD time needs a later NEW time "
            "(these give a rate of " +
            RateText(request) + ")";
        return 0;
    }
    ShiftParams params;
    if (!ParamsForLine(line, 0, &params, nullptr)) {
        *error = "the --at points give a line whose time at 0 lies beyond 32 bits";
        return 0;
    }
    if (!request.force && (line.slope < kLowestRate || line.slope > kHighestRate)) {
        *error = "the --at points give a rate of " + RateText(request) +
                 ", outside 0.5 to 2: check the two points, or give --force to use them";
        return 0;
    }
    return 1;
}

}  // namespace

int ParseCommandLine(int argc, char** argv, CliRequest* request, std::string* error) {
    error->clear();
    SetDefaults(request);
    if (argc < 2) {
        *error = "missing command";
        return 0;
    }
    if (!ReadCommandWord(argv[1], request, error)) {
        return 0;
    }
    if (request->command == COMMAND_HELP || request->command == COMMAND_VERSION) {
        if (argc > 2) {
            *error = "unexpected argument '" + std::string(argv[2]) + "'";
            return 0;
        }
        return 1;
    }
    int optionsEnded = 0;
    for (int index = 2; index < argc; ++index) {
        const char* argument = argv[index];
        if (optionsEnded || argument[0] != '-' || argument[1] == '\0') {
            request->files.push_back(argument);
        } else if (std::strcmp(argument, "--") == 0) {
            optionsEnded = 1;
        } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            request->command = COMMAND_HELP;
            return 1;
        } else if (!ReadOption(argc, argv, &index, request, error)) {
            return 0;
        }
    }
    return CheckFileCount(*request, error) && CheckValues(*request, error);
}
