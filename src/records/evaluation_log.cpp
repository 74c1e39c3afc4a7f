#include "records/evaluation_log.h"

#include <cmath>

#include "engine/evaluation.h"
#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/lines.h"
#include "geometry/text_helpers.h"
#include "records/measurement_logs.h"

namespace zelkan {

namespace {

const char* const kLineEnd = "\r\n";

void AppendFields(std::string& file, std::initializer_list<std::string> fields) {
    bool first = true;
    for (const std::string& f : fields) {
        if (!first) file += ',';
        file += f;
        first = false;
    }
    file += kLineEnd;
}

}  // namespace

void WriteTrsHeader(std::string& file, const EngineTables& t, const RunMeasure& m) {
    const RunRounding& r = m.rounding;
    AppendFields(file, {std::to_string(KetaNumber(r.lengthMode)), std::to_string(r.lengthDigits),
                        std::to_string(KetaNumber(r.areaMode)), std::to_string(r.areaDigits),
                        std::to_string(KetaNumber(r.resultMode)), std::to_string(r.resultDigits)});
    file += std::to_string(t.xynum) + kLineEnd;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        AppendFields(file, {std::to_string(v), FormatFixedWidth(6, 3, p.y), FormatFixedWidth(6, 3, p.x)});
    }
    file += FormatFixedWidth(11, 6, m.menkei) + kLineEnd;
    file += std::to_string(m.scaleDenom) + kLineEnd;
}

void WriteTrsDivision(std::string& file, int32_t g, const EngineTables& t, const RunMeasure& m) {
    const RunRounding& r = m.rounding;
    const long double scale = m.scaleDenom;
    double areaSum = 0, heronSum = 0, raw = 0;
    // A base whose foot cannot be computed keeps the previous triangle's
    // base and height (0 for the first); candidates never have one.
    long double base = 0, height = 0;
    for (int32_t p = 1; p <= t.trinum; ++p) {
        const TTri& tri = t.tritable[static_cast<size_t>(p)];
        const TAcadPoint& pi = t.xy[static_cast<size_t>(tri.i)];
        const TAcadPoint& pj = t.xy[static_cast<size_t>(tri.j)];
        const TAcadPoint& pk = t.xy[static_cast<size_t>(tri.k)];
        const long double d1 = Distance(pi, pj), d2 = Distance(pj, pk), d3 = Distance(pk, pi);
        const TAcadPoint* from = &pi;
        const TAcadPoint* to = &pj;
        const TAcadPoint* apex = &pk;
        long double baseLength = d1;
        switch (LongestSide(d1, d2, d3)) {
            case Base::IJ: break;
            case Base::JK: from = &pj, to = &pk, apex = &pi, baseLength = d2; break;
            case Base::KI: from = &pk, to = &pi, apex = &pj, baseLength = d3; break;
        }
        double fx = 0, fy = 0;
        if (FootOfPerpendicular(fx, fy, static_cast<double>(from->x), static_cast<double>(from->y),
                                static_cast<double>(to->x), static_cast<double>(to->y), static_cast<double>(apex->x),
                                static_cast<double>(apex->y))) {
            base = baseLength;
            height = Distance(*apex, TAcadPoint{fx, fy, 0});
        }
        const std::string H = KetaText(r.lengthMode, r.lengthDigits, static_cast<double>(height / scale));
        const std::string B = KetaText(r.lengthMode, r.lengthDigits, static_cast<double>(base / scale));
        const std::string A2 = KetaText(r.areaMode, r.areaDigits,
                                    static_cast<double>(static_cast<long double>(StrToReal(B)) * StrToReal(H)));
        const std::string Lij = KetaText(r.lengthMode, r.lengthDigits, static_cast<double>(d1 / scale));
        const std::string Ljk = KetaText(r.lengthMode, r.lengthDigits, static_cast<double>(d2 / scale));
        const std::string Lki = KetaText(r.lengthMode, r.lengthDigits, static_cast<double>(d3 / scale));
        const std::string Ah =
            KetaText(r.areaMode, r.areaDigits, HeronArea(StrToReal(Lij), StrToReal(Ljk), StrToReal(Lki)));
        areaSum += StrToReal(A2);
        heronSum += StrToReal(Ah);
        raw += static_cast<double>(base * height / (scale * scale));
        AppendFields(file, {std::to_string(p), std::to_string(tri.i), std::to_string(tri.j), std::to_string(tri.k), H,
                            B, A2, Lij, Ljk, Lki, Ah});
    }
    areaSum = StrToReal(KetaText(r.areaMode, r.areaDigits, areaSum)) * 0.5;
    const std::string Atot = KetaText(r.areaMode, r.areaDigits, areaSum);
    const std::string Htot = KetaText(r.areaMode, r.areaDigits, heronSum);
    file += "0,";
    AppendFields(file, {std::to_string(g), FormatFixedWidth(10, 6, m.menkei), Atot,
                        FormatFixedWidth(8, 6, static_cast<long double>(m.menkei) - StrToReal(Atot)),
                        FormatFixedWidth(10, 6, static_cast<long double>(raw) * 0.5L), Htot});
}

LogPaths SaveLogsAs(EngineTables& t, const std::string& chosenName, const RunMeasure& m) {
    const LogPaths paths = DeriveLogPaths(chosenName);
    WriteXyLog(t, paths.xyFile);
    WriteCanLog(t, paths.canFile);
    WriteMemLog(MeasureCoordArea(t, m.scaleDenom), paths.memFile);  // only the table; menkei stays the run's
    WriteTriLog(t, paths.triFile);
    WriteTrwLog(t, paths.trwFile);
    AtomicFileWriter trs(paths.trsFile);
    std::string file;
    WriteTrsHeader(file, t, m);
    // Each division is made current to be written; the one before stays.
    const CurrentDivisionGuard current(t);
    for (int32_t g = 1; g <= t.trisets.trisetnum(); ++g) {
        LoadTriset(t, g);
        WriteTrsDivision(file, g, t, m);
        if (file.size() >= kLogChunkBytes) {
            trs.Write(file);
            file.clear();
        }
    }
    trs.Write(file);
    trs.Commit();
    return paths;
}

std::string HistoryDeletedMessage(const std::string& workFolder) { return workFolder + "をゴミ箱に移しました"; }

std::string HistoryDeletionQuestion(const std::string& workFolder) {
    return "作業フォルダ " + workFolder + " を、設定ファイルとログごとゴミ箱に移します。よろしいですか？";
}

}  // namespace zelkan
