#include "settings/ini_file.h"

#include <filesystem>
#include <string_view>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "geometry/unicode_text.h"

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

// Well-formed UTF-8 throughout with at least one character beyond ASCII:
// a file an editor saved as UTF-8 (Japanese in code page 932 practically
// never is).
bool LooksLikeUtf8(std::string_view s) {
    bool beyondAscii = false;
    for (size_t n = 0; n < s.size();) {
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(s, n, c, length)) return false;
        beyondAscii = beyondAscii || length > 1;
        n += length;
    }
    return beyondAscii;
}

constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::string IniFile::Decode(std::string_view bytes) const {
    switch (encoding_) {
        case Encoding::Utf16Le: return Utf16ToUtf8(bytes, false);
        case Encoding::Utf16Be: return Utf16ToUtf8(bytes, true);
        case Encoding::Utf8: return std::string(bytes);
        case Encoding::Cp932: break;
    }
    return Cp932ToUtf8(bytes);
}

std::string IniFile::Encode(std::string_view text) const {
    switch (encoding_) {
        case Encoding::Utf16Le: return Utf8ToUtf16(text, false);
        case Encoding::Utf16Be: return Utf8ToUtf16(text, true);
        case Encoding::Utf8: return std::string(text);
        case Encoding::Cp932: break;
    }
    return Utf8ToCp932(text);
}

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(fileName_), ec)) return;
    const std::string bytes = ReadFileBytes(fileName_);
    std::string_view body = bytes;
    const auto marked = [&body](std::string_view mark) { return body.substr(0, mark.size()) == mark; };
    if (marked(kUtf16LeMark)) {
        encoding_ = Encoding::Utf16Le, byteOrderMark_ = kUtf16LeMark;
    } else if (marked(kUtf16BeMark)) {
        encoding_ = Encoding::Utf16Be, byteOrderMark_ = kUtf16BeMark;
    } else if (marked(kUtf8Mark)) {
        encoding_ = Encoding::Utf8, byteOrderMark_ = kUtf8Mark;
    } else if (LooksLikeUtf8(body)) {
        encoding_ = Encoding::Utf8;
    }
    body.remove_prefix(byteOrderMark_.size());
    // Lines end at LF, CR LF or a lone CR (one code unit each in UTF-16);
    // each keeps its own bytes, so that a line the program does not change
    // is written back as it was read.
    const bool wide = encoding_ == Encoding::Utf16Le || encoding_ == Encoding::Utf16Be;
    const size_t unit = wide ? 2 : 1;
    // An odd byte at the end of a UTF-16 file is no character: it stays at
    // the end, and every line before it keeps its step.
    if (wide && body.size() % 2 == 1) {
        trailingByte_ = std::string(body.substr(body.size() - 1));
        body.remove_suffix(1);
    }
    const std::string lineFeed = Encode("\n");
    const std::string carriageReturn = Encode("\r");
    size_t start = 0;
    while (start < body.size()) {
        size_t end = start;
        size_t next = body.size();
        for (; end < body.size(); end += unit) {
            const std::string_view u = body.substr(end, unit);
            if (u == lineFeed) {
                next = end + unit;
                break;
            }
            if (u == carriageReturn) {
                next = end + unit;
                if (body.substr(next, unit) == lineFeed) next += unit;
                break;
            }
        }
        lines_.push_back(Line{Decode(body.substr(start, end - start)), std::string(body.substr(start, next - start))});
        start = next;
    }
}

size_t IniFile::FindSection(std::string_view section) const {
    for (size_t n = 0; n < lines_.size(); ++n) {
        std::string_view name;
        if (SectionName(lines_[n].text, name) && SameName(name, TrimBlanks(section))) return n;
    }
    return npos;
}

size_t IniFile::SectionEnd(size_t sectionLine) const {
    std::string_view name;
    size_t n = sectionLine + 1;
    while (n < lines_.size() && !SectionName(lines_[n].text, name)) ++n;
    return n;
}

size_t IniFile::FindKey(size_t sectionLine, std::string_view key) const {
    const size_t end = SectionEnd(sectionLine);
    for (size_t n = sectionLine + 1; n < end; ++n) {
        const std::string_view line = lines_[n].text;
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
    const std::string_view line = lines_[keyLine].text;
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
        lines_.push_back(Line{std::move(header), {}});
        lines_.push_back(Line{entry, {}});
        return;
    }
    const size_t keyLine = FindKey(sectionLine, key);
    if (keyLine != npos) {
        if (lines_[keyLine].text != entry) lines_[keyLine] = Line{entry, {}};
        return;
    }
    // After the section's last non-empty line.
    size_t insertAt = SectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && TrimBlanks(lines_[insertAt - 1].text).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{entry, {}});
}

void IniFile::Save() const {
    std::string bytes = byteOrderMark_;
    const std::string lineEnd = Encode("\r\n");
    const std::string lineFeed = Encode("\n");
    const std::string carriageReturn = Encode("\r");
    for (size_t n = 0; n < lines_.size(); ++n) {
        const Line& line = lines_[n];
        if (line.bytes.empty()) {
            bytes += Encode(line.text) + lineEnd;
            continue;
        }
        bytes += line.bytes;
        // The file's last line may have had no line end; now a line follows it.
        const bool ended = line.bytes.ends_with(lineFeed) || line.bytes.ends_with(carriageReturn);
        if (!ended && n + 1 < lines_.size()) bytes += lineEnd;
    }
    bytes += trailingByte_;
    WriteFileAtomically(fileName_, bytes);
}

}  // namespace zelkan
