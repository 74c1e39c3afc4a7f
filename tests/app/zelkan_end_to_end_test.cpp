// zelkan.exe as the user runs it, beside the stand-in CAD, both as processes
// of their own: buttons are pressed by messages to the real controls, and
// what the windows show, what the CAD was sent and the files written are
// checked. Under wine with a display (the test command's Xvfb).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/ui_font_win32.h"
#include "app/zelkan_form.h"
#include "cad/stand_in_process.h"
#include "cad/win32_cad_link.h"
#include "command_interpreter.h"
#include "engine/memory_budget.h"
#include "geometry/cp932.h"
#include "geometry/file_io.h"
#include "geometry/wide_text.h"
#include "records/work_folder.h"
#include "settings/sansha_settings.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using test::ScratchFolder;
using test::StandInProcess;

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        Sleep(50);
    }
    return true;
}

std::string TextOf(HWND window) {
    wchar_t buffer[512] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied))
        return {};
    return WideToUtf8(std::wstring(buffer, copied));
}

// The n-th child window of that class (with that text, when one is given),
// in creation order.
HWND ChildOf(HWND parent, const wchar_t* className, std::string_view text = {}, int nth = 0) {
    struct Search {
        std::wstring className;
        std::string text;
        int nth;
        HWND found = nullptr;
    } search{className, std::string(text), nth};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            if (_wcsicmp(name, s.className.c_str()) != 0) return TRUE;
            if (!s.text.empty() && TextOf(w) != s.text) return TRUE;
            if (s.nth-- > 0) return TRUE;
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A click as it reaches a button: the button turns it into its command.
void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

// The desktop as it is now, as a 24-bit BMP, when screenshots are asked for.
void Screenshot(const std::string& name) {
    const char* folder = std::getenv("ZELKAN_SCREENSHOTS");
    if (folder == nullptr || folder[0] == '\0') return;
    // Every window painted anew: under wine a window restored from the
    // task bar may be captured half drawn.
    RedrawWindow(GetDesktopWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    Sleep(700);  // let the windows paint
    HDC screen = GetDC(nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + rowBytes * static_cast<DWORD>(height);
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), rowBytes * static_cast<size_t>(height));
    WriteFileAtomically(std::string(folder) + "\\" + name + ".bmp", bytes);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// zelkan.exe started as the user starts it; closed by its close box.
class ZelkanProcess {
public:
    ZelkanProcess() {
        std::wstring commandLine = L"\"" + Utf8ToWide(ZELKAN_EXE) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_)) {
            ADD_FAILURE() << "zelkan.exe did not start: " << GetLastError();
            return;
        }
        WaitFor([this] { return (window = test::WindowOf(process_.dwProcessId, kMainCaption)) != nullptr; }, 30000);
        EXPECT_NE(window, nullptr) << "no main window";
        WaitFor([this] { return IsWindowVisible(window) != FALSE; }, 5000);
    }
    ~ZelkanProcess() {
        if (process_.hProcess == nullptr) return;
        if (IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ZelkanProcess(const ZelkanProcess&) = delete;
    ZelkanProcess& operator=(const ZelkanProcess&) = delete;

    DWORD processId() const { return process_.dwProcessId; }
    bool Ended(DWORD milliseconds) const { return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0; }
    HWND Button(std::string_view text) const { return ChildOf(window, L"Button", text); }
    HWND RunButton() const { return ChildOf(window, L"Button", {}, 0); }
    HWND SettingsButton() const { return ChildOf(window, L"Button", {}, 1); }
    HWND Static(int nth) const { return ChildOf(window, L"Static", {}, nth); }  // the coordinate-area, divisions, No and progress labels
    bool WaitCaption(HWND control, std::string_view caption, int milliseconds = 120000) const {
        return WaitFor([&] { return TextOf(control) == caption; }, milliseconds);
    }

    HWND window = nullptr;

private:
    PROCESS_INFORMATION process_{};
};

// Runs a program of this build to its end; its exit code.
int RunProgram(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return -1;
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// A drawing with one parcel: a regular polygon around (0, 0).
std::string PolygonDrawing(int corners, double radius) {
    std::string dxf = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nPOLYLINE\r\n  8\r\n0\r\n 66\r\n1\r\n 70\r\n1\r\n";
    for (int k = 0; k < corners; ++k) {
        char vertex[160];
        const double angle = 0.1 + 2 * 3.14159265358979323846 * k / corners;
        std::snprintf(vertex, sizeof vertex, "  0\r\nVERTEX\r\n  8\r\n0\r\n 10\r\n%.4f\r\n 20\r\n%.4f\r\n",
                      radius * std::cos(angle), radius * std::sin(angle));
        dxf += vertex;
    }
    return dxf + "  0\r\nSEQEND\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

// The top-level window of that process with that title, once it shows.
HWND WaitWindow(DWORD processId, std::string_view title, int milliseconds) {
    HWND window = nullptr;
    WaitFor([&] {
        window = test::WindowOf(processId, title);
        return window != nullptr && IsWindowVisible(window);
    }, milliseconds);
    return window;
}

bool Contains(const std::vector<std::string>& lines, std::string_view part) {
    for (const std::string& line : lines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

class EndToEnd : public testing::Test {
protected:
    void SetUp() override {
        workFolder = SetUpWorkFolder();
        iniFile = workFolder + kSettingsFileName;
    }
    void WriteSettings(const std::string& utf8) { WriteFileAtomically(iniFile, Utf8ToCp932(utf8)); }

    ScratchFolder folder;
    std::string workFolder;
    std::string iniFile;
};

constexpr const char* kTwoPicks = "pick = -33990,-11990\npick = -33900,-11900\n";

// The file named in the logged command text that inserted a drawing with
// that ending.
std::string InsertedFile(const std::vector<std::string>& log, std::string_view suffix) {
    for (const std::string& line : log) {
        const size_t start = line.find("-INSERT\\r\"");
        if (start == std::string::npos) continue;
        const size_t from = start + 10, end = line.find('"', from);
        std::string file;  // the log doubles each backslash
        for (size_t n = from; n < end; ++n) {
            file += line[n];
            if (line[n] == '\\' && n + 1 < end && line[n + 1] == '\\') ++n;
        }
        if (file.size() >= suffix.size() && file.compare(file.size() - suffix.size(), suffix.size(), suffix) == 0)
            return file;
    }
    return {};
}

TEST_F(EndToEnd, MeasuresInModeZeroThenInsertsTheAreaTable) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    StandInProcess cad(folder, "cad", kTwoPicks, test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ASSERT_TRUE(cad.started());
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    ASSERT_EQ(TextOf(run), "三斜自動");
    Screenshot("1-at-rest");
    Click(run);
    if (std::getenv("ZELKAN_SCREENSHOTS") != nullptr) {
        zelkan.WaitCaption(run, "指示待ち", 10000);
        Screenshot("2-waiting-for-the-click");
    }
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表")) << TextOf(run);
    EXPECT_EQ(TextOf(zelkan.Static(0)), "403.430");
    EXPECT_FALSE(TextOf(zelkan.Static(1)).empty());
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    Screenshot("3-after-a-run");

    const std::vector<std::string> afterRun = cad.Received();
    const std::string result = InsertedFile(afterRun, "res.dxf");
    ASSERT_FALSE(result.empty());
    const std::string script = result.substr(0, result.size() - 7) + ".scr";
    const std::vector<std::string> expected = {
        "'SETVAR UCSORG\\r", "'SETVAR UCSXDIR\\r", "'SETVAR UCSYDIR\\r", "\\003ID ", "'SETVAR LASTPOINT \\r",
        "\\003", "\\003-boundary ", "-33990.0000,-11990.0000\\n\\n", "_filedia 0\\n",
        standin::EscapeCommandText("script \"" + script + "\"\n"), "_filedia 1\\n", "ERASE\\nLAST\\n\\n",
        "\\003_filedia 0\\n", standin::EscapeCommandText("\003-INSERT\r\"" + result + "\"\rS \rR \r0,0\r"),
        "\\003_filedia 1\\n"};
    std::vector<std::string> sent(afterRun.begin(), afterRun.end());
    while (!sent.empty() && sent.back().empty()) sent.pop_back();
    EXPECT_EQ(sent, expected);

    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "三斜自動", 30000));
    const std::string table = [&] {
        std::string file;
        WaitFor([&] { return !(file = InsertedFile(cad.Received(), "seki.dxf")).empty(); }, 10000);
        return file;
    }();
    ASSERT_FALSE(table.empty());

    // The same parcel, settings and first number through zelkan-cli give the
    // same drawings, byte for byte.
    const std::string boundary = result.substr(0, result.size() - 7) + ".dxf";
    const std::string out = folder.File("cli");
    ASSERT_EQ(RunProgram(L"\"" + Utf8ToWide(ZELKAN_CLI_EXE) + L"\" measure \"" + Utf8ToWide(boundary) + L"\" --ini \"" +
                         Utf8ToWide(iniFile) + L"\" --out \"" + Utf8ToWide(out) + L"\" --mode 0 --start-no 1"),
              0);
    std::vector<std::string> cliFiles;
    for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(out)))
        cliFiles.push_back(WideToUtf8(entry.path().wstring()));
    const auto cliFile = [&](std::string_view suffix) {
        for (const std::string& f : cliFiles)
            if (f.size() >= suffix.size() && f.compare(f.size() - suffix.size(), suffix.size(), suffix) == 0) return f;
        return std::string();
    };
    EXPECT_EQ(ReadFileBytes(result), ReadFileBytes(cliFile("res.dxf")));
    EXPECT_EQ(ReadFileBytes(table), ReadFileBytes(cliFile("seki.dxf")));

    // The close box ends the program; the search mode is kept.
    PostMessageW(zelkan.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(zelkan.Ended(10000));
    EXPECT_NE(Cp932ToUtf8(ReadFileBytes(iniFile)).find("検索=0"), std::string::npos);
}

// The message box the program shows now: its text, once confirmed.
std::string ConfirmMessage(const ZelkanProcess& zelkan, int milliseconds = 20000) {
    HWND message = WaitWindow(zelkan.processId(), kApplicationTitle, milliseconds);
    if (message == nullptr) return "(no message)";
    const std::string text = TextOf(ChildOf(message, L"Static", {}, 1));
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 10000);
    return text;
}

TEST_F(EndToEnd, FastModeDrawsWithoutEvaluatingAndNumbersOn) {
    WriteSettings("[面積]\r\n検索=3\r\n[No増加]\r\nMode=1\r\n");
    StandInProcess cad(folder, "cad", kTwoPicks, test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND number = ChildOf(zelkan.window, L"Edit");
    HWND run = zelkan.RunButton();
    // A number the box refuses starts nothing.
    SetWindowTextW(number, L"99999");
    Click(run);
    EXPECT_EQ(ConfirmMessage(zelkan), kNoOutOfRangeMessage);
    EXPECT_TRUE(zelkan.WaitCaption(run, "三斜自動", 10000));
    EXPECT_TRUE(cad.Received().empty());

    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    SetWindowTextW(number, L"7");
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表")) << TextOf(run);
    EXPECT_EQ(TextOf(zelkan.Static(1)), "");  // no evaluation value
    EXPECT_FALSE(InsertedFile(cad.Received(), "res.dxf").empty());
    EXPECT_EQ(TextOf(number), "10");  // 7, 8 and 9 drawn
}

// A closed polyline of the user's, the drawing's last object, and a click
// beside it: the CAD finds no boundary there.
TEST_F(EndToEnd, AClickBesideEveryParcelErasesNothing) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    const std::string drawing = folder.Write("users.dxf", PolygonDrawing(10, 50));
    StandInProcess cad(folder, "cad", "pick = 500,500\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    EXPECT_EQ(ConfirmMessage(zelkan, 60000), "面の取得ができませんでした");
    EXPECT_TRUE(zelkan.WaitCaption(run, "三斜自動", 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    const std::vector<std::string> log = cad.Received();
    EXPECT_TRUE(Contains(log, "-boundary"));
    for (const std::string& line : log) {
        EXPECT_EQ(line.find("ERASE"), std::string::npos) << line;
        EXPECT_EQ(line.find("-INSERT"), std::string::npos) << line;
    }
    EXPECT_EQ(TextOf(zelkan.Static(0)), "座標面計値");
}

TEST_F(EndToEnd, ClosingDuringTheClickWaitClosesAtOnceAndCancelsThePrompt) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    // The user would click only after a minute.
    StandInProcess cad(folder, "cad", "pick.delay = 60000\npick = -33990,-11990\n",
                       test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    Click(zelkan.RunButton());
    ASSERT_TRUE(WaitFor([&] { return Contains(cad.Received(), "\\003ID "); }, 30000));
    // As the task bar's close does.
    PostMessageW(zelkan.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(zelkan.Ended(5000));
    // The point prompt cancelled after the point command.
    EXPECT_TRUE(WaitFor([&] {
        const std::vector<std::string> log = cad.Received();
        const auto id = std::find(log.begin(), log.end(), "\\003ID ");
        return id != log.end() && std::find(id + 1, log.end(), "\\003") != log.end();
    }, 5000));
    for (const std::string& line : cad.Received()) EXPECT_EQ(line.find("-boundary"), std::string::npos) << line;
}

TEST_F(EndToEnd, TheCadGoneDuringTheClickWaitIsTold) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    auto cad = std::make_unique<StandInProcess>(folder, "cad", "pick.delay = 60000\npick = -33990,-11990\n",
                                                test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    ASSERT_TRUE(WaitFor([&] { return Contains(cad->Received(), "\\003ID "); }, 30000));
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, cad->processId());
    ASSERT_NE(process, nullptr);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    EXPECT_EQ(ConfirmMessage(zelkan, 10000), kCadGoneDuringClickMessage);
    EXPECT_TRUE(zelkan.WaitCaption(run, "三斜自動", 10000)) << TextOf(run);
    EXPECT_EQ(TextOf(zelkan.Static(4)), kCadNotFoundStatus);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    cad.reset();
}

TEST_F(EndToEnd, StopDuringTheSearchOfALargeParcel) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    const std::string drawing = folder.Write("sixteen.dxf", PolygonDrawing(16, 50));
    StandInProcess cad(folder, "cad", "pick = 1,1\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    HWND settings = zelkan.SettingsButton();
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(settings, "中断", 60000)) << TextOf(settings);
    Sleep(500);
    Click(settings);
    // What was found is evaluated and drawn.
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表", 30000)) << TextOf(run);
    EXPECT_EQ(TextOf(settings), "設定");
    EXPECT_FALSE(InsertedFile(cad.Received(), "res.dxf").empty());
}

TEST_F(EndToEnd, ClosingDuringTheSearchCancelsIt) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    const std::string drawing = folder.Write("sixteen.dxf", PolygonDrawing(16, 50));
    StandInProcess cad(folder, "cad", "pick = 1,1\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    Click(zelkan.RunButton());
    ASSERT_TRUE(zelkan.WaitCaption(zelkan.SettingsButton(), "中断", 60000));
    PostMessageW(zelkan.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(zelkan.Ended(30000));
    for (const std::string& line : cad.Received()) EXPECT_EQ(line.find("-INSERT"), std::string::npos) << line;
}

TEST_F(EndToEnd, TheCadGoneDuringTheSearchIsTold) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    const std::string drawing = folder.Write("sixteen.dxf", PolygonDrawing(16, 50));
    auto cad = std::make_unique<StandInProcess>(folder, "cad", "pick = 1,1\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(zelkan.SettingsButton(), "中断", 60000));
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, cad->processId());
    ASSERT_NE(process, nullptr);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    Click(zelkan.SettingsButton());  // 中断
    HWND message = WaitWindow(zelkan.processId(), kApplicationTitle, 60000);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(TextOf(ChildOf(message, L"Static", {}, 1)).find("挿入できませんでした"), std::string::npos)
        << TextOf(ChildOf(message, L"Static", {}, 1));
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(zelkan.WaitCaption(run, "三斜自動", 10000)) << TextOf(run);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    EXPECT_FALSE(IsWindowEnabled(zelkan.Button("評")));
    cad.reset();
}

TEST_F(EndToEnd, ModeTwoFindingNothingShowsTheNotice) {
    WriteSettings("[面積]\r\n検索=2\r\n");
    StandInProcess cad(folder, "cad", kTwoPicks, test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    HWND notice = WaitWindow(zelkan.processId(), "三斜自動", 120000);
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(TextOf(ChildOf(notice, L"Static")), "見つかりませんでした。設定[座標面計値を超えない]を確認してください");
    Screenshot("4-notice");
    Click(ChildOf(notice, L"Button", "確　認"));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(notice); }, 10000));
    EXPECT_TRUE(zelkan.WaitCaption(run, "三斜自動", 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    EXPECT_TRUE(InsertedFile(cad.Received(), "res.dxf").empty());
}

TEST_F(EndToEnd, TheSettingsDialogWritesTheFileWhenItCloses) {
    WriteSettings("[縮尺]\r\n分母c=500\r\n分母=500\r\n[計算]\r\n計算制限値=3000\r\n");
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND settings = zelkan.SettingsButton();
    ASSERT_EQ(TextOf(settings), "設定");
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(settings) != FALSE; }, 5000));
    Click(settings);
    HWND dialog = WaitWindow(zelkan.processId(), "三斜条件設定", 10000);
    ASSERT_NE(dialog, nullptr);
    // The boxes in the order of the dialog: 計測縮尺, 設定縮尺, ... 計算制限値 is the 15th.
    HWND measuringScale = ChildOf(dialog, L"Edit", {}, 0);
    HWND scale = ChildOf(dialog, L"Edit", {}, 1);
    HWND timeLimit = ChildOf(dialog, L"Edit", {}, 14);
    EXPECT_EQ(TextOf(scale), "500");
    EXPECT_EQ(TextOf(timeLimit), "3000");
    SendMessageW(measuringScale, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"1,000"));
    Screenshot("5-settings");
    // A box the user leaves with a text it cannot use says so at once and
    // shows the value in force again.
    const auto clickInto = [](HWND box) {
        PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        Sleep(300);
    };
    clickInto(timeLimit);
    SendMessageW(timeLimit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-5"));
    clickInto(scale);
    EXPECT_TRUE(WaitFor([&] { return TextOf(timeLimit) == "3000"; }, 10000)) << TextOf(timeLimit);
    EXPECT_TRUE(WaitFor([&] { return ChildOf(dialog, L"Static", "計算制限値 の「-5」は使えません。0 以上の整数（ミリ秒）を入れてください（3000 のままにします）") != nullptr; }, 10000));
    // Boxes never left are checked when the dialog closes, and every one is named.
    SendMessageW(timeLimit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-5"));
    SendMessageW(scale, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    const std::string told = ConfirmMessage(zelkan);
    EXPECT_NE(told.find("設定縮尺 の「0」は使えません。"), std::string::npos) << told;
    EXPECT_NE(told.find("計算制限値 の「-5」は使えません。"), std::string::npos) << told;
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(zelkan.window) != FALSE; }, 10000));
    const std::string ini = Cp932ToUtf8(ReadFileBytes(iniFile));
    EXPECT_NE(ini.find("[計測縮尺]\r\n分母c=1000\r\n分母=1000\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("計算制限値=3000\r\n"), std::string::npos) << ini;  // -5 is not taken
    EXPECT_NE(ini.find("[縮尺]\r\n分母c=500\r\n分母=500\r\n"), std::string::npos) << ini;
}

TEST_F(EndToEnd, SettingsChangedInTheDialogTakeEffectAndItsCommandsWork) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    // The parcel, where the table goes, the parcel again.
    StandInProcess cad(folder, "cad", std::string(kTwoPicks) + "pick = -33990,-11990\n",
                       test::FixturePath("cad/two_parcels_on_a_block.dxf"));
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表"));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));

    Click(zelkan.SettingsButton());
    HWND dialog = WaitWindow(zelkan.processId(), "三斜条件設定", 10000);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(ChildOf(dialog, L"Edit", {}, 1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"2"));     // 設定縮尺
    SendMessageW(ChildOf(dialog, L"Edit", {}, 5), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"文字層"));  // 画層 文字
    Click(ChildOf(dialog, L"Button", "切り捨て", 0));  // 長さ
    Click(ChildOf(dialog, L"Button", "最大値+1"));
    // 画層作成: with the layer names from before the dialog was opened.
    Click(ChildOf(dialog, L"Button", "画層作成"));
    // The result drawing brought the label, side and height layers; the table's is made.
    EXPECT_TRUE(WaitFor([&] { return Contains(cad.Received(), "-LAYER N S_HYO"); }, 20000));
    EXPECT_TRUE(Contains(cad.Received(), "-LAYER ? *"));
    EXPECT_FALSE(Contains(cad.Received(), "文字層"));

    // ログ保存 through the save dialog.
    ASSERT_TRUE(IsWindowEnabled(ChildOf(dialog, L"Button", "ログ保存", 1)) != FALSE);
    Click(ChildOf(dialog, L"Button", "ログ保存", 1));
    HWND save = WaitWindow(zelkan.processId(), "三斜切りログ保存", 10000);
    ASSERT_NE(save, nullptr);
    std::string saved = folder.File("saved-logs");
    for (char& c : saved)
        if (c == '/') c = '\\';  // as a user types a path
    HWND name = GetDlgItem(save, 0x47c);  // the file name box, an edit inside a combo box
    ASSERT_NE(name, nullptr);
    if (HWND edit = ChildOf(name, L"Edit")) name = edit;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Utf8ToWide(saved).c_str()));
    Click(GetDlgItem(save, IDOK));
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(PathFromUtf8(saved + ".trs")); }, 20000));
    for (const char* ext : {".xy", ".can", ".mem", ".tri", ".trw"})
        EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(saved + ext))) << ext;

    // 履歴削除: asked first, naming the folder; いいえ keeps it.
    const std::string keptFile = workFolder + "kept.txt";
    WriteFileAtomically(keptFile, "x");
    const auto askDeletion = [&] {
        Click(ChildOf(dialog, L"Button", "履歴削除"));
        HWND question = WaitWindow(zelkan.processId(), kApplicationTitle, 20000);
        EXPECT_NE(question, nullptr);
        if (question != nullptr) {
            EXPECT_NE(TextOf(ChildOf(question, L"Static", {}, 1)).find("よろしいですか"), std::string::npos);
        }
        return question;
    };
    HWND question = askDeletion();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question) || !IsWindowVisible(question); }, 10000));
    Sleep(500);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(keptFile)));
    // はい: the message confirmed, the work folder made again.
    question = askDeletion();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question) || !IsWindowVisible(question); }, 10000));
    HWND message = WaitWindow(zelkan.processId(), kApplicationTitle, 20000);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(TextOf(ChildOf(message, L"Static", {}, 1)).find("をゴミ箱に移しました"), std::string::npos);
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 10000));
    EXPECT_TRUE(std::filesystem::is_directory(PathFromUtf8(workFolder)));

    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(PathFromUtf8(iniFile)); }, 10000));
    const std::string ini = Cp932ToUtf8(ReadFileBytes(iniFile));
    EXPECT_NE(ini.find("[縮尺]\r\n分母c=2\r\n分母=2\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("文字=文字層\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[長さ]\r\n小数点以下c=2\r\n小数点以下=2\r\n切り捨て=1\r\n四捨五入=0\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("[No増加]\r\nMode=1\r\n"), std::string::npos) << ini;

    // The area table of the first run, then a second run with the new settings.
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "三斜自動", 30000));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    Sleep(1000);  // the table is placed
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表"));
    std::string second;
    for (const std::string& line : cad.Received())
        if (line.find("res.dxf") != std::string::npos) second = line;
    const std::string drawing = InsertedFile({second}, "res.dxf");
    ASSERT_FALSE(drawing.empty());
    const std::string bytes = ReadFileBytes(drawing);
    EXPECT_NE(bytes.find(Utf8ToCp932("\r\n文字層\r\n")), std::string::npos);  // the labels' layer
    EXPECT_NE(bytes.find("\r\n 40\r\n6.0"), std::string::npos);                // 3 x 2 high
    EXPECT_EQ(TextOf(ChildOf(zelkan.window, L"Edit")), "4");                   // 1 + three triangles
}


