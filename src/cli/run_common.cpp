#include "cli/run_common.h"

#include <csignal>
#include <cstdio>
#include <utility>

#include "app/registration_run.h"
#include "records/evaluation_log.h"
#include "records/run_names.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "registration/registration_settings.h"

namespace zelkan::cli {

std::atomic<int> interrupts{0};
std::atomic<int> interruptsHandled{1};

extern "C" void OnInterrupt(int) {
    // Windows resets the handler before it calls it.
    std::signal(SIGINT, ++interrupts < interruptsHandled ? OnInterrupt : SIG_DFL);
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
#ifdef _WIN32
        folder += '\\';
#else
        folder += '/';
#endif
    }
    return folder;
}

void Fail(const std::string& message) { std::fprintf(stderr, "zelkan-cli: %s\n", message.c_str()); }

void RemoveRunFiles(const std::string& runScript, const std::string& svg) {
    DeleteRunDrawings(runScript);
    const LogPaths logs = DeriveLogPaths(runScript);
    for (const std::string* name : {&logs.xyFile, &logs.canFile, &logs.memFile, &logs.triFile, &logs.trwFile})
        DeleteFileQuietly(*name);
    if (!svg.empty()) DeleteFileQuietly(svg);
}

RegistrationInput RegistrationInputOfRun(const MeasureOptions& o, const SanshaSettings& settings,
                                         const ParcelRecord* parcel) {
    RegistrationInput input = parcel != nullptr
                                  ? ParcelRegistrationInput(settings, parcel->precisionClass, parcel->registeredArea)
                                  : RegistrationInputOf(settings);
    if (o.precision) input.precision = PrecisionClassOf(*o.precision);
    if (o.registered) input.registeredArea = ParseDecimalText(*o.registered);
    return input;
}

RegistrationFigures WriteRegistration(const RegistrationInput& input, const SanshaSettings& settings,
                                      const std::vector<CoordinateCorner>& corners, const std::string& runScript,
                                      const std::string& sanshaAreaText, std::vector<std::string>& filesWritten) {
    const RegistrationFigures f = ParcelRegistration(corners, settings, sanshaAreaText, input);
    for (std::string& name : WriteRegistrationFiles(f, settings, runScript)) filesWritten.push_back(std::move(name));
    return f;
}

int ExitCodeOf(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Drawn: return kExitOk;
        case RunOutcome::NoBoundary: return kExitInput;
        case RunOutcome::NotFound:
        case RunOutcome::NotPlaced:
        case RunOutcome::NotCovered: break;
    }
    return kExitNothing;
}

std::string OutcomeText(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Drawn: return "計測しました";
        case RunOutcome::NoBoundary: return kNoBoundaryMessage;
        case RunOutcome::NotFound: return result.calcFailed ? kCalcFailedMessage : kNotFoundMessage;
        case RunOutcome::NotPlaced: return "三角形を置けませんでした";
        case RunOutcome::NotCovered: return NotCoveredMessage(result.cover);
    }
    return {};
}

}  // namespace zelkan::cli
