#include "stand_in_export.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <set>
#include <string_view>

#include "geometry/cp932.h"
#include "geometry/file_io.h"

namespace zelkan::standin {

namespace {

class Writer {
public:
    // Every object of an export carries a handle, as a CAD writes them.
    void Handle() {
        char buffer[17];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, nextHandle_++, 16);
        std::string h(buffer, ec == std::errc() ? end : buffer);
        for (char& c : h) c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
        Group(5, h);
    }
    void Group(int code, std::string_view value) {
        std::string codeText = std::to_string(code);
        if (codeText.size() < 3) codeText.insert(0, 3 - codeText.size(), ' ');
        text_ += codeText;
        text_ += "\r\n";
        text_ += value;
        text_ += "\r\n";
    }
    void Int(int code, int value) {
        std::string v = std::to_string(value);
        if (v.size() < 6) v.insert(0, 6 - v.size(), ' ');
        Group(code, v);
    }
    // The shortest text that reads back as the same double, always with a
    // decimal point.
    void Real(int code, double value) {
        char buffer[64];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
        std::string v(buffer, ec == std::errc() ? end : buffer);
        if (v.find_first_of(".eE") == std::string::npos) v += ".0";
        Group(code, v);
    }
    void Point(int code, Point2 p) {
        Real(code, p.x);
        Real(code + 10, p.y);
        Real(code + 20, 0.0);
    }
    std::string& text() { return text_; }

private:
    std::string text_;
    uint64_t nextHandle_ = 0x20;
};

struct Extents {
    Point2 min{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    Point2 max{std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    bool empty = true;
    void Take(Point2 p) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y)};
        max = {std::max(max.x, p.x), std::max(max.y, p.y)};
        empty = false;
    }
};

void WriteHeader(Writer& w, const std::vector<const Entity*>& selected) {
    Extents extents;
    for (const Entity* e : selected)
        for (Point2 p : e->points) extents.Take(p);
    if (extents.empty) extents.min = extents.max = {0, 0};
    w.Group(0, "SECTION");
    w.Group(2, "HEADER");
    w.Group(9, "$ACADVER");
    w.Group(1, "AC1009");
    w.Group(9, "$INSBASE");
    w.Point(10, {0, 0});
    w.Group(9, "$EXTMIN");
    w.Point(10, extents.min);
    w.Group(9, "$EXTMAX");
    w.Point(10, extents.max);
    w.Group(9, "$LIMMIN");
    w.Real(10, 0.0);
    w.Real(20, 0.0);
    w.Group(9, "$LIMMAX");
    w.Real(10, 420.0);
    w.Real(20, 297.0);
    for (const char* mode : {"$ORTHOMODE", "$REGENMODE", "$FILLMODE", "$QTEXTMODE", "$MIRRTEXT"}) {
        w.Group(9, mode);
        w.Int(70, mode == std::string_view("$REGENMODE") || mode == std::string_view("$FILLMODE") ? 1 : 0);
    }
    w.Group(9, "$LTSCALE");
    w.Real(40, 1.0);
    w.Group(9, "$TEXTSIZE");
    w.Real(40, 2.5);
    w.Group(9, "$TEXTSTYLE");
    w.Group(7, "STANDARD");
    w.Group(9, "$CLAYER");
    w.Group(8, "0");
    w.Group(9, "$CELTYPE");
    w.Group(6, "BYLAYER");
    w.Group(9, "$CECOLOR");
    w.Int(62, 256);
    w.Group(9, "$DIMSCALE");
    w.Real(40, 1.0);
    w.Group(9, "$LUNITS");
    w.Int(70, 2);
    w.Group(9, "$LUPREC");
    w.Int(70, 4);
    w.Group(9, "$AUNITS");
    w.Int(70, 0);
    w.Group(9, "$AUPREC");
    w.Int(70, 0);
    w.Group(9, "$PDMODE");
    w.Int(70, 0);
    w.Group(9, "$PDSIZE");
    w.Real(40, 0.0);
    w.Group(9, "$PLINEWID");
    w.Real(40, 0.0);
    w.Group(9, "$HANDLING");
    w.Int(70, 1);
    w.Group(9, "$HANDSEED");
    w.Group(5, "FFFF");
    w.Group(0, "ENDSEC");
}

