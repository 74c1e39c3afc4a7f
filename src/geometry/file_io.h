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

// The same, piece by piece: a file too large to hold in memory is written
// as it is made. Nothing is at the target until Commit; a writer destroyed
// before it removes its temporary file. Failures raise InputOutputError
// naming the target.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& fileName);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    std::string fileName_;
    std::filesystem::path temporary_;
    std::ofstream out_;
    bool committed_ = false;
};

// Removes the file if it exists; a failure is ignored.
void DeleteFileQuietly(const std::string& fileName);

}  // namespace zelkan
