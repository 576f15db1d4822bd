// The means of the failure suite: FIFOs served by a thread, a tmpfs in a mount
// namespace of the test's own, and generated inputs.
#include "fault_files.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "test_files.h"

namespace {

constexpr int kReaderWaitMilliseconds = 20000;

// The writing end once a reader has the FIFO open (the reader's open is then
// waiting for it); -1 when told to stop or when no reader came in time.
int WaitForReader(VanishingName* name) {
    for (int waited = 0; waited < kReaderWaitMilliseconds && name->stop == 0; ++waited) {
        const int end = open(name->path.c_str(), O_WRONLY | O_NONBLOCK);
        if (end >= 0) {
            return end;
        }
        usleep(1000);
    }
    return -1;
}

// A reader that closes early makes the write fail; that is no concern here.
void WriteAll(int end, const std::string& bytes) {
    if (fcntl(end, F_SETFL, 0) != 0) {
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(end, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            return;
        }
        done += static_cast<std::size_t>(written);
    }
}

void ServeOpens(VanishingName* name) {
    // A write to a FIFO whose reader is gone raises SIGPIPE in this thread only.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    for (int open = 1; open <= name->vanishAtOpen; ++open) {
        const int end = WaitForReader(name);
        if (end < 0) {
            return;
        }
        // The reader holds this FIFO already; the name now leads elsewhere,
        // before the reader can get past its open and open the name again.
        if (open == name->vanishAtOpen) {
            unlink(name->path.c_str());
        } else {
            const std::string next = name->path + ".next";
            mkfifo(next.c_str(), 0600);
            rename(next.c_str(), name->path.c_str());
        }
        name->served = open;
        WriteAll(end, name->content);
        close(end);
    }
}

}  // namespace

void StartVanishingName(VanishingName* name, const std::string& path, const std::string& content,
                        int vanishAtOpen) {
    name->path = path;
    name->content = content;
    name->vanishAtOpen = vanishAtOpen;
    if (mkfifo(path.c_str(), 0600) != 0) {
        ADD_FAILURE() << "mkfifo " << path << ": " << std::strerror(errno);
        return;
    }
    name->server = std::thread(ServeOpens, name);
}

int StopVanishingName(VanishingName* name) {
    name->stop = 1;
    if (name->server.joinable()) {
        name->server.join();
    }
    return name->served;
}

std::string MakeFaultScratchDir() {
    return MakeScratchDirIn("tembrel-fault-tests");
}

std::string MountSmallFileSystem(const std::string& dir, std::size_t bytes) {
    if (unshare(CLONE_NEWNS) != 0) {
        return std::string("no mount namespace of its own: ") + std::strerror(errno);
    }
    // Nothing mounted from here on may reach the system's mount table.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("mounts cannot be made private: ") + std::strerror(errno);
    }
    const std::string options = "size=" + std::to_string(bytes);
    if (mount("tembrel-faults", dir.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        return std::string("no tmpfs: ") + std::strerror(errno);
    }
    return std::string();
}

void UnmountSmallFileSystem(const std::string& dir) {
    umount2(dir.c_str(), MNT_DETACH);
}

std::string LargeSami(std::size_t bytes, int shift) {
    std::string text = "<SAMI>\r\n<HEAD>\r\n<TITLE>large</TITLE>\r\n</HEAD>\r\n<BODY>\r\n";
    text.reserve(bytes + 128);
    // About 66 bytes a cue keeps the last time of 100 MiB below 2^31 ms.
    char line[128];
    for (long long cue = 0; text.size() < bytes; ++cue) {
        const int length = std::snprintf(
            line, sizeof line,
            "<SYNC Start=%lld><P Class=KRCC>\xB4\xEB\xBB\xE7 no. %07lld of the film\r\n",
            cue * 1000 + shift, cue);
        text.append(line, static_cast<std::size_t>(length));
    }
    return text + "</BODY>\r\n</SAMI>\r\n";
}

std::vector<OddInput> OddInputs() {
    return {
        {"Empty", std::string()},
        {"NulBytes", std::string(4096, '\0')},
        {"NulBytesPastTheFileBuffer", std::string(1048576 + 4096, '\0')},
    };
}

void PrintTo(const OddInput& input, std::ostream* os) {
    *os << input.name;
}

std::string OddInputName(const ::testing::TestParamInfo<OddInput>& param) {
    return param.param.name;
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    static char block[65536];
    for (;;) {
        const std::size_t count = std::fread(block, 1, sizeof block, file);
        bytes.append(block, count);
        if (count < sizeof block) {
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    return ::testing::AssertionFailure()
           << actual.size() << " bytes where " << expected.size()
           << " were expected; the first difference is at byte " << at;
}
