#pragma once
// A main window that records what the logic does to it.
#include <algorithm>
#include <functional>
#include <optional>
#include <map>
#include <string>
#include <vector>

#include "app/main_window_view.h"
#include "viewers/division_views.h"

namespace zelkan::test {

class RecordingView : public MainWindowView {
public:
    void SetText(MainControl c, const std::string& text) override { texts[c] = text; }
    std::string Text(MainControl c) const override {
        const auto it = texts.find(c);
        return it == texts.end() ? std::string() : it->second;
    }
    void SetEnabled(MainControl c, bool on) override { enabled[c] = on; }
    void SetBold(MainControl c, bool on) override { bold[c] = on; }
    int32_t SearchModeIndex() const override { return searchMode; }
    void SetSearchModeIndex(int32_t index) override { searchMode = index; }
    void Minimize() override { events.push_back("minimize"); }
    void Restore() override { events.push_back("restore"); }
    void ProcessMessages() override {
        ++pumps;
        if (onPump) onPump();
    }
    void SleepMs(int) override {}
    void ShowMessage(const std::string& text) override { events.push_back("message: " + text); }
    bool ShowNotice(const std::string& caption, const std::string& message) override {
        events.push_back("notice " + caption + ": " + message);
        return true;
    }
    void Beep() override { events.push_back("beep"); }
    void SetTimerEnabled(bool on) override { events.push_back(on ? "timer on" : "timer off"); }
    void ShowSettingsDialog() override { events.push_back("settings"); }
    // The thumbnails return the scripted pick (reading only, as the window
    // does); the list shows the scripted division and accepts it, or is
    // cancelled (0).
    std::optional<int32_t> ShowThumbnails(const MeasurementState&, const SanshaSettings&, SearchMode mode) override {
        events.push_back("thumbnails " + std::to_string(ModeNumber(mode)));
        return thumbnailPick;
    }
    std::optional<int32_t> ShowDivisionList(MeasurementState& state, const SanshaSettings&, int32_t chosen) override {
        events.push_back("list " + std::to_string(chosen));
        LoadTriset(state.tables, chosen);
        if (listAccepts == 0) return std::nullopt;
        AcceptDivision(state.tables, listAccepts);
        return listAccepts;
    }
    void Close() override { events.push_back("close"); }

    bool Enabled(MainControl c) const {
        const auto it = enabled.find(c);
        return it == enabled.end() || it->second;
    }

    std::map<MainControl, std::string> texts{{MainControl::RunButton, "三斜自動"}, {MainControl::SettingsButton, "設定"},
                                             {MainControl::FirstNumberBox, "1"}, {MainControl::CoordinateAreaLabel, "座標面計値"}};
    std::map<MainControl, bool> enabled;
    std::map<MainControl, bool> bold;
    int32_t searchMode = 0;
    std::vector<std::string> events;
    int pumps = 0;
    std::optional<int32_t> thumbnailPick;
    int32_t listAccepts = 0;
    std::function<void()> onPump;
};

}  // namespace zelkan::test
