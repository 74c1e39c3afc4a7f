#pragma once
// The main window's logic (TZelkanF): the run button's measuring workflow
// against the CAD, the settings/stop button, the progress timer, start and
// close. It works on the window through MainWindowView and on the CAD
// through CadChannel, so that every rule is tested without either.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/application_title.h"
#include "app/main_window_view.h"
#include "app/measurement_run.h"
#include "app/window_search_control.h"
#include "boundary/drawing_number_scan.h"
#include "cad/cad_channel.h"
#include "cad/cad_procedures.h"
#include "records/run_names.h"
#include "settings/sansha_settings.h"

namespace zelkan {

inline constexpr const char* kMainCaption = "三斜分割";
inline constexpr const char* kReadyCaption = "三斜自動";
inline constexpr const char* kWaitingCaption = "指示待ち";
inline constexpr const char* kComputingCaption = "計算中";
inline constexpr const char* kTableCaption = "面積表";
inline constexpr const char* kSettingsCaption = "設定";
inline constexpr const char* kStopCaption = "中断";
inline constexpr const char* kStoppingCaption = "断中";
// The coordinate-area label before a run has computed the coordinate area.
inline constexpr const char* kAreaCaption = "座標面計値";
inline constexpr const char* kClickHint = "筆の内側をクリックしてください";
// The panel's status line when the user's click was not waited for to the end.
inline constexpr const char* kClickWaitEndedStatus = "クリック待ちを終えました。もう一度押してください";
// The CAD closed while the panel waited for the click in it.
inline constexpr const char* kCadGoneDuringClickMessage = "クリックを待つ間に CAD が終了しました。CAD を起動してから、もう一度押してください";

// Which windows beside the main one exist in this build: the buttons that
// open a missing one stay disabled.
struct MainWindowFeatures {
    bool settingsDialog = false;
    bool viewers = false;
};

class TZelkanF : private SearchDisplay, private RunObserver {
public:
    TZelkanF(MainWindowView& view, CadChannel& cad, LocalClock& localClock, MillisecondClock& clock,
             std::string workFolder, MainWindowFeatures features = {});
    ~TZelkanF() override;
    TZelkanF(const TZelkanF&) = delete;
    TZelkanF& operator=(const TZelkanF&) = delete;

    // Settings loaded, the search-mode box and the buttons set.
    void FormCreate();
    // Asks a running search to stop. True when the window may close now;
    // during a run it closes once the run has unwound.
    bool FormCloseQuery();
    // Writes the search mode to the settings file.
    void FormClose();

    void RunButtonClick();  // 三斜自動 / 面積表
    void SettingsButtonClick();  // 設定 / 中断
    void ResetNumberButtonClick();  // 初期
    void EvaluationButtonClick();  // 評
    void HighestNumberButtonClick();  // 最大
    void ProgressTimerTick();

    bool StopFlag = false;

    const MeasurementState& state() const { return *state_; }
    MeasurementState& state() { return *state_; }
    const SanshaSettings& settings() const { return settings_; }
    const std::string& runScript() const { return runScript_; }
    const std::string& iniFile() const { return iniFile_; }
    bool running() const { return panel_.busy; }
    // The evaluation button as the workflow sets it (shown enabled only where the viewers exist).
    bool evaluationEnabled() const { return panel_.viewersAllowed; }

private:
    void LoadSettings();
    void Press();
    void AreaTablePress();
    // The coordinate-method table beside the area table the user just placed.
    void PlaceCoordinateTable(const std::string& drawing);
    void MeasurementRun();
    void ClearRunValues();
    std::optional<Ucs> AwaitParcelClick();
    bool ReadParcelBoundary(const Ucs& ucs, RunRequest& request, RunResult& result);
    void ShowRunOutcome(const RunResult& result);
    // False, with a message saying why, when the CAD or its command line is gone.
    bool InsertResult(const std::string& resultDrawing);
    // 評's replacement of the drawn division by the one the viewers accept;
    // false when nothing was replaced (the drawn division then stays current).
    bool ReplaceDrawnDivision();
    void NumberAfterDrawing();
    bool LastObjectIsDrawnResult(const std::string& script);
    void Pump();
    // Whether the CAD runs and its command line was found; when not, the
    // status line says which.
    bool CadFound();
    bool CommandLineFound(bool found);
    void Recover(const std::string& message);
    // Runs a command of the window unless one is under way, and closes the
    // window afterwards when that was asked meanwhile.
    template <typename Command>
    void OneCommandAtATime(Command command);
    // Runs a command that talks to the CAD with the run button resting; an
    // error goes to onError and leaves the window usable.
    template <typename Command, typename OnError>
    void Guarded(Command command, OnError onError);
    // Where the run stands: what the run button does next (its caption), and
    // while the search runs, the settings button stops it.
    enum class RunStep { Ready, Waiting, Computing, Searching, Table };
    void ShowRunStep(RunStep step);
    void SetEvaluationEnabled(bool enabled);
    void RestoreSettingsButton();

    // SearchDisplay
    void ProcessMessages() override;
    void ShowDivisionCount(int32_t trisetnum) override;
    // RunObserver
    void AreaComputed(double menkei) override;
    void SearchStarting(int32_t tritempnum) override;
    void SearchEnded(const RunResult& result) override;
    void Evaluated(const RunResult& result) override;

    MainWindowView& view_;
    CadChannel& cad_;
    LocalClock& localClock_;
    MillisecondClock& clock_;
    std::string workFolder_;
    std::string iniFile_;
    MainWindowFeatures features_;
    SanshaSettings settings_;
    std::unique_ptr<MeasurementState> state_;
    std::unique_ptr<WindowSearchControl> control_;
    std::string runScript_;
    SearchMode searchMode_ = SearchMode::Shape;
    // The window's state, in one place.
    struct PanelState {
        RunStep step = RunStep::Ready;
        bool busy = false;            // a command of the window is under way
        bool closeRequested = false;  // the window closes once it has ended
        bool viewersAllowed = false;  // 評: the division drawn is one the evaluation chose
    };
    PanelState panel_;
    DrawingNumberScan scan_;
    // The block name of the result this window inserted last, while it may
    // still be the drawing's last object.
    std::string drawnResult_;
};

// The No box's range, as its tooltip and spinner give it.
inline constexpr int32_t kMaxNoBox = 10000;
inline constexpr const char* kNoOutOfRangeMessage = "No は 1 から 10,000 の番号にしてください";

// The first triangle number the No box holds: 1 for a text that is no
// number; none for a number outside 1 to kMaxNoBox, which is refused.
std::optional<int32_t> FirstNumberOfBox(std::string_view text);

// Why a run's result is not in the drawing: what was not found.
std::string ResultNotInsertedMessage(const std::string& what);

// Why 評 replaced nothing: the drawing's last object is not the result drawn.
std::string NotReplacedMessage(const std::string& drawnResult);

// "%6.3f" of the coordinate area and "%4.2f" of the evaluation value x 100,
// through the exact formatter.
std::string AreaLabel(double menkei);
std::string EvaluationLabel(double evalDiff);

// Division g's evaluation value: its area's distance from the coordinate area.
double DistanceFromArea(const MeasurementState& state, const SanshaSettings& settings, int32_t g);

}  // namespace zelkan
