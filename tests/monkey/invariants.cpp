#include "monkey/invariants.h"

#include "core/console.h"
#include "core/game_state.h"
#include "core/utf8.h"
#include "items/catalogue.h"

namespace kelvrin::test {

namespace {

// An empty slot, or an item of a known kind that names a row of its catalogue.
bool validSlot(const ItemSlot& slot) { return slot.kind == KindEmpty || isValidItem(slot); }

}  // namespace

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
    return {};
}

}  // namespace kelvrin::test
