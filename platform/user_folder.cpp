#include "platform/user_folder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Returns the current user's home folder from the user database, or empty when it has none.
std::string HomeFromUserDatabase() {
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 1024);
    for (;;) {
        passwd entry{};
        passwd* found = nullptr;
        const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < (size_t{1} << 20)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || found == nullptr || found->pw_dir == nullptr) return {};
        return found->pw_dir;
    }
}

// Returns the configuration folder's bytes, or empty when no home is known.
std::string ConfigFolderPath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && configHome[0] == '/') return configHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
    const std::string userHome = HomeFromUserDatabase();
    if (userHome.empty()) return {};
    return userHome + "/.config";
}

// Makes path and every missing parent, each with mode 0700. Failures are left to whoever uses
// the folder next.
void MakeFolders(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) return;
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    mkdir(path.c_str(), 0700);
}

}  // namespace

Text UserConfigFolder() {
    std::string path = ConfigFolderPath();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty()) return {};
    MakeFolders(path);
    return Latin1Text(path);
}
