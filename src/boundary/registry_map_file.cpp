// Telling a registry-map file by its first bytes needs neither the XML
// parser nor zlib: a build without them still says what the file is.
#include "boundary/registry_map.h"

#include "boundary/zip_archive.h"
#include "geometry/line_reader.h"

namespace zelkan {

bool LooksLikeZip(std::string_view start) {
    return start.rfind(std::string_view("PK\x03\x04", 4), 0) == 0 || start.rfind(std::string_view("PK\x05\x06", 4), 0) == 0;
}

bool IsRegistryMapFile(const std::string& path) {
    const std::string start = FileStart(path, 256);
    if (LooksLikeZip(start)) return true;
    size_t n = start.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    n = start.find_first_not_of(" \t\r\n", n);
    return n != std::string::npos && start[n] == '<';
}

}  // namespace zelkan
