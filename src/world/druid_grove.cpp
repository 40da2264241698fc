#include "world/druid_grove.h"

#include <algorithm>
#include <vector>

#include "combat/combat_engine.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/rules.h"
#include "data/druid_stock.h"
#include "data/monsters.h"
#include "items/inventory.h"
#include "items/item_display.h"
#include "items/item_value.h"
#include "items/shop.h"

namespace kelvrin {

namespace {

constexpr int IdentificationBaseFee = 50;

// The druid turns against the hero for good. He can no longer be at the
// hero's side: a companion druid would otherwise join the fight in his own
// grove (it is in the forest) against himself, and a friend would still
// come to help at the final fight.
void makeDruidHostile() {
    world.set(DruidHostile);
    world.clear(DruidCompanion);
    world.clear(DruidFriend);
}

// Potions for sale; the list stays open after each purchase. Returns when
// the hero types 0 or the backpack cannot take the potion bought.
void buyPotions() {
    potionShop("Mam na sprzedaż kilka mikstur, co chcesz kupić?\n", {druidStock.begin(), druidStock.end()});
}

// Identification of the potions whose strength the hero does not know, one
// at a time, until he types 0 or none is left.
void identifyPotions() {
    for (;;) {
        clearScreen();
        print("Który eliksir chcesz zidentyfikować (0-nic):\n");
        std::vector<std::size_t> listed;  // list number - 1 → backpack slot
        for (std::size_t slot = 0; slot < hero.inventory.size(); ++slot) {
            const ItemSlot& item = hero.inventory[slot];
            if (item.kind != KindPotion || (item.flags & StrengthKnown) != 0) continue;
            listed.push_back(slot);
            print("%d) ", static_cast<int>(listed.size()));
            printItem(item, ShowName);
            print("\n");
        }
        if (listed.empty()) {
            print("Nie masz żadnych niezidentifikowanych eliksirów.\n\n(ok)");
            pauseOk();
            return;
        }
        const int number = readChoice(listed.size());
        if (number == 0) return;
        if (number < 0) continue;

        ItemSlot& potion = hero.inventory[listed[static_cast<std::size_t>(number - 1)]];
        const int fee = druidIdentificationFee(hero.attributes[Cha]);
        print("Powiem ci jakie właściwości ma ");
        printItem(potion, ShowName);
        print(" za %d sztuk złota. (t/n)\n", fee);
        if (!askYesNo()) continue;
        if (hero.gold < fee) {
            reportShortage(fee);
            continue;
        }
        addGold(-static_cast<long long>(fee));
        printItem(potion, ShowName);
        print(" to ");
        potion.flags |= Identified | StrengthKnown;
        printItem(potion, ShowName);
        print(".\n\n(ok)");
        pauseOk();
    }
}

// The druid's quest: what he says depends on how far it has come. Returns
// whether the grove is shown again.
bool quests() {
    if (world.has(DruidCompanion)) {
        print("Już do ciebie dołączyłem.\n");
        if (!world.has(WorgsBeaten))
            print("Grupa wargów napada na okoliczne wioski. Znajedziemy je gdzieś w lesie.\n");
        else
            print("Jeden z drzewców oszalał i zabija wszystkie zwierzęta, musimy go powstrzymać. Jest gdzieś w "
                  "lesie.\n");
        print("\n(ok)");
        pauseOk();
        return true;
    }
    if (world.has(DruidFriend)) {
        print("W lesie znów panuje harmonia.\n\n(ok)");
        pauseOk();
        return true;
    }
    print("Potrzebuj twojej pomocy, grupa wargów napada na okoliczne wioski. Pójdę z tobą je pokonać. Chcesz iść? "
          "(t/n)\n");
    if (!askYesNo()) return true;
    world.set(DruidCompanion);
    print("Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)");
    pauseOk();
    return false;
}

}  // namespace

int druidIdentificationFee(int charisma) {
    // Held in single precision throughout: at charisma 2 and 3 the float
    // product is 52 where a double one would give 53.
    const float factor = 1.0f - static_cast<float>(attributeModifier(charisma)) * 0.015f;
    const float fee = factor * static_cast<float>(IdentificationBaseFee);
    return std::max(0, static_cast<int>(fee));
}

bool druidGroveScreen() {
    clearScreen();
    if (world.has(DruidDead)) {
        print("Ten gaj jest opuszczony, nikt tu nie mieszka.\n\n(ok)");
        pauseOk();
        return false;
    }
    if (world.has(DruidHostile)) {
        makeDruidHostile();  // a hostile druid is never at the hero's side
        print("\nGdy tylko postawiłes nogę w świętym gaju druida usłyszałeś dźwięk wyciąganych z ziemi korzeni. "
              "Zauważyłeś druida i dwa ożywione drzewa.\n");
        fightWithCompanions(monsterList({MonsterDruid, MonsterAnimatedTree, MonsterAnimatedTree}), 1);
        return false;
    }

    print("Witaj w moim domu, rzadko mam tu gości. W czym mogę ci pomóc.\nk - kup mikstury\n"
          "i - identyfikacja mikstur\nz - zadania\na - zatakuj druida\nw - wyjdź\n");
    switch (askKey("kizwa")) {
        case 'k': buyPotions(); return true;
        case 'i': identifyPotions(); return true;
        case 'z': return quests();
        case 'a':
            makeDruidHostile();
            clearScreen();
            print("\nAtakujesz druida.\n");
            fightWithCompanions(monsterList({MonsterDruid, MonsterDog}), -1);
            return false;
        default: return false;
    }
}

}  // namespace kelvrin
