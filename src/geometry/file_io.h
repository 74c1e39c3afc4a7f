#pragma once
// Whole-file reading for names held in UTF-8 (a Windows user folder may well
// have a Japanese name).
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace zelkan {

std::filesystem::path PathFromUtf8(std::string_view utf8);

// The file opened for reading in binary; an InputOutputError naming the
// file when it cannot be opened (a folder cannot).
std::ifstream OpenForReading(const std::string& fileName);

// All bytes of the file; an InputOutputError naming the file when it cannot
// be opened or read.
std::string ReadFileBytes(const std::string& fileName);

// Writes the bytes whole to a temporary file beside the target and renames it
// into place, so that no reader ever sees a partial file. An InputOutputError
// naming the target when any step fails; the target is then unchanged.
void WriteFileAtomically(const std::string& fileName, std::string_view bytes);

// Removes the file if it exists; a failure is ignored.
void DeleteFileQuietly(const std::string& fileName);

}  // namespace zelkan
