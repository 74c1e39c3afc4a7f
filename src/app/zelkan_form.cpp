#include "app/zelkan_form.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <utility>

#include "app/parcel_pick.h"
#include "app/registration_run.h"
#include "boundary/dxf_last_object.h"
#include "cad/boundary_answer.h"
#include "cad/cad_procedures.h"
#include "engine/division_cover.h"
#include "engine/evaluation.h"
#include "engine/memory_budget.h"
#include "geometry/errors.h"
#include "geometry/exact_format.h"
#include "geometry/text_helpers.h"
#include "settings/ini_file.h"

namespace zelkan {

std::string AreaLabel(double menkei) { return FormatFixedWidth(6, 3, menkei); }

std::string EvaluationLabel(double evalDiff) {
    return FormatFixedWidth(4, 2, static_cast<long double>(evalDiff) * 100);
}

TZelkanF::TZelkanF(MainWindowView& view, CadChannel& cad, LocalClock& localClock, MillisecondClock& clock,
                   std::string workFolder, MainWindowFeatures features)
    : view_(view),
      cad_(cad),
      localClock_(localClock),
      clock_(clock),
      workFolder_(std::move(workFolder)),
      iniFile_(workFolder_ + kSettingsFileName),
      features_(features),
      state_(std::make_unique<MeasurementState>()) {}

TZelkanF::~TZelkanF() = default;

void TZelkanF::LoadSettings() {
    zelkan::LoadSettings(IniFile(iniFile_), settings_);
    searchMode_ = settings_.searchMode;
}

void TZelkanF::FormCreate() {
    try {
        LoadSettings();
    } catch (const InputOutputError& e) {
        view_.ShowMessage(e.what());  // the defaults stay
    }
    view_.SetSearchModeIndex(ModeNumber(settings_.searchMode));
    ShowRunStep(RunStep::Ready);
    view_.SetBold(MainControl::RunButton, true);
    RestoreSettingsButton();
    SetEvaluationEnabled(false);
}

bool TZelkanF::FormCloseQuery() {
    StopFlag = true;
    if (!panel_.busy) return true;
    panel_.closeRequested = true;  // the command under way closes the window when it has unwound
    return false;
}

void TZelkanF::FormClose() {
    try {
        IniFile ini(iniFile_);
        WriteSearchMode(ini, SearchModeOf(view_.SearchModeIndex()));
        ini.Save();
    } catch (const InputOutputError& e) {
        view_.ShowMessage(e.what());
    }
}

void TZelkanF::SettingsButtonClick() {
    view_.SetEnabled(MainControl::SettingsButton, false);
    if (panel_.step == RunStep::Searching) {
        StopFlag = true;
        view_.SetText(MainControl::SettingsButton, kStoppingCaption);
        view_.SetEnabled(MainControl::SettingsButton, true);
        return;
    }
    // A press reads the settings as it goes: they do not change under it.
    if (features_.settingsDialog && !panel_.busy) {
        view_.ShowSettingsDialog();
        try {
            LoadSettings();
        } catch (const InputOutputError& e) {
            view_.ShowMessage(e.what());
        }
    }
    view_.SetEnabled(MainControl::SettingsButton, features_.settingsDialog);
}

void TZelkanF::ResetNumberButtonClick() { view_.SetText(MainControl::FirstNumberBox, "1"); }

template <typename Command>
void TZelkanF::OneCommandAtATime(Command command) {
    if (panel_.busy) return;
    panel_.busy = true;
    command();
    panel_.busy = false;
    if (panel_.closeRequested) view_.Close();
}

template <typename Command, typename OnError>
void TZelkanF::Guarded(Command command, OnError onError) {
    // The run button rests while the command talks to the CAD: a press now
    // would be lost.
    view_.SetEnabled(MainControl::RunButton, false);
    view_.SetText(MainControl::Status, "");
    try {
        command();
    } catch (const RunError& e) {
        onError(e.what());
    }
    view_.SetEnabled(MainControl::RunButton, true);
}

void TZelkanF::EvaluationButtonClick() {
    if (!panel_.viewersAllowed) return;
    OneCommandAtATime([this] {
        Guarded(
            [this] {
                // Whatever is not drawn into the CAD leaves the drawn division
                // current, so that the area table still belongs to the drawing.
                CurrentDivisionGuard drawn(state_->tables);
                if (ReplaceDrawnDivision()) drawn.Keep();
            },
            [this](const std::string& message) { view_.ShowMessage(message); });
    });
}

bool TZelkanF::ReplaceDrawnDivision() {
    const std::optional<int32_t> chosen = view_.ShowThumbnails(*state_, settings_, searchMode_);
    if (!chosen) return false;
    const std::optional<int32_t> accepted = view_.ShowDivisionList(*state_, settings_, *chosen);
    if (!accepted) return false;
    if (!CadFound() || !CommandLineFound(!cad_.ReadPrompt().empty())) return false;
    // A division stored part-way (a search cut short) leaves part of the
    // parcel out: it never replaces a drawn result.
    const DivisionCover cover = CheckDivisionCover(state_->tables, settings_.measureScaleDenom);
    if (!cover.covers) {
        view_.ShowMessage(NotCoveredMessage(cover));
        return false;
    }
    const std::string script = MakeRunScript(workFolder_, localClock_);
    // Only the result this window inserted is erased: whatever the user
    // drew after it stays, and then nothing is replaced.
    if (!LastObjectIsDrawnResult(script)) {
        view_.ShowMessage(NotReplacedMessage(drawnResult_));
        return false;
    }
    cad_.SendText(EraseLastCommand(true));
    drawnResult_.clear();
    const std::string drawing = WriteCurrentResultDrawing(*state_, settings_, script);
    AcadRunCommand(cad_, FileDialogCommand(false));
    cad_.SendText(InsertCommand(drawing, true));
    AcadRunCommand(cad_, FileDialogCommand(true));
    drawnResult_ = BlockNameOfFile(drawing);
    // The panel's evaluation value belongs to the division now drawn.
    view_.SetText(MainControl::DivisionsLabel, EvaluationLabel(DistanceFromArea(*state_, settings_, *accepted)));
    return true;
}

// Exported through a script of its own, as the boundary is.
bool TZelkanF::LastObjectIsDrawnResult(const std::string& script) {
    if (drawnResult_.empty()) return false;
    AcadWriteDxfOutScript(script, "last");
    AcadRunScript(cad_, script);
    cad_.WaitPrompt();
    const std::optional<std::string> block = LastInsertedBlock(DeriveName(script, ".dxf"));
    return block && SameBlockName(*block, drawnResult_);
}

// As the evaluation measures the division it selects: its area's distance
// from the coordinate area.
double DistanceFromArea(const MeasurementState& state, const SanshaSettings& settings, int32_t g) {
    const TTriSum& sum = state.tables.trisets.sum(g);
    return std::fabs((settings.useHeron ? sum.heronArea : sum.sanshaArea) - state.tables.menkei);
}

std::string NotReplacedMessage(const std::string& drawnResult) {
    return "図面の最後のオブジェクトが三斜の結果（" + (drawnResult.empty() ? std::string("なし") : drawnResult) +
           "）ではないため、置き換えませんでした。結果のあとに描いたものを消してから、もう一度選んでください";
}

void TZelkanF::HighestNumberButtonClick() {
    OneCommandAtATime([this] {
        Guarded([this] { NumberAfterDrawing(); }, [this](const std::string& message) { view_.ShowMessage(message); });
    });
}

// The No box takes the number after the highest triangle number in the drawing.
void TZelkanF::NumberAfterDrawing() {
    if (!CadFound() || !CommandLineFound(!cad_.ReadPrompt().empty())) return;
    const std::string script = MakeRunScript(workFolder_, localClock_);
    AcadWriteDxfOutScript(script, "all");
    AcadRunScript(cad_, script);
    int32_t drawingMaxNo = 1;
    ScanDrawingNumbers(scan_, DeriveName(script, ".dxf"), settings_.layerText, drawingMaxNo);
    view_.SetText(MainControl::FirstNumberBox, std::to_string(drawingMaxNo + 1));
}

void TZelkanF::ProgressTimerTick() {
    if (!control_) return;
    const SearchState& s = control_->lastState();
    view_.SetText(MainControl::ProgressLabel, std::to_string(s.hhh) + ":" + std::to_string(s.curpos - 1) + ":" +
                                           std::to_string(s.curstart) + ":" +
                                           std::to_string(state_->tables.tritempnum));
}

void TZelkanF::RunButtonClick() {
    OneCommandAtATime([this] {
        Guarded([this] { Press(); }, [this](const std::string& message) { Recover(message); });
        control_.reset();
    });
}

// A run that ended in an error leaves the window ready for the next one.
void TZelkanF::Recover(const std::string& message) {
    view_.SetTimerEnabled(false);
    view_.Restore();
    ShowRunStep(RunStep::Ready);
    view_.SetBold(MainControl::RunButton, true);
    RestoreSettingsButton();
    view_.ShowMessage(message);
}

void TZelkanF::ShowRunStep(RunStep step) {
    static constexpr const char* kCaptions[] = {kReadyCaption, kWaitingCaption, kComputingCaption,
                                                kComputingCaption, kTableCaption};
    panel_.step = step;
    view_.SetText(MainControl::RunButton, kCaptions[static_cast<int>(step)]);
}

void TZelkanF::RestoreSettingsButton() {
    if (panel_.step == RunStep::Searching) panel_.step = RunStep::Computing;
    view_.SetText(MainControl::SettingsButton, kSettingsCaption);
    view_.SetBold(MainControl::SettingsButton, false);
    view_.SetEnabled(MainControl::SettingsButton, features_.settingsDialog);
}

void TZelkanF::SetEvaluationEnabled(bool enabled) {
    panel_.viewersAllowed = enabled;
    view_.SetEnabled(MainControl::EvaluationButton, enabled && features_.viewers);
}

bool TZelkanF::CadFound() {
    if (cad_.Activate()) return true;
    view_.SetText(MainControl::Status, kCadNotFoundStatus);
    return false;
}

bool TZelkanF::CommandLineFound(bool found) {
    if (!found) view_.SetText(MainControl::Status, kCommandLineNotFoundStatus);
    return found;
}

void TZelkanF::Pump() {
    view_.ProcessMessages();
    view_.SleepMs(1);
}

std::optional<int32_t> FirstNumberOfBox(std::string_view text) {
    const std::string number = WithoutCommas(Trimmed(text));
    const std::string_view digits = std::string_view(number).substr(!number.empty() && number[0] == '-' ? 1 : 0);
    const bool isNumber = !digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!isNumber) return 1;  // the box takes digits only: what else it holds counts as no number
    const int32_t value = ParseSettingInteger(number, 0);
    if (digits.size() > 6 || value < 1 || value > kMaxNoBox) return std::nullopt;
    return value;
}

