#include "boundary/registry_map.h"

#include <memory>

#include "boundary/registry_map_xml.h"
#include "boundary/zip_archive.h"
#include "geometry/errors.h"
#include "geometry/large_buffer.h"
#include "geometry/line_reader.h"

namespace zelkan {

namespace {

// A town's archive holds archives of its districts; deeper than this is no
// registry map (and an archive that holds itself ends here).
constexpr int kMaxArchiveDepth = 4;

bool EndsWithNoCase(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) return false;
    for (size_t n = 0; n < ending.size(); ++n) {
        char c = name[name.size() - ending.size() + n];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ending[n]) return false;
    }
    return true;
}

struct Gathered {
    std::vector<ParcelRecord> parcels;
    std::vector<std::string> districts;
    int xmlFiles = 0;  // read or not

    // What could not be read is listed where its parcels would have been.
    void Unreadable(const std::string& label, const std::string& reason) {
        ParcelRecord record;
        record.name = label;
        record.problem = reason;
        parcels.push_back(std::move(record));
        districts.emplace_back();
    }
};

// Every XML file of the archive, and of the archives in it, one in memory
// at a time; a member that cannot be read is listed and the rest read.
void ReadArchive(ZipArchive& archive, int depth, Gathered& gathered) {
    try {
        ZipMember member;
        while (archive.Next(member)) {
            const std::string name = TextOfLine(member.name);
            const std::string label = archive.label() + "/" + name;
            const bool zip = EndsWithNoCase(name, ".zip");
            if (!zip && !EndsWithNoCase(name, ".xml")) continue;
            try {
                std::string bytes = archive.Extract(member);
                if (zip || LooksLikeZip(bytes)) {
                    if (depth >= kMaxArchiveDepth) throw InputOutputError(label, "zip の入れ子が深すぎます");
                    ZipArchive inner(MemoryBytes(std::move(bytes)), label);
                    ReadArchive(inner, depth + 1, gathered);
                } else {
                    ++gathered.xmlFiles;
                    AppendRegistryMapParcels(bytes, label, gathered.parcels, gathered.districts);
                }
            } catch (const InputOutputError& e) {
                gathered.Unreadable(label, e.what());
            }
        }
    } catch (const InputOutputError& e) {  // the directory itself: what follows cannot be found
        gathered.Unreadable(archive.label(), e.what());
    }
}

}  // namespace

CoordinateFile ReadRegistryMap(const std::string& path) {
    Gathered gathered;
    if (LooksLikeZip(FileStart(path, 4))) {
        ZipArchive archive(FileBytes(path), path);
        ReadArchive(archive, 1, gathered);
        // An archive of something else is no empty map.
        if (gathered.xmlFiles == 0 && gathered.parcels.empty())
            throw InputOutputError(path, "zip に地図XML（.xml のファイル）がありません");
    } else {
        // Read at its size in one piece: a string grown as it is read
        // would hold twice the file for a while.
        const std::unique_ptr<ByteSource> file = FileBytes(path);
        if (file->Size() > kMaxZipMemberBytes)
            throw InputOutputError(path, "大きすぎます（" + std::to_string(file->Size()) + " バイト）");
        const size_t size = static_cast<size_t>(file->Size());
        const LargeBuffer text = AllocateLargeBuffer(size);
        if (!file->Read(0, size, text.get())) throw InputOutputError(path, "ファイルを読めません");
        AppendRegistryMapParcels(std::string_view(text.get(), size), path, gathered.parcels, gathered.districts);
    }
    NameRegistryMapParcels(gathered.parcels, gathered.districts);
    CoordinateFile file;
    file.parcels = std::move(gathered.parcels);
    // One zone for the summary where every file names the same.
    for (const ParcelRecord& p : file.parcels) {
        if (p.zone.empty()) continue;
        if (file.zone.empty()) file.zone = p.zone;
        if (p.zone != file.zone) {
            file.zone.clear();
            break;
        }
    }
    return file;
}

}  // namespace zelkan
