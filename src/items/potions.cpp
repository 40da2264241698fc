#include "items/potions.h"

#include <algorithm>

#include "character/derived_values.h"
#include "core/console.h"
#include "core/game_state.h"
#include "core/random.h"
#include "core/rules.h"
#include "items/catalogue.h"

namespace kelvrin {

namespace {

// The saving roll against a potion: d20 plus the resistance to poison.
int savingRoll() { return rollD20() + poisonResistance(); }

int conModifier() { return attributeModifier(hero.attributes[Con]); }

bool atFullHealth() { return hero.hp >= hero.maxHp; }

// The hero shrugs the potion off; only a known potion is named.
void printNoInfluence(const ItemSlot& potion) {
    const char* name = (potion.flags & Identified) != 0 ? potionRow(potion).name : "???";
    print("Mikstura %s wydaję się nie mieć na ciebie wpływu.\n", name);
}

}  // namespace

void printDeath() { printColoured(ColourRed, "Umierasz...\n"); }

void healingEffect(const ItemSlot& potion) {
    const int amount = (conModifier() + hero.level + 10) * (potion.bonus + 2);
    if (amount > 0) {
        if (atFullHealth()) {
            print("Brak efektu...\n");
        } else {
            hero.hp = std::min(hero.hp + amount, hero.maxHp);
            print("Twoje rany szybko się leczą.\n");
        }
    } else if (amount == 0) {
        print("Brak efektu...\n");
    } else {
        print("Mikstura pali twoje wnętrzności niczym kwas! Tracisz ");
        printColoured(ColourRed, "%d", amount);
        print(" pw!");
        hero.hp += amount;
        if (hero.hp < 1) {
            hero.lastHarm = HarmBurningHealing;
            printColoured(ColourRed, " Umierasz...");
        }
        print("\n");
    }
}

void antidoteEffect(const ItemSlot& potion) {
    const int bonus = potion.bonus;
    if (bonus >= 0) {
        setPoison(0);
        if (bonus > 0 && hero.hp < hero.maxHp) {
            const int healed = randomRange(bonus, 4 * bonus);
            print("Uleczono ");
            printColoured(ColourGreen, "%d", healed);
            print(" pw.\n");
            hero.hp = std::min(hero.hp + healed, hero.maxHp);
        }
        return;
    }
    if (savingRoll() >= 12 - bonus) {
        printNoInfluence(potion);
        return;
    }
    // The level becomes exactly the spoilage: a stronger poison is eased to it.
    setPoison(-bonus);
    hero.lastHarm = HarmSpoiledAntidote;
}

void fullHealEffect(const ItemSlot& potion) {
    if (potion.bonus >= 0) {
        if (atFullHealth()) {
            print("Brak efektu...\n");
            return;
        }
        print("Ciepło przepełnia twoje ciało, zostałeś ");
        printColoured(ColourGreen, "uzdrowiony");
        print(".\n");
        hero.hp = hero.maxHp;
        return;
    }
    print("Robi ci się ciemno przed oczami i kręci ci się w głowie.\n");
    if (savingRoll() >= 16 - potion.bonus) {
        print("Oparłeś się śmiertelnemu efektowi!\n");
        return;
    }
    print("Ostatnia myśl jaka przyszła ci do głowy - ten eliksir chyba stracił termin ważności!\n");
    printDeath();
    hero.hp = 0;
    hero.lastHarm = HarmSpoiledFullHeal;
}

void poisonEffect(const ItemSlot& potion) {
    if (potion.bonus > 0) {
        print("Ten eliksir jest jakiś rozwodniony.\nBrak efektu...\n");
        return;
    }
    if (savingRoll() >= 14 - potion.bonus) {
        printNoInfluence(potion);
        return;
    }
    hero.lastHarm = HarmPoison;
    // A new level of 1 to 4 plus the spoilage replaces the old one.
    setPoison(randomRange(1, 4) - potion.bonus);
}

void healthElixirEffect(const ItemSlot& potion) {
    if (potion.bonus > 0) {
        print("Czujesz jak przepełnia cię jakaś nieznana siła.\nZyskujesz 1 punkt wytrzymałości na stałe.\n");
        ++hero.hp;
        ++hero.maxHp;
        return;
    }
    print("Skręcasz się z bólu gdy twoje narządy wewnętrzne zdają się wirować.\nTracisz 1 punkt wytrzymałości na "
          "stałe.\n");
    --hero.maxHp;
    --hero.hp;
    hero.lastHarm = HarmHealthElixir;
    // A hero drinking it with his last Pw dies of it, and is told so.
    if (hero.hp < 1) printDeath();
}

void waterEffect(const ItemSlot& potion) {
    print(potion.bonus >= 0 ? "Zaspokoiłeś swoje pragnienie.\n" : "Ta woda miała dziwny gożki smak.\n");
}

void setPoison(int level) {
    level = std::max(level, 0);
    const int old = hero.poison;
    if (level == old) return;

    const bool wasAlive = hero.hp >= 1;
    const int oldModifier = conModifier();
    hero.attributes[Str] += old - level;
    hero.attributes[Con] += old - level;
    hero.lastHarm = HarmPoison;
    const int change = conModifier() - oldModifier;
    if (change != 0) {
        hero.hp += change * hero.level;
        hero.maxHp += change * hero.level;
    }

    if (level > old) {
        print(old == 0 ? "Czujesz się słabo, ulegasz zatruciu!\n" : "Czujesz się jeszcze gorzej.\n");
    } else {
        print("Czujesz się lepiej.");
        print(level == 0 ? " Już nie jesteś zatruty.\n" : "\n");
    }
    hero.poison = level;

    if (hero.attributes[Str] < 1 || hero.attributes[Con] < 1) {
        hero.hp = 0;
        printDeath();
    } else if (wasAlive && hero.hp < 1) {
        // The lost KON took the last Pw with it.
        printDeath();
    }
}

}  // namespace kelvrin
