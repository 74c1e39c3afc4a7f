#include "records/work_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "geometry/file_io.h"
#include "geometry/wide_text.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#endif

namespace zelkan {

namespace {

#ifdef _WIN32
std::string ApplicationDataFolder() {
    PIDLIST_ABSOLUTE item = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &item) != S_OK || item == nullptr) return {};
    wchar_t path[261] = {};
    const BOOL ok = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    return ok ? WideToUtf8(path) : std::string();
}
#else
std::string DataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share";
    return {};
}
#endif

}  // namespace

std::string ResolveWorkFolder() {
#ifdef _WIN32
    const std::string appData = ApplicationDataFolder();
    return appData.empty() ? std::string() : appData + "\\zelkan\\";
#else
    const std::string dataHome = DataHome();
    return dataHome.empty() ? std::string() : dataHome + "/zelkan/";
#endif
}

void ForceDirectories(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(PathFromUtf8(folder), ignored);
}

std::string SetUpWorkFolder() {
    const std::string folder = ResolveWorkFolder();
    if (!folder.empty()) ForceDirectories(folder);
    return folder;
}

}  // namespace zelkan
