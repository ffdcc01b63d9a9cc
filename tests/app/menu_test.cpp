#include "app/menu.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/params.h"
#include "effects/mode_table.h"

namespace prismview {
namespace {

TEST(MainMenu, FivePopupsWithTheirCaptionsAndItemCounts) {
    ASSERT_EQ(MainMenu().size(), 5u);
    const std::vector<std::string> captions = {"ﾌｧｲﾙ(&F)", "表示画像(&V)", "表示処理(&A)", "並べ方(&N)", "ﾍﾙﾌﾟ(&H)"};
    const std::vector<std::size_t> counts = {14, 18, 31, 5, 2};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(MainMenu()[i].caption, captions[i]);
        EXPECT_EQ(MainMenu()[i].items.size(), counts[i]) << captions[i];
    }
}

TEST(MainMenu, SeparatorsAndDialogItemsOfTheModeMenu) {
    const auto& items = MainMenu()[2].items;
    std::vector<std::size_t> separators;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].action == MenuAction::Separator) separators.push_back(i);
    EXPECT_EQ(separators, (std::vector<std::size_t>{19, 22, 29}));
    EXPECT_EQ(items[20].id, Command::HueLevelDialog);
    EXPECT_EQ(items[20].caption, "色相・明度指定...");
    EXPECT_EQ(items[21].id, Command::BackgroundColour);
    EXPECT_EQ(items[21].caption, "背景色...");
    EXPECT_EQ(items[30].id, Command::WaveDialog);
    EXPECT_EQ(items[30].caption, "波の設定...");
}

TEST(MainMenu, TheViewMenuEndsWithTheScalesAndTheStatusBar) {
    const auto& items = MainMenu()[1].items;
    ASSERT_EQ(items.size(), 18u);
    EXPECT_EQ(items[5].id, Command::ShowAll);
    // The browser right after 全て表示, a mark of its own.
    EXPECT_EQ(items[6].id, Command::Browser);
    EXPECT_EQ(static_cast<int>(items[6].id), 32833);
    EXPECT_EQ(items[6].caption, "全加工の一覧(&L) Tab");
    EXPECT_EQ(items[6].action, MenuAction::Browser);
    EXPECT_FALSE(items[6].checkedAtStart);
    EXPECT_EQ(items[7].action, MenuAction::Separator);
    EXPECT_EQ(items[8].id, Command::ActualSize);
    EXPECT_EQ(items[8].caption, "等倍表示(&Z)");
    EXPECT_EQ(items[8].action, MenuAction::ActualSize);
    EXPECT_FALSE(items[8].checkedAtStart);
    EXPECT_EQ(items[9].id, Command::ZoomIn);
    EXPECT_EQ(items[11].id, Command::FitToWindow);
    EXPECT_EQ(items[12].id, Command::SplitView);
    EXPECT_EQ(items[14].id, Command::StatusBar);
    EXPECT_TRUE(items[14].checkedAtStart);
    EXPECT_EQ(items[15].id, Command::Captions);
    EXPECT_EQ(items[16].id, Command::ProbePanel);
    EXPECT_EQ(items[16].action, MenuAction::ProbePanel);
    EXPECT_FALSE(items[16].checkedAtStart);
    EXPECT_EQ(items[17].id, Command::ParameterPanel);
    EXPECT_EQ(items[17].caption, "パラメータ(&R)");
    EXPECT_EQ(items[17].action, MenuAction::ParameterPanel);
    EXPECT_FALSE(items[17].checkedAtStart);
}

TEST(MainMenu, EveryModeRecordHasOneItemInItsSectionInNumberOrder) {
    // The colour modes stand before the dialogs, the distortions after them.
    std::vector<const ModeSpec*> seen;
    int separators = 0;
    for (const MenuItem& item : MainMenu()[2].items) {
        if (item.action == MenuAction::Separator) ++separators;
        if (item.action != MenuAction::SetEffectMode) continue;
        const ModeSpec* mode = FindMode(item.value);
        ASSERT_NE(mode, nullptr) << item.value;
        EXPECT_EQ(FindMenuItem(ModeCommand(mode->mode)), &item);  // one item a mode, found by its command
        EXPECT_EQ(item.caption, mode->menuCaption);
        EXPECT_EQ(separators, mode->section == MenuSection::Colours ? 0 : 2) << mode->name;
        EXPECT_TRUE(seen.empty() || seen.back()->mode < mode->mode);
        seen.push_back(mode);
    }
    EXPECT_EQ(seen.size(), AllModes().size());
}

TEST(MainMenu, IdsAreUniqueAndExactlyFourItemsStartChecked) {
    std::set<Command> ids;
    std::vector<std::string> checked;
    for (const MenuPopup& popup : MainMenu())
        for (const MenuItem& item : popup.items) {
            if (item.action == MenuAction::Separator) {
                EXPECT_EQ(item.id, Command::None);
                continue;
            }
            EXPECT_TRUE(ids.insert(item.id).second) << item.caption;
            EXPECT_EQ(FindMenuItem(item.id), &item);
            if (item.checkedAtStart) checked.emplace_back(item.caption);
        }
    EXPECT_EQ(checked, (std::vector<std::string>{"全て表示(&H)", "ステータスバー(&T)", "反転", "二列(&2)"}));
    EXPECT_EQ(FindMenuItem(Command::None), nullptr);
    EXPECT_EQ(FindMenuItem(Command{32770}), nullptr);
}

}  // namespace
}  // namespace prismview
