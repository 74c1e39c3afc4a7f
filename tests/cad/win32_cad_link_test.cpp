// The Win32 channel against windows made to look like a CAD's, in this
// process (the Windows build's tests run under wine with a display).
#include "cad/win32_cad_link.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cad/cad_procedures.h"
#include "cad/clipboard_text.h"

namespace zelkan {
namespace {

struct CadWindows {
    std::vector<std::wstring> received;
    std::wstring prompt = L"コマンド: ";
    std::wstring history = L"コマンド: ID\r\n点を指定: X = 10.5  Y = 20.25  Z = 0.0\r\nコマンド: \r\n";
    HWND frame = nullptr, headlands = nullptr, mountTam = nullptr, textWindow = nullptr, textPane = nullptr;
    std::vector<HWND> decoys;
};

CadWindows* current = nullptr;

using test::ClipboardText;
using test::SetClipboardText;

LRESULT CALLBACK FrameProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_COPYDATA && current != nullptr) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        const std::wstring text(static_cast<const wchar_t*>(data->lpData));
        current->received.push_back(text);
        // A writable variable prompts with its value; Ctrl+C ends the prompt.
        if (text == L"'SETVAR UCSORG\r") current->prompt = L"UCSORG の新しい値を入力 <12.5000,3.0000,0.0000>: ";
        if (text == L"\003") current->prompt = L"コマンド: ";
        return TRUE;
    }
    return DefWindowProcW(w, message, wp, lp);
}

LRESULT CALLBACK TextWindowProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_COMMAND && wp == 32781 && current != nullptr) {
        SetClipboardText(current->history);
        return 0;
    }
    return DefWindowProcW(w, message, wp, lp);
}

