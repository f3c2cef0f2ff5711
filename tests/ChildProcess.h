// Runs a program of the build as a child process, its standard output and
// error caught in files of a folder, for the tests of whole programs.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace child_process {

struct Result {
    int status = -1; // the exit status; -1 when the program did not exit
    std::string out;
    std::string err;
};

inline std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `program` with `args`, its output kept in `dir` (stdout.txt,
// stderr.txt). `fileLimit` > 0 caps the size of every file it writes
// (RLIMIT_FSIZE, with SIGXFSZ ignored): a write beyond it fails as on a full
// disk, for an ordinary user too.
inline Result Run(const std::string& program, const std::vector<std::string>& args,
                  const std::filesystem::path& dir, rlim_t fileLimit = 0) {
    Result r;
    const std::filesystem::path out = dir / "stdout.txt", err = dir / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(o, 1);
        dup2(e, 2);
        if (fileLimit > 0) {
            signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit { fileLimit, fileLimit };
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        std::vector<std::string> copy = args;
        std::vector<char*> argv;
        std::string name = program;
        argv.push_back(name.data());
        for (auto& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(out);
    r.err = ReadText(err);
    return r;
}

} // namespace child_process
