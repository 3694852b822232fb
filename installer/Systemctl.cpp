#include "installer/Systemctl.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

int runSystemctl(const std::vector<std::string>& arguments) {
    const char* program = nullptr;
    for (const char* candidate : {"/usr/bin/systemctl", "/bin/systemctl"}) {
        if (::access(candidate, X_OK) == 0) {
            program = candidate;
            break;
        }
    }
    if (program == nullptr) {
        return -1;
    }
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char locale[] = "LC_ALL=C";
    char* environment[] = {path, locale, nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program, nullptr, nullptr, argv.data(), environment) != 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
