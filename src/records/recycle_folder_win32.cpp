// Moving the work folder to the recycle bin through the shell.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "geometry/file_io.h"
#include "records/evaluation_log.h"

namespace zelkan {

void RecycleFolder(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(PathFromUtf8(folder), ec)) return;
    std::wstring from = PathFromUtf8(folder).wstring();
    from.push_back(L'\0');  // the list ends with two NULs
    SHFILEOPSTRUCTW op{};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;  // 0x454
    SHFileOperationW(&op);
}

}  // namespace zelkan
