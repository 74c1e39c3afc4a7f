#include "records/work_folder.h"

#include <filesystem>
#include <system_error>

#include "geometry/file_io.h"

namespace zelkan {

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
