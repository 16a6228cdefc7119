#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <fstream>
#include <functional>
#include <string>

// Runs a call that might hang or take all memory in a child process with a time and a memory
// limit, so such a fault fails the test instead of stopping the run.  The call returns a text
// (what the test checks); the parent gets it back with how the child ended.

struct CChildOutcome {
    bool finished = false;  // returned normally (not killed, not out of memory)
    int signal = 0;         // the signal that ended it (SIGALRM: out of time)
    std::string output;     // the call's text
};

// Address space the process maps already, in bytes (0 when unknown).
inline size_t MappedBytes()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoul(line.substr(7)) * 1024;
    }
    return 0;
}

// memoryBytes is what the call may map on top of what the process maps already.
inline CChildOutcome RunLimited(const std::function<std::string()>& call, unsigned seconds = 10,
                                size_t memoryBytes = size_t{256} << 20)
{
    CChildOutcome outcome;
    int fds[2];
    if (::pipe(fds) != 0) return outcome;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return outcome;
    }
    if (pid == 0) {
        ::close(fds[0]);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // Sanitizers reserve far more address space than they use; there only time is limited.
        const size_t limit = MappedBytes() + memoryBytes;
        const rlimit memory{limit, limit};
        ::setrlimit(RLIMIT_AS, &memory);
#else
        (void)memoryBytes;
#endif
        ::signal(SIGALRM, SIG_DFL);
        ::alarm(seconds);
        int code = 0;
        std::string text;
        try {
            text = call();
        } catch (...) {
            code = 2;  // bad_alloc and friends: the limit was hit
        }
        const char* data = text.data();
        size_t left = text.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], data, left);
            if (n <= 0) break;
            data += n;
            left -= static_cast<size_t>(n);
        }
        ::_exit(code);
    }
    ::close(fds[1]);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            outcome.output.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.finished = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    return outcome;
}
