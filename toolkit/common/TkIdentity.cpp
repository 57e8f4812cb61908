#include "toolkit/common/TkIdentity.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string fromEnvironment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

}  // namespace

std::string tkUserName() {
    for (const char* name : {"USER", "LOGNAME"})
        if (std::string v = fromEnvironment(name); !v.empty()) return v.substr(0, 256);
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && *pw->pw_name) return pw->pw_name;
    return "uid " + std::to_string(::geteuid());
}

std::string tkMachineName() {
    char name[256] = {};  // a host name is at most 64 bytes on Linux; the last byte stays 0
    if (::gethostname(name, sizeof name - 1) != 0 || !*name) return "localhost";
    return name;
}

void tkEnsureRuntimeDir() {
    if (!fromEnvironment("XDG_RUNTIME_DIR").empty()) return;
    std::string tmp = fromEnvironment("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    const passwd* pw = ::getpwuid(::geteuid());
    if (!pw || !pw->pw_name || !*pw->pw_name) return;
    const std::string dir = tmp + "/runtime-" + pw->pw_name;
    ::mkdir(dir.c_str(), 0700);  // fails harmlessly when it is there
    // Only a real folder of ours that no one else may enter: a link or someone else's folder
    // planted there is left for Qt to refuse.
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) return;
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}
