#include "monkey/invariants.h"

#include "core/console.h"
#include "core/game_state.h"

namespace kelvrin::test {

namespace {

bool validSlotKind(int kind) { return kind >= KindEmpty && kind <= KindGem; }

}  // namespace

std::string checkInvariants() {
    if (hero.attackPool + hero.powerAttack + hero.expertise != hero.baseAttack)
        return "attackPool + powerAttack + expertise != baseAttack";
    if (hero.weapon.kind != KindWeapon && hero.level > 0) return "the weapon slot does not hold a weapon";
    if (hero.armour.kind != KindArmour && hero.level > 0) return "the armour slot does not hold armour";
    if (hero.shield.kind != KindEmpty && hero.shield.kind != KindShield) return "the shield slot holds something else";
    for (const ItemSlot& slot : hero.inventory)
        if (!validSlotKind(slot.kind)) return "a backpack slot has an unknown kind";
    if (world.location < LocationWorldMap || world.location > LocationCrypt) return "unknown location";
    if (hero.level > 0 && (world.day < 1 || world.day > DaysPerYear)) return "day outside the year";
    if (hero.gold < 0) return "negative gold";
    if (cursorRow() < 0 || cursorRow() >= backend().rows()) return "cursor off the screen";
    return {};
}

}  // namespace kelvrin::test
