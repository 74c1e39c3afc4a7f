#pragma once
// The stand-in CAD's DXF R12 export: a header, the tables, the block
// definitions and the selected objects, written the way a CAD writes them
// (right-aligned group codes, code page 932, CR LF).
#include <string>

#include "stand_in_drawing.h"

namespace zelkan::standin {

enum class ExportSelection { Last, All };

// The export as UTF-8 text with CR LF line ends; nothing selected gives an
// ENTITIES section without objects.
std::string DxfR12Export(const Drawing& drawing, ExportSelection selection);

// Writes the export in code page 932; throws InputOutputError on failure.
void WriteDxfR12Export(const Drawing& drawing, ExportSelection selection, const std::string& fileName);

}  // namespace zelkan::standin
