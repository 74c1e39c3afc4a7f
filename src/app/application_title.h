#pragma once
// The title of the program's message boxes.

namespace zelkan {

inline constexpr const char* kApplicationTitle = "Vordel（ACAD専用）";

}  // namespace zelkan
