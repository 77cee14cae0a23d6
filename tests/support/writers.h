// Test support: a child process whose file systems seem to have no unnamed files (as some have
// none: a writer then goes by a named temporary beside its target), or that dies at the moment a
// writer marks its temporary.
#pragma once

#include <errno.h>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testproc {

// From now on an open with O_TMPFILE fails in this process as on a file system without unnamed
// files (EOPNOTSUPP); with dieWhenMarking, setting an extended attribute of a file kills the
// process at once (SIGKILL, as a killed writer dies). It cannot be undone: only for a child.
// False when the system refuses it.
inline bool WithoutUnnamedFiles(bool dieWhenMarking = false) {
    struct sigaction die {};
    die.sa_handler = [](int) { ::raise(SIGKILL); };
    if (dieWhenMarking && ::sigaction(SIGSYS, &die, nullptr) != 0) return false;
    constexpr unsigned tmpfileBit = O_TMPFILE & ~O_DIRECTORY;
    // The flags of openat are its third argument; its low half is read (little-endian).
    sock_filter program[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsetxattr, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, dieWhenMarking ? SECCOMP_RET_TRAP : SECCOMP_RET_ALLOW),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, tmpfileBit, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog filter{static_cast<unsigned short>(sizeof program / sizeof program[0]), program};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// Runs fn in a child process: its exit code (0 when fn returned true, 1 when false), or 128 and
// the signal that ended it.
inline int InChild(const std::function<bool()>& fn) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(fn() ? 0 : 1);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace testproc
