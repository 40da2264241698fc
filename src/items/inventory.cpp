#include "items/inventory.h"

#include <algorithm>
#include <vector>

#include "character/rules_tables.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/races.h"
#include "items/catalogue.h"
#include "items/item_display.h"
#include "items/potions.h"
#include "items/weapon_damage.h"

namespace kelvrin {

namespace {

// What the screen does after a command.
enum class After {
    WaitKey,  // wait for any key, then redraw
    Redraw,   // redraw at once
    Leave,    // leave the screen
};

constexpr ItemSlot Fists{FistsRow, KindWeapon, 0, 0, Identified};
constexpr ItemSlot NoArmour{NoArmourRow, KindArmour, 0, 0, Identified};

bool isSmall() { return raceHasTrait(hero.race, TraitSmall); }

bool isGodsWeapon(const ItemSlot& weapon) { return (weapon.flags & OfTheGods) != 0; }

void printNamed(const char* before, const ItemSlot& item, const char* after) {
    print("%s", before);
    printItem(item, ShowName);
    print("%s", after);
}

After takeOffWeapon() {
    if (hero.weapon.ref == FistsRow) {
        print("Nie masz żadnej broni.\n");
    } else if (hero.weapon.bonus < 0) {
        print("Nie możesz puścić tej broni! Jest przeklęta!\n");
    } else if (addItem(hero.weapon, false)) {
        if (isGodsWeapon(hero.weapon)) applyGodBonus(-hero.weapon.bonus);
        printNamed("Schowałeś ", hero.weapon, " do plecaka.\n");
        hero.weapon = Fists;
    }
    return After::WaitKey;
}

After takeOffArmour() {
    if (hero.armour.ref == NoArmourRow) {
        print("Nie masz na sobie pancerza.\n");
    } else if (world.inCombat) {
        print("Nie możesz zdejmować pancerza w czasie walki.\n");
    } else if (hero.armour.bonus < 0) {
        print("Nie możesz zdjąć tego pancerz! Jest przeklęty!\n");
    } else if (addItem(hero.armour, false)) {
        printNamed("Zdjąłeś ", hero.armour, " i włożyłeś do plecaka.\n");
        hero.armour = NoArmour;
    }
    return After::WaitKey;
}

After putAwayShield() {
    if (hero.shield.empty()) {
        print("Nie trzymasz w ręce tarczy.\n");
    } else if (hero.shield.bonus < 0) {
        print("Nie możesz wypuścić tej tarczy z ręki! Jest przeklęta!\n");
    } else if (addItem(hero.shield, false)) {
        printNamed("Schowałeś ", hero.shield, " do plecaka.\n");
        hero.shield.kind = KindEmpty;
    }
    return After::WaitKey;
}

// Takes the item of backpack slot `slot` into the hand; `slot` holds a weapon.
After equipWeapon(ItemSlot& slot) {
    const WeaponGrip grip = weaponGrip(hero, slot);
    if (grip == WeaponGrip::TooBig) {
        print("Ta broń jest za duża, nie możesz jej używać.\n");
        return After::WaitKey;
    }
    if (grip == WeaponGrip::TwoHanded && !hero.shield.empty()) {
        print("Nie możesz używać broni dwuręcznej i tarczy jednocześnie.\n");
        return After::WaitKey;
    }
    if (hero.weapon.ref != FistsRow) {
        printNamed("Masz już broń, ", hero.weapon, ". Czy chcesz ją zdjąć? (t/n)\n");
        if (!askYesNo()) return After::Redraw;
        if (hero.weapon.bonus < 0) {
            print("Nie możesz puścić tej broni! Jest przeklęta!\n");
            return After::WaitKey;
        }
        // The held weapon needs a free slot before the new one leaves its own.
        if (!addItem(hero.weapon, false)) return After::WaitKey;
        if (isGodsWeapon(hero.weapon)) applyGodBonus(-hero.weapon.bonus);
    }
    hero.weapon = ItemSlot{slot.ref, KindWeapon, slot.masterwork, slot.bonus, slot.flags};
    slot.kind = KindEmpty;
    printNamed("Wyjmujesz ", hero.weapon, " z plecaka.\n");
    if (isGodsWeapon(hero.weapon)) {
        applyGodBonus(hero.weapon.bonus);
        print(hero.weapon.bonus > 0 ? "Czujesz się silniejszy.\n" : "Czujesz się słabszy.\n");
    }
    return After::WaitKey;
}

After equipArmour(ItemSlot& slot) {
    if (world.inCombat) {
        print("Nie możesz zakładać pancerza w czasie walki.\n");
        return After::WaitKey;
    }
    const bool smallArmour = (slot.flags & SmallSize) != 0;
    if (isSmall() && !smallArmour) {
        print("Ten pancerz jest na ciebie za duży.\n");
        return After::WaitKey;
    }
    if (!isSmall() && smallArmour) {
        print("Ten pancerz jest na ciebie za mały.\n");
        return After::WaitKey;
    }
    if (hero.armour.ref != NoArmourRow) {
        printNamed("Masz już na sobie pancerz, ", hero.armour, ". Czy chcesz ją schować? (t/n)\n");
        if (!askYesNo()) return After::Redraw;
        if (hero.armour.bonus < 0) {
            print("Nie możesz zdjąć tego pancerza! Jest przeklęty!\n");
            return After::WaitKey;
        }
        if (!addItem(hero.armour, false)) return After::WaitKey;
    }
    hero.armour = ItemSlot{slot.ref, KindArmour, slot.masterwork, slot.bonus, slot.flags};
    slot.kind = KindEmpty;
    printNamed("Zakładasz ", hero.armour, ".\n");
    return After::WaitKey;
}

After equipShield(ItemSlot& slot) {
    if (weaponGrip(hero, hero.weapon) == WeaponGrip::TwoHanded) {
        print("Używasz broni dwuręcznej, nie możesz nieść tarczy.\n");
        return After::WaitKey;
    }
    if (!hero.shield.empty()) {
        printNamed("Masz już tarcze, ", hero.shield, ". Czy chcesz ją schować? (t/n)\n");
        if (!askYesNo()) return After::Redraw;
        if (hero.shield.bonus < 0) {
            print("Nie możesz odłożyć tej tarczy! Jest przeklęta!\n");
            return After::WaitKey;
        }
        if (!addItem(hero.shield, false)) return After::WaitKey;
    }
    hero.shield = ItemSlot{slot.ref, KindShield, slot.masterwork, slot.bonus, slot.flags};
    slot.kind = KindEmpty;
    printNamed("Wyjmujesz ", hero.shield, " z plecaka.\n");
    return After::WaitKey;
}

After drinkPotion(ItemSlot& slot) {
    const ItemSlot potion = slot;
    printNamed("Wypijasz ", potion, ". ");
    if (const PotionEffectRoutine effect = potionEffectRoutine(potionRow(potion).effect)) effect(potion);
    slot.kind = KindEmpty;
    recomputeLoad();
    pauseOk();
    return hero.hp < 1 ? After::Leave : After::Redraw;
}

// Asks for a list number and gives back its backpack slot, or nullptr when
// the number is not on the list.
ItemSlot* askListedItem(const std::vector<int>& listed) {
    print("Który przedmiot: ");
    int number = 0;
    readNumber(number);
    if (number < 1 || number > static_cast<int>(listed.size())) return nullptr;
    return &hero.inventory[static_cast<std::size_t>(listed[static_cast<std::size_t>(number - 1)])];
}

After useItem(const std::vector<int>& listed) {
    ItemSlot* slot = askListedItem(listed);
    if (slot == nullptr) return After::Redraw;
    switch (slot->kind) {
        case KindWeapon: return equipWeapon(*slot);
        case KindArmour: return equipArmour(*slot);
        case KindShield: return equipShield(*slot);
        case KindPotion: return drinkPotion(*slot);
        case KindGem: print("Nie wiesz jak użyć %s.\n", gemRow(*slot).name); return After::WaitKey;
        default: return After::Redraw;
    }
}

After dropItem(const std::vector<int>& listed) {
    ItemSlot* slot = askListedItem(listed);
    if (slot == nullptr) return After::Redraw;
    printNamed("Na pewno chcesz wyrzucić ", *slot, "? (t/n)\n");
    if (!askYesNo()) return After::Redraw;
    printNamed("Wyrzucasz ", *slot, ".\n");
    slot->kind = KindEmpty;
    recomputeLoad();
    return After::Redraw;
}

void showCommands() {
    clearScreen();
    print("Dostępne komendy:\nb - zdejmij broń\np - zdejmij pancerz\nt - zdejmij tarcze\nu - użyj/ekwipuj\nw - "
          "wyrzuc\n");
    print("x - zamknij ekwipunek\n\n(ok)");
    pauseOk();
}

}  // namespace

bool addItem(const ItemSlot& item, bool checkWeight) {
    if (checkWeight) {
        const float total = hero.load + itemWeight(item);
        if (hero.capacity < total) return false;
    }
    for (ItemSlot& slot : hero.inventory) {
        if (!slot.empty()) continue;
        slot = item;
        if (checkWeight) recomputeLoad();
        return true;
    }
    return false;
}

void recomputeLoad() {
    float load = weaponRow(hero.weapon).weight;
    float armour = armourRow(hero.armour).weight;
    if (isSmall()) armour /= 2.0f;  // a small hero's armour is cut smaller
    load += armour;
    if (hero.shield.kind == KindShield) load += shieldRow(hero.shield).weight;
    for (const ItemSlot& slot : hero.inventory) {
        if (slot.kind < KindWeapon || slot.kind > KindGem) continue;
        float weight = itemWeight(slot);
        if (slot.kind == KindArmour && (slot.flags & SmallSize) != 0) weight /= 2.0f;
        load += weight;
    }
    hero.load = load;
}

void applyGodBonus(int delta) {
    for (int attribute : {Str, Dex, Int, Wis, Cha}) hero.attributes[static_cast<std::size_t>(attribute)] += delta;
    const int oldModifier = attributeModifier(hero.attributes[Con]);
    hero.attributes[Con] += delta;
    const int change = attributeModifier(hero.attributes[Con]) - oldModifier;
    if (change != 0) {
        hero.maxHp += change * hero.level;
        hero.hp += change * hero.level;
    }
    hero.capacity = computeCapacity();
}

bool diesOfLostGodBonus() {
    const bool attributeLost =
        std::any_of(hero.attributes.begin(), hero.attributes.end(), [](int value) { return value < 1; });
    if (!attributeLost && hero.hp >= 1) return false;
    hero.hp = 0;
    hero.lastHarm = HarmNothingYet;
    printDeath();
    print("\n(ok)");
    pauseOk();
    return true;
}

PotionEffectRoutine potionEffectRoutine(PotionEffect effect) {
    // Every potion row has its own effect routine.
    switch (effect) {
        case PotionEffect::Healing: return healingEffect;
        case PotionEffect::Antidote: return antidoteEffect;
        case PotionEffect::FullHealing: return fullHealEffect;
        case PotionEffect::Poison: return poisonEffect;
        case PotionEffect::PermanentHp: return healthElixirEffect;
        case PotionEffect::Water: return waterEffect;
    }
    return nullptr;
}

void inventoryScreen() {
    for (;;) {
        std::vector<int> listed;  // backpack slot of each list number
        int freeSlots = 0;
        for (int i = 0; i < BackpackSlots; ++i) {
            if (hero.inventory[static_cast<std::size_t>(i)].empty()) {
                ++freeSlots;
            } else {
                listed.push_back(i);
            }
        }
        clearScreen();
        print("EKWIPUNEK Waga: %g/%g kg Wolne miejsce: %d\n", static_cast<double>(hero.load),
              static_cast<double>(hero.capacity), freeSlots);
        for (std::size_t n = 0; n < listed.size(); ++n) {
            print("%d) ", static_cast<int>(n + 1));
            printItem(hero.inventory[static_cast<std::size_t>(listed[n])], ShowBackpack);
        }
        print("\nKomendy (bptuwx?): ");

        // "+" is accepted too, and changes nothing: the screen keeps waiting.
        int key = '+';
        while (key == '+') key = askKey("bptuwx+?");
        After after = After::WaitKey;
        switch (key) {
            case '?': showCommands(); after = After::Redraw; break;
            case 'x': return;
            case 'b': after = takeOffWeapon(); break;
            case 'p': after = takeOffArmour(); break;
            case 't': after = putAwayShield(); break;
            case 'u': after = useItem(listed); break;
            case 'w': after = dropItem(listed); break;
            default: after = After::Redraw; break;
        }
        if (after == After::Leave) return;
        if (after == After::WaitKey) pauseOk();
    }
}

}  // namespace kelvrin
