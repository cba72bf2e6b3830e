#include "configcentre/core/program_start.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Programs started and not yet seen to end. Each is waited for once it ends, also when no one
// watches it any more, so that none is left as a zombie process.
std::vector<pid_t> startedProcesses;

void forget(pid_t pid) {
    startedProcesses.erase(std::remove(startedProcesses.begin(), startedProcesses.end(), pid),
                           startedProcesses.end());
}

void collectEnded() {
    for (pid_t pid : std::vector<pid_t>(startedProcesses)) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) != 0) {
            forget(pid);
        }
    }
}

// Between fork and exec only async-signal-safe calls: the exec's failure goes to the parent
// through a pipe that closes by itself on a successful exec.
[[noreturn]] void runChild(const char* program, char* const* argv, int reportFd) {
    ::setsid();
    ::execv(program, argv);
    int error = errno;
    ssize_t ignored = ::write(reportFd, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
}

} // namespace

bool startProgram(const std::string& program, const std::vector<std::string>& arguments,
                  StartedProgram& started, std::string& error) {
    collectEnded();
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    pid_t pid = ::fork();
    if (pid == 0) {
        runChild(program.c_str(), argv.data(), report[1]);
    }
    int forkError = errno;
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        error = std::strerror(forkError);
        return false;
    }
    int execError = 0;
    ssize_t got;
    do {
        got = ::read(report[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got == static_cast<ssize_t>(sizeof execError)) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        error = std::strerror(execError);
        return false;
    }
    startedProcesses.push_back(pid);
    started.id = pid;
    return true;
}

ProgramEnd checkProgram(StartedProgram& started) {
    ProgramEnd& end = started.end;
    if (started.id <= 0 || end.ended) {
        return end;
    }
    int status = 0;
    pid_t pid = static_cast<pid_t>(started.id);
    pid_t result = ::waitpid(pid, &status, WNOHANG);
    if (result == 0 || (result < 0 && errno == EINTR)) {
        return end;
    }
    forget(pid);
    end.ended = true;
    if (result > 0 && WIFSIGNALED(status)) {
        end.bySignal = true;
        end.code = WTERMSIG(status);
    } else if (result > 0) {
        end.code = WEXITSTATUS(status);
    }
    return end;
}
