// The fixture of every scenario test: the test hero in a fresh game, screens shown from scripted keys, fight presets.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/feat_screens.h"
#include "character/rules_tables.h"
#include "data/feats.h"

namespace kelvrin::test {

class ScenarioTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        screen.setPaging(false);  // fights and long lists print more than a screenful
        showAllFeats = false;     // as a new program lists feats, whatever a test before chose
    }
    // Shows a screen as its caller does, while it asks to be shown again, and returns what it printed; every key
    // must be used. `left`: it returned by itself (false: the keys ran out first).
    std::string visit(const std::function<bool()>& place, const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        left = !runUntilInputEnds([&place] {
            while (place()) {
            }
        });
        EXPECT_EQ(screen.keysQueued(), 0u) << keys;
        return screen.transcript();
    }
    // The same for a screen that must be left by its keys, printing every part.
    void visit(const std::function<bool()>& place, const std::string& keys, std::initializer_list<std::string> parts) {
        visit(place, keys);
        EXPECT_TRUE(left) << keys;
        saw(parts);
    }
    // Every part must be in what the last screen printed.
    void saw(std::initializer_list<std::string> parts) const {
        for (const std::string& part : parts) EXPECT_TRUE(said(part)) << part;
    }
    // Runs a screen that is shown once; true when the keys ran out in it.
    bool play(const std::function<void()>& screenLoop, const std::string& keys) {
        screen.clearTranscript();
        screen.type(keys);
        return runUntilInputEnds(screenLoop);
    }
    bool said(const std::string& part) const { return has(screen.transcript(), part); }
    int seen(const std::string& part) const { return count(screen.transcript(), part); }
    bool left = false;

    // Kills a monster a swing and cleaves on; hardly ever hit.
    static void makeStrong() {
        hero.level = 10;
        hero.baseAttack = 20;
        hero.attackPool = 20;
        hero.attributes[Str] = 30;
        hero.weapon.bonus = 5;
        hero.shield.bonus = 40;
        hero.maxHp = 5000;
        hero.hp = 5000;
        hero.feats |= FeatCleave | FeatGreatCleave;
        hero.capacity = computeCapacity();
    }
    // Out of reach of every blow of a weak monster, even its critical hits.
    static void untouchable() {
        std::tie(hero.shield.bonus, hero.maxHp, hero.hp) = std::tuple(60, 100, 100);
    }
    // Keys that win a fight for the strong hero, close its "(ok)" and leave the loot.
    static std::string winFight() { return std::string(80, 'f') + "\nw\n"; }
    // Explores ("e") meeting event `draw` of `events`, then the keys; true when the screen returned first.
    bool explore(void (*screenPass)(), int events, int draw, const std::string& keys) {
        seedSuchThat([&] { return randomNext() % events == draw; });
        return !play(screenPass, "e" + keys);
    }
    // How many of `name` died or fled.
    int fallen(const std::string& name) const { return seen(name + " umiera.") + seen(name + " ucieka."); }
};

}  // namespace kelvrin::test
