// Writes random parcels as SIMA files, coordinate lists and DXF drawings, in
// UTF-8 (with and without a byte order mark) and code page 932, with CR LF,
// LF and CR line ends, now and then one fault in them, reads them back as
// zelkan-cli does and compares with what was written. The expected values,
// line numbers and messages come from this model alone: its texts are
// converted by the C library, its code page 932 bytes by its own table.
//
//   parcel_files_fuzz [--seconds N] [--runs N] [--seed N]
//
// Prints the runs made and exits 1 at the first difference, with the seed
// and the file that shows it.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "boundary/coordinate_files.h"
#include "boundary/dxf_boundary_reader.h"
#include "engine/tables.h"
#include "geometry/errors.h"

namespace {

using zelkan::ParcelFileKind;

// The names' characters in code page 932.
const std::map<std::string, std::string> kCp932 = {
    {"一", "\x88\xea"}, {"二", "\x93\xf1"}, {"三", "\x8e\x4f"}, {"番", "\x94\xd4"}, {"地", "\x92\x6e"},
    {"号", "\x8d\x86"}, {"筆", "\x95\x4d"}, {"界", "\x8a\x45"}, {"北", "\x96\x6b"}, {"南", "\x93\xec"},
    {"点", "\x93\x5f"}, {"分", "\x95\xaa"}, {"譲", "\x8f\xf7"}, {"名", "\x96\xbc"},
};

std::string ToCp932(const std::string& utf8) {
    std::string out;
    for (size_t n = 0; n < utf8.size();) {
        if (static_cast<unsigned char>(utf8[n]) < 0x80) {
            out += utf8[n++];
            continue;
        }
        const auto found = kCp932.find(utf8.substr(n, 3));
        if (found == kCp932.end()) {
            std::fprintf(stderr, "no code page 932 bytes for %s\n", utf8.substr(n, 3).c_str());
            std::exit(2);
        }
        out += found->second;
        n += 3;
    }
    return out;
}

struct Corner {
    std::string eastText, northText;
    long double east = 0, north = 0;  // what the texts mean
};

struct ExpectedParcel {
    std::string number, name;
    std::vector<Corner> corners;
    std::string problem;  // a part of the parcel's problem; empty for none
    size_t unknownCorners = 0;
};

struct Expected {
    ParcelFileKind kind = ParcelFileKind::Sima;
    bool boundaryReader = false;  // the CAD export's reader: its one polyline as written
    std::vector<ExpectedParcel> parcels;
    std::string error;  // a part of the message the file is refused with
};

// The lines of a file as written, numbered from 1.
class Lines {
public:
    int64_t Add(const std::string& line) {
        lines_.push_back(line);
        return static_cast<int64_t>(lines_.size());
    }
    int64_t Next() const { return static_cast<int64_t>(lines_.size()) + 1; }
    std::string Bytes(bool cp932, bool bom, const char* end, bool lastEnd) const {
        std::string text = bom ? "\xEF\xBB\xBF" : "";
        for (size_t n = 0; n < lines_.size(); ++n) {
            text += cp932 ? ToCp932(lines_[n]) : lines_[n];
            if (n + 1 < lines_.size() || lastEnd) text += end;
        }
        return text;
    }

private:
    std::vector<std::string> lines_;
};

class Fuzzer {
public:
    explicit Fuzzer(uint64_t seed) : random_(seed) {}

