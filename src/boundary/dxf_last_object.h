#pragma once
// Tells what an export of the drawing's last object holds, so that the tool
// erases only an object it inserted itself.
#include <optional>
#include <string>
#include <string_view>

namespace zelkan {

// The block that the last object of the ENTITIES section inserts, when
// that object is an INSERT; none for any other object, for no object, and
// for a file that does not exist.
std::optional<std::string> LastInsertedBlock(const std::string& dxfFile);

// The block name the CAD gives a drawing file inserted from that path: its
// name without folder and extension.
std::string BlockNameOfFile(std::string_view path);

// Block names as the CAD compares them: blind to the case of ASCII letters.
bool SameBlockName(std::string_view a, std::string_view b);

}  // namespace zelkan