// The 40-corner sample with the default settings: far too many divisions to
// store, yet 評 has hundreds to offer in each ordering, and its header says
// how they were found. How long the click-to-insert takes is printed for the
// record: from the click (the stand-in answers the point command after its
// pick delay) to the result's insertion, and from 計算中 to the first
// command of the insertion.
TEST_F(EndToEnd, TheFortyCornerSampleOffersDivisionsInBothOrderings) {
    constexpr int kPickDelayMs = 300;
    StandInProcess cad(folder, "cad", "pick.delay = 300\npick = -12248.79,-34348.79\n",
                       test::FixturePath("../../samples/curved_lot.dxf"));
    ASSERT_TRUE(cad.started());
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> asked, picked, erased, computing, computed, inserted;
    const auto until = Clock::now() + std::chrono::seconds(120);
    while (!inserted && Clock::now() < until) {
        const std::vector<std::string> log = cad.Received();
        const std::string caption = TextOf(run);
        const auto now = Clock::now();
        if (!asked && Contains(log, "\\003ID ")) asked = now;
        if (!picked && Contains(log, "'SETVAR LASTPOINT")) picked = now;
        if (!erased && Contains(log, "ERASE\\nLAST")) erased = now;
        if (!computing && caption == "計算中") computing = now;
        // The first command after the computation prepares the insertion.
        if (computing && !computed && Contains(log, "\\003_filedia 0")) computed = now;
        if (!InsertedFile(log, "res.dxf").empty()) inserted = now;
        Sleep(5);
    }
    ASSERT_TRUE(asked && picked && erased && inserted);
    const auto ms = [](Clock::duration d) {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    std::printf("[ timing ] click to insert %lld ms: click noticed %lld, boundary traced and exported %lld, "
                "erased to inserted %lld; 計算中 shown %lld ms\n",
                ms(*inserted - *asked) - kPickDelayMs, ms(*picked - *asked) - kPickDelayMs, ms(*erased - *picked),
                ms(*inserted - *erased), computing && computed ? ms(*computed - *computing) : -1LL);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表"));

    HWND evaluate = zelkan.Button("評");
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(evaluate) != FALSE; }, 10000));
    Click(evaluate);
    HWND thumbnails = WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000);
    ASSERT_NE(thumbnails, nullptr);
    const std::string count = TextOf(ChildOf(thumbnails, L"Static", {}, 0));
    ASSERT_EQ(count.rfind("総候補数:", 0), 0u) << count;
    EXPECT_GE(std::stoi(count.substr(std::string("総候補数:").size())), 400) << count;
    EXPECT_NE(TextOf(ChildOf(thumbnails, L"Static", {}, 8)).find("面積差の上位"), std::string::npos);
    PostMessageW(thumbnails, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(thumbnails); }, 10000));
}

