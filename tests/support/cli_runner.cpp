// fork and exec of the program under test. stdout and stderr go to files in a
// private folder (no pipe can fill up and stall the child), or stderr goes to
// a pseudo-terminal whose master side is read while the child runs.
#include "cli_runner.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_files.h"

#ifndef TEMBREL_CLI_PATH
#error "TEMBREL_CLI_PATH must name the built tembrel-cli"
#endif

namespace fs = std::filesystem;

namespace {

struct Capture {
    fs::path dir;
    std::string outPath;
    std::string errPath;
};

Capture MakeCapture() {
    char pattern[] = "/tmp/tembrel-cli-capture-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
        return {};
    }
    Capture capture;
    capture.dir = dir;
    capture.outPath = (capture.dir / "out").string();
    capture.errPath = (capture.dir / "err").string();
    return capture;
}

// Only async-signal-safe calls between fork and exec; any failure ends the
// child with 127, which no test expects.
[[noreturn]] void ExecChild(const std::vector<char*>& argv, const CliRunOptions& options,
                            const std::string& outPath, const std::string& errPath,
                            const char* terminalName) {
    if (!options.workDir.empty() && chdir(options.workDir.c_str()) != 0) {
        _exit(127);
    }
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = terminalName != nullptr
                        ? open(terminalName, O_RDWR | O_NOCTTY)
                        : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
        _exit(127);
    }
    if (options.fileSizeLimit >= 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit;
        limit.rlim_cur = static_cast<rlim_t>(options.fileSizeLimit);
        limit.rlim_max = static_cast<rlim_t>(options.fileSizeLimit);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            _exit(127);
        }
    }
    if (options.umask >= 0) {
        umask(static_cast<mode_t>(options.umask));
    }
    // The folders and files are open already; the program runs as the user.
    if (options.user >= 0) {
        const auto further = static_cast<gid_t>(options.furtherGroup);
        if (setgroups(options.furtherGroup >= 0 ? 1 : 0, &further) != 0 ||
            setgid(static_cast<gid_t>(options.group)) != 0 ||
            setuid(static_cast<uid_t>(options.user)) != 0) {
            _exit(127);
        }
    }
    execv(argv[0], argv.data());
    _exit(127);
}

int OpenTerminalMaster(std::string* slaveName) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        return -1;
    }
    const char* name = ptsname(master);
    if (name == nullptr) {
        return -1;
    }
    *slaveName = name;
    return master;
}

// Reads the terminal while the child runs; ends when the child has exited
// and the terminal holds nothing more.
int DrainTerminal(int master, pid_t child, std::string* text) {
    int status = 0;
    bool exited = false;
    for (;;) {
        struct pollfd poller = {master, POLLIN, 0};
        const int ready = poll(&poller, 1, 50);
        if (ready > 0 && (poller.revents & POLLIN) != 0) {
            char buffer[512];
            const ssize_t count = read(master, buffer, sizeof buffer);
            if (count > 0) {
                text->append(buffer, static_cast<std::size_t>(count));
                continue;
            }
        } else if (ready > 0) {
            // Hung up before the child opened its side, or after it closed it.
            usleep(10000);
        }
        if (exited) {
            return status;
        }
        exited = waitpid(child, &status, WNOHANG) == child;
    }
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& arguments, const CliRunOptions& options) {
    CliRun run{-1, "", ""};
    const Capture capture = MakeCapture();
    if (capture.dir.empty()) {
        return run;
    }
    std::vector<std::string> words = {TEMBREL_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::string slaveName;
    const int master = options.errorOnTerminal ? OpenTerminalMaster(&slaveName) : -1;
    if (options.errorOnTerminal && master < 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return run;
    }
    const std::string outPath = options.stdoutPath.empty() ? capture.outPath : options.stdoutPath;
    const pid_t child = fork();
    if (child == 0) {
        ExecChild(argv, options, outPath, capture.errPath,
                  master >= 0 ? slaveName.c_str() : nullptr);
    }
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return run;
    }
    int status = 0;
    if (master >= 0) {
        status = DrainTerminal(master, child, &run.err);
        close(master);
    } else {
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    run.exitCode = ExitCodeOf(status);
    run.out = ReadFile(capture.outPath);
    if (master < 0) {
        run.err = ReadFile(capture.errPath);
    }
    std::error_code ignored;
    fs::remove_all(capture.dir, ignored);
    return run;
}

std::string JoinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) {
        text += (text.empty() ? "" : " ") + (argument.empty() ? std::string("''") : argument);
    }
    return text;
}

std::string MakeCliScratchDir() {
    return MakeScratchDirIn("tembrel-cli-tests");
}

void RemoveCliScratchDir(const std::string& dir) {
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SamiWithTimes(const std::vector<int>& times) {
    std::string text = "<SAMI>\r\n<BODY>\r\n";
    for (const int time : times) {
        text += "<SYNC START=" + std::to_string(time) + "><P>cue\r\n";
    }
    return text + "</BODY>\r\n</SAMI>\r\n";
}

void CliTest::SetUp() {
    dir_ = MakeCliScratchDir();
}

void CliTest::TearDown() {
    if (!HasFailure()) {
        RemoveCliScratchDir(dir_);
    }
}

bool PathExists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}
