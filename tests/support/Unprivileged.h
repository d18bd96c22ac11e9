#pragma once
// Permissions do not stop root, and CI runs as root: a test of a permission case runs it in a child
// process that has given up root for an ordinary user id. The child's exit code carries the outcome
// (99: root could not be given up, 98: the child did not exit).

#include <sys/wait.h>
#include <unistd.h>

namespace qz::test {

template <typename Scenario> int runUnprivileged(Scenario scenario) {
    if (geteuid() != 0) return scenario();
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
        _exit(scenario());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

} // namespace qz::test
