#include <windows.h>
#include <shlobj.h>

#include "geometry/wide_text.h"
#include "records/work_folder.h"

namespace zelkan {

namespace {

std::string ApplicationDataFolder() {
    PIDLIST_ABSOLUTE item = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, CSIDL_APPDATA, &item) != S_OK || item == nullptr) return {};
    wchar_t path[261] = {};
    const BOOL ok = SHGetPathFromIDListW(item, path);
    CoTaskMemFree(item);
    return ok ? WideToUtf8(path) : std::string();
}

}  // namespace

std::string ResolveWorkFolder() {
    const std::string appData = ApplicationDataFolder();
    return appData.empty() ? std::string() : appData + "\\zelkan\\";
}

}  // namespace zelkan
