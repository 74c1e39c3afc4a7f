#include "stand_in_scenario.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

namespace zelkan::standin {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool YesNo(std::string_view key, std::string_view value) {
    if (value == "yes") return true;
    if (value == "no") return false;
    throw std::invalid_argument("scenario: " + std::string(key) + " must be yes or no");
}

Variable& VariableNamed(Scenario& s, std::string_view name) {
    const std::string upper = UpperAscii(name);
    auto it = std::find_if(s.variables.begin(), s.variables.end(), [&](const Variable& v) { return v.name == upper; });
    if (it != s.variables.end()) return *it;
    s.variables.push_back({upper, "", false});
    return s.variables.back();
}

}  // namespace

bool ParseNumber(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double parsed = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || ec != std::errc() || ptr != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

std::string UpperAscii(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

std::optional<Point2> ParsePoint(std::string_view text) {
    const size_t first = text.find(',');
    if (first == std::string_view::npos) return std::nullopt;
    const size_t second = text.find(',', first + 1);
    Point2 p;
    double z = 0;
    if (!ParseNumber(text.substr(0, first), p.x)) return std::nullopt;
    if (!ParseNumber(text.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1), p.y))
        return std::nullopt;
    if (second != std::string_view::npos && !ParseNumber(text.substr(second + 1), z)) return std::nullopt;
    return p;
}

Scenario ParseScenario(std::string_view text) {
    Scenario s;
    bool picksGiven = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) throw std::invalid_argument("scenario: no '=' in: " + std::string(line));
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (key == "frame.title") s.frameTitle = value;
        else if (key == "frame.class") s.frameClass = value;
        else if (key == "frame.unicode") s.frameUnicode = YesNo(key, value);
        else if (key == "text.title") s.textTitle = value;
        else if (key == "text.class") s.textClass = value;
        else if (key == "floating.title") s.floatingTitle = value;
        else if (key == "floating.class") s.floatingClass = value;
        else if (key == "input.title") s.inputTitle = value;
        else if (key == "history.title") s.historyTitle = value;
        else if (key == "panes") {
            if (value == "frame") s.panes = PanePlace::Frame;
            else if (value == "floating") s.panes = PanePlace::Floating;
            else if (value == "text") s.panes = PanePlace::TextWindow;
            else throw std::invalid_argument("scenario: panes must be frame, floating or text");
        } else if (key == "pick") {
            if (!picksGiven) s.picks.clear();
            picksGiven = true;
            if (value == "cancel") {
                s.picks.push_back(std::nullopt);
            } else if (auto p = ParsePoint(value)) {
                s.picks.push_back(*p);
            } else {
                throw std::invalid_argument("scenario: pick must be x,y or cancel: " + std::string(value));
            }
        } else if (key == "pick.delay") {
            double ms = 0;
            if (!ParseNumber(value, ms) || ms < 0) throw std::invalid_argument("scenario: bad pick.delay");
            s.pickDelayMs = static_cast<int>(ms);
        } else if (key == "decoy") {
            const size_t bar = value.find('|');
            if (bar == std::string_view::npos) throw std::invalid_argument("scenario: decoy must be CLASS | TITLE");
            s.decoys.push_back({std::string(Trim(value.substr(0, bar))), std::string(Trim(value.substr(bar + 1)))});
        } else if (key.substr(0, 4) == "var.") {
            std::string_view name = key.substr(4);
            if (name.size() > 9 && name.substr(name.size() - 9) == ".readonly") {
                VariableNamed(s, name.substr(0, name.size() - 9)).readOnly = YesNo(key, value);
            } else {
                VariableNamed(s, name).value = value;
            }
        } else {
            throw std::invalid_argument("scenario: unknown key " + std::string(key));
        }
    }
    return s;
}

}  // namespace zelkan::standin
