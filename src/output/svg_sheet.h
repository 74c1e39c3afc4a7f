#pragma once
// The printable sheet of one parcel (求積図) as an SVG document: the parcel
// at a round scale with its corner names, the division with each
// triangle's number in a circle and its measured lines labelled with the
// area table's own digits, the tables beside it and a title block.
#include <string>

#include "output/sheet_input.h"
#include "output/sheet_layout.h"

namespace zelkan {

// The fonts a viewer is asked for, in order: the usual Japanese fonts of
// Windows, then of macOS and Linux, then any sans-serif.
inline constexpr const char* kSheetFontFamily =
    "'Yu Gothic', YuGothic, Meiryo, 'MS Gothic', 'Hiragino Sans', 'Noto Sans CJK JP', 'Noto Sans JP', "
    "'IPAexGothic', 'IPAGothic', 'TakaoGothic', 'VL Gothic', sans-serif";

// The colour of the parcel's outline and of nothing else on the sheet.
inline constexpr const char* kSheetOutlineColour = "#0000a0";

std::string SheetSvg(const SheetInput& sheet, const SheetLayout& layout);

}  // namespace zelkan
