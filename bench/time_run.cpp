// Runs a command and prints its wall time and CPU time (user + system) in
// seconds to the microsecond into FILE (/usr/bin/time rounds to hundredths,
// and a run over 64 MiB takes a few). Usage: time_run FILE COMMAND [ARG...]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace {

double Seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: time_run FILE COMMAND [ARG...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("time_run: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[2], argv + 2);
        std::perror("time_run: exec");
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("time_run: wait");
        return 2;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    std::FILE* report = std::fopen(argv[1], "w");
    if (report == nullptr ||
        std::fprintf(report, "%.6f %.6f\n", wall.count(),
                     Seconds(usage.ru_utime) + Seconds(usage.ru_stime)) < 0 ||
        std::fclose(report) != 0) {
        std::perror("time_run: report");
        return 2;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
