#include "support/test_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>

#include "geometry/file_io.h"

namespace zelkan::test {

namespace fs = std::filesystem;

namespace {
std::string ToUtf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}
}  // namespace

std::string FixturePath(std::string_view relative) {
    return std::string(ZELKAN_FIXTURES_DIR) + "/" + std::string(relative);
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    const fs::path p = fs::temp_directory_path() /
                       ("zelkan-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    fs::create_directories(p);
    folder_ = ToUtf8(p);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(PathFromUtf8(folder_), ec);
}

std::string ScratchFolder::File(std::string_view name) const { return folder_ + "/" + std::string(name); }

std::string ScratchFolder::Write(std::string_view name, std::string_view bytes) const {
    const std::string file = File(name);
    std::ofstream out(PathFromUtf8(file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << file;
    return file;
}

std::string WithLineEnds(const std::string& crlf, const char* end) {
    std::string out;
    for (size_t n = 0; n < crlf.size(); ++n) {
        if (crlf.compare(n, 2, "\r\n") == 0) {
            out += end;
            ++n;
        } else {
            out += crlf[n];
        }
    }
    return out;
}

}  // namespace zelkan::test
