#include "stand_in_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "geometry/cp932.h"
#include "geometry/text_helpers.h"

namespace zelkan::standin {

namespace {

struct Pair {
    int code = 0;
    std::string value;  // UTF-8
};

std::vector<Pair> ReadPairs(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    std::vector<Pair> pairs;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string_view codeText = TrimSpaceNul(lines[i]);
        Pair pair;
        const auto [ptr, ec] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), pair.code);
        if (ec != std::errc() || ptr != codeText.data() + codeText.size())
            throw std::runtime_error("DXF group code is not an integer: " + std::string(codeText));
        pair.value = Cp932ToUtf8(lines[i + 1]);
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

double Number(const std::string& value) { return StrToReal(value); }

// Collects the records of one entity and turns them into an Entity.
class EntityBuilder {
public:
    void Start(std::string_view type) {
        type_ = std::string(type);
        entity_ = Entity{};
        x_ = y_ = 0;
    }
    const std::string& type() const { return type_; }

    void Take(const Pair& p) {
        switch (p.code) {
            case 8: entity_.layer = p.value; break;
            case 1: entity_.text = p.value; break;
            case 10:
                x_ = Number(p.value);
                if (type_ == "LWPOLYLINE") entity_.points.push_back({x_, 0});
                break;
            case 20:
                y_ = Number(p.value);
                if (type_ == "LWPOLYLINE" && !entity_.points.empty()) entity_.points.back().y = y_;
                else if (type_ != "LWPOLYLINE") first_ = {x_, y_};
                break;
            case 11: x2_ = Number(p.value); break;
            case 21: second_ = {x2_, Number(p.value)}; break;
            case 40: entity_.size = Number(p.value); break;
            case 50: entity_.angle = Number(p.value); break;
            case 70: entity_.closed = (static_cast<int>(Number(p.value)) & 1) != 0; break;
            default: break;
        }
    }

    Point2 first() const { return first_; }
    Point2 second() const { return second_; }
    Entity& entity() { return entity_; }

private:
    std::string type_;
    Entity entity_;
    double x_ = 0, y_ = 0, x2_ = 0;
    Point2 first_{}, second_{};
};

}  // namespace

Drawing Drawing::FromDxf(std::string_view cp932Text) {
    Drawing drawing;
    const std::vector<Pair> pairs = ReadPairs(cp932Text);
    std::string section;
    std::string table;
    bool inLayerRecord = false;
    EntityBuilder current;
    std::optional<Entity> polyline;  // an old-style polyline collecting its vertices

    auto finish = [&]() {
        const std::string& type = current.type();
        Entity& e = current.entity();
        if (type == "LINE") {
            e.kind = EntityKind::Line;
            e.points = {current.first(), current.second()};
            drawing.Add(e);
        } else if (type == "TEXT") {
            e.kind = EntityKind::Text;
            e.points = {current.first()};
            drawing.Add(e);
        } else if (type == "CIRCLE") {
            e.kind = EntityKind::Circle;
            e.points = {current.first()};
            drawing.Add(e);
        } else if (type == "LWPOLYLINE") {
            e.kind = EntityKind::Polyline;
            drawing.Add(e);
        } else if (type == "POLYLINE") {
            e.kind = EntityKind::Polyline;
            polyline = e;
        } else if (type == "VERTEX" && polyline) {
            polyline->points.push_back(current.first());
        } else if (type == "SEQEND" && polyline) {
            drawing.Add(*polyline);
            polyline.reset();
        }
        current.Start("");
    };

    for (size_t i = 0; i < pairs.size(); ++i) {
        const Pair& p = pairs[i];
        if (p.code == 0) {
            if (section == "ENTITIES") finish();
            inLayerRecord = false;
            if (p.value == "SECTION" && i + 1 < pairs.size() && pairs[i + 1].code == 2) {
                section = pairs[++i].value;
                continue;
            }
            if (p.value == "ENDSEC") section.clear();
            if (section == "TABLES" && p.value == "TABLE" && i + 1 < pairs.size() && pairs[i + 1].code == 2) {
                table = pairs[++i].value;
                continue;
            }
            if (section == "TABLES" && table == "LAYER" && p.value == "LAYER") inLayerRecord = true;
            if (section == "ENTITIES") current.Start(p.value);
            continue;
        }
        if (inLayerRecord && p.code == 2) drawing.AddLayer(p.value);
        if (section == "ENTITIES") current.Take(p);
    }
    return drawing;
}

bool Drawing::HasLayer(std::string_view name) const {
    return std::find(layers_.begin(), layers_.end(), name) != layers_.end();
}

void Drawing::AddLayer(std::string_view name) {
    if (!name.empty() && !HasLayer(name)) layers_.emplace_back(name);
}

void Drawing::Add(Entity entity) {
    AddLayer(entity.layer);
    entities_.push_back(std::move(entity));
}

const Entity* Drawing::Last() const { return entities_.empty() ? nullptr : &entities_.back(); }

bool Drawing::EraseLast() {
    if (entities_.empty()) return false;
    entities_.pop_back();
    return true;
}

bool RingContains(const std::vector<Point2>& ring, Point2 p) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const Point2 a = ring[i], b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

namespace {

double RingArea(const std::vector<Point2>& ring) {
    double twice = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twice += ring[j].x * ring[i].y - ring[i].x * ring[j].y;
    return std::fabs(twice) / 2;
}

}  // namespace

bool Drawing::CreateBoundaryAround(Point2 inside) {
    const Entity* best = nullptr;
    for (const Entity& e : entities_) {
        if (e.kind != EntityKind::Polyline || !e.closed || e.points.size() < 3) continue;
        if (!RingContains(e.points, inside)) continue;
        if (best == nullptr || RingArea(e.points) < RingArea(best->points)) best = &e;
    }
    if (best == nullptr) return false;
    Entity boundary;
    boundary.kind = EntityKind::Polyline;
    boundary.closed = true;
    boundary.points = best->points;
    Add(std::move(boundary));
    return true;
}

void Drawing::InsertBlock(std::string_view name, const Drawing& source, Point2 at, double scale, double angle) {
    Block block{std::string(name), source.entities()};
    for (const std::string& layer : source.layers()) AddLayer(layer);
    auto same = std::find_if(blocks_.begin(), blocks_.end(), [&](const Block& b) { return b.name == name; });
    if (same != blocks_.end()) *same = std::move(block);
    else blocks_.push_back(std::move(block));
    Entity insert;
    insert.kind = EntityKind::Insert;
    insert.points = {at};
    insert.size = scale;
    insert.angle = angle;
    insert.text = std::string(name);
    Add(std::move(insert));
}

}  // namespace zelkan::standin