void TZelkanF::Press() {
    if (!CadFound() || !CommandLineFound(!cad_.ReadTextHistory().empty())) return;
    TakeRunRules(*state_, settings_);
    searchMode_ = SearchModeOf(view_.SearchModeIndex());
    runScript_ = MakeRunScript(workFolder_, localClock_);
    DeleteRunDrawings(runScript_);
    if (panel_.step == RunStep::Ready) {
        MeasurementRun();
    } else {
        AreaTablePress();
    }
}

void TZelkanF::AreaTablePress() {
    ShowRunStep(RunStep::Ready);
    SetEvaluationEnabled(false);
    const std::string table = WriteLastRunAreaTable(*state_, settings_, runScript_);
    // Every file is written before the panel gives way to the CAD.
    const std::vector<std::string> beside =
        settings_.zahyoHyo ? WriteRegistrationFiles(LastRunRegistration(*state_, settings_), settings_, runScript_)
                           : std::vector<std::string>{};
    view_.Minimize();
    cad_.SendText(InsertCommand(table, false));  // the CAD asks the user where the table goes
    if (!beside.empty()) PlaceCoordinateTable(beside.front());
    view_.Restore();
}

// With the same click: the CAD keeps the point the area table went to.
// Nothing goes beside a placing that was cancelled or never came.
void TZelkanF::PlaceCoordinateTable(const std::string& drawing) {
    if (!cad_.WaitPrompt() || cad_.LastHistoryLine().find("キャンセル") != std::string::npos) return;
    const double textHeight = StrToReal(settings_.kyuMojiDaka) * settings_.scaleDenom;
    const std::optional<std::string> point =
        PointRightOf(AcadGetVar(cad_, "LASTPOINT "), AreaTableWidth(settings_) + 2 * textHeight);
    if (!point) return;
    cad_.SendText(InsertAtCommand(drawing, *point));
    cad_.WaitPrompt();
}

