#include "geometry/file_io.h"

#include <fstream>
#include <iterator>

#include "geometry/errors.h"

namespace zelkan {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string ReadFileBytes(const std::string& fileName) {
    const std::filesystem::path path = PathFromUtf8(fileName);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw InputOutputError(fileName, "ファイルを開けません");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputOutputError(fileName, "ファイルを開けません");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw InputOutputError(fileName, "ファイルを読み込めません");
    return bytes;
}

}  // namespace zelkan
