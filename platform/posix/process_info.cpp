#include "platform/process_info.h"

#include <cerrno>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

std::string parentProcessName()
{
    std::string link = "/proc/" + std::to_string(getppid()) + "/exe";
    char target[4096];
    ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    std::string path(target, size_t(length));
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool openUrl(const std::string& url)
{
    if (url.empty() || url[0] == '-')
        return false;
    for (unsigned char c : url) {
        if (c < 0x20 || c == 0x7F)
            return false;
    }
    // The opener runs as a grandchild so that no zombie is left behind and the
    // client never waits for the browser.
    pid_t child = fork();
    if (child < 0)
        return false;
    if (child == 0) {
        pid_t opener = 0;
        char* arguments[] = { const_cast<char*>("xdg-open"), const_cast<char*>(url.c_str()), nullptr };
        int status = posix_spawnp(&opener, "xdg-open", nullptr, nullptr, arguments, environ);
        _exit(status == 0 ? 0 : 1);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