void TZelkanF::MeasurementRun() {
    const std::optional<int32_t> noStart = FirstNumberOfBox(view_.Text(MainControl::FirstNumberBox));
    if (!noStart) {
        view_.ShowMessage(kNoOutOfRangeMessage);
        return;
    }
    ResetForRun(state_->tables);
    ClearRunValues();
    const std::optional<Ucs> ucs = AwaitParcelClick();
    if (!ucs) return;
    RunRequest request;
    RunResult result;
    if (!ReadParcelBoundary(*ucs, request, result)) return;
    request.noStart = *noStart;
    request.bestForViewers = true;
    control_ = std::make_unique<WindowSearchControl>(static_cast<SearchDisplay&>(*this), clock_, StopFlag);
    ComputeRun(*state_, settings_, request, *control_, clock_, result, static_cast<RunObserver*>(this));
    if (panel_.closeRequested) {
        // A close is a cancel: nothing more goes to the CAD.
        ShowRunStep(RunStep::Ready);
        return;
    }
    ShowRunOutcome(result);
}

// Nothing on the panel may belong to the run before.
void TZelkanF::ClearRunValues() {
    SetEvaluationEnabled(false);
    view_.SetText(MainControl::CoordinateAreaLabel, kAreaCaption);
    view_.SetText(MainControl::DivisionsLabel, "");
    view_.SetText(MainControl::ProgressLabel, "");
    view_.SetText(MainControl::Status, "");
}