HWND TopLevel(const wchar_t* className, const wchar_t* title, WNDPROC proc) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// A command-line pane: its caption is its name, its WM_GETTEXT answers its
// content (the prompt or the history), as the CAD's panes do.
LRESULT CALLBACK PaneProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    const auto* content = reinterpret_cast<const std::wstring*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    if (content != nullptr && message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(content->size());
    if (content != nullptr && message == WM_GETTEXT) {
        const size_t n = std::min(content->size(), static_cast<size_t>(wp) - 1);
        wmemcpy(reinterpret_cast<wchar_t*>(lp), content->c_str(), n);
        reinterpret_cast<wchar_t*>(lp)[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    return DefWindowProcW(w, message, wp, lp);
}

HWND Child(HWND parent, const wchar_t* title, const std::wstring* content) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PaneProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelkanTestPane";
    RegisterClassW(&wc);
    HWND pane = CreateWindowExW(0, L"ZelkanTestPane", title, WS_CHILD, 0, 0, 100, 20, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(content));
    return pane;
}

class Win32Link : public testing::Test {
protected:
    void SetUp() override {
        current = &cad;
        cad.frame = TopLevel(L"Afx:00400000:8:00010003:00000000:00000000", L"AutoCAD 2020 - [parcel.dwg]", FrameProc);
        ASSERT_NE(cad.frame, nullptr);
        cad.headlands = Child(cad.frame, L"Headlands", &cad.prompt);
        cad.mountTam = Child(cad.frame, L"MountTam", &cad.history);
        cad.textWindow = TopLevel(L"Afx:00400000:b:00010003:00000000:00000000",
                                  L"AutoCAD テキスト ウィンドウ - parcel.dwg", TextWindowProc);
        cad.textPane = Child(cad.textWindow, L"MountTam", &cad.history);
        // Decoys in front of the CAD's windows: none may be taken.
        cad.decoys = {TopLevel(L"Afx:00400000:8:decoy", L"Autocad 2020 - [lower case].dwg", DefWindowProcW),
                      TopLevel(L"AfxMDIFrame150u", L"ACAD decoy", DefWindowProcW),
                      TopLevel(L"QWidget", L"DraftSight decoy", DefWindowProcW),
                      TopLevel(L"Afx:00400000:b:other", L"AutoCAD 2020 - [text class].dwg", DefWindowProcW)};
    }
    void TearDown() override {
        for (HWND w : cad.decoys) DestroyWindow(w);
        if (IsWindow(cad.textWindow)) DestroyWindow(cad.textWindow);
        if (IsWindow(cad.frame)) DestroyWindow(cad.frame);
        current = nullptr;
    }
    CadWindows cad;
    Win32CadLink link;
};

TEST_F(Win32Link, FindsTheFrameAmongDecoysAndItsPanes) {
    EXPECT_EQ(link.AcadFindFrame(), cad.frame);
    EXPECT_TRUE(link.IsAlive());
    EXPECT_EQ(link.AcadFindInputPane(), cad.headlands);
    EXPECT_EQ(link.AcadFindHistoryPane(), cad.mountTam);
    EXPECT_EQ(link.AcadFindTextWindow(), cad.textWindow);
}

TEST_F(Win32Link, SendsCommandTextsAndReadsThePromptWhole) {
    link.SendText("\003ID ");
    ASSERT_EQ(cad.received.size(), 1u);
    EXPECT_EQ(cad.received[0], L"\003ID ");
    EXPECT_EQ(link.ReadPrompt(), "コマンド: ");
    cad.prompt = std::wstring(300, L'x');
    EXPECT_EQ(link.ReadPrompt(), std::string(300, 'x'));
}

TEST_F(Win32Link, ReadsTheHistoryAndKeepsTheUsersClipboard) {
    // The text window must belong to the frame's process: the frame comes first.
    EXPECT_EQ(link.ReadTextHistory(), "");
    ASSERT_TRUE(link.Activate());
    EXPECT_NE(link.ReadTextHistory().find("点を指定: X = 10.5"), std::string::npos);
    SetClipboardText(L"利用者のテキスト");
    EXPECT_EQ(link.LastHistoryLine(), "コマンド: ");
    EXPECT_EQ(ClipboardText(), L"利用者のテキスト");
}

TEST_F(Win32Link, VariableQueryOverTheWindows) {
    EXPECT_EQ(AcadGetVar(link, "UCSORG"), "12.5000,3.0000,0.0000");
    ASSERT_EQ(cad.received.size(), 2u);
    EXPECT_EQ(cad.received[1], L"\003");
}

// Black on light red along the pane's bottom edge.
TEST_F(Win32Link, HintIsPaintedOnTheHistoryPaneOrNowhere) {
    ShowWindow(cad.frame, SW_SHOW);
    ShowWindow(cad.mountTam, SW_SHOW);
    AcadShowHint(link.AcadFindHistoryPane(), "筆の内側をクリックしてください");
    AcadShowHint(nullptr, "筆の内側をクリックしてください");
    RECT rect{};
    GetWindowRect(cad.mountTam, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC dc = GetDC(cad.mountTam);
    // The band the hint occupies depends on the font wine picks: measure it
    // with the pane's own font rather than assuming a row.
    const std::wstring text = L"筆の内側をクリックしてください";
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ASSERT_GT(extent.cy, 0);
    ASSERT_LT(extent.cy, height);
    int lightRed = 0, black = 0;
    for (int y = height - extent.cy; y < height; ++y) {
        for (int x = 0; x < std::min<int>(width, extent.cx); ++x) {
            const COLORREF pixel = GetPixel(dc, x, y);
            lightRed += pixel == RGB(255, 127, 127);
            black += pixel == RGB(0, 0, 0);
        }
    }
    const COLORREF top = GetPixel(dc, 5, 0);
    ReleaseDC(cad.mountTam, dc);
    EXPECT_GT(lightRed, 10);
    EXPECT_GT(black, 0);
    EXPECT_NE(top, RGB(255, 127, 127));  // the text stands on the bottom edge
}

TEST_F(Win32Link, WithoutACadNothingIsSentAndNothingIsRead) {
    DestroyWindow(cad.frame);
    DestroyWindow(cad.textWindow);
    EXPECT_FALSE(link.IsAlive());
    EXPECT_FALSE(link.Activate());
    link.SendText("\003ID ");
    EXPECT_TRUE(cad.received.empty());
    EXPECT_EQ(AcadGetVar(link, "UCSORG"), "");
    EXPECT_EQ(link.ReadPrompt(), "");
    EXPECT_EQ(link.AcadCopyHistory(), "");
}

TEST_F(Win32Link, FindsItsPanesAgainAfterTheCommandLineOrTheCadIsRecreated) {
    ASSERT_EQ(link.AcadFindInputPane(), cad.headlands);
    ASSERT_EQ(link.AcadFindHistoryPane(), cad.mountTam);
    // The command line closed and opened again while the CAD stays open.
    DestroyWindow(cad.headlands);
    cad.headlands = Child(cad.frame, L"Headlands", &cad.prompt);
    EXPECT_EQ(link.AcadFindInputPane(), cad.headlands);
    EXPECT_EQ(link.AcadFindHistoryPane(), cad.mountTam);
    // The CAD closed and started again: new frame, new panes.
    DestroyWindow(cad.frame);
    DestroyWindow(cad.textWindow);
    EXPECT_FALSE(link.IsAlive());
    cad.frame = TopLevel(L"Afx:00400000:8:00010003:00000000:00000000", L"AutoCAD 2020 - [parcel.dwg]", FrameProc);
    cad.headlands = Child(cad.frame, L"Headlands", &cad.prompt);
    cad.mountTam = Child(cad.frame, L"MountTam", &cad.history);
    EXPECT_EQ(link.AcadFindFrame(), cad.frame);
    EXPECT_EQ(link.AcadFindInputPane(), cad.headlands);
    EXPECT_EQ(link.AcadFindHistoryPane(), cad.mountTam);
    EXPECT_EQ(link.ReadPrompt(), "コマンド: ");
}

TEST_F(Win32Link, ReadingTheHistoryKeepsEveryFormatTheUserHadCopied) {
    const UINT format = RegisterClipboardFormatW(L"ZelkanTestDrawingData");
    const std::string bytes("\x01\x02drawing data\x00\xFF", 16);
    ASSERT_TRUE(OpenClipboard(cad.frame));
    EmptyClipboard();
    for (const auto& [f, data] : {std::pair<UINT, std::string>{format, bytes},
                                  std::pair<UINT, std::string>{CF_UNICODETEXT, std::string("x\0y\0\0\0", 6)}}) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.size());
        memcpy(GlobalLock(block), data.data(), data.size());
        GlobalUnlock(block);
        SetClipboardData(f, block);
    }
    CloseClipboard();
    ASSERT_TRUE(link.Activate());
    EXPECT_EQ(link.LastHistoryLine(), "コマンド: ");
    EXPECT_EQ(ClipboardText(), L"xy");
    ASSERT_TRUE(OpenClipboard(cad.frame));
    HANDLE data = GetClipboardData(format);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(data)), bytes.size()), bytes);
    GlobalUnlock(data);
    CloseClipboard();
}

}  // namespace
}  // namespace zelkan
