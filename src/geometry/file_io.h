#pragma once
// Whole-file reading for names held in UTF-8 (a Windows user folder may well
// have a Japanese name).
#include <filesystem>
#include <string>
#include <string_view>

namespace zelkan {

std::filesystem::path PathFromUtf8(std::string_view utf8);

// All bytes of the file; an InputOutputError naming the file when it cannot
// be opened or read.
std::string ReadFileBytes(const std::string& fileName);

}  // namespace zelkan
