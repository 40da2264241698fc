// What the forest and road scenarios share: a hero strong enough to end
// scripted fights in a few turns, and a generator seeded so that exploring
// meets the wanted event.
#pragma once

#include <functional>
#include <string>

#include "support/game_test.h"
#include "support/test_hero.h"

#include "character/rules_tables.h"
#include "data/feats.h"

namespace kelvrin::test {

class SurfaceTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        makeTestHero();
        // Fights print more than a screenful: keep the pager from eating keys.
        screen.setPaging(false);
    }

    // Kills a monster a swing and cleaves on; hardly ever hit.
    static void makeStrong() {
        hero.level = 10;
        hero.baseAttack = hero.attackPool = 20;
        hero.attributes[Str] = 30;
        hero.weapon.bonus = 5;
        hero.shield.bonus = 40;
        hero.maxHp = hero.hp = 5000;
        hero.feats |= FeatCleave | FeatGreatCleave;
        hero.capacity = computeCapacity();
    }

    // Seeds the generator with the first seed whose draws `wanted` accepts.
    static void seedSuchThat(const std::function<bool()>& wanted) {
        for (std::uint32_t seed = 1;; ++seed) {
            seedRandom(seed);
            if (wanted()) {
                seedRandom(seed);
                return;
            }
        }
    }

    // Keys for a fight the strong hero wins: attacks, the "(ok)" after it,
    // and a loot screen left behind if there is one.
    static std::string winFight() { return std::string(80, 'f') + "\nw\n"; }

    // Explores once ("e") with the event draw `draw` out of `events`, then
    // the keys; true when the screen returned before the keys ran out.
    bool explore(void (*screenPass)(), int events, int draw, const std::string& keys) {
        seedSuchThat([&] { return randomNext() % events == draw; });
        screen.type("e" + keys);
        return !runUntilInputEnds(screenPass);
    }

    int count(const std::string& part) const {
        const std::string& text = screen.transcript();
        int n = 0;
        for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++n;
        return n;
    }
    bool said(const std::string& part) const { return screen.transcript().find(part) != std::string::npos; }
};

}  // namespace kelvrin::test
