// A Window that records every call in order, and keeps the menu's marks as
// the real menu would (starting from the marks of the menu table).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/window.h"
#include "resources/menu.h"

namespace prismview::test {

class RecordingWindow : public Window {
public:
    RecordingWindow() {
        for (const MenuPopup& popup : MainMenu)
            for (const MenuItem& item : popup.items)
                if (item.id != 0) marks[item.id] = item.checkedAtStart;
    }
    void DrawStatusText(std::string_view text) override { calls.push_back("status " + std::string(text)); }
    void RequestRepaint() override { calls.emplace_back("repaint"); }
    void SetMenuCheck(std::uint16_t id, bool checked) override {
        calls.push_back("check " + std::to_string(id) + (checked ? " on" : " off"));
        marks[id] = checked;
    }
    void Destroy() override { calls.emplace_back("destroy"); }
    void PostQuit(int code) override { calls.push_back("quit " + std::to_string(code)); }

    // The ids that carry a mark right now, in ascending order.
    std::vector<std::uint16_t> Marked() const {
        std::vector<std::uint16_t> ids;
        for (const auto& [id, on] : marks)
            if (on) ids.push_back(id);
        return ids;
    }
    std::size_t Count(std::string_view prefix) const {
        std::size_t n = 0;
        for (const std::string& call : calls)
            if (call.rfind(prefix, 0) == 0) ++n;
        return n;
    }

    std::vector<std::string> calls;
    std::map<std::uint16_t, bool> marks;
};

}  // namespace prismview::test
