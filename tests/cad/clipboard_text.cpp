#include "cad/clipboard_text.h"

#include <windows.h>

#include <cstring>

namespace zelkan::test {

void SetClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(copy), text.c_str(), bytes);
    GlobalUnlock(copy);
    SetClipboardData(CF_UNICODETEXT, copy);
    CloseClipboard();
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

}  // namespace zelkan::test
