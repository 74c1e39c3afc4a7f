// Prints what the registry-map reader makes of each XML file named, for the
// comparison with a reference reader built on another XML parser: per
// parcel its number, accuracy class and zone, and its corners and their
// names, or that it has a problem; "error" for a file that is refused. A
// zip archive is read whole, as zelkan-cli reads it.
#include <cstdio>
#include <string>

#include "boundary/registry_map.h"
#include "geometry/errors.h"

int main(int argc, char** argv) {
    for (int n = 1; n < argc; ++n) {
        std::printf("== %s\n", argv[n]);
        try {
            // By its path, as zelkan-cli reads it.
            const zelkan::CoordinateFile file = zelkan::ReadRegistryMap(argv[n]);
            for (const zelkan::ParcelRecord& p : file.parcels) {
                std::printf("%s|%s|%s|", p.number.c_str(), p.precisionClass.c_str(), p.zone.c_str());
                if (!p.problem.empty()) {
                    std::printf("problem\n");
                    continue;
                }
                for (size_t k = 0; k < p.corners.size(); ++k)
                    std::printf("%.3f,%.3f,%s;", static_cast<double>(p.corners[k].y), static_cast<double>(p.corners[k].x),
                                p.cornerNames.empty() ? "" : p.cornerNames[k].c_str());
                std::printf("\n");
            }
        } catch (const zelkan::RunError&) {
            std::printf("error\n");
        }
    }
    return 0;
}