// The user's click inside the parcel, with the panel out of the way; the
// CAD's coordinate system then. None when the click was cancelled, never
// came, or the window is closing.
std::optional<Ucs> TZelkanF::AwaitParcelClick() {
    ShowRunStep(RunStep::Waiting);
    view_.ProcessMessages();
    view_.Minimize();
    Pump();
    const Ucs ucs = AcadQueryUcs(cad_);
    cad_.ShowHint(kClickHint);
    cad_.SendText(PointCommand());
    const PromptWait wait = AcadWaitPromptUnless(cad_, [this] { return panel_.closeRequested; });
    const bool cadGone = !cad_.IsAlive();
    const std::string picked = wait == PromptWait::Idle && !cadGone ? cad_.LastHistoryLine() : std::string();
    view_.Restore();
    Pump();
    if (cadGone) {
        view_.SetText(MainControl::Status, kCadNotFoundStatus);
        if (!panel_.closeRequested) view_.ShowMessage(kCadGoneDuringClickMessage);
    } else if (wait != PromptWait::Idle) {
        // The CAD would still wait for the point, and a late click would
        // start nothing here: its prompt is cancelled.
        cad_.SendText("\003");
        if (wait == PromptWait::GaveUp) view_.SetText(MainControl::Status, kClickWaitEndedStatus);
    }
    if (wait != PromptWait::Idle || cadGone || panel_.closeRequested || picked.find("キャンセル") != std::string::npos ||
        picked.find('X') == std::string::npos) {
        ShowRunStep(RunStep::Ready);
        return std::nullopt;
    }
    return ucs;
}

// The boundary around the clicked point, made by the CAD, exported and
// read; the CAD's boundary object erased again. False, with the window
// ready again, when there is none or the window is closing.
bool TZelkanF::ReadParcelBoundary(const Ucs& ucs, RunRequest& request, RunResult& result) {
    const std::string lastPoint = AcadGetVar(cad_, "LASTPOINT ");
    cad_.SendText(BoundaryCommand());
    cad_.SendText(BoundaryPoint(lastPoint));
    AcadWriteDxfOutScript(runScript_, "last");
    AcadRunScript(cad_, runScript_);
    cad_.WaitPrompt();

    request.boundaryDxf = DeriveName(runScript_, ".dxf");
    request.runScript = runScript_;
    request.ucsOrigin = ucs.origin;
    request.ucsXAxis = ucs.xAxis;
    request.ucsYAxis = ucs.yAxis;
    request.searchMode = searchMode_;
    // A click beside every parcel makes no boundary: the last object is
    // then one of the user's, which is neither measured nor erased.
    // A CAD that answers in words not known here is judged by the polyline alone.
    const std::optional<int> made = BoundaryPolylinesMade(cad_.ReadTextHistory());
    if ((made && *made < 1) || !ReadRunBoundary(*state_, settings_, request, result) ||
        !BoundarySurroundsPick(state_->tables, ucs, lastPoint)) {
        state_->tables.xynum = 0;  // nothing of the user's object stays in the tables
        view_.ShowMessage(kNoBoundaryMessage);
        ShowRunStep(RunStep::Ready);
        return false;
    }
    cad_.SendText(EraseLastCommand(false));
    ShowRunStep(RunStep::Computing);
    view_.ProcessMessages();
    cad_.WaitPrompt();
    if (panel_.closeRequested) {
        ShowRunStep(RunStep::Ready);
        return false;
    }
    return true;
}

