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

void WriteMemLog(const CoordinateArea& area, const std::string& path) {
    if (area.rows.empty()) return;
    std::string table;
    for (const ShoelaceRow& r : area.rows)
        table += FormatIntWidth(4, r.vertex) + F(13, 3, r.y) + F(13, 3, r.x) + F(13, 3, r.dy) + F(13, 3, r.dx) +
                 F(13, 3, r.d) + r.term + kLineEnd;
    table += std::string(30, ' ') + F(13, 3, area.sumDy) + F(13, 3, area.sumDx) + F(13, 3, area.sumD) +
             F(16, 6, area.S) + kLineEnd;
    table += std::string(69, ' ') + F(13, 3, area.S / 2) + kLineEnd;
    WriteFileAtomically(path, table);
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
