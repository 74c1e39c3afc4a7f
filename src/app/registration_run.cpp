#include "app/registration_run.h"

#include "geometry/text_helpers.h"
#include "output/coordinate_table_csv.h"
#include "output/coordinate_table_drawing.h"
#include "records/run_names.h"
#include "registration/registration_settings.h"

namespace zelkan {

RegistrationFigures ParcelRegistration(const std::vector<CoordinateCorner>& corners, const SanshaSettings& settings,
                                       const std::string& sanshaAreaText, const RegistrationInput& input) {
    return RegistrationFiguresOf(CoordinateTableOf(corners, CoordinateColumnsOf(settings)), sanshaAreaText, input);
}

RegistrationFigures LastRunRegistration(const MeasurementState& state, const SanshaSettings& settings) {
    return ParcelRegistration(CornersOfTables(state.tables, settings.measureScaleDenom), settings,
                              LastRunTableValues(state, settings).resultText, RegistrationInputOf(settings));
}

double AreaTableWidth(const SanshaSettings& s) {
    const int32_t characters = s.useHeron ? s.colHeronNo + s.colHeronA + s.colHeronB + s.colHeronC + s.colHeronMen
                                          : s.colSanshaNo + s.colSanshaTeihen + s.colSanshaTakasa + s.colSanshaMen;
    return characters * StrToReal(s.kyuMojiDaka) * s.scaleDenom;
}

std::string RegistrationPanelText(const RegistrationFigures& f) {
    if (!f.table.problem.empty()) return {};
    std::string text = "地積 " + DecimalString(f.coordinateChiseki);
    if (f.sanshaChiseki)
        text += f.chisekiAgree ? "（三斜と一致）" : "（三斜 " + DecimalString(*f.sanshaChiseki) + "）";
    if (f.sanshaWithin)
        text += std::string(" ") + PrecisionClassName(f.input.precision) + (*f.sanshaWithin ? " 公差内" : " 公差外");
    return text;
}

std::string CoordinateTableDrawingName(const std::string& runScript) { return DeriveName(runScript, "zahyo.dxf"); }
std::string CoordinateTableCsvName(const std::string& runScript) { return DeriveName(runScript, "zahyo.csv"); }

std::vector<std::string> WriteRegistrationFiles(const RegistrationFigures& f, const SanshaSettings& settings,
                                                const std::string& runScript) {
    if (!f.table.problem.empty()) return {};
    // The same sizes and layer as the area table it stands beside.
    const CoordinateTableStyle style{settings.kyuLayer, StrToReal(settings.kyuMojiDaka) * settings.scaleDenom,
                                     StrToReal(settings.kyuGyoDaka) * settings.scaleDenom};
    std::vector<std::string> written{CoordinateTableDrawingName(runScript)};
    WriteCoordinateTable(f, written.back(), style);
    if (settings.zahyoCsv) {
        written.push_back(CoordinateTableCsvName(runScript));
        WriteCoordinateTableCsv(f, written.back());
    }
    return written;
}

}  // namespace zelkan
