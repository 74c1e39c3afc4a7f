#include "geometry/file_io.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <system_error>

#include "geometry/errors.h"

namespace zelkan {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::ifstream OpenForReading(const std::string& fileName) {
    const std::filesystem::path path = PathFromUtf8(fileName);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw InputOutputError(fileName, "ファイルを開けません");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputOutputError(fileName, "ファイルを開けません");
    return in;
}

std::string ReadFileBytes(const std::string& fileName) {
    std::ifstream in = OpenForReading(fileName);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw InputOutputError(fileName, "ファイルを読み込めません");
    return bytes;
}

void WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
    AtomicFileWriter file(fileName);
    file.Write(bytes);
    file.Commit();
}

AtomicFileWriter::AtomicFileWriter(const std::string& fileName) : fileName_(fileName) {
    static std::atomic<unsigned> counter{0};
    temporary_ = PathFromUtf8(fileName);
    temporary_ += PathFromUtf8(".tmp" + std::to_string(counter++));
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_) throw InputOutputError(fileName_, "ファイルを作成できません");
}

AtomicFileWriter::~AtomicFileWriter() {
    if (committed_) return;
    out_.close();
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

void AtomicFileWriter::Write(std::string_view bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out_) throw InputOutputError(fileName_, "ファイルに書き込めません");
}

void AtomicFileWriter::Commit() {
    out_.close();
    if (!out_) throw InputOutputError(fileName_, "ファイルに書き込めません");
    std::error_code ec;
    std::filesystem::rename(temporary_, PathFromUtf8(fileName_), ec);
    if (ec) throw InputOutputError(fileName_, "ファイルに書き込めません");
    committed_ = true;
}

void DeleteFileQuietly(const std::string& fileName) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(fileName), ignored);
}

}  // namespace zelkan