TEST_F(EndToEnd, ReEvaluationThroughTheThumbnailsAndTheList) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    // A decagon: 1 430 divisions. The parcel, then where the table goes.
    const std::string drawing = folder.Write("decagon.dxf", PolygonDrawing(10, 50));
    StandInProcess cad(folder, "cad", "pick = 1,1\npick = 80,80\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND number = ChildOf(zelkan.window, L"Edit");
    SendMessageW(number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"30"));  // triangles 30 to 37
    HWND run = zelkan.RunButton();
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表"));
    HWND evaluate = zelkan.Button("評");
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(evaluate) != FALSE; }, 10000));
    const size_t sent = cad.Received().size();

    // Cancelled in the thumbnails, then in the list: nothing is sent.
    Click(evaluate);
    HWND thumbnails = WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000);
    ASSERT_NE(thumbnails, nullptr);
    PostMessageW(thumbnails, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(thumbnails); }, 10000));
    RECT client{};
    GetClientRect(thumbnails, &client);
    const double scale = client.right / 740.0;
    const LPARAM secondSlot = MAKELPARAM(static_cast<int>((8 + 120 + 60) * scale), static_cast<int>((40 + 60) * scale));
    Click(evaluate);
    ASSERT_NE(WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000), nullptr);
    PostMessageW(thumbnails, WM_LBUTTONDBLCLK, MK_LBUTTON, secondSlot);
    HWND list = WaitWindow(zelkan.processId(), "三斜候補", 10000);
    ASSERT_NE(list, nullptr);
    PostMessageW(list, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }, 10000));
    Sleep(500);
    EXPECT_EQ(cad.Received().size(), sent);

    // Paged forward and back, the other ordering, a double click, a filter,
    // a line, and 選択三斜置き換え.
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    Click(evaluate);
    ASSERT_NE(WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000), nullptr);
    HWND back = ChildOf(thumbnails, L"Button", "<");
    HWND forward = ChildOf(thumbnails, L"Button", ">");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(forward, nullptr);
    // The arrow that leads nowhere is greyed.
    EXPECT_FALSE(IsWindowEnabled(back));
    EXPECT_TRUE(IsWindowEnabled(forward));
    Click(forward);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(back) != FALSE; }, 10000));
    Click(back);
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(back) == FALSE; }, 10000));
    Click(ChildOf(thumbnails, L"Button", "面積差"));
    Sleep(300);
    Screenshot("6-thumbnails");
    PostMessageW(thumbnails, WM_LBUTTONDBLCLK, MK_LBUTTON, secondSlot);
    ASSERT_NE(WaitWindow(zelkan.processId(), "三斜候補", 10000), nullptr);
    HWND lines = ChildOf(list, L"ListBox");
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(SendMessageW(lines, LB_GETCOUNT, 0, 0), 1430);
    HWND firstFilter = ChildOf(list, L"Edit", {}, 0);
    HWND filter = ChildOf(list, L"Button", "フィルター");
    HWND replace = ChildOf(list, L"Button", "選択三斜置き換え");
    const auto filterBy = [&](const wchar_t* text) {
        SendMessageW(firstFilter, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
        Click(filter);
    };
    const auto listed = [&](LRESULT count) {
        return WaitFor([&] { return SendMessageW(lines, LB_GETCOUNT, 0, 0) == count; }, 10000);
    };
    // A filter that matches nothing leaves nothing to replace the drawing with;
    // empty boxes list every division again.
    filterBy(L"1,2,99");
    EXPECT_TRUE(listed(0));
    EXPECT_FALSE(IsWindowEnabled(replace));
    filterBy(L"");
    EXPECT_TRUE(listed(1430));
    // The divisions with the corner triangle 1, 2, 3 (those of the other eight
    // corners), its corners typed in any order.
    filterBy(L"3, 2,1");
    EXPECT_TRUE(listed(429));
    EXPECT_FALSE(IsWindowEnabled(replace));  // until a line is chosen
    PostMessageW(lines, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PostMessageW(lines, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_TRUE(WaitFor([&] { return TextOf(ChildOf(list, L"Static", {}, 4)).rfind("不一致率:", 0) == 0; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(replace) != FALSE; }, 10000));
    Screenshot("7-list");
    Click(replace);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }, 10000));
    EXPECT_TRUE(WaitFor([&] {
        const std::vector<std::string> log = cad.Received();
        // The last object exported and found to be the result drawn, then erased.
        return log.size() >= sent + 7 && log[sent + 1].find(".scr") != std::string::npos &&
               log[sent + 3] == "\\003ERASE\\nLAST\\n\\n" &&
               log[sent + 5].find("res.dxf\"\\rS \\rR \\r0,0\\r") != std::string::npos;
    }, 20000)) << cad.Received().size();
    std::string replaced;
    for (const std::string& line : cad.Received())
        if (line.find("res.dxf") != std::string::npos) replaced = line;
    const std::string newResult = InsertedFile({replaced}, "res.dxf");
    ASSERT_FALSE(newResult.empty());

    // The area table follows: the table of the new division, numbered 30 to 37.
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "三斜自動", 30000));
    std::string table;
    ASSERT_TRUE(WaitFor([&] { return !(table = InsertedFile(cad.Received(), "seki.dxf")).empty(); }, 10000));
    const std::string tableBytes = ReadFileBytes(table);
    EXPECT_NE(tableBytes.find("\r\n37\r\n"), std::string::npos);
    EXPECT_EQ(tableBytes.find("\r\n38\r\n"), std::string::npos);

    // 最大: the drawing is numbered up to 37.
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    Sleep(1000);  // the table is placed
    Click(zelkan.Button("最大"));
    EXPECT_TRUE(WaitFor([&] { return TextOf(number) == "38"; }, 30000)) << TextOf(number);
}

