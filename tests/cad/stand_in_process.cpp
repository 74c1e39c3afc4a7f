#include "cad/stand_in_process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "command_interpreter.h"
#include "geometry/file_io.h"
#include "geometry/wide_text.h"

namespace zelkan::test {

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

StandInProcess::StandInProcess(const ScratchFolder& folder, std::string_view name, std::string_view scenario,
                               const std::string& drawing)
    : log_(folder.File(std::string(name) + ".log")) {
    const std::string scenarioFile = folder.Write(std::string(name) + ".scenario", scenario);
    std::wstring commandLine = L"\"" + Utf8ToWide(ZELKAN_STAND_IN_EXE) + L"\" \"" + Utf8ToWide(scenarioFile) + L"\" \"" +
                               Utf8ToWide(drawing) + L"\" \"" + Utf8ToWide(log_) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        ADD_FAILURE() << "the stand-in did not start: " << GetLastError();
        return;
    }
    // The log appears once the windows exist.
    for (int wait = 0; wait < 600 && !started_; ++wait) {
        std::error_code ec;
        started_ = std::filesystem::exists(PathFromUtf8(log_), ec);
        if (!started_) {
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) break;
        }
    }
    EXPECT_TRUE(started_) << "the stand-in's windows did not appear";
}

StandInProcess::~StandInProcess() {
    if (process_.hProcess == nullptr) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

std::vector<std::string> StandInProcess::Received() const {
    try {
        return Lines(ReadFileBytes(log_));
    } catch (const std::exception&) {
        return {};
    }
}

HWND WindowOf(DWORD processId, std::string_view title) {
    struct Search {
        DWORD processId;
        std::wstring title;
        HWND found = nullptr;
    } search{processId, Utf8ToWide(title)};
    EnumWindows(
        [](HWND w, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            wchar_t buffer[256] = {};
            InternalGetWindowText(w, buffer, 256);
            if (process != s.processId || s.title != buffer) return TRUE;
            s.found = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace zelkan::test
