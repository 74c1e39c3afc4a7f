// zelkan.exe: the measuring panel beside the CAD.
#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window_win32.h"
#include "app/zelkan_form.h"
#include "geometry/errors.h"
#include "geometry/wide_text.h"
#include "records/work_folder.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    std::string workFolder;
    try {
        workFolder = zelkan::SetUpWorkFolder();
    } catch (const zelkan::InputOutputError& e) {
        MessageBoxW(nullptr, zelkan::Utf8ToWide(e.what()).c_str(), zelkan::Utf8ToWide(zelkan::kApplicationTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    zelkan::win32::MainWindow window(instance, workFolder);
    if (!window.Create(show)) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsWindow(window.window()) && IsDialogMessageW(window.window(), &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