// Through 評 to the list's 選択三斜置き換え on the second slot's division,
// its first line.
void ReplaceThroughTheViewers(const ZelkanProcess& zelkan) {
    Click(zelkan.Button("評"));
    HWND thumbnails = WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000);
    ASSERT_NE(thumbnails, nullptr);
    RECT client{};
    GetClientRect(thumbnails, &client);
    const double scale = client.right / 740.0;
    PostMessageW(thumbnails, WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM(static_cast<int>((8 + 120 + 60) * scale), static_cast<int>((40 + 60) * scale)));
    HWND list = WaitWindow(zelkan.processId(), "三斜候補", 10000);
    ASSERT_NE(list, nullptr);
    HWND lines = ChildOf(list, L"ListBox");
    PostMessageW(lines, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    PostMessageW(lines, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    HWND replace = ChildOf(list, L"Button", "選択三斜置き換え");
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(replace) != FALSE; }, 10000));
    Click(replace);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }, 10000));
}

TEST_F(EndToEnd, WhatTheUserDrewAfterTheResultIsNeverErased) {
    WriteSettings("[面積]\r\n検索=0\r\n");
    const std::string drawing = folder.Write("decagon.dxf", PolygonDrawing(10, 50));
    StandInProcess cad(folder, "cad", "pick = 1,1\n", drawing);
    ZelkanProcess zelkan;
    ASSERT_NE(zelkan.window, nullptr);
    HWND run = zelkan.RunButton();
    Click(run);
    ASSERT_TRUE(zelkan.WaitCaption(run, "面積表"));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(zelkan.Button("評")) != FALSE; }, 10000));

    // The user draws a line in the CAD after the result.
    {
        Win32CadLink user;
        ASSERT_TRUE(user.Activate());
        user.SendText("LINE\n0,0\n10,10\n\n");
        ASSERT_TRUE(user.WaitPrompt());
    }
    const size_t sent = cad.Received().size();
    ReplaceThroughTheViewers(zelkan);
    HWND message = WaitWindow(zelkan.processId(), kApplicationTitle, 20000);
    ASSERT_NE(message, nullptr);
    EXPECT_NE(TextOf(ChildOf(message, L"Static", {}, 1)).find("置き換えませんでした"), std::string::npos);
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(message) || !IsWindowVisible(message); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(run) != FALSE; }, 10000));
    const std::vector<std::string> log = cad.Received();
    for (size_t n = sent; n < log.size(); ++n) {
        EXPECT_EQ(log[n].find("ERASE"), std::string::npos) << log[n];
        EXPECT_EQ(log[n].find("-INSERT"), std::string::npos) << log[n];
    }
}

