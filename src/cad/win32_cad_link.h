#pragma once
// The command-line channel to a running CAD through its windows: WM_COPYDATA
// to the main frame, the command line's panes read with WM_GETTEXT, the
// history copied through the clipboard. Window handles are cached and
// searched again when they have died.
#include <windows.h>

#include "cad/cad_channel.h"

namespace zelkan {

class Win32CadLink : public CadChannel {
public:
    Win32CadLink() = default;
    Win32CadLink(const Win32CadLink&) = delete;
    Win32CadLink& operator=(const Win32CadLink&) = delete;
    ~Win32CadLink() override;

    HWND AcadFindFrame();
    HWND AcadFindTextWindow();
    HWND AcadFindHistoryPane();
    HWND AcadFindInputPane();
    // The history through the clipboard; what the user had there is put back.
    std::string AcadCopyHistory();

    bool IsAlive() override;
    bool Activate() override;
    std::string ReadTextHistory() override;
    void SendText(std::string_view text) override;
    std::string ReadPrompt() override;
    bool WaitPrompt() override;
    std::string LastHistoryLine() override;
    void ProcessMessages() override;
    void SleepMs(int milliseconds) override;
    void ShowHint(std::string_view text) override;

private:
    void SearchTextWindow();
    void SearchPanes(HWND parent);
    HWND FindPane(HWND& pane);
    HWND ClipboardOwner();

    HWND mainFrame_ = nullptr;
    DWORD cadProcessId_ = 0;
    HWND textWindow_ = nullptr;
    HWND textHistoryPane_ = nullptr;
    HWND floatingCommandLine_ = nullptr;
    HWND inputPane_ = nullptr;
    HWND historyPane_ = nullptr;
    HWND clipboardOwner_ = nullptr;
};

// Paints text on the window's bottom-left corner, black on light red, until
// the window repaints itself. Nothing for no window.
void AcadShowHint(HWND window, std::string_view text);

// The whole text of a window (WM_GETTEXTLENGTH, then WM_GETTEXT), in UTF-8.
std::string ReadWindowText(HWND window);

}  // namespace zelkan
