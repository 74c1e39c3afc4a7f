#pragma once
// The stand-in CAD's drawing: the few kinds of objects a parcel drawing and
// the tool's result drawings hold, the layers, the blocks inserted into it,
// and which object was created last.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelkan::standin {

struct Point2 {
    double x = 0;
    double y = 0;
};

enum class EntityKind { Polyline, Line, Text, Circle, Insert };

struct Entity {
    EntityKind kind = EntityKind::Line;
    std::string layer = "0";
    std::vector<Point2> points;  // polyline vertices; a line's two ends; a text's, circle's or insert's place
    bool closed = false;         // polyline
    double size = 0;             // text height, circle radius, insert scale
    double angle = 0;            // text or insert rotation, degrees
    std::string text;            // a text's content (UTF-8), an insert's block name
};

struct Block {
    std::string name;
    std::vector<Entity> entities;
};

class Drawing {
public:
    // Objects, layers and blocks of a DXF text (code page 932): LINE, TEXT,
    // CIRCLE, POLYLINE with its VERTEX records and LWPOLYLINE; the layer
    // table. Anything else is passed over. Throws std::runtime_error for a
    // group-code line that is not an integer.
    static Drawing FromDxf(std::string_view cp932Text);

    const std::vector<Entity>& entities() const { return entities_; }
    const std::vector<Block>& blocks() const { return blocks_; }
    const std::vector<std::string>& layers() const { return layers_; }

    bool HasLayer(std::string_view name) const;
    void AddLayer(std::string_view name);

    // A new object, which becomes the last one; its layer is added if new.
    void Add(Entity entity);
    // The last object created and not erased, if any.
    const Entity* Last() const;
    bool EraseLast();

    // The boundary around an inside point: a new closed polyline along the
    // smallest closed polyline that contains the point. False when none does.
    bool CreateBoundaryAround(Point2 inside);

    // Defines (or redefines) a block from a drawing and inserts it.
    void InsertBlock(std::string_view name, const Drawing& source, Point2 at, double scale, double angle);

private:
    std::vector<Entity> entities_;
    std::vector<Block> blocks_;
    std::vector<std::string> layers_{"0"};
};

// Even-odd containment of a point in a closed ring.
bool RingContains(const std::vector<Point2>& ring, Point2 p);

}  // namespace zelkan::standin
