#include "records/measurement_logs.h"

#include <cmath>

#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

const char* const kLineEnd = "\r\n";

std::string F(int width, int precision, long double v) { return FormatFixedWidth(width, precision, v); }

std::string Joined(std::initializer_list<std::string> fields) {
    std::string line;
    for (const std::string& f : fields) {
        if (!line.empty()) line += ',';
        line += f;
    }
    return line + kLineEnd;
}

std::string N(long long v) { return std::to_string(v); }

}  // namespace

void NormalizeVertexOrder(EngineTables& t) {
    const int32_t n = t.xynum;
    long double minX = 1e14L, minY = 1e14L;
    int32_t start = 1;  // when no vertex qualifies, the order stays
    for (int32_t v = 1; v <= n; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        if (p.x < minX || (std::trunc(p.x) == std::trunc(minX) && p.y < minY)) {
            start = v;
            minX = p.x;
            minY = p.y;
        }
        t.xy[static_cast<size_t>(n + v)] = p;
    }
    // Vertex start+v-1 lies at that index, or in the copy beyond n; both are
    // unchanged when vertex v is written.
    for (int32_t v = 1; v <= n; ++v) t.xy[static_cast<size_t>(v)] = t.xy[static_cast<size_t>(start + v - 1)];
    for (int32_t v = 1; v <= n; ++v) t.xy[static_cast<size_t>(n + v)] = t.xy[static_cast<size_t>(v)];
}

double CoordArea(const EngineTables& t, int32_t s, const std::string& path, std::optional<DecimalText>* exact) {
    const int32_t n = t.xynum;
    if (n == 0) return 0.0;
    const auto x = [&t, n](int32_t v) { return static_cast<double>(t.xy[static_cast<size_t>((v + n - 1) % n + 1)].x); };
    const auto y = [&t, n](int32_t v) { return static_cast<double>(t.xy[static_cast<size_t>((v + n - 1) % n + 1)].y); };
    const double scale = s;

    std::string table;
    double S = 0, sumDx = 0, sumDy = 0, sumD = 0;
    std::optional<DecimalText> exactSum = DecimalText{0, 6};
    for (int32_t v = 1; v <= n; ++v) {
        const double term = x(v) * (y(v - 1) - y(v + 1)) / scale / scale;
        const std::string termText = F(16, 6, term);
        S += StrToReal(termText);
        const std::optional<DecimalText> termDecimal = ParseDecimalText(termText);
        if (exactSum && termDecimal && termDecimal->decimals <= 6)
            exactSum->units += UnitsAt(*termDecimal, 6);
        else
            exactSum.reset();
        const double dx = (x(v + 1) - x(v)) / scale;
        const double dy = (y(v + 1) - y(v)) / scale;
        const double d = std::sqrt(dx * dx + dy * dy);
        sumDx += dx;
        sumDy += dy;
        sumD += d;
        if (!path.empty()) {
            const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
            table += FormatIntWidth(4, v) + F(13, 3, p.y / s) + F(13, 3, p.x / s) + F(13, 3, dy) + F(13, 3, dx) +
                     F(13, 3, d) + termText + kLineEnd;
        }
    }
    if (!path.empty()) {
        table += std::string(30, ' ') + F(13, 3, sumDy) + F(13, 3, sumDx) + F(13, 3, sumD) + F(16, 6, S) + kLineEnd;
        table += std::string(69, ' ') + F(13, 3, S / 2) + kLineEnd;
        WriteFileAtomically(path, table);
    }
    if (exact != nullptr) {
        // |S| / 2 at seven decimals: exact, as every half of a sixth decimal is.
        if (exactSum) exactSum = DecimalText{(exactSum->units < 0 ? -exactSum->units : exactSum->units) * 5, 7};
        *exact = exactSum;
    }
    return std::fabs(S / 2);
}

void WriteXyLog(const EngineTables& t, const std::string& path) {
    std::string text;
    for (int32_t v = 1; v <= t.xynum; ++v) {
        const TAcadPoint& p = t.xy[static_cast<size_t>(v)];
        text += Joined({N(v), F(5, 3, p.y), F(5, 3, p.x)});
    }
    WriteFileAtomically(path, text);
}

void WriteCanLog(const EngineTables& t, const std::string& path) {
    std::string text;
    for (int32_t m = 1; m <= t.tritempnum; ++m) {
        const TTriTemp& c = t.tritemp[static_cast<size_t>(m)];
        text += Joined({N(m), N(c.i), N(c.j), N(c.k), F(3, 2, c.shape)});
    }
    WriteFileAtomically(path, text);
}

void WriteTriLog(const EngineTables& t, const std::string& path) {
    std::string text;
    for (int32_t m = 1; m <= t.seltrinum; ++m) {
        const TTri& tri = t.seltri[static_cast<size_t>(m)];
        text += Joined({N(m), N(tri.i), N(tri.j), N(tri.k)});
    }
    WriteFileAtomically(path, text);
}

void WriteTrwLog(const EngineTables& t, const std::string& path) {
    // Every division stored: written as it is made, a megabyte at a time.
    AtomicFileWriter file(path);
    std::string text;
    for (int32_t g = 1; g <= t.trisets.trisetnum(); ++g) {
        for (int32_t p = 1; p <= t.trisets.trinum(g); ++p) {
            const TTri& tri = t.trisets.tri(g, p);
            text += Joined({N(g), N(p), N(tri.st), N(tri.i), N(tri.j), N(tri.k)});
        }
        if (text.size() >= kLogChunkBytes) {
            file.Write(text);
            text.clear();
        }
    }
    file.Write(text);
    file.Commit();
}

}  // namespace zelkan
