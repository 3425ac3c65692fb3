// Mouse, keys and a clock played from a script, standing in for the window.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "gui/Input.h"
#include "gui/WindowPort.h"

namespace testing_support {

class ScriptedInput : public gui::InputSource, public gui::WindowPort {
public:
    struct Sample {
        int buttons;
        gui::Point where;
    };

    // The first sample is the state at the click. Each location() call
    // moves on to the next sample, as time passes between polls of a drag;
    // buttons() reads the current one. After the script the buttons are up.
    void script(std::vector<Sample> samples) {
        samples_ = std::move(samples);
        index_ = 0;
    }
    // A press at from, a straight drag to to in steps, then a release.
    void drag(gui::Point from, gui::Point to, int buttons, int steps = 10) {
        std::vector<Sample> s{{buttons, from}};
        for (int i = 1; i <= steps; ++i)
            s.push_back({buttons, {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}});
        s.push_back({buttons, to});
        s.push_back({0, to});
        script(s);
    }
    void typeKeys(std::vector<gui::KeyCode> keys) { keys_.assign(keys.begin(), keys.end()); }

    int buttons() override { return index_ < samples_.size() ? samples_[index_].buttons : 0; }
    gui::Point location() override {
        if (samples_.empty()) return {};
        if (index_ + 1 < samples_.size()) ++index_;
        else index_ = samples_.size();  // the script has run out: buttons up
        return samples_[std::min(index_, samples_.size() - 1)].where;
    }
    long long ticks() override { return now_; }
    void sleep(int milliseconds) override { now_ += milliseconds; }
    bool nextKey(gui::KeyCode* key) override {
        if (keys_.empty()) return false;
        *key = keys_.front();
        keys_.pop_front();
        return true;
    }
    bool modalLoopAlive() override { return index_ + 1 < samples_.size() || !keys_.empty(); }
    void advance(long long milliseconds) { now_ += milliseconds; }

    gui::InputSource& input() override { return *this; }
    gui::Point screenPosition() override { return {100, 100}; }
    void present(const gui::PixelBuffer&, const gui::Rect&) override {
        ++presents;
        if (onPresent) onPresent();
    }
    bool hoverLocation(gui::Point* where) override {
        if (hovering) *where = *hovering;
        return hovering.has_value();
    }

    int presents = 0;
    std::function<void()> onPresent;
    std::optional<gui::Point> hovering;  // where the mouse rests, when over the window

private:
    std::vector<Sample> samples_;
    std::size_t index_ = 0;
    std::deque<gui::KeyCode> keys_;
    long long now_ = 1000;
};

}  // namespace testing_support