// The screen's DPI for the programs started from now on, as a user sets it;
// 96 again when it goes.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) { Set(dpi); }
    ~ScreenDpi() { Set(96); }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;

private:
    static void Set(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
};

// The font the program draws its controls with at that DPI, made the same
// way here (a font handle of another process cannot be read).
class ProgramFonts {
public:
    explicit ProgramFonts(int dpi)
        : regular_(win32::CreateUiFont(12, false, static_cast<UINT>(dpi))),
          bold_(win32::CreateUiFont(12, true, static_cast<UINT>(dpi))) {}
    ~ProgramFonts() {
        DeleteObject(regular_);
        DeleteObject(bold_);
    }
    ProgramFonts(const ProgramFonts&) = delete;
    ProgramFonts& operator=(const ProgramFonts&) = delete;
    HFONT regular() const { return regular_; }
    HFONT bold() const { return bold_; }

private:
    HFONT regular_;
    HFONT bold_;
};

SIZE TextSize(HFONT font, const std::wstring& text, int wrapWidth = 0) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, wrapWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Every text of a window's controls that is wider than the room its
// control gives it (taller, for a label that wraps), described.
std::vector<std::string> ClippedTexts(HWND window, int dpi) {
    std::vector<HWND> children;
    EnumChildWindows(
        window, [](HWND w, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    const auto px = [dpi](int at96) { return MulDiv(at96, dpi, 96); };
    const ProgramFonts fonts(dpi);
    std::vector<std::string> clipped;
    for (HWND child : children) {
        if (!IsWindowVisible(child)) continue;
        wchar_t name[64] = {};
        GetClassNameW(child, name, 64);
        const std::wstring className = name;
        const auto style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        RECT client{};
        GetClientRect(child, &client);
        // Push buttons may turn bold: measured so.
        const bool pushButton = _wcsicmp(name, L"Button") == 0 && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
        HFONT font = pushButton ? fonts.bold() : fonts.regular();
        const auto check = [&](const std::wstring& text, int room) {
            if (text.empty()) return;
            const int width = TextSize(font, text).cx;
            if (width > room)
                clipped.push_back(WideToUtf8(className) + " \"" + WideToUtf8(text) + "\": " + std::to_string(width) +
                                  " px in " + std::to_string(room));
        };
        const std::wstring text = Utf8ToWide(TextOf(child));
        if (_wcsicmp(name, L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_LEFT) {  // wraps: every line must show
                const SIZE wrapped = TextSize(font, text, client.right);
                if (!text.empty() && wrapped.cy > client.bottom)
                    clipped.push_back("Static \"" + WideToUtf8(text) + "\": " + std::to_string(wrapped.cy) +
                                      " px high in " + std::to_string(client.bottom));
            } else {
                check(text, client.right);
            }
        } else if (_wcsicmp(name, L"Button") == 0) {
            const DWORD type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX) check(text, client.right - px(12));
            else if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                check(text, client.right - px(16));
            else check(text, client.right - px(6));
        } else if (_wcsicmp(name, L"Edit") == 0) {
            check(text, client.right - px(4));
        } else if (_wcsicmp(name, L"ComboBox") == 0) {
            const LRESULT count = SendMessageW(child, CB_GETCOUNT, 0, 0);
            const auto dropped = static_cast<int>(SendMessageW(child, CB_GETDROPPEDWIDTH, 0, 0));
            for (LRESULT n = 0; n < count; ++n) {
                wchar_t item[256] = {};
                if (SendMessageW(child, CB_GETLBTEXTLEN, n, 0) >= 256) continue;
                SendMessageW(child, CB_GETLBTEXT, n, reinterpret_cast<LPARAM>(item));
                check(item, std::max(dropped, static_cast<int>(client.right)) - px(4));  // in the drop list
                check(item, client.right - GetSystemMetrics(SM_CXVSCROLL) - px(4));        // when chosen
            }
        }
    }
    return clipped;
}

void SetTextOf(HWND control, const wchar_t* text) { SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)); }

