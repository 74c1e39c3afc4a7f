#include "app/win32/settings_dialog_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "app/win32/dpi_win32.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/win32/ui_font_win32.h"
#include "app/application_title.h"
#include "geometry/errors.h"
#include "geometry/wide_text.h"
#include "records/evaluation_log.h"

namespace zelkan::win32 {

namespace {

using C = SetControl;

constexpr wchar_t kClassName[] = L"TZelkanSet";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kClientWidth = 298;
constexpr int kClientHeight = 624;  // the design's 495, the coordinate-method table's group and the status line
constexpr int kStatusId = 399;

int Id(C control) { return 200 + static_cast<int>(control); }

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kEdit | ES_RIGHT;
constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kGroup = BS_GROUPBOX;
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP;

// The items of the two drop-down lists, in the order of their numbers.
const std::vector<std::wstring>& ItemsOf(C list) {
    const auto wide = [](const std::vector<std::string>& items) {
        std::vector<std::wstring> w;
        for (const std::string& item : items) w.push_back(Utf8ToWide(item));
        return w;
    };
    static const std::vector<std::wstring> landClasses = wide(LandClassItems());
    static const std::vector<std::wstring> precisionClasses = wide(PrecisionClassItems());
    return list == C::CChimoku ? landClasses : precisionClasses;
}

// The design at 96 DPI, in creation (tab) order. A control of the dialog's
// logic has its id from SetControl; labels and group boxes have their own.
using Design = ControlDesign;

std::vector<Design> DesignOfDialog() {
    int label = 400;
    const auto L = [&label](const wchar_t* text, int x, int y, int width) {
        return Design{label++, L"STATIC", text, kLabel, x, y, width, 14, nullptr};
    };
    const auto G = [&label](const wchar_t* text, int x, int y, int width, int height) {
        return Design{label++, L"BUTTON", text, kGroup, x, y, width, height, nullptr};
    };
    const auto E = [](C c, DWORD style, int x, int y, int width, const wchar_t* hint = nullptr) {
        return Design{Id(c), L"EDIT", L"", style, x, y, width, 20, hint};
    };
    const auto R = [](C c, const wchar_t* text, bool first, int x, int y, int width) {
        return Design{Id(c), L"BUTTON", text, kRadio | (first ? WS_GROUP : 0), x, y, width, 17, nullptr};
    };
    const auto B = [](C c, const wchar_t* text, int x, int y, const wchar_t* hint = nullptr) {
        return Design{Id(c), L"BUTTON", text, kButton, x, y, 59, 25, hint};
    };
    std::vector<Design> d = {
        L(L"計測縮尺　1/", 8, 11, 78),
        E(C::ELengScale, kNumber, 88, 8, 57, L"計測距離に影響します"),
        L(L"設定縮尺　1/", 8, 35, 78),
        E(C::EScale, kNumber, 88, 32, 57, L"以下の設定値に作用します"),
        R(C::SanshaRadio, L"三斜", true, 168, 4, 58),
        R(C::HeronRadio, L"ヘロン", false, 232, 4, 60),
        Design{Id(C::CLogOK), L"BUTTON", L"ログ保存", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 192, 34, 96, 17,
               L"計測中のログを保存します"},
        G(L"辺、高さ", 8, 56, 112, 94),
        L(L"文字高", 16, 76, 54), E(C::EMojiDaka, kNumber, 72, 72, 40),
        L(L"番号字高", 16, 100, 54), E(C::EBTextHi, kNumber, 72, 96, 40),
        L(L"番号半径", 16, 124, 54), E(C::EBCirR, kNumber, 72, 120, 40),
        G(L"画層", 128, 56, 162, 94),
        L(L"文字", 136, 76, 58), E(C::EText, kEdit, 196, 72, 86),
        L(L"辺の線分", 136, 100, 58), E(C::EHen, kEdit, 196, 96, 86),
        L(L"高さ線分", 136, 124, 58), E(C::ETakasa, kEdit, 196, 120, 86),
    };
    // The rounding groups side by side, titled by their settings sections.
    static const std::vector<std::wstring> titles = {Utf8ToWide(kRoundingGroups[0].section),
                                                     Utf8ToWide(kRoundingGroups[1].section),
                                                     Utf8ToWide(kRoundingGroups[2].section)};
    static const std::vector<std::wstring> ways = {Utf8ToWide(kRoundingKeys[0]), Utf8ToWide(kRoundingKeys[1]),
                                                   Utf8ToWide(kRoundingKeys[2]), Utf8ToWide(kRoundingKeys[3])};
    for (size_t g = 0; g < std::size(kRoundingGroups); ++g) {
        const int x = 8 + 96 * static_cast<int>(g);
        d.push_back(G(titles[g].c_str(), x, 160, 90, 114));
        d.push_back(E(kRoundingGroups[g].edit, kNumber, x + 8, 178, 40));
        d.push_back(L(L"桁", x + 68, 181, 16));
        for (size_t n = 0; n < 4; ++n)
            d.push_back(R(kRoundingGroups[g].radios[n], ways[n].c_str(), n == 0, x + 8, 202 + 18 * static_cast<int>(n), 78));
    }
    const std::vector<Design> rest = {
        G(L"求積表", 8, 280, 214, 76),
        L(L"文字高", 16, 300, 44), E(C::EKyuMojiDaka, kNumber, 64, 296, 40),
        L(L"行高", 114, 300, 30), E(C::EKyuGyoDaka, kNumber, 148, 296, 40),
        L(L"画層", 16, 326, 44), E(C::EKyuLayer, kEdit, 64, 322, 124),
        B(C::BGaso, L"画層作成", 232, 288),
        B(C::SaveLogButton, L"ログ保存", 232, 328, L"前の計測ログを別名で保存します"),
        L(L"計算制限値", 232, 360, 62), E(C::ELimTime, kNumber, 232, 376, 57),
        B(C::ClearHistoryButton, L"履歴削除", 232, 400, L"溜まった履歴をゴミ箱へ移します"),
        G(L"計測後のNo値", 8, 360, 214, 68),
        R(C::FixedNumberRadio, L"1　に固定", true, 16, 378, 92),
        R(C::AfterLastNumberRadio, L"最大値+1", false, 16, 400, 92),
        R(C::StepNumberRadio, L"定量値で増加", false, 112, 378, 104),
        E(C::NumberStepBox, kNumber, 112, 400, 56),
        G(L"三斜表(横文字数)", 8, 432, 112, 58),
        G(L"ヘロン(横文字数)", 128, 432, 162, 58),
    };
    d.insert(d.end(), rest.begin(), rest.end());
    const wchar_t* const sansha[] = {L"No", L"底辺", L"高さ", L"面積"};
    const C sanshaEdits[] = {C::ES1, C::ES2, C::ES3, C::ES4};
    for (int n = 0; n < 4; ++n) {
        d.push_back(L(sansha[n], 16 + 26 * n, 448, 26));
        d.push_back(E(sanshaEdits[n], kNumber, 16 + 26 * n, 464, 24));
    }
    const wchar_t* const heron[] = {L"No", L"a", L"b", L"c", L"面積"};
    const C heronEdits[] = {C::EH1, C::EH2, C::EH3, C::EH4, C::EH5};
    for (int n = 0; n < 5; ++n) {
        d.push_back(L(heron[n], 136 + 30 * n, 448, 30));
        d.push_back(E(heronEdits[n], kNumber, 136 + 30 * n, 464, 28));
    }
    // The coordinate-method table: the decimals of its columns, the 地目
    // class of the 地積, the 精度区分 of the tolerance, its CSV, and whether
    // 面積表 places it beside the area table. A list's design text is its
    // longest item, for the width it needs.
    d.push_back(G(L"座標求積表", 8, 494, 282, 94));
    const wchar_t* const decimals[] = {L"座標", L"差", L"倍面積", L"面積"};
    const C decimalEdits[] = {C::EZahyoXY, C::EZahyoSa, C::EZahyoSeki, C::EZahyoMen};
    const int decimalX[] = {16, 84, 140, 216};
    const int labelWidth[] = {30, 16, 38, 30};
    for (int n = 0; n < 4; ++n) {
        d.push_back(L(decimals[n], decimalX[n], 514, labelWidth[n]));
        d.push_back(E(decimalEdits[n], kNumber, decimalX[n] + labelWidth[n] + 2, 510, 28));
    }
    d.push_back(L(L"地目", 16, 540, 30));
    d.push_back(Design{Id(C::CChimoku), L"COMBOBOX", L"宅地・鉱泉地", kList, 48, 536, 98, 120, nullptr});
    d.push_back(L(L"精度区分", 156, 540, 52));
    d.push_back(Design{Id(C::CSeidoKubun), L"COMBOBOX", L"なし", kList, 210, 536, 72, 160, nullptr});
    d.push_back(Design{Id(C::CZahyoCsv), L"BUTTON", L"CSV", kCheck, 16, 564, 60, 17, L"座標求積表の CSV を書きます"});
    d.push_back(Design{Id(C::CZahyoHyo), L"BUTTON", L"面積表の横に並べる", kCheck, 84, 564, 180, 17,
                       L"面積表で三斜の表の横に座標求積表も置きます"});
    // What a box that was left with a text it cannot use held, and why it
    // shows the value in force again.
    d.push_back(Design{kStatusId, L"STATIC", L"", kLabel, 8, 592, 282, 28, nullptr});
    return d;
}

// The spinners: the box each is bound to, its range and step.
struct SpinnerDesign {
    C edit;
    int low, high, step;
};
const SpinnerDesign kSpinners[] = {
    {C::ELengScale, 1, 10000, 50}, {C::EScale, 1, 10000, 50},  {C::EKetaNaga, 0, 15, 1},
    {C::EKetaMen, 0, 15, 1},       {C::EKetaKeka, 0, 15, 1},   {C::NumberStepBox, 1, 1000, 100},
};

// The longest number a box of the dialog takes.
std::wstring LongestNumberOf(int id) {
    if (id == Id(C::ELengScale) || id == Id(C::EScale)) return L"10,000";
    if (id == Id(C::NumberStepBox)) return L"1,000";
    if (id == Id(C::ELimTime)) return L"999999";
    for (C table : {C::ES1, C::ES2, C::ES3, C::ES4, C::EH1, C::EH2, C::EH3, C::EH4, C::EH5, C::EKetaNaga, C::EKetaMen,
                    C::EKetaKeka, C::EZahyoXY, C::EZahyoSa, C::EZahyoSeki, C::EZahyoMen})
        if (id == Id(table)) return L"99";
    return L"99.99";  // text heights and radii
}

}  // namespace

SettingsDialog::SettingsDialog(HINSTANCE instance, std::string workFolder)
    : instance_(instance), logic_(*this, std::move(workFolder), [](const std::string& folder) { RecycleFolder(folder); }) {}

SettingsDialog::~SettingsDialog() = default;

bool SettingsDialog::Create(HWND owner) {
    Register(instance_, kClassName);
    owner_ = owner;
    CreateFor(kExStyle, kClassName, Utf8ToWide(kSettingsDialogCaption).c_str(), kStyle, 326, 136, 320, 540, owner,
              instance_);
    if (window_ == nullptr) return false;
    CreateControls();
    Layout();
    return true;
}

void SettingsDialog::CreateControls() {
    controls_ = MakeControls(window_, instance_, DesignOfDialog());
    for (C list : {C::CChimoku, C::CSeidoKubun}) {
        SetWindowTextW(controls_.at(Id(list)), L"");
        for (const std::wstring& item : ItemsOf(list))
            SendMessageW(controls_.at(Id(list)), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    for (const SpinnerDesign& s : kSpinners) {
        HWND spinner = CreateWindowExW(0, UPDOWN_CLASSW, nullptr,
                                       WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT, 0, 0, 0,
                                       0, window_, nullptr, instance_, nullptr);
        SendMessageW(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(controls_.at(Id(s.edit))), 0);
        SendMessageW(spinner, UDM_SETRANGE32, static_cast<WPARAM>(s.low), s.high);
        UDACCEL accel{0, static_cast<UINT>(s.step)};
        SendMessageW(spinner, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
        spinners_[Id(s.edit)] = spinner;
    }
}

void SettingsDialog::Layout() {
    dpi_ = WindowDpi(window_);
    font_.Reset(CreateUiFont(12, false, dpi_));
    const DesignScale scale = FittedScale();
    const SIZE outer = OuterSizeOfClient(scale.X(kClientWidth), scale.Y(kClientHeight), kStyle, kExStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls(DesignOfDialog(), controls_, scale, font_);
    // Each spinner keeps its place inside the box it is bound to.
    for (const auto& [id, spinner] : spinners_)
        SendMessageW(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(controls_.at(id)), 0);
    KeepInWorkArea(window_);
}

// The design widened until every caption and the longest number each box
// takes show whole in the font in use. Layer names scroll in their boxes.
DesignScale SettingsDialog::FittedScale() const {
    std::vector<WidthNeed> needs;
    for (const Design& d : DesignOfDialog()) {
        TextFrame frame = FrameOf(d.className, d.style);
        std::wstring text = d.text;
        if (frame == TextFrame::EditBox) {
            if ((d.style & ES_RIGHT) == 0) continue;  // a layer name
            text = LongestNumberOf(d.id);
            if (spinners_.count(d.id) != 0) frame = TextFrame::SpinEdit;
        }
        needs.push_back({NeededWidth(frame, font_, text, dpi_), Scaled(d.width, dpi_)});
    }
    needs.push_back({CaptionClientWidth(Utf8ToWide(kSettingsDialogCaption), 1), Scaled(kClientWidth, dpi_)});
    return DesignScale{dpi_, WideningFactor(needs)};
}

HWND SettingsDialog::Control(C control) const {
    const auto it = controls_.find(Id(control));
    return it == controls_.end() ? nullptr : it->second;
}

void SettingsDialog::ShowModal(const SanshaSettings& settings, MeasurementState& state, CadChannel& cad) {
    settings_ = settings;
    state_ = &state;
    cad_ = &cad;
    // The controls take the settings once for each showing: a return from
    // the save dialog must not undo what the user typed.
    logic_.FormActivate(settings_, state.tables.trisets.trisetnum());
    SetWindowTextW(controls_[kStatusId], L"");
    open_ = true;
    RunModal(window_, owner_, open_);
    state_ = nullptr;
    cad_ = nullptr;
}

// Closing is the last loss of activation: every key is written before the
// dialog goes and the main window reads the file again.
void SettingsDialog::Close() {
    // The status line goes with the dialog: what was not taken is told before.
    const std::vector<std::string> refusals = WriteSettings();
    if (!refusals.empty()) {
        std::string text;
        for (const std::string& line : refusals) text += line + "\n";
        ShowMessage(text);
    }
    open_ = false;
}

std::vector<std::string> SettingsDialog::WriteSettings() {
    if (writing_ || state_ == nullptr) return {};  // only while shown
    writing_ = true;
    std::vector<std::string> refusals;
    try {
        refusals = logic_.FormDeactivate(settings_);
    } catch (const InputOutputError& e) {
        ShowMessage(e.what());
    }
    writing_ = false;
    return refusals;
}

void SettingsDialog::SetText(C control, const std::string& text) { SetWindowTextW(Control(control), Utf8ToWide(text).c_str()); }

std::string SettingsDialog::Text(C control) const { return WindowTextOf(Control(control)); }

void SettingsDialog::SetSpinner(C edit, int32_t position) {
    const auto it = spinners_.find(Id(edit));
    if (it != spinners_.end()) SendMessageW(it->second, UDM_SETPOS32, 0, position);
}

int32_t SettingsDialog::Spinner(C edit) const {
    const auto it = spinners_.find(Id(edit));
    if (it == spinners_.end()) return 0;
    const LRESULT position = SendMessageW(it->second, UDM_GETPOS32, 0, 0);
    return static_cast<int32_t>(position);
}

void SettingsDialog::SetChecked(C control, bool checked) {
    SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool SettingsDialog::Checked(C control) const { return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SettingsDialog::SetEnabled(C control, bool enabled) { EnableWindow(Control(control), enabled ? TRUE : FALSE); }

void SettingsDialog::SetChoice(C control, int32_t index) {
    SendMessageW(Control(control), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int32_t SettingsDialog::Choice(C control) const {
    const LRESULT index = SendMessageW(Control(control), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int32_t>(index);
}

void SettingsDialog::ShowMessage(const std::string& text) {
    MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(), MB_OK);
}

void SettingsDialog::ShowStatus(const std::string& text) {
    SetWindowTextW(controls_[kStatusId], Utf8ToWide(text).c_str());
}

bool SettingsDialog::AskYesNo(const std::string& text) {
    return MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> SettingsDialog::AskSaveName(const std::string& title) {
    wchar_t file[MAX_PATH * 4] = {};
    const std::wstring caption = Utf8ToWide(title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFile = file;
    dialog.nMaxFile = static_cast<DWORD>(std::size(file));
    dialog.lpstrTitle = caption.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return WideToUtf8(file);
}

LRESULT SettingsDialog::Handle(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE && open_) WriteSettings();
            break;
        case WM_COMMAND:
            // A box is checked as the user leaves it, not only when the dialog does.
            if (HIWORD(wp) == EN_KILLFOCUS && state_ != nullptr && !writing_ && open_) {
                const int id = LOWORD(wp);
                if (id >= Id(C::ELengScale) && id <= Id(C::EH5)) logic_.FieldLeft(static_cast<C>(id - Id(C::ELengScale)));
                return 0;
            }
            if (HIWORD(wp) == BN_CLICKED && state_ != nullptr) {
                const int id = LOWORD(wp);
                if (id == Id(C::BGaso)) logic_.bGasoClick(*cad_, settings_);
                if (id == Id(C::SaveLogButton)) logic_.SaveLogButtonClick(*state_, settings_.measureScaleDenom);
                if (id == Id(C::ClearHistoryButton)) logic_.ClearHistoryButtonClick();
                if (id == IDCANCEL) Close();
                return 0;
            }
            break;
        case WM_CLOSE:
            Close();
            return 0;
        default:
            break;
    }
    return Default(message, wp, lp);
}

}  // namespace zelkan::win32
