// Start to shown main window: the program's own start-up, answering "Demo" in the connection dialog,
// against a program that only shows a bare QMainWindow. Each side runs as a fresh process on the
// offscreen platform; the time runs from the spawn to the byte the start-up hook (StartupShownHook.cpp)
// writes once the main window has been exposed and painted. The sides alternate; the medians are compared.
// Command-line arguments (the other benchmarks' flags) are ignored.
#include "BenchRatio.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kRunsPerSide = 15;
constexpr int kShownTimeoutMs = 60'000;

struct Side
{
    const char *name;
    std::string program;
    std::vector<double> milliseconds;
};

std::filesystem::path programFolder()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// This process's environment with the offscreen platform and the hook's settings in place.
std::vector<std::string> childEnvironment(int shownFd)
{
    std::vector<std::string> entries;
    for (char **entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.starts_with("QT_QPA_PLATFORM=") || text.starts_with("KV_SHOWN_FD=") ||
            text.starts_with("KV_STARTUP_ANSWER="))
            continue;
        entries.push_back(text);
    }
    entries.push_back("QT_QPA_PLATFORM=offscreen");
    entries.push_back("KV_SHOWN_FD=" + std::to_string(shownFd));
    entries.push_back("KV_STARTUP_ANSWER=Demo");
    return entries;
}

// Milliseconds from the spawn to the shown report; nothing when the program ended or hung without one.
// The program's output goes to a log file that is printed on failure.
std::optional<double> timeToShown(const std::string &program, const std::string &log)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    // Only the write end passes to the program, under a number that survives the exec.
    const int shownFd = ::fcntl(fds[1], F_DUPFD, 3);
    ::close(fds[1]);
    std::vector<std::string> environment = childEnvironment(shownFd);
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string argument0 = program;
    char *argv[] = {argument0.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(shownFd);
    if (spawned != 0) {
        ::close(fds[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", program.c_str(), std::strerror(spawned));
        return std::nullopt;
    }

    pollfd ready{fds[0], POLLIN, 0};
    char shown = 0;
    const bool reported = ::poll(&ready, 1, kShownTimeoutMs) == 1 && ::read(fds[0], &shown, 1) == 1;
    const auto end = std::chrono::steady_clock::now();
    ::close(fds[0]);
    if (!reported)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!reported)
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void printLog(const std::string &log)
{
    if (FILE *file = std::fopen(log.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, file))
            std::fputs(line, stderr);
        std::fclose(file);
    }
}

} // namespace

int main()
{
    const std::filesystem::path folder = programFolder();
    Side program{"program", (folder / "startup_shown_program").string(), {}};
    Side bare{"bare QMainWindow", (folder / "startup_shown_bare").string(), {}};
    const std::string log =
        (std::filesystem::temp_directory_path() / ("startup_bench_" + std::to_string(::getpid()) + ".log"))
            .string();
    const char *figure = "start to shown main window in demo mode";
    const char *peer = "a bare QMainWindow program";
    constexpr double goal = 2.0;

    // One unmeasured run of each side first fills the system's caches (fonts, libraries).
    for (int run = -1; run < kRunsPerSide; ++run) {
        for (Side *side : {&program, &bare}) {
            const std::optional<double> ms = timeToShown(side->program, log);
            if (!ms) {
                std::fprintf(stderr, "%s showed no main window; its output:\n", side->program.c_str());
                printLog(log);
                std::remove(log.c_str());
                std::printf(
                    "ratio | %s | %s | not measured (%s showed no main window) | goal <= %.3gx | MISSED\n",
                    figure, peer, side->name, goal);
                return 1;
            }
            if (run >= 0)
                side->milliseconds.push_back(*ms);
        }
    }
    std::remove(log.c_str());

    const double ours = median(program.milliseconds);
    const double theirs = median(bare.milliseconds);
    std::printf("%-40s median %8.1f ms  min %8.1f ms  (%d runs)\n", "start to shown: program (demo mode)",
                ours, *std::min_element(program.milliseconds.begin(), program.milliseconds.end()),
                kRunsPerSide);
    std::printf("%-40s median %8.1f ms  min %8.1f ms  (%d runs)\n", "start to shown: bare QMainWindow",
                theirs, *std::min_element(bare.milliseconds.begin(), bare.milliseconds.end()), kRunsPerSide);
    BenchRatio::print(figure, peer, ours / theirs, goal);
    return 0;
}