TEST_F(EndToEnd, NoTextIsCutOffAtAnyDpi) {
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE("DPI " + std::to_string(dpi));
        ScreenDpi screen(static_cast<DWORD>(dpi));
        ZelkanProcess zelkan;
        ASSERT_NE(zelkan.window, nullptr);
        // The longest values the panel shows: a seven-digit area, seven-digit
        // counts, the search position, the longest status text.
        SetTextOf(zelkan.Static(0), L"9999999.999");
        SetTextOf(zelkan.Static(1), L"9999999");
        SetTextOf(zelkan.Static(3), L"99:9999:99:99999");
        SetTextOf(zelkan.Static(4), Utf8ToWide(kMemoryFullMessage).c_str());
        SetTextOf(ChildOf(zelkan.window, L"Edit"), L"10,000");
        for (const std::string& c : ClippedTexts(zelkan.window, dpi)) ADD_FAILURE() << "main window: " << c;
        SetTextOf(zelkan.Static(1), L"-9999.99");
        SetTextOf(zelkan.Static(3), L"99999:9999999");
        for (const std::string& c : ClippedTexts(zelkan.window, dpi)) ADD_FAILURE() << "main window: " << c;

        Click(zelkan.SettingsButton());
        HWND dialog = WaitWindow(zelkan.processId(), "三斜条件設定", 10000);
        ASSERT_NE(dialog, nullptr);
        SetTextOf(ChildOf(dialog, L"Edit", {}, 0), L"10,000");
        SetTextOf(ChildOf(dialog, L"Edit", {}, 1), L"10,000");
        SetTextOf(ChildOf(dialog, L"Edit", {}, 14), L"999999");
        for (const std::string& c : ClippedTexts(dialog, dpi)) ADD_FAILURE() << "settings dialog: " << c;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(dialog); }, 10000));
    }
}