// The result inserted into the CAD, or why there is none; the next first
// triangle number.
void TZelkanF::ShowRunOutcome(const RunResult& result) {
    if (result.outcome == RunOutcome::NotCovered) {
        // Never inserted: a table that leaves part of the parcel out is no measurement.
        ShowRunStep(RunStep::Ready);
        if (view_.ShowNotice(kReadyCaption, NotCoveredMessage(result.cover))) view_.Beep();
        return;
    }
    // The fast mode does not evaluate; it numbers on as the others do.
    const bool fast = !IsEvaluated(searchMode_);
    if (result.outcome == RunOutcome::Drawn) {
        const bool inserted = InsertResult(DeriveName(runScript_, "res.dxf"));
        // The 地積 and its tolerance where the status line has nothing to say.
        if (inserted && view_.Text(MainControl::Status).empty())
            view_.SetText(MainControl::Status, RegistrationPanelText(LastRunRegistration(*state_, settings_)));
        // The viewers and the area table belong to a division in the drawing.
        SetEvaluationEnabled(inserted && !fast);
        ShowRunStep(inserted ? RunStep::Table : RunStep::Ready);
        if (!inserted) return;  // a division not drawn used no numbers
    } else if (fast) {
        ShowRunStep(RunStep::Ready);
    } else {
        ShowRunStep(RunStep::Ready);
        view_.SetText(MainControl::DivisionsLabel, "");  // no division, no evaluation value
        if (result.calcFailed) view_.ShowMessage(kCalcFailedMessage);
        if (view_.ShowNotice(kReadyCaption, kNotFoundMessage)) view_.Beep();
    }
    if (settings_.noMode != NumberingMode::Fixed)
        view_.SetText(MainControl::FirstNumberBox, std::to_string(result.nextNoStart));
}

bool TZelkanF::InsertResult(const std::string& resultDrawing) {
    // The CAD may have gone during the search. Looked for without bringing
    // it to the front: the panel stays in view after the run.
    if (!cad_.IsAlive()) {
        view_.SetText(MainControl::Status, kCadNotFoundStatus);
        view_.ShowMessage(ResultNotInsertedMessage(kCadNotFoundStatus));
        return false;
    }
    if (!CommandLineFound(!cad_.ReadPrompt().empty())) {
        view_.ShowMessage(ResultNotInsertedMessage(kCommandLineNotFoundStatus));
        return false;
    }
    AcadRunCommand(cad_, FileDialogCommand(false));
    cad_.SendText(InsertCommand(resultDrawing, true));
    cad_.WaitPrompt();
    AcadRunCommand(cad_, FileDialogCommand(true));
    drawnResult_ = BlockNameOfFile(resultDrawing);
    return true;
}

std::string ResultNotInsertedMessage(const std::string& what) {
    return what + "。分割の結果を図面に挿入できませんでした";
}

void TZelkanF::ProcessMessages() { view_.ProcessMessages(); }

void TZelkanF::ShowDivisionCount(int32_t trisetnum) { view_.SetText(MainControl::DivisionsLabel, std::to_string(trisetnum)); }

void TZelkanF::AreaComputed(double menkei) {
    view_.SetText(MainControl::CoordinateAreaLabel, AreaLabel(menkei));
    Pump();
}

void TZelkanF::SearchStarting(int32_t tritempnum) {
    StopFlag = panel_.closeRequested;
    view_.SetBold(MainControl::RunButton, false);
    view_.SetBold(MainControl::SettingsButton, true);
    panel_.step = RunStep::Searching;  // the caption stays 計算中
    view_.SetText(MainControl::SettingsButton, kStopCaption);
    view_.SetEnabled(MainControl::SettingsButton, true);
    view_.SetText(MainControl::DivisionsLabel, std::to_string(tritempnum));
    view_.SetTimerEnabled(true);
    Pump();
}

void TZelkanF::SearchEnded(const RunResult& result) {
    view_.SetTimerEnabled(false);
    view_.SetText(MainControl::DivisionsLabel, std::to_string(result.trisetnum));
    if (result.memoryFull) view_.SetText(MainControl::Status, kMemoryFullMessage);
    view_.SetBold(MainControl::RunButton, true);
    RestoreSettingsButton();
    Pump();
}

void TZelkanF::Evaluated(const RunResult& result) {
    view_.SetText(MainControl::DivisionsLabel, EvaluationLabel(result.evalDiff));
    view_.SetText(MainControl::ProgressLabel, std::to_string(result.tritempnum) + ":" + std::to_string(result.trisetnum));
    Pump();
}

}  // namespace zelkan
