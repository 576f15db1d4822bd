// Running the built tembrel-cli in a child process, as a shell would, with its
// output captured; and the scratch folders and files the end-to-end tests use.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct CliRun {
    int exitCode;  // the exit status, or 128 + the signal that ended the child
    std::string out;
    std::string err;
};

struct CliRunOptions {
    std::string workDir;              // the child's working folder; empty: the test's own
    std::int64_t fileSizeLimit = -1;  // RLIMIT_FSIZE in bytes for the child, SIGXFSZ ignored
    bool errorOnTerminal = false;     // stderr is a pseudo-terminal instead of a pipe
    std::string stdoutPath;           // stdout goes to this file (e.g. /dev/full)
    int umask = -1;                   // the child's umask; -1 keeps the test's
    // From root: the child runs as this user with this group, and the further
    // group as its only supplementary one (-1: none). -1 runs it as the test.
    std::int64_t user = -1;
    std::int64_t group = -1;
    std::int64_t furtherGroup = -1;
};

CliRun RunCli(const std::vector<std::string>& arguments, const CliRunOptions& options = {});

// The arguments joined by blanks, to name a test case by its command line.
std::string JoinArguments(const std::vector<std::string>& arguments);

// A fresh folder for the running test, unique to this process too, so that
// several builds running the suite at once do not meet.
std::string MakeCliScratchDir();
void RemoveCliScratchDir(const std::string& dir);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> ListDir(const std::string& dir);

// A SAMI file with one cue per time, CR LF line ends.
std::string SamiWithTimes(const std::vector<int>& times);

// A test with its own scratch folder, kept after a failure for a look.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};
