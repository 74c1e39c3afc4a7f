#include "boundary/dxf_last_object.h"

#include <filesystem>
#include <system_error>

#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "geometry/line_reader.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Records that follow an object and belong to it.
bool BelongsToPrevious(std::string_view kind) { return kind == "VERTEX" || kind == "SEQEND" || kind == "ATTRIB"; }

}  // namespace

std::optional<std::string> LastInsertedBlock(const std::string& dxfFile) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(PathFromUtf8(dxfFile), error)) return std::nullopt;
    LineReader reader(dxfFile);
    std::string codeLine, value;
    bool inEntities = false, sectionNamed = false;
    std::string lastKind, lastBlock;
    while (reader.Next(codeLine) && reader.Next(value)) {
        const std::string code(TrimSpaceNul(codeLine));
        const std::string text(TrimSpaceNul(value));
        if (code == "0") {
            if (text == "SECTION") {
                sectionNamed = true;
                continue;
            }
            sectionNamed = false;
            if (text == "ENDSEC") {
                if (inEntities) break;
                continue;
            }
            if (inEntities && !BelongsToPrevious(text)) {
                lastKind = text;
                lastBlock.clear();
            }
        } else if (code == "2") {
            if (sectionNamed) inEntities = text == "ENTITIES";
            else if (inEntities && lastKind == "INSERT" && lastBlock.empty()) lastBlock = Cp932ToUtf8(text);
            sectionNamed = false;
        }
    }
    if (lastKind != "INSERT" || lastBlock.empty()) return std::nullopt;
    return lastBlock;
}

std::string BlockNameOfFile(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

bool SameBlockName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t n = 0; n < a.size(); ++n)
        if (LowerAscii(a[n]) != LowerAscii(b[n])) return false;
    return true;
}

}  // namespace zelkan