TEST_F(EndToEnd, NoTextOfTheViewersOrTheNoticeIsCutOffAtAnyDpi) {
    const std::string decagon = folder.Write("decagon.dxf", PolygonDrawing(10, 50));
    for (const int dpi : {96, 120, 144}) {
        SCOPED_TRACE("DPI " + std::to_string(dpi));
        ScreenDpi screen(static_cast<DWORD>(dpi));
        {
            WriteSettings("[面積]\r\n検索=0\r\n");
            StandInProcess cad(folder, "cad" + std::to_string(dpi), "pick = 1,1\n", decagon);
            ZelkanProcess zelkan;
            ASSERT_NE(zelkan.window, nullptr);
            Click(zelkan.RunButton());
            ASSERT_TRUE(zelkan.WaitCaption(zelkan.RunButton(), "面積表"));
            HWND evaluate = zelkan.Button("評");
            ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(evaluate) != FALSE; }, 10000));
            Click(evaluate);
            HWND thumbnails = WaitWindow(zelkan.processId(), "三斜候補リストサムネイル", 10000);
            ASSERT_NE(thumbnails, nullptr);
            // The longest values: seven-digit counts and areas.
            SetTextOf(ChildOf(thumbnails, L"Static", {}, 0), L"総候補数:9999999");
            SetTextOf(ChildOf(thumbnails, L"Static", {}, 1), L"座標面計値:9999999.999");
            SetTextOf(ChildOf(thumbnails, L"Static", {}, 2), L"面積最大値:9999999.999999");
            SetTextOf(ChildOf(thumbnails, L"Static", {}, 3), L"面積最小値:9999999.999999");
            SetTextOf(ChildOf(thumbnails, L"Static", {}, 7), L"ページ 99999 / 99999");
            for (const std::string& c : ClippedTexts(thumbnails, dpi)) ADD_FAILURE() << "thumbnails: " << c;
            RECT client{};
            GetClientRect(thumbnails, &client);
            const double scale = client.right / 740.0;
            PostMessageW(thumbnails, WM_LBUTTONDBLCLK, MK_LBUTTON,
                         MAKELPARAM(static_cast<int>(60 * scale), static_cast<int>(100 * dpi / 96)));
            HWND list = WaitWindow(zelkan.processId(), "三斜候補", 10000);
            ASSERT_NE(list, nullptr);
            SetTextOf(ChildOf(list, L"Static", {}, 0), L"総候補数:9999999");
            SetTextOf(ChildOf(list, L"Static", {}, 1), L"面積最大値:9999999.999999");
            SetTextOf(ChildOf(list, L"Static", {}, 2), L"面積最小値:9999999.999999");
            SetTextOf(ChildOf(list, L"Static", {}, 3), L"座標面計値:9999999.999999");
            SetTextOf(ChildOf(list, L"Static", {}, 4), L"不一致率:-9999.9999");
            SetTextOf(ChildOf(list, L"Static", {}, 5), L"999.99");
            for (int n = 0; n < 3; ++n) SetTextOf(ChildOf(list, L"Edit", {}, n), L"99,99,99");
            for (const std::string& c : ClippedTexts(list, dpi)) ADD_FAILURE() << "list: " << c;
            // Both windows inside the screen.
            for (HWND w : {thumbnails, list}) {
                RECT r{};
                GetWindowRect(w, &r);
                EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= GetSystemMetrics(SM_CXSCREEN) &&
                            r.bottom <= GetSystemMetrics(SM_CYSCREEN))
                    << r.left << "," << r.top << " " << r.right << "," << r.bottom;
            }
            PostMessageW(list, WM_CLOSE, 0, 0);
            ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }, 10000));
        }
        {
            // The notice, with the longest message it shows.
            WriteSettings("[面積]\r\n検索=2\r\n");
            StandInProcess cad(folder, "notice" + std::to_string(dpi), kTwoPicks,
                               test::FixturePath("cad/two_parcels_on_a_block.dxf"));
            ZelkanProcess zelkan;
            ASSERT_NE(zelkan.window, nullptr);
            Click(zelkan.RunButton());
            HWND notice = WaitWindow(zelkan.processId(), "三斜自動", 120000);
            ASSERT_NE(notice, nullptr);
            for (const std::string& c : ClippedTexts(notice, dpi)) ADD_FAILURE() << "notice: " << c;
            Click(ChildOf(notice, L"Button", "確　認"));
            ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(notice); }, 10000));
        }
    }
}

}  // namespace
}  // namespace zelkan
