#include <cstdlib>

#include "records/work_folder.h"

namespace zelkan {

namespace {

std::string DataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share";
    return {};
}

}  // namespace

std::string ResolveWorkFolder() {
    const std::string dataHome = DataHome();
    return dataHome.empty() ? std::string() : dataHome + "/zelkan/";
}

}  // namespace zelkan
