#include "monkey/invariants.h"

#include <algorithm>
#include <optional>

#include "core/console.h"
#include "core/game_state.h"
#include "core/save_file.h"
#include "core/utf8.h"
#include "items/catalogue.h"

namespace kelvrin::test {

namespace {

// An empty slot, or an item of a known kind that names a row of its catalogue.
bool validSlot(const ItemSlot& slot) { return slot.kind == KindEmpty || isValidItem(slot); }

// Only the kind and the instance words tell empty slots apart.
ItemSlot comparable(ItemSlot slot) {
    if (slot.kind == KindEmpty) slot.ref = 0;
    return slot;
}

bool sameItems(const ItemSlot& a, const ItemSlot& b) { return comparable(a) == comparable(b); }

}  // namespace

// Every record the save file holds, and those loading derives from them.
#define KELVRIN_HERO_FIELDS(X)                                                                                  \
    X(attributes) X(race) X(heroClass) X(hp) X(maxHp) X(gold) X(level) X(xp) X(xpNext) X(baseAttack)          \
    X(attackPool) X(feats) X(powerAttack) X(expertise) X(toughnessCount) X(ragesLeft) X(ragesPerDay)           \
    X(extraRageCount) X(extendedRageCount) X(weaponFocusMask) X(weaponSpecMask) X(improvedCritMask)            \
    X(damageReduction) X(kpModifier) X(poison) X(lastHarm) X(alignment) X(lastChances)
#define KELVRIN_WORLD_FIELDS(X)                                                                                 \
    X(questStage) X(storyFlags) X(questKind) X(killCounts) X(levelSeeds) X(savedX) X(savedY) X(startMarker)    \
    X(dungeonLevel) X(location) X(year) X(day)

std::string checkSaveImage(const std::vector<unsigned char>& image) {
    const std::optional<LoadedGame> loaded = decodeSave(image, Hero{}, WorldState{});
    if (!loaded) return "the save file does not load";
#define KELVRIN_SAME(record, field) \
    if (!(loaded->record.field == record.field)) return "loading gives back another " #field;
#define KELVRIN_SAME_HERO(field) KELVRIN_SAME(hero, field)
#define KELVRIN_SAME_WORLD(field) KELVRIN_SAME(world, field)
    KELVRIN_HERO_FIELDS(KELVRIN_SAME_HERO)
    KELVRIN_WORLD_FIELDS(KELVRIN_SAME_WORLD)
    const Hero& h = loaded->hero;
    if (!sameItems(h.weapon, hero.weapon) || !sameItems(h.armour, hero.armour) || !sameItems(h.shield, hero.shield) ||
        !std::equal(h.inventory.begin(), h.inventory.end(), hero.inventory.begin(), sameItems))
        return "loading gives back other items";
    return {};
}

std::string checkInvariants() {
    if (hero.attackPool + hero.powerAttack + hero.expertise != hero.baseAttack)
        return "attackPool + powerAttack + expertise != baseAttack";
    if (hero.level > 0) {
        if (hero.weapon.kind != KindWeapon || !isValidItem(hero.weapon)) return "the weapon slot does not hold a weapon";
        if (hero.armour.kind != KindArmour || !isValidItem(hero.armour)) return "the armour slot does not hold armour";
        if (hero.shield.kind != KindEmpty && (hero.shield.kind != KindShield || !isValidItem(hero.shield)))
            return "the shield slot holds something else";
        for (const ItemSlot& slot : hero.inventory)
            if (!validSlot(slot)) return "a backpack slot holds no valid item";
        if (utf8Length(hero.name) > 30) return "the name is longer than 30 characters";
    }
    if (world.location < LocationWorldMap || world.location > LocationCrypt) return "unknown location";
    if (hero.level > 0 && (world.day < 1 || world.day > DaysPerYear)) return "day outside the year";
    if (hero.gold < 0) return "negative gold";
    if (cursorRow() < 0 || cursorRow() >= backend().rows()) return "cursor off the screen";
    if (hero.level > 0) {
        if (hero.level > 30) return "a level beyond the last";
        if (hero.hp > hero.maxHp) return "Pw above the maximum";
    }
    // Outside a fight nothing of a rage or its fatigue is left on the hero.
    if (!world.inCombat) {
        const FightChanges none{};
        if (world.fightChanges.attributes != none.attributes || world.fightChanges.hp != 0 ||
            world.fightChanges.maxHp != 0)
            return "a fight's changes outlived the fight";
        if (hero.kpModifier != 0) return "the rage's KP penalty outlived the fight";
    }
    // The story never puts a character on both sides, or raises the dead.
    const auto both = [](std::uint32_t a, std::uint32_t b) { return world.has(StoryFlag(a)) && world.has(StoryFlag(b)); };
    if (both(DruidCompanion, DruidHostile)) return "the druid is both companion and enemy";
    if (both(PaladinCompanion, PaladinHostile)) return "the paladin is both companion and enemy";
    if (both(DruidDead, DruidCompanion) || both(PaladinDead, PaladinCompanion)) return "a dead companion";
    const int buildings = world.has(HutBuilt) + world.has(HouseBuilt) + world.has(PalaceBuilt);
    if (buildings > 1) return "more than one building";
    if (buildings == 1 && !world.has(LandOwned)) return "a building without land";
    if (world.has(MineWorking) && !world.has(MineCleared)) return "a working mine full of monsters";
    return {};
}

}  // namespace kelvrin::test
