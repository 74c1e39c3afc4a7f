#include "app/win32/viewer_windows_win32.h"

#include <commctrl.h>
#include <shlwapi.h>

#include "app/win32/dpi_win32.h"
#include "app/win32/text_fit_win32.h"
#include "app/win32/window_common_win32.h"
#include "app/win32/ui_font_win32.h"
#include "geometry/exact_format.h"
#include "geometry/wide_text.h"

namespace zelkan::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

HWND Child(HWND parent, HINSTANCE instance, const wchar_t* className, const std::string& text, DWORD style, int id) {
    return CreateWindowExW(0, className, Utf8ToWide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

void SetText(HWND window, const std::string& text) { SetWindowTextW(window, Utf8ToWide(text).c_str()); }

// The boundary and the triangles of division g in a square of side `size`
// at (left, top); fill gives each triangle's brush colour from its shape.
template <typename Fill>
void DrawDivision(HDC dc, const EngineTables& t, int32_t g, int left, int top, int size, int boundaryWidth, Fill fill) {
    const ViewTransform view = AlignView(t, size, size);
    const auto at = [&](int32_t v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        return POINT{left + view.X(p.x), top + view.Y(p.y)};
    };
    const GdiObject<HPEN> black(CreatePen(PS_SOLID, boundaryWidth, RGB(0, 0, 0)));
    const GdiObject<HPEN> red(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    {
        const Selection boundaryPen(dc, black);
        for (int32_t v = 1; v <= t.xynum; ++v) {
            const POINT a = at(v), b = at(v == t.xynum ? 1 : v + 1);
            MoveToEx(dc, a.x, a.y, nullptr);
            LineTo(dc, b.x, b.y);
        }
    }
    const Selection trianglePen(dc, red);
    const int32_t count = t.trisets.trinum(g);
    for (int32_t m = 1; m <= count; ++m) {
        const TTri tri = t.trisets.tri(g, m);
        const double shape = t.tritemp[static_cast<size_t>(tri.st)].shape;
        const GdiObject<HBRUSH> brush(CreateSolidBrush(fill(shape)));
        const Selection filled(dc, brush);
        const POINT corners[3] = {at(tri.i), at(tri.j), at(tri.k)};
        Polygon(dc, corners, 3);
    }
}

double LargestArea(const MeasurementState& s, bool heron) { return heron ? s.evaluation.maxHeron : s.evaluation.maxSansha; }
double SmallestArea(const MeasurementState& s, bool heron) { return heron ? s.evaluation.minHeron : s.evaluation.minSansha; }

// ------------------------------------------------------------------ thumbnails
constexpr int kThumbSide = 121;
constexpr int kThumbPitchX = 120, kThumbPitchY = 144;
constexpr int kThumbTop = 58;  // below the three lines of the header
constexpr int kThumbClientWidth = 740, kThumbClientHeight = kThumbTop + 4 * kThumbPitchY + 6;
constexpr int kShapeRadio = 501, kAreaRadio = 502, kPreviousPage = 503, kNextPage = 504;

// The header's labels (counts, areas, hint, order, the legend of the
// numbers under the slots, the page, the source), with the longest texts
// they show.
struct ThumbLabelDesign {
    int x, y, width;
    DWORD style;
    std::wstring longest;
};
const ThumbLabelDesign kThumbLabels[] = {
    {8, 8, 150, SS_LEFTNOWORDWRAP, L"総候補数:9999999"},
    {8, 24, 150, SS_LEFTNOWORDWRAP, L"座標面計値:9999999.999"},
    {160, 8, 140, SS_LEFTNOWORDWRAP, L"面積最大値:9999999.999999"},
    {160, 24, 140, SS_LEFTNOWORDWRAP, L"面積最小値:9999999.999999"},
    {304, 8, 170, SS_LEFTNOWORDWRAP, L"筆のダブルクリックで拡大します"},
    {480, 8, 40, SS_LEFTNOWORDWRAP, L"並び順"},
    {8, 40, 600, SS_LEFTNOWORDWRAP, L"筆の下の数値: 面積 : 座標面計値との差×100 : 形状（平均）　左下の赤い■: 座標面計値より小さい"},
    {616, 40, 116, SS_RIGHT, L"ページ 99999 / 99999"},
    {304, 24, 170, SS_LEFTNOWORDWRAP, L"全分割から: 形状の上位と面積差の最小"},
};
constexpr size_t kLegendLabel = 6, kPageLabel = 7, kSourceLabel = 8;

// The numbers under a slot at their widest.
constexpr wchar_t kWidestSummary[] = L"9999999.999:-9999.99:99.99";

}  // namespace

RECT ThumbnailWindow::SlotRect(int slot) const {  // slot from 0
    const int r = slot / 6, c = slot % 6;
    const int left = scale_.X(8 + kThumbPitchX * c), top = scale_.Y(kThumbTop + kThumbPitchY * r);
    return RECT{left, top, left + scale_.Y(kThumbSide), top + scale_.Y(kThumbSide)};
}

bool ThumbnailWindow::Create(HINSTANCE instance, HWND owner) {
    Register(instance, L"TZelkanDisp2F", CS_DBLCLKS);
    owner_ = owner;
    CreateFor(kExStyle, L"TZelkanDisp2F", L"三斜候補リストサムネイル", kStyle, 20, 20, 760, 660, owner, instance);
    if (window_ == nullptr) return false;
    for (size_t n = 0; n < std::size(kThumbLabels); ++n)
        labels_.push_back(Child(window_, instance, L"STATIC", "", kThumbLabels[n].style | SS_NOPREFIX,
                                510 + static_cast<int>(n)));
    SetText(labels_[kLegendLabel], WideToUtf8(kThumbLabels[kLegendLabel].longest));
    shapeRadio_ = Child(window_, instance, L"BUTTON", "正三角形", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, kShapeRadio);
    areaRadio_ = Child(window_, instance, L"BUTTON", "面積差", BS_AUTORADIOBUTTON, kAreaRadio);
    // Two buttons rather than an up-down control: each can be greyed at its end.
    previousPage_ = Child(window_, instance, L"BUTTON", "<", BS_PUSHBUTTON | WS_TABSTOP, kPreviousPage);
    nextPage_ = Child(window_, instance, L"BUTTON", ">", BS_PUSHBUTTON | WS_TABSTOP, kNextPage);
    Layout();
    return true;
}

// The design widened for the longest texts, and drawn smaller where the
// window would not fit the work area of its monitor.
void ThumbnailWindow::Layout() {
    dpi_ = FitToWorkArea(window_, [this](UINT dpi) {
        Measure(dpi);
        return OuterSizeOfClient(scale_.X(kThumbClientWidth), scale_.Y(kThumbClientHeight), kStyle, kExStyle, dpi);
    });
    for (size_t n = 0; n < labels_.size(); ++n) {
        const ThumbLabelDesign& d = kThumbLabels[n];
        MoveWindow(labels_[n], scale_.X(d.x), scale_.Y(d.y), scale_.X(d.x + d.width) - scale_.X(d.x), scale_.Y(14), TRUE);
        SendMessageW(labels_[n], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    }
    MoveWindow(shapeRadio_, scale_.X(528), scale_.Y(16), scale_.X(612) - scale_.X(528), scale_.Y(17), TRUE);
    MoveWindow(areaRadio_, scale_.X(616), scale_.Y(16), scale_.X(692) - scale_.X(616), scale_.Y(17), TRUE);
    MoveWindow(previousPage_, scale_.X(696), scale_.Y(8), scale_.X(712) - scale_.X(696), scale_.Y(25), TRUE);
    MoveWindow(nextPage_, scale_.X(713), scale_.Y(8), scale_.X(729) - scale_.X(713), scale_.Y(25), TRUE);
    for (HWND control : {shapeRadio_, areaRadio_, previousPage_, nextPage_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    InvalidateRect(window_, nullptr, FALSE);
}

// The fonts at dpi and how much wider than designed the texts need the window.
void ThumbnailWindow::Measure(UINT dpi) {
    font_.Reset(CreateUiFont(12, false, dpi));
    slotFont_.Reset(CreateUiFont(9, false, dpi));
    std::vector<WidthNeed> needs;
    for (const ThumbLabelDesign& d : kThumbLabels)
        needs.push_back({NeededWidth(TextFrame::Plain, font_, d.longest, dpi), Scaled(d.width, dpi)});
    needs.push_back({NeededWidth(TextFrame::CheckBox, font_, L"正三角形", dpi), Scaled(84, dpi)});
    needs.push_back({NeededWidth(TextFrame::CheckBox, font_, L"面積差", dpi), Scaled(76, dpi)});
    // Neighbouring summary lines keep a gap between them.
    needs.push_back({NeededWidth(TextFrame::Plain, slotFont_, kWidestSummary, dpi) + Scaled(8, dpi),
                     Scaled(kThumbPitchX, dpi)});
    needs.push_back({CaptionClientWidth(L"三斜候補リストサムネイル", 1), Scaled(kThumbClientWidth, dpi)});
    scale_ = DesignScale{dpi, WideningFactor(needs)};
}

const std::vector<int32_t>& ThumbnailWindow::Order() const {
    return SendMessageW(shapeRadio_, BM_GETCHECK, 0, 0) == BST_CHECKED ? shapeOrder_ : areaOrder_;
}

std::optional<int32_t> ThumbnailWindow::ShowModal(const MeasurementState& state, const SanshaSettings& settings,
                                                  SearchMode searchMode) {
    state_ = &state;
    useHeron_ = settings.useHeron;
    const EngineTables& t = state.tables;
    shapeOrder_ = ShapeOrder(t.trisets);
    areaOrder_ = AreaOrder(t.trisets, t.menkei, useHeron_);
    page_ = 1;
    chosen_.reset();
    const bool byShape = ThumbnailsStartByShape(searchMode);
    SendMessageW(shapeRadio_, BM_SETCHECK, byShape ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(areaRadio_, BM_SETCHECK, byShape ? BST_UNCHECKED : BST_CHECKED, 0);
    SetText(labels_[0], "総候補数:" + std::to_string(t.trisets.trisetnum()));
    SetText(labels_[1], "座標面計値:" + FormatFixedWidth(9, 3, t.menkei));
    SetText(labels_[2], "面積最大値:" + FormatFixedWidth(11, 6, LargestArea(state, useHeron_)));
    SetText(labels_[3], "面積最小値:" + FormatFixedWidth(11, 6, SmallestArea(state, useHeron_)));
    SetText(labels_[4], "筆のダブルクリックで拡大します");
    SetText(labels_[5], "並び順");
    SetText(labels_[kSourceLabel], DivisionSourceLabel(state.divisionSource));
    ShowPage();
    open_ = true;
    RunModal(window_, owner_, open_);
    shapeOrder_.clear();
    areaOrder_.clear();
    shapeOrder_.shrink_to_fit();
    areaOrder_.shrink_to_fit();
    state_ = nullptr;
    return chosen_;
}

void ThumbnailWindow::ShowPage() {
    const auto count = static_cast<int32_t>(Order().size());
    SetText(labels_[kPageLabel], ThumbPageLabel(page_, count));
    EnableWindow(previousPage_, ThumbPageCanMove(page_, false, count) ? TRUE : FALSE);
    EnableWindow(nextPage_, ThumbPageCanMove(page_, true, count) ? TRUE : FALSE);
    InvalidateRect(window_, nullptr, FALSE);
}

void ThumbnailWindow::Paint(HDC dc) {
    if (state_ == nullptr) return;
    const EngineTables& t = state_->tables;
    const std::vector<int32_t> slots = PageSlots(Order(), page_);
    // The summary lines in a smaller font, so that neighbours stay apart.
    const Selection summaryFont(dc, slotFont_);
    SetBkMode(dc, TRANSPARENT);
    for (int k = 0; k < kThumbSlots; ++k) {
        const RECT r = SlotRect(k);
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        const int32_t g = slots[static_cast<size_t>(k)];
        if (g == 0) continue;
        DrawDivision(dc, t, g, r.left, r.top, r.right - r.left, 1, [](double shape) {
            return ColorHLSToRGB(static_cast<WORD>(ThumbHue(shape)), 180, 140);
        });
        const double area = DivisionArea(t.trisets, g, useHeron_);
        const int middle = (r.left + r.right) / 2, half = scale_.X(kThumbPitchX) / 2;
        const int top = scale_.Y(kThumbTop + kThumbPitchY * (k / 6) + 128);
        RECT text{middle - half, top, middle + half, top + scale_.Y(14)};
        const std::wstring label = Utf8ToWide(ThumbLabel(area, t.menkei, AverageShape(t, g)));
        DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (ThumbMarked(area, t.menkei)) {
            // Filled, as the legend shows it: an outline read as an empty check box.
            const RECT mark{r.left, r.bottom - scale_.Y(10), r.left + scale_.Y(10), r.bottom};
            const GdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
            FillRect(dc, &mark, red);
        }
    }
}

LRESULT ThumbnailWindow::Handle(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            PaintBuffered(window_, [this](HDC dc) { Paint(dc); });
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDBLCLK: {
            const POINT p{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            for (int k = 0; k < kThumbSlots; ++k) {
                const RECT r = SlotRect(k);
                if (!PtInRect(&r, p)) continue;
                // A slot past the end picks nothing and the window stays.
                if (const auto g = PickedDivision(Order(), page_, k + 1)) {
                    chosen_ = g;
                    open_ = false;
                }
            }
            return 0;
        }
        case WM_COMMAND:
            if ((LOWORD(wp) == kPreviousPage || LOWORD(wp) == kNextPage) && HIWORD(wp) == BN_CLICKED) {
                page_ = NextThumbPage(page_, LOWORD(wp) == kNextPage, static_cast<int32_t>(Order().size()));
                ShowPage();
            }
            if (LOWORD(wp) == kShapeRadio || LOWORD(wp) == kAreaRadio) ShowPage();
            if (LOWORD(wp) == IDCANCEL) open_ = false;
            return 0;
        case WM_CLOSE:
            open_ = false;
            return 0;
        default:
            break;
    }
    return Default(message, wp, lp);
}

// ------------------------------------------------------------------------ list
namespace {

enum ListControl {
    kTotalLabel, kLargestLabel, kSmallestLabel, kCoordinateAreaLabel, kMismatchLabel, kAverageShapeLabel,
    kFilterBox1, kFilterBox2, kFilterBox3, kFilter, kReplace, kCount
};
constexpr int kListBox = 650;
constexpr int kListBase = 600;

// The column of labels, boxes and buttons beside the preview, at 96 DPI,
// with the longest text each shows.
const std::vector<ControlDesign>& ListDesign() {
    constexpr DWORD kLabel = SS_LEFTNOWORDWRAP | SS_NOPREFIX;
    constexpr DWORD kFilterStyle = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    static const std::vector<ControlDesign> design = {
        {kListBase + kTotalLabel, L"STATIC", L"", kLabel, 8, 8, 136, 14, nullptr, {L"総候補数:9999999"}},
        {kListBase + kLargestLabel, L"STATIC", L"", kLabel, 8, 24, 136, 14, nullptr, {L"面積最大値:9999999.999999"}},
        {kListBase + kSmallestLabel, L"STATIC", L"", kLabel, 8, 40, 136, 14, nullptr, {L"面積最小値:9999999.999999"}},
        {kListBase + kCoordinateAreaLabel, L"STATIC", L"", kLabel, 8, 56, 136, 14, nullptr, {L"座標面計値:9999999.999999"}},
        {kListBase + kMismatchLabel, L"STATIC", L"", kLabel, 8, 72, 96, 14, nullptr, {L"不一致率:-9999.9999"}},
        {kListBase + kAverageShapeLabel, L"STATIC", L"", SS_RIGHT | SS_NOPREFIX | SS_NOTIFY, 104, 72, 33, 14, nullptr, {L"999.99"}},
        {kListBase + kFilterBox1, L"EDIT", L"", kFilterStyle, 8, 96, 57, 20, nullptr, {L"99,99,99"}},
        {kListBase + kFilterBox2, L"EDIT", L"", kFilterStyle, 72, 96, 57, 20, nullptr, {L"99,99,99"}},
        {kListBase + kFilterBox3, L"EDIT", L"", kFilterStyle, 8, 120, 57, 20, nullptr, {L"99,99,99"}},
        {kListBase + kFilter, L"BUTTON", L"フィルター", BS_PUSHBUTTON | WS_TABSTOP, 72, 120, 67, 25},
        {kListBase + kReplace, L"BUTTON", L"選択三斜置き換え", BS_PUSHBUTTON | WS_TABSTOP, 8, 152, 129, 25},
    };
    return design;
}

// The list's lines: "%8.3f" of a seven-digit area.
constexpr wchar_t kWidestLine[] = L"9999999.999";

constexpr int kPreviewLeft = 144, kPreviewSide = 598;

}  // namespace

bool ListWindow::Create(HINSTANCE instance, HWND owner) {
    Register(instance, L"TZelkanDispF");
    owner_ = owner;
    CreateFor(kExStyle, L"TZelkanDispF", L"三斜候補", kStyle, 20, 20, 760, 640, owner, instance);
    if (window_ == nullptr) return false;
    controls_ = MakeControls(window_, instance, ListDesign());
    // A list of hundreds of thousands of lines: the box holds none of them
    // and asks for each line it draws.
    list_ = CreateWindowExW(0, L"LISTBOX", nullptr,
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NODATA |
                                LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT,
                            0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListBox)), instance, nullptr);
    Layout();
    return true;
}

// The column of labels and the list widened for their texts; the preview a
// square beside it, all drawn smaller where the window would not fit the
// work area of its monitor.
void ListWindow::Layout() {
    dpi_ = FitToWorkArea(window_, [this](UINT dpi) {
        Measure(dpi);
        return OuterSizeOfClient(PreviewLeft() + scale_.Y(kPreviewSide), scale_.Y(kPreviewSide + 4), kStyle, kExStyle,
                                 dpi);
    });
    PlaceControls(ListDesign(), controls_, scale_, font_);
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    SendMessageW(list_, LB_SETITEMHEIGHT, 0, scale_.Y(15));
    MoveWindow(list_, 0, scale_.Y(184), scale_.X(137), scale_.Y(kPreviewSide + 4) - scale_.Y(184), TRUE);
    InvalidateRect(window_, nullptr, FALSE);
}

void ListWindow::Measure(UINT dpi) {
    font_.Reset(CreateUiFont(12, false, dpi));
    std::vector<WidthNeed> needs;
    for (const ControlDesign& d : ListDesign()) AddWidthNeeds(d, font_, dpi, needs);
    // A line of the list beside its scroll bar.
    needs.push_back({NeededWidth(TextFrame::Plain, font_, kWidestLine, dpi) + Scaled(4 + 6, dpi) +
                         GetSystemMetrics(SM_CXVSCROLL),
                     Scaled(137, dpi)});
    scale_ = DesignScale{dpi, WideningFactor(needs)};
}

int ListWindow::PreviewLeft() const { return scale_.X(kPreviewLeft); }

HWND ListWindow::Control(int control) const { return controls_.at(kListBase + control); }

std::optional<int32_t> ListWindow::ShowModal(MeasurementState& state, const SanshaSettings& settings,
                                             int32_t chosen) {
    state_ = &state;
    useHeron_ = settings.useHeron;
    accepted_.reset();
    for (HWND edit : {Control(kFilterBox1), Control(kFilterBox2), Control(kFilterBox3)}) SetText(edit, "");
    DisplayList(chosen, {});
    open_ = true;
    RunModal(window_, owner_, open_);
    state_ = nullptr;
    return accepted_;
}

void ListWindow::DisplayList(int32_t start, const std::vector<TriangleFilter>& filters) {
    EngineTables& t = state_->tables;
    listed_ = ListedDivisions(t, filters);
    SendMessageW(list_, LB_SETCOUNT, listed_.size(), 0);
    SetText(Control(kTotalLabel), "総候補数:" + std::to_string(t.trisets.trisetnum()));
    SetText(Control(kLargestLabel), "面積最大値:" + FormatFixedWidth(11, 6, LargestArea(*state_, useHeron_)));
    SetText(Control(kSmallestLabel), "面積最小値:" + FormatFixedWidth(11, 6, SmallestArea(*state_, useHeron_)));
    SetText(Control(kCoordinateAreaLabel), "座標面計値:" + FormatFixedWidth(11, 6, t.menkei));
    // The list leaves the last division current; a start shows its own.
    // Nothing is shown until then, and only a division shown can replace
    // the drawn one.
    if (t.trisets.trisetnum() >= 1) LoadTriset(t, t.trisets.trisetnum());
    shown_ = 0;
    EnableWindow(Control(kReplace), FALSE);
    // The values of the division shown before go with it.
    SetText(Control(kMismatchLabel), "");
    SetText(Control(kAverageShapeLabel), "");
    Show(start);
    InvalidateRect(window_, nullptr, FALSE);
}

void ListWindow::Show(int32_t g) {
    if (g < 1 || g > state_->tables.trisets.trisetnum()) return;
    LoadTriset(state_->tables, g);
    shown_ = g;
    EnableWindow(Control(kReplace), TRUE);
    SetText(Control(kAverageShapeLabel), FormatFixedWidth(4, 2, AverageShape(state_->tables, g)));
    const RECT preview{PreviewLeft(), 0, PreviewLeft() + scale_.Y(kPreviewSide), scale_.Y(kPreviewSide)};
    InvalidateRect(window_, &preview, FALSE);
}

void ListWindow::LineClicked() {
    const LRESULT line = SendMessageW(list_, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR || static_cast<size_t>(line) >= listed_.size()) return;
    const int32_t g = listed_[static_cast<size_t>(line)];
    SetText(Control(kMismatchLabel), MismatchLabel(ListLine(DivisionArea(state_->tables.trisets, g, useHeron_)),
                                              state_->tables.menkei));
    Show(g);
}

void ListWindow::Paint(HDC dc) {
    if (state_ == nullptr) return;
    const EngineTables& t = state_->tables;
    const int left = PreviewLeft(), side = scale_.Y(kPreviewSide);
    const RECT preview{left, 0, left + side, side};
    FillRect(dc, &preview, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (shown_ < 1) return;
    DrawDivision(dc, t, shown_, left, 0, side, Scaled(5, dpi_), [](double shape) { return RGB(0, 0, PreviewBlue(shape)); });
    const ViewTransform view = AlignView(t, side, side);
    const Selection numberFont(dc, font_);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        const std::wstring number = std::to_wstring(v);
        TextOutW(dc, left + view.X(p.x), view.Y(p.y), number.c_str(), static_cast<int>(number.size()));
    }
}

LRESULT ListWindow::Handle(UINT message, WPARAM wp, LPARAM lp) {
    switch (message) {
        case WM_PAINT:
            PaintBuffered(window_, [this](HDC dc) { Paint(dc); });
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = static_cast<UINT>(scale_.Y(15));
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlID != kListBox || state_ == nullptr) break;
            const bool selected = (item->itemState & ODS_SELECTED) != 0;
            FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
            if (item->itemID < listed_.size()) {
                const int32_t g = listed_[item->itemID];
                const std::wstring line = Utf8ToWide(ListLine(DivisionArea(state_->tables.trisets, g, useHeron_)));
                SetBkMode(item->hDC, TRANSPARENT);
                SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
                RECT text = item->rcItem;
                text.left += Scaled(4, dpi_);
                DrawTextW(item->hDC, line.c_str(), static_cast<int>(line.size()), &text,
                          DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
            }
            return TRUE;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wp);
            if (id == kListBox && HIWORD(wp) == LBN_SELCHANGE) LineClicked();
            if (id == kListBase + kAverageShapeLabel && HIWORD(wp) == STN_CLICKED && state_ != nullptr) {
                // A line the list no longer has selects nothing.
                if (const auto line = AverageShapeLine(state_->evaluation.minShapeNo, listed_.size())) {
                    SendMessageW(list_, LB_SETCURSEL, *line, 0);
                    LineClicked();
                }
            }
            if (id == kListBase + kFilter && HIWORD(wp) == BN_CLICKED && state_ != nullptr) {
                std::vector<TriangleFilter> filters;
                std::string refusals;
                for (int edit : {kFilterBox1, kFilterBox2, kFilterBox3}) {
                    const std::string text = WindowTextOf(Control(edit));
                    if (const auto refusal = FilterRefusal(text)) refusals += *refusal + "\n";
                    filters.push_back(ParseTriangleFilter(text));
                }
                // A box that names no triangle is told, and the list stays as
                // it is; empty boxes list every division again.
                if (!refusals.empty()) {
                    MessageBoxW(window_, Utf8ToWide(refusals).c_str(), L"三斜候補", MB_OK | MB_ICONINFORMATION);
                } else {
                    DisplayList(0, filters);
                }
            }
            if (id == kListBase + kReplace && HIWORD(wp) == BN_CLICKED && state_ != nullptr && shown_ >= 1) {
                AcceptDivision(state_->tables, shown_);
                accepted_ = shown_;
                open_ = false;
            }
            if (id == IDCANCEL) open_ = false;
            return 0;
        }
        case WM_CLOSE:
            open_ = false;
            return 0;
        default:
            break;
    }
    return Default(message, wp, lp);
}

}  // namespace zelkan::win32
