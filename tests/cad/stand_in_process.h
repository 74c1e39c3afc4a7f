#pragma once
// The stand-in CAD as a separate Windows process, for the tests of the link
// to a running CAD.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "support/test_files.h"

namespace zelkan::test {

class StandInProcess {
public:
    // Starts the stand-in with the scenario text and a drawing file ("-" for
    // none) and waits until its windows exist.
    StandInProcess(const ScratchFolder& folder, std::string_view name, std::string_view scenario,
                   const std::string& drawing = "-");
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    bool started() const { return started_; }
    DWORD processId() const { return process_.dwProcessId; }
    // The command texts it received, in order.
    std::vector<std::string> Received() const;

private:
    std::string log_;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

// The top-level window of that process with that title, or none.
HWND WindowOf(DWORD processId, std::string_view title);

}  // namespace zelkan::test
