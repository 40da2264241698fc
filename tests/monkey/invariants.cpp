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

std::string checkSaveImage(const std::vector<unsigned char>& image) {
    const std::optional<LoadedGame> loaded = decodeSave(image, Hero{}, WorldState{});
    if (!loaded) return "the save file does not load";
    const Hero& h = loaded->hero;
    const WorldState& w = loaded->world;
#define KELVRIN_SAME(field, a, b) \
    if (!((a) == (b))) return "loading gives back another " field
    KELVRIN_SAME("attributes", h.attributes, hero.attributes);
    KELVRIN_SAME("race", h.race, hero.race);
    KELVRIN_SAME("heroClass", h.heroClass, hero.heroClass);
    KELVRIN_SAME("hp", h.hp, hero.hp);
    KELVRIN_SAME("maxHp", h.maxHp, hero.maxHp);
    KELVRIN_SAME("gold", h.gold, hero.gold);
    KELVRIN_SAME("level", h.level, hero.level);
    KELVRIN_SAME("xp", h.xp, hero.xp);
    KELVRIN_SAME("xpNext", h.xpNext, hero.xpNext);
    KELVRIN_SAME("weapon", comparable(h.weapon), comparable(hero.weapon));
    KELVRIN_SAME("armour", comparable(h.armour), comparable(hero.armour));
    KELVRIN_SAME("shield", comparable(h.shield), comparable(hero.shield));
    KELVRIN_SAME("inventory", std::equal(h.inventory.begin(), h.inventory.end(), hero.inventory.begin(), sameItems), true);
    KELVRIN_SAME("baseAttack", h.baseAttack, hero.baseAttack);
    KELVRIN_SAME("attackPool", h.attackPool, hero.attackPool);
    KELVRIN_SAME("feats", h.feats, hero.feats);
    KELVRIN_SAME("powerAttack", h.powerAttack, hero.powerAttack);
    KELVRIN_SAME("expertise", h.expertise, hero.expertise);
    KELVRIN_SAME("toughnessCount", h.toughnessCount, hero.toughnessCount);
    KELVRIN_SAME("ragesLeft", h.ragesLeft, hero.ragesLeft);
    KELVRIN_SAME("ragesPerDay", h.ragesPerDay, hero.ragesPerDay);
    KELVRIN_SAME("extraRageCount", h.extraRageCount, hero.extraRageCount);
    KELVRIN_SAME("extendedRageCount", h.extendedRageCount, hero.extendedRageCount);
    KELVRIN_SAME("weaponFocusMask", h.weaponFocusMask, hero.weaponFocusMask);
    KELVRIN_SAME("weaponSpecMask", h.weaponSpecMask, hero.weaponSpecMask);
    KELVRIN_SAME("improvedCritMask", h.improvedCritMask, hero.improvedCritMask);
    KELVRIN_SAME("damageReduction", h.damageReduction, hero.damageReduction);
    KELVRIN_SAME("kpModifier", h.kpModifier, hero.kpModifier);
    KELVRIN_SAME("poison", h.poison, hero.poison);
    KELVRIN_SAME("lastHarm", h.lastHarm, hero.lastHarm);
    KELVRIN_SAME("alignment", h.alignment, hero.alignment);
    KELVRIN_SAME("lastChances", h.lastChances, hero.lastChances);
    KELVRIN_SAME("questStage", w.questStage, world.questStage);
    KELVRIN_SAME("storyFlags", w.storyFlags, world.storyFlags);
    KELVRIN_SAME("questKind", w.questKind, world.questKind);
    KELVRIN_SAME("killCounts", w.killCounts, world.killCounts);
    KELVRIN_SAME("levelSeeds", w.levelSeeds, world.levelSeeds);
    KELVRIN_SAME("savedX", w.savedX, world.savedX);
    KELVRIN_SAME("savedY", w.savedY, world.savedY);
    KELVRIN_SAME("startMarker", w.startMarker, world.startMarker);
    KELVRIN_SAME("dungeonLevel", w.dungeonLevel, world.dungeonLevel);
    KELVRIN_SAME("location", w.location, world.location);
    KELVRIN_SAME("year", w.year, world.year);
    KELVRIN_SAME("day", w.day, world.day);
#undef KELVRIN_SAME
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
