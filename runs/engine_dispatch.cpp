// One engine call per kind of run, so that both front ends and every output
// run the same code.
#include "engine_dispatch.h"

#include <cerrno>

#include "file_access.h"
#include "result_codes.h"
#include "subtitle_append.h"
#include "time_map_run.h"

std::int32_t RunEngineOnStreams(void* context, const EditStreams& streams, RunCounts* counts) {
    const RunValues& values = *static_cast<const RunValues*>(context);
    if (values.kind == RUN_APPEND) {
        return AppendFileCues(streams.input, streams.inputSize, streams.append, streams.appendSize,
                              streams.output, values.offset, values.options, counts);
    }
    if (values.kind == RUN_MAP) {
        return MapFileTimes(streams.input, streams.inputSize, streams.output, *values.map,
                            values.options, counts);
    }
    if (values.endGuessed) {
        // What goes straight into a device cannot be taken back: E is looked
        // up first instead.
        if (!streams.discardable) {
            return RESULT_LAST_TIME_DIFFERS;
        }
        return ShiftFileTimesToGuessedEnd(streams.input, streams.inputSize, streams.output,
                                          values.params, values.options, counts);
    }
    return ShiftFileTimes(streams.input, streams.inputSize, streams.output, values.params,
                          values.options, counts);
}

std::int32_t RunEngineIntoStream(const char* file, const char* appendFile, std::FILE* output,
                                 const RunValues& values, RunCounts* counts) {
    ClearRunCounts(counts);
    std::FILE* input = OpenFileByName(file, "rb");
    if (input == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::FILE* append = nullptr;
    if (values.kind == RUN_APPEND) {
        append = OpenFileByName(appendFile, "rb");
        if (append == nullptr) {
            std::fclose(input);
            return RESULT_BAD_APPEND_FILE;
        }
    }
    const EditStreams streams{input,  FileSizeByName(file),
                              append, append != nullptr ? FileSizeByName(appendFile) : 0,
                              output, 0};
    RunValues direct = values;
    direct.endGuessed = 0;
    const std::int32_t result = RunEngineOnStreams(&direct, streams, counts);
    const int runError = errno;
    if (append != nullptr) {
        std::fclose(append);
    }
    std::fclose(input);
    errno = runError;
    return result;
}
