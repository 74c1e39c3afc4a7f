#include "cli/parcel_file_names.h"

#include <map>
#include <set>
#include <string_view>

namespace zelkan::cli {

namespace {

// What a file system that ignores case compares.
std::string Folded(std::string name) {
    for (char& c : name)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return name;
}

// Whether a text may stand in a file name on every system.
bool FitsFileName(std::string_view text) {
    for (char c : text)
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos || static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

}  // namespace

std::string FileNameOf(const ParcelRecord& parcel) {
    const std::string& name = parcel.name.empty() ? parcel.number : parcel.name;
    if (name.empty()) return "parcel";
    if (FitsFileName(name)) return name;
    return FitsFileName(parcel.number) && !parcel.number.empty() ? "parcel-" + parcel.number : "parcel";
}

std::vector<std::string> ParcelFileNames(const std::vector<ParcelRecord>& parcels) {
    std::vector<std::string> names;
    std::map<std::string, int> uses;
    for (const ParcelRecord& parcel : parcels) {
        names.push_back(FileNameOf(parcel));
        ++uses[Folded(names.back())];
    }
    // Names used once stay as they are; the others are made unique around them.
    std::set<std::string> taken;
    for (const std::string& name : names)
        if (uses[Folded(name)] == 1) taken.insert(Folded(name));
    for (size_t n = 0; n < names.size(); ++n) {
        if (uses[Folded(names[n])] == 1) continue;
        const std::string& number = parcels[n].number;
        std::string unique = names[n] + "-" + (FitsFileName(number) && !number.empty() ? number : std::to_string(n + 1));
        for (size_t place = n + 1; taken.count(Folded(unique)) > 0; place += parcels.size())
            unique = names[n] + "-" + std::to_string(place);
        taken.insert(Folded(unique));
        names[n] = unique;
    }
    return names;
}

}  // namespace zelkan::cli
