// Runs the real program on pipes, as a user at a terminal would: writes a line, then waits until
// the program has printed its next prompt before writing the next one.
//
//   referee_drive first-prompt RUNS -- COMMAND...   time from start to the first prompt
//   referee_drive interactive FILE -- COMMAND...    feed FILE a line at a time
//
// COMMAND may wrap the program (for example in strace); its standard input and output are pipes.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int input = -1; // we write the program's standard input here
    int output = -1; // and read its standard output here
};

Child spawn(const std::vector<char*>& command) {
    int to_child[2];
    int from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to_child[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from_child[1], STDOUT_FILENO);
    for (const int fd : {to_child[0], to_child[1], from_child[0], from_child[1]}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    Child child;
    if (posix_spawnp(&child.pid, command[0], &actions, nullptr, command.data(), environ) != 0) {
        std::perror("posix_spawnp");
        std::exit(2);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(to_child[0]);
    close(from_child[1]);
    child.input = to_child[1];
    child.output = from_child[0];
    return child;
}

void send(const Child& child, std::string_view text) {
    while (!text.empty()) {
        const ssize_t count = write(child.input, text.data(), text.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return; // the program is gone
        }
        text.remove_prefix(static_cast<std::size_t>(count));
    }
}

// Reads until the output seen so far ends with one of the endings (or until end of output).
// Returns false at end of output.
bool read_until(
    const Child& child, std::string& seen, std::initializer_list<std::string_view> endings) {
    char buffer[1 << 16];
    for (;;) {
        for (const std::string_view ending : endings) {
            if (seen.ends_with(ending)) {
                return true;
            }
        }
        const ssize_t count = read(child.output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        seen.append(buffer, static_cast<std::size_t>(count));
    }
}

int finish(Child& child) {
    close(child.input);
    std::string rest;
    read_until(child, rest, {});
    close(child.output);
    int status = 0;
    waitpid(child.pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

constexpr std::string_view prompt_end = ":>";
constexpr std::string_view gate_end = "LOJEN.";

int first_prompt(std::size_t runs, const std::vector<char*>& command) {
    std::vector<double> millis;
    for (std::size_t run = 0; run < runs; ++run) {
        const auto begin = Clock::now();
        Child child = spawn(command);
        send(child, "14\n");
        std::string seen;
        if (!read_until(child, seen, {prompt_end})) {
            std::cerr << "no prompt\n";
            return 1;
        }
        const auto end = Clock::now();
        send(child, "0\n");
        finish(child);
        millis.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
    std::sort(millis.begin(), millis.end());
    const auto at = [&](double fraction) {
        return millis[static_cast<std::size_t>(fraction * static_cast<double>(millis.size() - 1))];
    };
    std::printf("start to first prompt over %zu runs: min %.3f ms, median %.3f ms, 90th "
                "percentile %.3f ms, max %.3f ms\n",
        runs, millis.front(), at(0.5), at(0.9), millis.back());
    return 0;
}

int interactive(const char* file, const std::vector<char*>& command) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << file << '\n';
        return 2;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line + '\n');
    }
    const auto begin = Clock::now();
    Child child = spawn(command);
    std::string seen;
    std::size_t bytes = 0;
    std::size_t prompts = 0;
    for (const std::string& line : lines) {
        if (!read_until(child, seen, {prompt_end, gate_end})) {
            break;
        }
        bytes += seen.size();
        for (auto at = seen.find(prompt_end); at != std::string::npos;
             at = seen.find(prompt_end, at + 1)) {
            ++prompts;
        }
        seen.clear();
        send(child, line);
    }
    const int status = finish(child);
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf("interactive: %zu lines typed, %zu prompts (requests) seen, %zu bytes, exit "
                "status %d, %.3f s\n",
        lines.size(), prompts, bytes, status, seconds);
    return 0;
}

int usage() {
    std::cerr << "usage: referee_drive first-prompt RUNS -- COMMAND... | interactive FILE -- "
                 "COMMAND...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || std::string_view(argv[3]) != "--") {
        return usage();
    }
    std::vector<char*> command(argv + 4, argv + argc);
    command.push_back(nullptr);
    const std::string_view mode = argv[1];
    if (mode == "first-prompt") {
        const long runs = std::max(1L, std::strtol(argv[2], nullptr, 10));
        return first_prompt(static_cast<std::size_t>(runs), command);
    }
    if (mode == "interactive") {
        return interactive(argv[2], command);
    }
    return usage();
}
