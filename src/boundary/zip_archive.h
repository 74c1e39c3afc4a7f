#pragma once
// The members of a zip archive, read through its central directory, one at a
// time: the memory a read needs is one member's bytes, whatever the number
// of members. Stored and deflated members; every size read from the archive
// is checked against the archive's own length before anything is allocated
// or read, and a member's bytes against its CRC-32.
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

namespace zelkan {

// Bytes read at any place: a file, or an archive held in memory (a member
// that is itself an archive).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // count bytes from offset into out; false where the source is shorter.
    virtual bool Read(uint64_t offset, size_t count, char* out) = 0;
};

std::unique_ptr<ByteSource> FileBytes(const std::string& path);
std::unique_ptr<ByteSource> MemoryBytes(std::string bytes);

struct ZipMember {
    std::string name;  // as the archive stores it (UTF-8 or code page 932)
    uint16_t method = 0;
    uint16_t flags = 0;
    uint32_t crc = 0;
    uint64_t packedSize = 0;
    uint64_t size = 0;
    uint64_t localHeader = 0;
};

// The largest member read into memory: far beyond any registry-map file
// (a few megabytes), far below what a machine holds.
inline constexpr uint64_t kMaxZipMemberBytes = uint64_t{1} << 30;

class ZipArchive {
public:
    // label names the archive in messages (its path, or the path of the
    // archive it is inside and its own name). Throws InputOutputError when
    // the archive has no end record (a truncated or no zip file) or its
    // central directory lies outside it.
    ZipArchive(std::unique_ptr<ByteSource> source, std::string label);

    // The next member of the central directory, folders left out; false
    // after the last. Throws InputOutputError when the directory is broken:
    // the members after it cannot be found.
    bool Next(ZipMember& member);

    // A member's bytes. Throws InputOutputError naming the member for an
    // encrypted member, a method other than stored or deflate, data beyond
    // the archive, a size past kMaxZipMemberBytes, and bytes that do not
    // inflate to the size and CRC-32 the directory gives.
    std::string Extract(const ZipMember& member);

    const std::string& label() const { return label_; }

private:
    std::unique_ptr<ByteSource> source_;
    std::string label_;
    uint64_t directory_ = 0;     // where the central directory starts
    uint64_t directoryEnd_ = 0;  // and ends
    uint64_t cursor_ = 0;
    uint64_t remaining_ = 0;     // entries the end record promises
};

// Whether bytes start as a zip archive does (a local header, or the end
// record of an empty archive).
bool LooksLikeZip(std::string_view start);

}  // namespace zelkan
