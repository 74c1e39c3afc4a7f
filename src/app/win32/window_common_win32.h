#pragma once
// What every window of the program does alike: its class registered, the
// object behind a window found from its handle, its move to the size the
// system suggests for a new DPI, being shown modally; and the GDI objects
// and selections its painting makes, undone when they go.
#include <windows.h>

#include <string>

namespace zelkan::win32 {

// A window of this program: the object behind the handle, found by the
// one window procedure every class shares, and the move to a new DPI. A
// window handles its messages in Handle, returning Default for the rest,
// and places its controls in Layout.
class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

protected:
    // The class, with the arrow cursor and the dialog background.
    static bool Register(HINSTANCE instance, const wchar_t* className, UINT style = 0, HICON icon = nullptr);
    // CreateWindowExW for this object: the window is bound to it from its
    // first message on.
    HWND CreateFor(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int width,
                   int height, HWND owner, HINSTANCE instance);
    virtual LRESULT Handle(UINT message, WPARAM wp, LPARAM lp) = 0;
    virtual void Layout() = 0;
    LRESULT Default(UINT message, WPARAM wp, LPARAM lp) { return DefWindowProcW(window_, message, wp, lp); }

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wp, LPARAM lp);
};

// A GDI object (pen, brush, font, bitmap) deleted when it goes or is
// replaced.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(nullptr); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    operator Handle() const { return handle_; }
    Handle get() const { return handle_; }
    void Reset(Handle handle) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// A window's font: it lives as long as the window object and is replaced
// when the window moves to another DPI.
using Font = GdiObject<HFONT>;

// An object selected into a device context until this goes; the one
// selected before comes back then.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(dc_, old_); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A device context of the screen, released when it goes.
class ScreenDc {
public:
    explicit ScreenDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~ScreenDc() { ReleaseDC(window_, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with dc, deleted when it goes.
class MemoryDc {
public:
    explicit MemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    operator HDC() const { return dc_; }

private:
    HDC dc_;
};

// The window's client area painted in one copy from a bitmap drawn first
// (no flicker): draw(dc) paints into the bitmap, filled with the dialog
// background.
template <typename Draw>
void PaintBuffered(HWND window, Draw draw) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    {
        const MemoryDc memory(dc);
        const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
        const Selection drawnInto(memory, bitmap);
        FillRect(memory, &client, GetSysColorBrush(COLOR_BTNFACE));
        draw(static_cast<HDC>(memory));
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    EndPaint(window, &ps);
}

// Shows the window over its owner, the owner disabled, handling messages
// until `open` turns false; then the owner is enabled and brought back.
void RunModal(HWND window, HWND owner, const bool& open);

// The text of a window, in UTF-8.
std::string WindowTextOf(HWND window);

}  // namespace zelkan::win32
