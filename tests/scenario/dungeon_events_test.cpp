// The chests' mimic and the paladin's farewell: what keys from a save cannot reach (a chosen draw, the twentieth
// fight of a level); the places themselves are played in the dungeon recordings.
#include <deque>
#include <memory>

#include "support/scenario.h"

#include "data/level_slots.h"
#include "dungeon/chests.h"
#include "dungeon/dungeon_events.h"

namespace kelvrin::test {
namespace {

class DungeonTest : public ScenarioTest {
protected:
    // After the keys typed beforehand, every command of a fight is `inFight`, outside fights the keys of `after`.
    void fightWith(int inFight, const std::string& after) {
        auto rest = std::make_shared<std::deque<int>>(after.begin(), after.end());
        screen.setKeySource([rest, inFight] {
            if (world.inCombat || rest->empty()) return world.inCombat ? inFight : int(KeyEnd);
            const int key = rest->front();
            rest->pop_front();
            return key;
        });
    }
    // An event from a fresh transcript with the keys before, in and after its fight; it must return before their end.
    EventOutcome event(EventOutcome (*place)(), const std::string& typed, int inFight, const std::string& after) {
        EventOutcome outcome = EventOutcome::Died;
        screen.type(typed);
        fightWith(inFight, after);
        EXPECT_FALSE(play([&] { outcome = place(); }, "")) << typed;
        return outcome;
    }
};

TEST_F(DungeonTest, AMimicLeftBehindCountsAsAnOpenedChest) {
    // A mimic left behind counts as an opened chest; the same draw on the first and the last level opens a chest.
    std::tie(hero.feats, hero.maxHp, hero.hp) = std::tuple(FeatRun, 200, 200);  // pace 7 against the mimic's 2: escapes
    const std::uint32_t seed = seedSuchThat([] { return randomNext() % 40 == 0; });  // the first draw wakes a mimic
    EXPECT_EQ(event([] { return openChest(SlotMine, 3); }, " ", 'u', " "), EventOutcome::StepBack);
    EXPECT_TRUE(screen.transcript().starts_with(
        "Znalazłeś skrzynię.\n\n(ok){clear}\nGdy podszedłeś do skrzynki, zaatakowała cię.\n"));
    EXPECT_EQ(world.levelSeeds[SlotMine].openedChests, 1u << 3);
    EXPECT_EQ(openChest(SlotMine, 3), EventOutcome::Stay);
    for (auto open : {+[] { return openChest(0, 0); }, +[] { return openChest(SlotLastDungeonLevel, 0); }}) {
        seedRandom(seed);
        event(open, "", 'u', " w\n");
        EXPECT_FALSE(said("zaatakowała"));
    }
}

// A companion leaves after the 20th fight of a crypt level, as a friend; a dead paladin or an enemy never does.
TEST_F(DungeonTest, ThePaladinLeavesAFriendAfterTwentyCryptFights) {
    world.location = LocationCrypt;
    world.dungeonLevel = 1;
    world.storyFlags = PaladinCompanion;
    EXPECT_FALSE(paladinFarewellDue(19));
    EXPECT_TRUE(paladinFarewellDue(20));
    event([] { paladinFarewell(); return EventOutcome::Stay; }, " ", 'f', "");
    EXPECT_TRUE(said("Dziękuje za pomoc w zwalczaniu tych plugawych potworów."));
    EXPECT_TRUE(world.has(PaladinFriend));
    EXPECT_FALSE(world.has(PaladinCompanion));
    EXPECT_FALSE(paladinFarewellDue(20));
    for (std::uint32_t flags : {std::uint32_t{PaladinDead}, std::uint32_t{PaladinHostile | LandOwned}}) {
        world.storyFlags = flags;
        EXPECT_FALSE(paladinFarewellDue(20)) << flags;
    }
    // Below the first crypt level nobody waits for the hero.
    world.storyFlags = 0;
    EXPECT_FALSE(paladinWaitsHere());
}

}  // namespace
}  // namespace kelvrin::test
