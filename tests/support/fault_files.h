// Failures made real for the failure suite: a name that vanishes at a chosen
// open, a small file system that fills up, and the inputs a subtitle tool does
// not expect (empty, NUL bytes only, 100 MiB). The tests run as root,
// where permissions stop nothing.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

// A name that is taken away while tembrel-cli holds it open. The name is a
// FIFO whose writing end a thread of the test serves: the program's open waits
// until the thread opens that end, and its first read waits until the thread
// writes. So the thread removes the name at exactly the chosen open (counted
// from 1) before the program can act on it, then hands over the content. Each
// earlier open is served the content and meets a fresh FIFO the next time. A
// program that opens and closes without reading would race with the thread.
struct VanishingName {
    std::string path;
    std::string content;
    int vanishAtOpen = 1;
    std::atomic<int> served{0};  // opens served so far
    std::atomic<int> stop{0};
    std::thread server;
};

void StartVanishingName(VanishingName* name, const std::string& path, const std::string& content,
                        int vanishAtOpen);
// Ends the serving (an open that never came is no longer waited for) and
// returns the number of opens served.
int StopVanishingName(VanishingName* name);

// A fresh folder named after the running test and this process, so that
// several builds running the suite at once do not meet.
std::string MakeFaultScratchDir();

// Mounts a tmpfs of `bytes` on the existing folder `dir`, in a mount namespace
// of the test's own (children started afterwards share it; the system's mounts
// are untouched). Returns "" when mounted, else why it cannot be done.
std::string MountSmallFileSystem(const std::string& dir, std::size_t bytes);
void UnmountSmallFileSystem(const std::string& dir);

// A SAMI file of at least `bytes` bytes in CP949 with CR LF line ends, a cue
// every second from 0 on; every sync time moved by `shift`.
std::string LargeSami(std::size_t bytes, int shift);

struct OddInput {
    const char* name;
    std::string bytes;
};

// Names a case by its name rather than by its bytes.
void PrintTo(const OddInput& input, std::ostream* os);
std::string OddInputName(const ::testing::TestParamInfo<OddInput>& param);

// Inputs without a sync tag: empty, and NUL bytes only (within the file
// buffer and across its edge).
std::vector<OddInput> OddInputs();

// A file's bytes, read in blocks (a stream iterator takes seconds for 100 MiB
// under the sanitizers); empty when it cannot be read, as a folder.
std::string ReadWholeFile(const std::string& path);

// Equal bytes, or where they first differ (never a dump of a 100 MiB file).
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);
