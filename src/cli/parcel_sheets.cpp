#include "cli/parcel_sheets.h"

#include <filesystem>

#include "cli/summary.h"
#include "engine/decimal_units.h"
#include "geometry/file_io.h"
#include "output/sheet_input.h"
#include "output/sheet_layout.h"
#include "output/svg_sheet.h"
#include "records/work_folder.h"

namespace zelkan::cli {

namespace {

std::string DateOf(const std::tm& t) {
    return std::to_string(t.tm_year + 1900) + "年" + std::to_string(t.tm_mon + 1) + "月" + std::to_string(t.tm_mday) +
           "日";
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SheetRun StartSheets(const std::string& folder, SearchMode searchMode, const SanshaSettings& settings) {
    SheetRun run;
    if (!folder.empty()) {
        run.folder = folder;
        if (run.folder.back() != '/' && run.folder.back() != '\\') run.folder += '/';
        ForceDirectories(run.folder);
    }
    SystemLocalClock clock;
    run.date = DateOf(clock.Now());
    run.method = settings.useHeron ? "ヘロン" : "三斜";
    run.mode = std::to_string(ModeNumber(searchMode)) + " " + SearchModeName(searchMode);
    return run;
}

void WriteParcelSheet(const std::string& path, const SheetRun& run, const MeasurementState& state,
                      const SanshaSettings& settings, const AreaTableValues& table, const std::string& parcelTitle,
                      const ParcelRecord* parcel, const RegistrationFigures* registration) {
    const std::vector<std::string> names =
        parcel != nullptr && !parcel->cornerNames.empty()
            ? CornerNamesInTableOrder(state.tables, parcel->corners, parcel->cornerNames)
            : std::vector<std::string>{};
    SheetInput sheet = SheetInputOf(state.tables, table, settings.measureScaleDenom, names);
    sheet.title = SheetTitle{parcelTitle, run.method, run.mode, run.date};
    if (registration != nullptr)
        for (SheetBlock& block : RegistrationBlocks(*registration)) sheet.blocks.push_back(std::move(block));
    WriteFileAtomically(path, SheetSvg(sheet, LayOutSheet(sheet)));
}

std::string WriteSheetOfFile(const SheetRun& run, const std::string& out, const std::string& fileName,
                             const MeasurementState& state, const SanshaSettings& settings,
                             const AreaTableValues& table, const ParcelRecord& parcel,
                             const RegistrationFigures* registration) {
    const std::string path = run.folder + fileName + ".svg";
    const std::string title = parcel.name.empty() || parcel.name == parcel.number ? parcel.number
                                                                                    : parcel.number + " " + parcel.name;
    WriteParcelSheet(path, run, state, settings, table, title, &parcel, registration);
    std::error_code ec;
    const std::filesystem::path relative =
        std::filesystem::proximate(PathFromUtf8(path), PathFromUtf8(out.empty() ? "." : out), ec);
    if (!ec && relative.is_relative()) {
        const std::u8string address = relative.generic_u8string();
        return RelativeAddress(std::string(address.begin(), address.end()));
    }
    // No way from the page to the sheet but the whole path (another drive).
    const std::u8string absolute = std::filesystem::absolute(PathFromUtf8(path), ec).generic_u8string();
    return FileAddress(std::string(absolute.begin(), absolute.end()));
}

IndexRow IndexRowOf(const SummaryRow& summary) {
    IndexRow row;
    row.number = summary.number;
    row.name = summary.name;
    row.corners = summary.corners;
    row.coordinateArea = summary.coordinateArea;
    row.tableTotal = summary.tableTotal;
    row.area = summary.area;
    row.difference = summary.difference;
    row.outcome = summary.outcome;
    row.state = !summary.measured()                   ? IndexRow::State::Failed
                : summary.exact.value_or(false)       ? IndexRow::State::Clean
                                                      : IndexRow::State::NotExact;
    row.extra = IndexExtras(summary.rowError, summary.registration ? &*summary.registration : nullptr);
    return row;
}

std::vector<std::string> IndexExtras(const std::string& rowError, const RegistrationFigures* figures) {
    std::vector<std::string> extras{rowError, "", "", ""};
    if (figures == nullptr || !figures->table.problem.empty()) return extras;
    extras[1] = DecimalString(figures->coordinateChiseki);
    if (figures->sanshaChiseki) extras[2] = DecimalString(*figures->sanshaChiseki);
    if (figures->sanshaWithin) extras[3] = YesNo(*figures->sanshaWithin);
    return extras;
}

std::string WriteParcelIndex(const std::string& out, const std::string& parcelFile, const std::vector<IndexRow>& rows) {
    ParcelIndex index;
    index.title = FileNamePart(parcelFile);
    index.extraHeadings = {"行誤差", "地積（座標）", "地積（三斜）", "公差内"};
    index.rows = rows;
    const std::string path = out + "index.html";
    WriteFileAtomically(path, ParcelIndexHtml(index));
    return path;
}

}  // namespace zelkan::cli
