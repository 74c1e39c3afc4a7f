#include "settings/ini_file.h"

#include <filesystem>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"

namespace zelkan {

namespace {

constexpr size_t npos = std::string::npos;

std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t n = 0; n < a.size(); ++n) {
        char x = a[n], y = b[n];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// The name of a "[section]" line, or false.
bool SectionName(std::string_view line, std::string_view& name) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') return false;
    const size_t close = line.find(']');
    if (close == npos) return false;
    name = TrimBlanks(line.substr(1, close - 1));
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(fileName_), ec)) return;
    lines_ = SplitLines(Cp932ToUtf8(ReadFileBytes(fileName_)));
}

size_t IniFile::FindSection(std::string_view section) const {
    for (size_t n = 0; n < lines_.size(); ++n) {
        std::string_view name;
        if (SectionName(lines_[n], name) && SameName(name, TrimBlanks(section))) return n;
    }
    return npos;
}

size_t IniFile::SectionEnd(size_t sectionLine) const {
    std::string_view name;
    size_t n = sectionLine + 1;
    while (n < lines_.size() && !SectionName(lines_[n], name)) ++n;
    return n;
}

size_t IniFile::FindKey(size_t sectionLine, std::string_view key) const {
    const size_t end = SectionEnd(sectionLine);
    for (size_t n = sectionLine + 1; n < end; ++n) {
        const std::string_view line = lines_[n];
        const size_t eq = line.find('=');
        if (eq != npos && SameName(TrimBlanks(line.substr(0, eq)), TrimBlanks(key))) return n;
    }
    return npos;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view fallback) const {
    const size_t sectionLine = FindSection(section);
    if (sectionLine == npos) return std::string(fallback);
    const size_t keyLine = FindKey(sectionLine, key);
    if (keyLine == npos) return std::string(fallback);
    const std::string_view line = lines_[keyLine];
    std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string entry(key);
    entry.append("=").append(value);
    const size_t sectionLine = FindSection(section);
    if (sectionLine == npos) {
        std::string header("[");
        header.append(section).append("]");
        lines_.push_back(std::move(header));
        lines_.push_back(entry);
        return;
    }
    const size_t keyLine = FindKey(sectionLine, key);
    if (keyLine != npos) {
        lines_[keyLine] = entry;
        return;
    }
    // After the section's last non-empty line.
    size_t insertAt = SectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && TrimBlanks(lines_[insertAt - 1]).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
}

void IniFile::Save() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    WriteFileAtomically(fileName_, Utf8ToCp932(text));
}

}  // namespace zelkan
