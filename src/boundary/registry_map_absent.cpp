// A build without the XML parser or zlib: the registry map is told apart
// and refused with the reason, instead of being read as something else.
#include "boundary/registry_map.h"
#include "geometry/errors.h"

namespace zelkan {

namespace {
[[noreturn]] void Refuse(const std::string& label) {
    throw InputOutputError(label, "この zelkan-cli は地図XML と zip を読めません（rapidxml と zlib なしで作られました）");
}
}  // namespace

CoordinateFile ReadRegistryMap(const std::string& path) { Refuse(path); }
CoordinateFile ReadRegistryMapXml(std::string_view, const std::string& label) { Refuse(label); }

}  // namespace zelkan
