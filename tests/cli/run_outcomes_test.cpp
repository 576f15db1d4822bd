// The runs layer's outcomes, as both front ends receive them: what a request
// comes to, and what stands on disk after it.
#include <gtest/gtest.h>

#include <string>

#include "append_run.h"
#include "shift_run.h"
#include "sync_tag_search.h"
#include "undo_run.h"
#include "test_files.h"

namespace {

std::string Sami(const std::string& times) {
    std::string text = "<SAMI><BODY>\r\n";
    std::size_t at = 0;
    while (at < times.size()) {
        const std::size_t comma = times.find(',', at);
        const std::string time = times.substr(at, comma - at);
        text += "<SYNC Start=" + time + "><P>a cue\r\n";
        at = comma == std::string::npos ? times.size() : comma + 1;
    }
    return text + "</BODY></SAMI>\r\n";
}

enum Request : int { SHIFT, SHIFT_TO_OUT, SHIFT_BY_RATES, APPEND, APPEND_BACKUP, UNDO };

struct Case {
    const char* name;
    Request request;
    ShiftParams params;
    int endIsLast;
    std::string file;
    std::string other;  // the file to append, or FILE.bak
    RunOutcome outcome;
    std::string fileAfter;  // FILE after the run ("" = unchanged)
    int backupMade;
};

TEST(RunOutcomes, EachRequestComesToItsOutcome) {
    BuildSyncTagTables();
    const std::string film = Sami("1000,2000,3000");
    const std::string utf16 = std::string("\xFF\xFE<\0S\0", 6);
    const Case cases[] = {
        {"no shift", SHIFT, {0, 0, 0, 0}, 1, film, "", OUTCOME_NO_SHIFT, "", 0},
        {"backwards range", SHIFT, {5000, 1000, 10, 0}, 0, film, "", OUTCOME_EMPTY_RANGE, "", 0},
        {"range past every time",
         SHIFT,
         {5000, 9000, 10, 0},
         0,
         film,
         "",
         OUTCOME_NOTHING_MOVED,
         "",
         0},
        {"whole file to E",
         SHIFT,
         {0, 0, 10, 0},
         1,
         film,
         "",
         OUTCOME_DONE,
         Sami("1010,2010,3010"),
         1},
        {"largest time first",
         SHIFT,
         {0, 0, 10, 0},
         1,
         Sami("9000,1000,2000"),
         "",
         OUTCOME_DONE,
         Sami("9010,1010,2010"),
         1},
        {"unmoved into OUT",
         SHIFT_TO_OUT,
         {5000, 9000, 10, 0},
         0,
         film,
         "",
         OUTCOME_NOTHING_MOVED,
         "",
         0},
        {"rates beyond 32 bits",
         SHIFT_BY_RATES,
         {0, 2000000000, 0, 0},
         0,
         film,
         "",
         OUTCOME_TOO_LARGE,
         "",
         0},
        {"mixed encodings", APPEND, {0, 0, 0, 0}, 0, film, utf16, OUTCOME_MIXED_KINDS, "", 0},
        {"append its own backup",
         APPEND_BACKUP,
         {0, 0, 0, 0},
         0,
         film,
         film,
         OUTCOME_APPEND_IS_BACKUP,
         "",
         0},
        {"undo without a backup", UNDO, {0, 0, 0, 0}, 0, film, "", OUTCOME_NO_BACKUP, "", 0},
    };
    for (const Case& c : cases) {
        const std::string dir = MakeScratchDir();
        const std::string path = dir + "/film.smi";
        const std::string other = dir + (c.request == APPEND ? "/other.smi" : "/film.smi.bak");
        const std::string out = dir + "/out.smi";
        WriteBytes(path, c.file);
        if (!c.other.empty()) {
            WriteBytes(other, c.other);
        }
        RunTarget target = InPlaceTarget(path.c_str(), FrontEndRunOptions(0));
        if (c.request == SHIFT_TO_OUT) {
            target.outputPath = out.c_str();
        }
        ShiftRequest shift{};
        shift.params = c.params;
        shift.endIsLast = c.endIsLast;
        if (c.request == SHIFT_BY_RATES) {
            shift.derive = DERIVE_RATES;
            shift.rateFrom = 25.0;
            shift.rateTo = 10.0;
        }
        RunResult result;
        if (c.request == APPEND || c.request == APPEND_BACKUP) {
            AppendTarget(target, other.c_str(), 0, &result);
        } else if (c.request == UNDO) {
            UndoFile(path.c_str(), &result);
        } else {
            ShiftTarget(target, shift, &result);
        }
        EXPECT_EQ(result.outcome, c.outcome) << c.name;
        EXPECT_EQ(ReadBytes(path), c.fileAfter.empty() ? c.file : c.fileAfter) << c.name;
        if (c.other.empty()) {
            EXPECT_EQ(FileExists(path + ".bak"), c.backupMade != 0) << c.name;
        }
        // An output name always receives the result, even one that moved nothing.
        if (c.request == SHIFT_TO_OUT) {
            EXPECT_EQ(ReadBytes(out), c.file) << c.name;
        }
    }
}

}  // namespace
