#include "boundary/zip_archive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "geometry/errors.h"
#include "geometry/file_io.h"

namespace zelkan {

namespace {

class FileSource : public ByteSource {
public:
    explicit FileSource(const std::string& path) : path_(path), in_(OpenForReading(path)) {
        in_.seekg(0, std::ios::end);
        const std::streamoff end = in_.tellg();
        if (!in_ || end < 0) throw InputOutputError(path, "ファイルを読めません");
        size_ = static_cast<uint64_t>(end);
    }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, size_t count, char* out) override {
        if (offset > size_ || count > size_ - offset) return false;
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(out, static_cast<std::streamsize>(count));
        if (static_cast<size_t>(in_.gcount()) != count) throw InputOutputError(path_, "ファイルを読めません");
        return true;
    }

private:
    std::string path_;
    std::ifstream in_;
    uint64_t size_ = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, size_t count, char* out) override {
        if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
        std::memcpy(out, bytes_.data() + offset, count);
        return true;
    }

private:
    std::string bytes_;
};

uint16_t U16(const char* p) {
    return static_cast<uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
uint32_t U32(const char* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

constexpr size_t kEndRecordSize = 22;
constexpr size_t kDirectoryEntrySize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kMaxComment = 0xFFFF;
// Deflate gives at most about 1032 bytes for one: a member claiming more
// from fewer is broken, and is refused before its size is allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;

std::string Inflate(const std::string& packed, uint64_t size, const std::string& where) {
    std::string out(static_cast<size_t>(size), '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw InputOutputError(where, "zip を展開できません");
    // Both sizes fit zlib's unsigned int: the member is at most a gigabyte,
    // its packed bytes at most 4 GB by the directory's 32 bits.
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(size);
    // Z_STREAM_END only where the stream ends with the room exactly filled:
    // more bytes than the directory says leave it unfinished.
    const int status = inflate(&z, Z_FINISH);
    const uInt outLeft = z.avail_out;
    inflateEnd(&z);
    if (status != Z_STREAM_END || outLeft != 0)
        throw InputOutputError(where, "展開できません（圧縮データが壊れているか、途中で切れています）");
    return out;
}

}  // namespace

std::unique_ptr<ByteSource> FileBytes(const std::string& path) { return std::make_unique<FileSource>(path); }
std::unique_ptr<ByteSource> MemoryBytes(std::string bytes) { return std::make_unique<MemorySource>(std::move(bytes)); }

ZipArchive::ZipArchive(std::unique_ptr<ByteSource> source, std::string label)
    : source_(std::move(source)), label_(std::move(label)) {
    const uint64_t size = source_->Size();
    const size_t tail = static_cast<size_t>(std::min<uint64_t>(size, kEndRecordSize + kMaxComment));
    std::string end(tail, '\0');
    if (tail < kEndRecordSize || !source_->Read(size - tail, tail, end.data()))
        throw InputOutputError(label_, "zip として読めません（短すぎます）");
    size_t at = std::string::npos;
    for (size_t n = tail - kEndRecordSize + 1; n-- > 0;) {
        if (end.compare(n, 4, "PK\x05\x06", 4) == 0) {
            at = n;
            break;
        }
    }
    if (at == std::string::npos)
        throw InputOutputError(label_, "zip の終わり（中央ディレクトリ）がありません（途中で切れた zip か、zip ではありません）");
    const char* record = end.data() + at;
    const uint64_t endOffset = size - tail + at;
    remaining_ = U16(record + 10);
    const uint64_t directorySize = U32(record + 12);
    directory_ = U32(record + 16);
    if (remaining_ == 0xFFFF || directorySize == 0xFFFFFFFFu || directory_ == 0xFFFFFFFFu)
        throw InputOutputError(label_, "ZIP64 形式の zip は読めません");
    if (directory_ > endOffset || directorySize > endOffset - directory_)
        throw InputOutputError(label_, "zip の中央ディレクトリが zip の外を指しています（壊れた zip です）");
    directoryEnd_ = directory_ + directorySize;
    cursor_ = directory_;
}

bool ZipArchive::Next(ZipMember& member) {
    while (remaining_ > 0) {
        char entry[kDirectoryEntrySize];
        if (directoryEnd_ - cursor_ < kDirectoryEntrySize || !source_->Read(cursor_, kDirectoryEntrySize, entry) ||
            std::memcmp(entry, "PK\x01\x02", 4) != 0)
            throw InputOutputError(label_, "zip の中央ディレクトリが壊れています");
        const uint16_t nameLength = U16(entry + 28);
        const uint64_t length = kDirectoryEntrySize + uint64_t{nameLength} + U16(entry + 30) + U16(entry + 32);
        if (directoryEnd_ - cursor_ < length) throw InputOutputError(label_, "zip の中央ディレクトリが壊れています");
        member.name.assign(nameLength, '\0');
        source_->Read(cursor_ + kDirectoryEntrySize, nameLength, member.name.data());
        member.flags = U16(entry + 8);
        member.method = U16(entry + 10);
        member.crc = U32(entry + 16);
        member.packedSize = U32(entry + 20);
        member.size = U32(entry + 24);
        member.localHeader = U32(entry + 42);
        cursor_ += length;
        --remaining_;
        if (!member.name.empty() && (member.name.back() == '/' || member.name.back() == '\\')) continue;
        return true;
    }
    return false;
}

std::string ZipArchive::Extract(const ZipMember& member) {
    const std::string where = label_ + "/" + member.name;
    if (member.flags & 1) throw InputOutputError(where, "暗号化された zip は読めません");
    if (member.method != 0 && member.method != 8)
        throw InputOutputError(where, "この圧縮方式（" + std::to_string(member.method) + "）の zip は読めません");
    if (member.packedSize == 0xFFFFFFFFu || member.size == 0xFFFFFFFFu)
        throw InputOutputError(where, "ZIP64 形式の zip は読めません");
    if (member.size > kMaxZipMemberBytes)
        throw InputOutputError(where, "大きすぎます（" + std::to_string(member.size) + " バイト）");
    const bool bounded = member.method == 0 ? member.size == member.packedSize
                                            : member.size <= member.packedSize * kMaxDeflateRatio + 64;
    if (!bounded) throw InputOutputError(where, "zip の大きさの記録が食い違っています（壊れた zip です）");
    char header[kLocalHeaderSize];
    if (member.localHeader >= directory_ || !source_->Read(member.localHeader, kLocalHeaderSize, header) ||
        std::memcmp(header, "PK\x03\x04", 4) != 0)
        throw InputOutputError(where, "zip の中身の見出しがありません（壊れた zip です）");
    const uint64_t data = member.localHeader + kLocalHeaderSize + U16(header + 26) + U16(header + 28);
    if (data > directory_ || member.packedSize > directory_ - data)
        throw InputOutputError(where, "途中で切れています");
    std::string packed(static_cast<size_t>(member.packedSize), '\0');
    if (!source_->Read(data, packed.size(), packed.data())) throw InputOutputError(where, "途中で切れています");
    std::string bytes = member.method == 0 ? std::move(packed) : Inflate(packed, member.size, where);
    const uLong crc = crc32_z(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
    if (crc != member.crc) throw InputOutputError(where, "CRC が合いません（壊れた zip です）");
    return bytes;
}

}  // namespace zelkan