    int Below(int n) { return static_cast<int>(random_() % static_cast<uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

    // A coordinate in metres to the millimetre, written one of the ways a
    // program writes it; its value is the C library's reading of the text.
    std::pair<std::string, long double> Number(long long millimetres) {
        char text[64];
        switch (Below(4)) {
            case 0: {
                const std::string decimals = std::to_string(1000 + std::llabs(millimetres % 1000)).substr(1);
                std::snprintf(text, sizeof text, "%s.%s", std::to_string(millimetres / 1000).c_str(), decimals.c_str());
                break;
            }
            case 1: std::snprintf(text, sizeof text, "%.17g", static_cast<double>(millimetres) / 1000.0); break;
            case 2: std::snprintf(text, sizeof text, "%.6e", static_cast<double>(millimetres) / 1000.0); break;
            default: std::snprintf(text, sizeof text, "%.3f", static_cast<double>(millimetres) / 1000.0); break;
        }
        std::string s = text;
        if (millimetres < 0 && millimetres > -1000 && s.rfind("0.", 0) == 0) s = "-" + s;  // the integer part lost the sign
        if (!s.empty() && s[0] != '-' && Chance(5)) s = "+" + s;
        return {s, static_cast<long double>(std::strtod(s.c_str(), nullptr))};
    }

    Corner RandomCorner(long long eastCentre, long long northCentre) {
        Corner c;
        const long long spread = 1 + Below(3) * 100000 + Below(200000);
        std::tie(c.eastText, c.east) = Number(eastCentre + Below(static_cast<int>(spread)) - spread / 2);
        std::tie(c.northText, c.north) = Number(northCentre + Below(static_cast<int>(spread)) - spread / 2);
        return c;
    }

    std::vector<Corner> RandomParcel(int minimum) {
        const long long east = (Below(2) ? -1 : 1) * static_cast<long long>(Below(100000)) * 1000;
        const long long north = (Below(2) ? -1 : 1) * static_cast<long long>(Below(100000)) * 1000;
        std::vector<Corner> corners;
        const int count = minimum + Below(Chance(10) ? 60 : 12);
        for (int n = 0; n < count; ++n) corners.push_back(RandomCorner(east, north));
        return corners;
    }

    std::string Name(int n) {
        static const char* const kNames[] = {"P", "北", "南", "一番", "筆界", "Lot"};
        return kNames[Below(6)] + std::to_string(n);
    }

    // A corner whose text becomes beyond every double: an infinity of its sign.
    void BeyondDouble(Corner& c) {
        const bool negative = Chance(50);
        if (Chance(50)) {
            c.northText = negative ? "-1e400" : "1e400";
            c.north = negative ? -HUGE_VALL : HUGE_VALL;
        } else {
            c.eastText = negative ? "-1e400" : "1e400";
            c.east = negative ? -HUGE_VALL : HUGE_VALL;
        }
    }

    std::string Pad(const std::string& field) { return Chance(15) ? " " + field + " " : field; }

    // ---- SIMA
    Expected Sima(Lines& lines) {
        Expected e;
        e.kind = ParcelFileKind::Sima;
        lines.Add("G00,04,分譲地,");
        if (Chance(50)) lines.Add("Z01,9,");
        lines.Add("A00,");
        struct Point {
            Corner corner;
            std::string number, name;
            int64_t line = 0, otherLine = 0;
        };
        std::vector<Point> points;
        std::vector<std::vector<size_t>> lots;  // point indexes of each parcel
        const int parcels = 1 + Below(5);
        for (int k = 0; k < parcels; ++k) {
            std::vector<size_t> lot;
            // A corner shared with the lot before, as neighbours share them.
            if (k > 0 && Chance(50)) lot.push_back(lots.back().front());
            for (const Corner& c : RandomParcel(Chance(5) ? 2 : 3)) {
                const size_t n = points.size() + 1;
                points.push_back(Point{c, std::to_string(n), Name(static_cast<int>(n)), 0, 0});
                lot.push_back(n - 1);
            }
            lots.push_back(lot);
        }
        const int fault = Chance(40) ? Below(4) : -1;
        const size_t faulty = static_cast<size_t>(Below(static_cast<int>(points.size())));
        if (fault == 0) BeyondDouble(points[faulty].corner);
        for (Point& p : points) {
            const bool broken = fault == 1 && &p == &points[faulty];
            p.line = lines.Add("A01," + Pad(p.number) + "," + Pad(p.name) + "," +
                               Pad(broken ? "1O.5" : p.corner.northText) + "," + Pad(p.corner.eastText) + ",,");
            if (broken) e.error = std::to_string(p.line) + " 行目: 点の座標（X, Y）が数ではありません";
        }
        if (fault == 2) {  // the point again, elsewhere, under another name
            Point& p = points[faulty];
            char moved[64];
            std::snprintf(moved, sizeof moved, "%.3f", static_cast<double>(p.corner.north) + 1.0);
            p.otherLine = lines.Add("A01," + p.number + ",Q" + p.number + "," + moved + "," + p.corner.eastText + ",,");
        }
        lines.Add("A99,");
        for (int k = 0; k < parcels; ++k) {
            ExpectedParcel parcel{std::to_string(k + 1), "一番" + std::to_string(k + 1), {}, {}, 0};
            lines.Add("D00," + parcel.number + "," + parcel.name + ",1,");
            std::vector<size_t> lot = lots[static_cast<size_t>(k)];
            if (Chance(20)) lot.push_back(lot.front());  // closed by its first point
            for (size_t index : lot) {
                const Point& p = points[index];
                const bool byNumber = Chance(70);
                const int64_t line = lines.Add("B01," + (byNumber ? p.number : "") + "," + p.name + ",");
                if (byNumber && p.otherLine != 0) {
                    ++parcel.unknownCorners;
                    if (parcel.problem.empty())
                        parcel.problem = std::to_string(line) + " 行目の点 " + p.number + " " + p.name + " の座標が " +
                                         std::to_string(p.line) + " 行目と " + std::to_string(p.otherLine) + " 行目で異なります";
                } else {
                    parcel.corners.push_back(p.corner);
                }
            }
            if (fault == 3 && k == parcels - 1) {
                const int64_t line = lines.Add("B01,99999,,");
                ++parcel.unknownCorners;
                if (parcel.problem.empty()) parcel.problem = std::to_string(line) + " 行目の点 99999  が座標にありません";
            }
            if (k < parcels - 1 || Chance(70)) lines.Add("D99,");
            e.parcels.push_back(Finished(parcel));
        }
        return e;
    }

    // The readers leave out a last corner repeating the first, and say when
    // fewer than 3 are left.
    static ExpectedParcel Finished(ExpectedParcel p) {
        auto& c = p.corners;
        if (c.size() >= 2 && c.front().east == c.back().east && c.front().north == c.back().north) c.pop_back();
        if (p.problem.empty() && c.size() < 3) p.problem = "構成点が " + std::to_string(c.size()) + " 点しかありません";
        return p;
    }

    // ---- coordinate list
    Expected List(Lines& lines, const std::string& stem) {
        Expected e;
        e.kind = ParcelFileKind::CoordinateList;
        if (Chance(50)) lines.Add(Chance(50) ? "点名,X,Y" : "No,X,Y,H");
        ExpectedParcel parcel{"1", stem, RandomParcel(3), {}, 0};
        if (Chance(20)) parcel.corners.push_back(parcel.corners.front());
        const int fault = Chance(40) ? Below(2) : -1;
        const size_t faulty = static_cast<size_t>(Below(static_cast<int>(parcel.corners.size())));
        if (fault == 0) BeyondDouble(parcel.corners[faulty]);
        const bool height = Chance(30);
        for (size_t n = 0; n < parcel.corners.size(); ++n) {
            const Corner& c = parcel.corners[n];
            // Named like SIMA records now and then, where no line is broken.
            const std::string name = fault < 0 && Chance(20) ? "A0" + std::to_string(n % 10) : Name(static_cast<int>(n + 1));
            const bool broken = fault == 1 && n == faulty;
            const int64_t line = lines.Add(Pad(name) + "," + Pad(broken ? "1O.5" : c.northText) + "," +
                                           Pad(c.eastText) + (height ? ",12.5" : ""));
            if (broken && e.error.empty()) e.error = std::to_string(line) + " 行目: 「点名,X,Y」の行ではありません";
            if (Chance(5)) lines.Add("");
        }
        e.parcels.push_back(Finished(parcel));
        return e;
    }

    // ---- DXF
    std::string Code(int code) {
        char text[16];
        std::snprintf(text, sizeof text, Chance(70) ? "%3d" : "%d", code);
        return text;
    }

    void Pair(Lines& lines, int code, const std::string& value) {
        lines.Add(Code(code));
        lines.Add(value);
    }

    Expected Drawing(Lines& lines, std::string& layer) {
        Expected e;
        e.kind = ParcelFileKind::BoundaryDxf;
        layer = Chance(25) ? "筆界" : "";
        if (Chance(50)) {
            Pair(lines, 0, "SECTION");
            Pair(lines, 2, "HEADER");
            Pair(lines, 9, "$ACADVER");
            Pair(lines, 1, "AC1015");
            Pair(lines, 0, "ENDSEC");
        }
        if (Chance(30)) {  // a block's polyline is no parcel
            Pair(lines, 0, "SECTION");
            Pair(lines, 2, "BLOCKS");
            Pair(lines, 0, "BLOCK");
            Pair(lines, 0, "POLYLINE");
            Pair(lines, 70, "1");
            for (int n = 0; n < 3; ++n) {
                Pair(lines, 0, "VERTEX");
                Pair(lines, 10, std::to_string(n));
                Pair(lines, 20, "0.0");
            }
            Pair(lines, 0, "SEQEND");
            Pair(lines, 0, "ENDBLK");
            Pair(lines, 0, "ENDSEC");
        }
        Pair(lines, 0, "SECTION");
        Pair(lines, 2, "ENTITIES");
        struct Drawn {
            ExpectedParcel parcel;
            bool light = false, closed = false, onLayer = false;
        };
        std::vector<Drawn> drawn;
        bool layerSeen = false;
        int lights = 0, heavies = 0;
        const int polylines = Chance(10) ? 0 : 1 + Below(Chance(50) ? 1 : 5);
        const int fault = Chance(40) ? Below(4) : -1;
        const int faultyPolyline = polylines > 0 ? Below(polylines) : -1;
        int64_t badLine = 0;
        for (int k = 0; k < polylines; ++k) {
            Drawn d;
            d.light = Chance(50);
            (d.light ? lights : heavies)++;
            d.parcel.corners = RandomParcel(3);
            d.closed = Chance(85);
            const bool closedByEnd = !d.closed && Chance(50);
            if (closedByEnd) d.parcel.corners.push_back(d.parcel.corners.front());
            const int which = Below(3);
            d.onLayer = which > 0;
            layerSeen = layerSeen || d.onLayer;
            const std::string layerText = which == 0 ? "0" : which == 1 ? "筆界" : "\\U+7B46\\U+754C";
            const bool faulty = k == faultyPolyline;
            const size_t vertex = static_cast<size_t>(Below(static_cast<int>(d.parcel.corners.size())));
            if (faulty && fault == 0) BeyondDouble(d.parcel.corners[vertex]);
            Pair(lines, 0, d.light ? "LWPOLYLINE" : "POLYLINE");
            Pair(lines, 8, layerText);
            if (d.light) Pair(lines, 90, std::to_string(d.parcel.corners.size()));
            if (!d.light) Pair(lines, 66, "1");
            Pair(lines, 70, d.closed ? (Chance(50) ? "1" : "129") : "0");
            for (size_t n = 0; n < d.parcel.corners.size(); ++n) {
                const Corner& c = d.parcel.corners[n];
                if (!d.light) {
                    Pair(lines, 0, "VERTEX");
                    Pair(lines, 8, layerText);
                }
                const bool here = faulty && n == vertex;
                if (here && fault == 3) {
                    lines.Add("1e1");
                    e.error = "DXF の" + std::to_string(lines.Next() - 1) + "行目のグループコードが整数ではありません";
                    lines.Add(c.eastText);
                } else {
                    Pair(lines, 10, c.eastText);
                }
                lines.Add(Code(20));
                const int64_t line = lines.Add(here && fault == 1 ? "1O.5" : c.northText);
                if (here && fault == 1) badLine = line;
                if (Chance(20) || (here && fault == 2)) Pair(lines, 42, here && fault == 2 ? "0.5" : "0.0");
            }
            if (faulty && fault == 2 && d.parcel.problem.empty())
                d.parcel.problem = "頂点 " + std::to_string(vertex + 1) + " に円弧があります";
            if (!d.light) Pair(lines, 0, "SEQEND");
            if (Chance(30)) {
                Pair(lines, 0, "TEXT");
                Pair(lines, 8, "0");
                Pair(lines, 10, "1.5");
                Pair(lines, 20, "2.5");
                Pair(lines, 1, "12");
            }
            drawn.push_back(d);
        }
        Pair(lines, 0, "ENDSEC");
        Pair(lines, 0, "EOF");

        e.boundaryReader = layer.empty() && lights == 0 && heavies <= 1;
        if (e.boundaryReader) {
            // The CAD export's reader: the polyline's vertices as they are.
            if (!drawn.empty()) e.parcels.push_back(drawn[0].parcel);
            if (e.error.empty() && badLine != 0) e.error = "DXF の" + std::to_string(badLine) + "行目の座標が数ではありません";
            if (e.error.empty() && fault == 2 && !drawn.empty()) e.error = drawn[0].parcel.problem;
            return e;
        }
        if (e.error.empty() && badLine != 0) e.error = std::to_string(badLine) + " 行目: 座標が数ではありません";
        int number = 0;
        for (Drawn& d : drawn) {
            if (!layer.empty() && !d.onLayer) continue;
            const auto& c = d.parcel.corners;
            const bool closedByEnd = c.size() >= 4 && c.front().east == c.back().east && c.front().north == c.back().north;
            if (!d.closed && !closedByEnd) continue;
            d.parcel.number = d.parcel.name = std::to_string(++number);
            e.parcels.push_back(Finished(d.parcel));
        }
        if (e.error.empty() && e.parcels.empty())
            e.error = !layer.empty() && !layerSeen ? "画層「筆界」の図形がありません" : "閉じたポリラインがありません";
        return e;
    }

private:
    std::mt19937_64 random_;
};

std::string Show(long double v) {
    std::ostringstream text;
    text << std::setprecision(21) << v;
    return text.str();
}

bool Same(long double read, long double expected) {
    return read == expected || (std::isinf(read) && std::isinf(expected) && (read < 0) == (expected < 0));
}

// The differences between what was read and what was written; empty when none.
std::string Compare(const Expected& e, const std::string& path, const std::string& layer, zelkan::EngineTables& t) {
    using namespace zelkan;
    const ParcelFileKind kind = KindOfParcelFile(path);
    if (kind != e.kind) return "kind " + std::to_string(static_cast<int>(kind));
    std::vector<ExpectedParcel> read;
    try {
        if (kind == ParcelFileKind::BoundaryDxf && !NeedsPolylineReader(path, layer)) {
            if (!e.boundaryReader) return "read by the one-boundary reader";
            ReadBoundaryDxf(path, t);
            if (t.xynum > 0) {
                read.emplace_back();
                for (int32_t v = 1; v <= t.xynum; ++v)
                    read.back().corners.push_back(Corner{"", "", t.xy[static_cast<size_t>(v)].x, t.xy[static_cast<size_t>(v)].y});
            }
        } else {
            if (e.boundaryReader) return "read by the polyline reader";
            const CoordinateFile file = kind == ParcelFileKind::Sima             ? ReadSimaFile(path)
                                        : kind == ParcelFileKind::CoordinateList ? ReadCoordinateList(path)
                                                                                 : ReadDxfPolylines(path, layer);
            for (const ParcelRecord& p : file.parcels) {
                ExpectedParcel r{p.number, p.name, {}, p.problem, p.unknownCorners};
                for (const TAcadPoint& c : p.corners) r.corners.push_back(Corner{"", "", c.x, c.y});
                read.push_back(r);
            }
        }
    } catch (const RunError& error) {
        const std::string what = error.what();
        if (e.error.empty()) return "refused: " + what;
        return what.find(e.error) == std::string::npos ? "refused with 「" + what + "」, not 「" + e.error + "」" : "";
    }
    if (!e.error.empty()) return "read, not refused with 「" + e.error + "」";
    if (read.size() != e.parcels.size())
        return std::to_string(read.size()) + " parcels, not " + std::to_string(e.parcels.size());
    for (size_t k = 0; k < read.size(); ++k) {
        const ExpectedParcel &r = read[k], &x = e.parcels[k];
        const std::string where = "parcel " + std::to_string(k + 1) + ": ";
        if (!e.boundaryReader) {
            if (r.number != x.number || (kind != ParcelFileKind::CoordinateList && r.name != x.name))
                return where + "named " + r.number + " " + r.name + ", not " + x.number + " " + x.name;
            if (x.problem.empty() != r.problem.empty() || r.problem.find(x.problem) == std::string::npos)
                return where + "problem 「" + r.problem + "」, not 「" + x.problem + "」";
            if (r.unknownCorners != x.unknownCorners) return where + "unknown corners";
        }
        if (!x.problem.empty()) continue;
        if (r.corners.size() != x.corners.size())
            return where + std::to_string(r.corners.size()) + " corners, not " + std::to_string(x.corners.size());
        for (size_t n = 0; n < r.corners.size(); ++n) {
            // The readers' x is east, y north.
            if (!Same(r.corners[n].east, x.corners[n].east) || !Same(r.corners[n].north, x.corners[n].north))
                return where + "corner " + std::to_string(n + 1) + " (" + Show(r.corners[n].east) + ", " +
                       Show(r.corners[n].north) + "), not " + x.corners[n].eastText + ", " + x.corners[n].northText;
        }
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    long long runs = 0;
    uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int n = 1; n + 1 < argc; n += 2) {
        const std::string option = argv[n];
        if (option == "--seconds") seconds = std::atof(argv[n + 1]);
        else if (option == "--runs") runs = std::atoll(argv[n + 1]);
        else if (option == "--seed") seed = std::strtoull(argv[n + 1], nullptr, 10);
    }
    if (seconds <= 0 && runs <= 0) runs = 1000;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zelkan-fuzz-" + std::to_string(seed % 1000000007));
    std::filesystem::create_directories(folder);
    const auto table = std::make_unique<zelkan::EngineTables>();
    const auto start = std::chrono::steady_clock::now();
    long long done = 0;
    for (;; ++done) {
        if (runs > 0 && done >= runs) break;
        if (seconds > 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds) break;
        const uint64_t runSeed = seed + static_cast<uint64_t>(done);
        Fuzzer f(runSeed);
        Lines lines;
        std::string layer;
        const int kind = f.Below(3);
        const char* const names[] = {"lots.sim", "一番.csv", "lots.dxf"};
        const Expected e = kind == 0 ? f.Sima(lines) : kind == 1 ? f.List(lines, "一番") : f.Drawing(lines, layer);
        const char* const ends[] = {"\r\n", "\n", "\r"};
        const int encoding = f.Below(3);
        const std::string bytes = lines.Bytes(encoding == 2, encoding == 1, ends[f.Below(3)], f.Chance(90));
        const std::string path = (folder / names[kind]).string();
        std::ofstream(std::filesystem::path(folder / names[kind]), std::ios::binary).write(bytes.data(),
                                                                                   static_cast<std::streamsize>(bytes.size()));
        const std::string difference = Compare(e, path, layer, *table);
        if (!difference.empty()) {
            std::fprintf(stderr, "run %s (--seed %s --runs 1): %s\n  file: %s%s%s\n", std::to_string(done).c_str(),
                         std::to_string(runSeed).c_str(), difference.c_str(), path.c_str(),
                         layer.empty() ? "" : "  layer: ", layer.c_str());
            return 1;
        }
    }
    std::filesystem::remove_all(folder);
    std::printf("%s runs, %.0f s, clean\n", std::to_string(done).c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return 0;
}
