// The chassis server program KvServerAP, started from beside the running test or benchmark as a process
// of its own on a free loopback port: it serves in real time, and its work is not counted in the
// benchmark's process.
#pragma once

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

class ServerProgram
{
public:
    // Extra arguments follow "--port 0".
    explicit ServerProgram(const std::vector<std::string> &arguments = {})
    {
        const std::string program =
            (std::filesystem::canonical("/proc/self/exe").parent_path() / "KvServerAP").string();
        std::vector<std::string> words = {program, "--port", "0"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char *> argv;
        for (std::string &word : words)
            argv.push_back(word.data());
        argv.push_back(nullptr);
        int output[2];
        if (::pipe2(output, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(output[1], STDOUT_FILENO);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(output[1]);
        // It announces "KvServerAP listening on 127.0.0.1:<port>" once it listens.
        FILE *announcement = ::fdopen(output[0], "r");
        char line[128] = {};
        const bool announced = std::fgets(line, sizeof line, announcement) != nullptr;
        std::fclose(announcement);
        unsigned port = 0;
        const char *colon = std::strrchr(line, ':');
        if (m_pid < 0 || !announced || !colon || std::sscanf(colon + 1, "%u", &port) != 1 || port > 65535) {
            stop();
            throw std::runtime_error("KvServerAP did not start (build it beside this program): " + program);
        }
        m_port = static_cast<uint16_t>(port);
    }
    ~ServerProgram() { stop(); }
    ServerProgram(const ServerProgram &) = delete;
    ServerProgram &operator=(const ServerProgram &) = delete;

    uint16_t port() const { return m_port; }

private:
    void stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

    pid_t m_pid = -1;
    uint16_t m_port = 0;
};