void WriteTables(Writer& w, const Drawing& drawing) {
    w.Group(0, "SECTION");
    w.Group(2, "TABLES");
    w.Group(0, "TABLE");
    w.Group(2, "VPORT");
    w.Int(70, 1);
    w.Group(0, "VPORT");
    w.Group(2, "*ACTIVE");
    w.Int(70, 0);
    w.Group(0, "ENDTAB");
    w.Group(0, "TABLE");
    w.Group(2, "LTYPE");
    w.Int(70, 1);
    w.Group(0, "LTYPE");
    w.Group(2, "CONTINUOUS");
    w.Int(70, 0);
    w.Group(3, "Solid line");
    w.Int(72, 65);
    w.Int(73, 0);
    w.Real(40, 0.0);
    w.Group(0, "ENDTAB");
    w.Group(0, "TABLE");
    w.Group(2, "LAYER");
    w.Int(70, static_cast<int>(drawing.layers().size()));
    for (const std::string& layer : drawing.layers()) {
        w.Group(0, "LAYER");
        w.Group(2, layer);
        w.Int(70, 0);
        w.Int(62, 7);
        w.Group(6, "CONTINUOUS");
    }
    w.Group(0, "ENDTAB");
    w.Group(0, "TABLE");
    w.Group(2, "STYLE");
    w.Int(70, 1);
    w.Group(0, "STYLE");
    w.Group(2, "STANDARD");
    w.Int(70, 0);
    w.Real(40, 0.0);
    w.Real(41, 1.0);
    w.Real(50, 0.0);
    w.Int(71, 0);
    w.Group(3, "txt");
    w.Group(4, "");
    w.Group(0, "ENDTAB");
    for (const char* empty : {"VIEW", "UCS"}) {
        w.Group(0, "TABLE");
        w.Group(2, empty);
        w.Int(70, 0);
        w.Group(0, "ENDTAB");
    }
    w.Group(0, "TABLE");
    w.Group(2, "APPID");
    w.Int(70, 1);
    w.Group(0, "APPID");
    w.Group(2, "ACAD");
    w.Int(70, 0);
    w.Group(0, "ENDTAB");
    w.Group(0, "TABLE");
    w.Group(2, "DIMSTYLE");
    w.Int(70, 1);
    w.Group(0, "DIMSTYLE");
    w.Group(2, "STANDARD");
    w.Int(70, 0);
    w.Group(0, "ENDTAB");
    w.Group(0, "ENDSEC");
}

void WriteEntity(Writer& w, const Entity& e) {
    switch (e.kind) {
        case EntityKind::Polyline:
            w.Group(0, "POLYLINE");
            w.Handle();
            w.Group(8, e.layer);
            w.Int(66, 1);
            w.Point(10, {0, 0});
            w.Int(70, e.closed ? 1 : 0);
            for (Point2 p : e.points) {
                w.Group(0, "VERTEX");
                w.Handle();
                w.Group(8, e.layer);
                w.Point(10, p);
            }
            w.Group(0, "SEQEND");
            w.Handle();
            w.Group(8, e.layer);
            break;
        case EntityKind::Line:
            w.Group(0, "LINE");
            w.Handle();
            w.Group(8, e.layer);
            w.Point(10, e.points.at(0));
            w.Point(11, e.points.at(1));
            break;
        case EntityKind::Text:
            w.Group(0, "TEXT");
            w.Handle();
            w.Group(8, e.layer);
            w.Point(10, e.points.at(0));
            w.Real(40, e.size);
            w.Group(1, e.text);
            if (e.angle != 0) w.Real(50, e.angle);
            break;
        case EntityKind::Circle:
            w.Group(0, "CIRCLE");
            w.Handle();
            w.Group(8, e.layer);
            w.Point(10, e.points.at(0));
            w.Real(40, e.size);
            break;
        case EntityKind::Insert:
            w.Group(0, "INSERT");
            w.Handle();
            w.Group(8, e.layer);
            w.Group(2, e.text);
            w.Point(10, e.points.at(0));
            w.Real(41, e.size);
            w.Real(42, e.size);
            w.Real(43, e.size);
            if (e.angle != 0) w.Real(50, e.angle);
            break;
    }
}

void WriteBlock(Writer& w, std::string_view name, int flags, const std::vector<Entity>& entities) {
    w.Group(0, "BLOCK");
    w.Group(8, "0");
    w.Group(2, name);
    w.Int(70, flags);
    w.Point(10, {0, 0});
    w.Group(3, name);
    for (const Entity& e : entities) WriteEntity(w, e);
    w.Group(0, "ENDBLK");
    w.Group(8, "0");
}

}  // namespace

std::string DxfR12Export(const Drawing& drawing, ExportSelection selection) {
    std::vector<const Entity*> selected;
    if (selection == ExportSelection::All) {
        for (const Entity& e : drawing.entities()) selected.push_back(&e);
    } else if (const Entity* last = drawing.Last()) {
        selected.push_back(last);
    }
    std::set<std::string> usedBlocks;
    for (const Entity* e : selected)
        if (e->kind == EntityKind::Insert) usedBlocks.insert(e->text);

    Writer w;
    WriteHeader(w, selected);
    WriteTables(w, drawing);
    w.Group(0, "SECTION");
    w.Group(2, "BLOCKS");
    WriteBlock(w, "$MODEL_SPACE", 0, {});
    WriteBlock(w, "$PAPER_SPACE", 0, {});
    for (const Block& block : drawing.blocks())
        if (usedBlocks.count(block.name) != 0) WriteBlock(w, block.name, 0, block.entities);
    w.Group(0, "ENDSEC");
    w.Group(0, "SECTION");
    w.Group(2, "ENTITIES");
    for (const Entity* e : selected) WriteEntity(w, *e);
    w.Group(0, "ENDSEC");
    w.Group(0, "EOF");
    return std::move(w.text());
}

void WriteDxfR12Export(const Drawing& drawing, ExportSelection selection, const std::string& fileName) {
    WriteFileAtomically(fileName, Utf8ToCp932(DxfR12Export(drawing, selection)));
}

}  // namespace zelkan::standin
