// The services of the town and of the druid's grove, one fixture each.
#include <algorithm>
#include <climits>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/scenario.h"

#include "character/barracks.h"
#include "character/derived_values.h"
#include "character/feat_screens.h"
#include "core/rules.h"
#include "data/classes.h"
#include "data/druid_stock.h"
#include "data/monsters.h"
#include "data/rumours.h"
#include "items/armour_smith.h"
#include "items/inventory.h"
#include "items/mages_tower.h"
#include "items/market.h"
#include "items/weapon_smith.h"
#include "world/druid_grove.h"
#include "world/home.h"
#include "world/inn.h"
#include "world/mayor.h"

namespace kelvrin::test {
namespace {
class TownServiceTest : public ScenarioTest {
protected:
    // A player who trains, raises `attribute` and takes Twardość when asked; any other screen ends the input.
    void playTraining(char attribute) {
        screen.setKeySource([this, attribute]() -> int {
            std::string last;
            for (int row = screen.rows() - 1; row >= 0 && last.empty(); --row) last = screen.rowText(row);
            for (const auto& [start, key] : {std::pair<std::string, char>{"w - wyjdź", 't'}, {"Zdobyłeś ", ' '},
                                             {"Siła, Zręczność", attribute}, {"w - wybierz, inny - anuluj", 'w'}})
                if (last.starts_with(start)) return key;
            std::smatch found;
            const std::string shown = screen.screenText();
            if (!last.starts_with("liczba - wybór") ||
                !std::regex_search(shown, found, std::regex("(\\d+)\\) Twardość")))
                return KeyEnd;
            screen.type(found[1].str().substr(1) + "\n");
            return found[1].str()[0];
        });
    }
    // The hit points a level-up can add: the next die of the generator.
    int nextDie(int size) {
        const auto state = randomState();
        const int roll = size == 10 ? randomNext() % 7 + 4 : randomNext() % 8 + 5;  // d10: 4..10, d12: 5..12
        setRandomState(state);
        return roll;
    }
    // A shop whose stock is drawn from the seed 12345, which the tests name.
    void shop(bool (*place)(), const std::string& keys, std::initializer_list<std::string> parts) {
        seedRandom(12345);
        visit(place, keys, parts);
    }
    // The mages' tower, whose seer and refusals may keep it open.
    void tower(const std::string& keys, std::initializer_list<std::string> parts) {
        visit(magesTowerScreen, keys), saw(parts);
    }
    // A hero of `level` at `hp`/`maxHp`, with two rages a day, all spent, and one last chance.
    static void tired(int level, int maxHp, int hp) {
        std::tie(hero.level, hero.maxHp, hero.hp, hero.ragesPerDay, hero.ragesLeft, hero.lastChances) =
            std::tuple(level, maxHp, hp, 2, 0, 1);
    }
    // Fights play themselves: `combatKey` in a fight, any key for "(ok)", "w" on the loot screen.
    void playFights(int combatKey = 'f') {
        screen.setKeySource([this, combatKey]() -> int {
            if (world.inCombat) return combatKey;
            const std::string& out = screen.transcript();
            if (out.ends_with("(ok)")) return ' ';
            const std::size_t clear = out.rfind("{clear}");
            if (clear == std::string::npos || out.compare(clear + 7, 25, "Co chcesz zrobić (liczba") != 0)
                return KeyEnd;
            screen.type("\n");
            return 'w';
        });
    }
    bool barracks(const std::string& keys) { return screen.type(keys), barracksScreen(); }
    std::string inn(const std::string& keys) { return visit(innScreen, keys); }
    std::string home(const std::string& keys) { return visit(homeScreen, keys); }
    std::string mayor(const std::string& keys) { return visit(mayorScreen, keys); }
    // The druid's grove, known, in the forest, printing every part; true when it let the hero go.
    bool grove(const std::string& keys, std::initializer_list<std::string> parts = {}) {
        world.location = LocationForest;
        world.set(GroveKnown);
        visit(druidGroveScreen, keys);
        saw(parts);
        return left;
    }
    // While a fight runs the hero, out of reach of every blow, waits `rounds` times at most.
    void waitInFights(int rounds) {
        untouchable();
        screen.setKeySource([rounds]() mutable { return world.inCombat && rounds-- > 0 ? int{'c'} : int{KeyEnd}; });
    }
};

constexpr ItemSlot LongSword{7, KindWeapon, 0, 0, Identified}, Diamond{3, KindGem, 0, 0, Identified};
constexpr ItemSlot GodSword{7, KindWeapon, 1, 5, OfTheGods | Identified};
constexpr ItemSlot StrangeSword{7, KindWeapon, 1, -5, OfTheGods};  // the sword of the gods as found

// Through CHA 5 - 5 or the 6 Pw KON takes at level 3; the shop is left at once, the graveyard names no cause.
TEST_F(TownServiceTest, SellingTheSwordOfTheGodsCanKill) {
    for (const auto& [shopScreen, level, cha, hp, question, gold] :
         {std::tuple{&weaponSmithScreen, 1, 5, 13, "? (t\n)", -1},
          {&marketScreen, 3, 15, 5, "Długi miecz Bogów +5 za 66723 sztuk złota? (t/n)", 66723}}) {
        makeTestHero();
        hero.attributes = {19, 17, 17, 15, 15, cha};
        std::tie(hero.level, hero.hp, hero.gold, hero.lastHarm, hero.weapon) = std::tuple(level, hp, 0, 0, GodSword);
        shop(shopScreen, "s1\nt ", {});
        EXPECT_TRUE(screen.transcript().ends_with(std::string(question) + "\n{12}Umierasz...\n{7}\n(ok)"));
        EXPECT_EQ(std::tuple(hero.hp, hero.lastHarm, hero.weapon.ref), std::tuple(0, HarmNothingYet, 0));
        if (gold >= 0) {  // sold at the market: paid, and the hands left empty
            EXPECT_EQ(hero.gold, gold);
            EXPECT_EQ(hero.weapon, (ItemSlot{0, KindWeapon, 0, 0, Identified}));
        }
    }
}

constexpr std::uint32_t Known = Identified | StrengthKnown;

// The potion list stays open after each purchase; a full backpack takes nothing and ends it after one key.
TEST_F(TownServiceTest, MarketPotionsAreBoughtUntilThePurseOrTheBackpackRunsOut) {
    hero.gold = 200;
    visit(marketScreen, "k1\nt2\nt3\nt 0\nw",
          {"{clear}TARG\nTutaj możesz sprzedać dowolny przedmiot, możesz także kupić magiczne eliksiry.\n"
           "Masz 200 sztuk złota.\nk - kup, s - sprzedaj, w - wyjdź\n{clear}"
           "Podchodzisz do kupca sprzedającego mikstury. Ma na sprzedaż: \n"
           "1) Mikstura lecznicza +0 (Waga: 0.25 kg) _75 złota\n2) Mikstura lecznicza +1 (Waga: 0.25 kg) _112 złota\n",
           "4) Antidotum +1 (Waga: 0.25 kg) _168 złota\n\nCo chcesz kupić (0-nic)? 1\n"
           "Na pewno chcesz kupić Mikstura lecznicza +0 za 75 sztuk złota? (t/n)\n{clear}Podchodzisz",
           "za 112 sztuk złota? (t/n)\nBrakuje ci 99 sztuk złota.\n\n(ok){clear}Podchodzisz"});
    const decltype(hero.inventory) bought{ItemSlot{0, KindPotion, 0, 0, Known}, ItemSlot{0, KindPotion, 0, 1, Known}};
    EXPECT_EQ(std::tuple(hero.gold, hero.inventory), std::tuple(13, bought));

    hero.gold = 200;
    std::fill(hero.inventory.begin() + 2, hero.inventory.end(), ItemSlot{1, KindGem, 0, 0, Identified});
    visit(marketScreen, "k1\ntkw", {"za 75 sztuk złota? (t/n)\n{clear}TARG\n"});
    EXPECT_EQ(hero.gold, 200);
}

// Not the worthless nor the known cursed, and a worn cursed armour stays; the wielded weapon leaves the fists.
TEST_F(TownServiceTest, MarketEverythingWithAValueIsBought) {
    std::tie(hero.gold, hero.armour) = std::tuple(0, ItemSlot{6, KindArmour, 0, -1, 0});
    hero.inventory = {Diamond, ItemSlot{4, KindGem, 0, 0, Identified}, ItemSlot{},
                      ItemSlot{2, KindPotion, 0, 0, Identified}, ItemSlot{7, KindWeapon, 0, -1, Identified}, ItemSlot{},
                      ItemSlot{7, KindWeapon, 0, -1, 0}};
    visit(marketScreen, "s1\nt1\nt 4\n 6\n 7\nt5\nt3\nt0\nw",
          {"{clear}Co chcesz sprzedać (0-nic):\n1) E Długi miecz\n2) E Zbroja łuskowa +?\n3) E Tarcza\n4) Diament\n"
           "5) Kryształ\n6) Eliksir uzdrowienia +?\n7) Długi miecz -1\n8) Długi miecz +?\n1\n"
           "Czy chcesz sprzedać Długi miecz za 7 sztuk złota? (t/n)\n{clear}",
           "1\nCzy chcesz sprzedać Zbroja łuskowa +? za 25 sztuk złota? (t/n)\n"
           "Nie możesz zdjąć tej zbroi! Jest przeklęta!\n\n(ok){clear}",
           "4\nNie chcę tego kupować.\n\n(ok){clear}", "6\nNie chcę tego kupować.\n\n(ok){clear}",
           "7\nCzy chcesz sprzedać Długi miecz +? za 7 sztuk złota? (t/n)\n{clear}",
           "Eliksir uzdrowienia +? za 125 sztuk złota? (t/n)\n{clear}",
           "Diament za 500 sztuk złota? (t/n)\n{clear}Co chcesz sprzedać (0-nic):\n"
           "1) E Zbroja łuskowa +?\n2) E Tarcza\n3) Kryształ\n4) Długi miecz -1\n0\n"});
    EXPECT_EQ(std::tuple(hero.gold, hero.weapon, hero.load),
              std::tuple(7 + 7 + 125 + 500, ItemSlot{0, KindWeapon, 0, 0, Identified}, 15.0f + 7.5f + 0.1f + 2.0f));

    hero.gold = INT_MAX - 10;  // a fortune does not wrap around into a debt
    visit(marketScreen, "s2\nt0\nw", {});
    EXPECT_EQ(hero.gold, INT_MAX);
    std::tie(hero.weapon.ref, hero.armour, hero.shield.kind, hero.inventory) =  // nothing to sell at all
        std::tuple(0, ItemSlot{0, KindArmour, 0, 0, Identified}, KindEmpty, decltype(hero.inventory){});
    visit(marketScreen, "s w", {"Co chcesz sprzedać (0-nic):\nNie masz żadnych przedmiotów.\n\n(ok){clear}TARG"});
}

TEST_F(TownServiceTest, MagesTowerEnchantingRefusesThenStepsAwayFromZero) {
    std::tie(hero.weapon, hero.gold) = std::tuple(ItemSlot{7, KindWeapon, 1, 0, Identified}, 10000);
    hero.inventory = {ItemSlot{0, KindPotion, 0, 0, 0}, ItemSlot{2, KindGem, 0, 0, Identified}};
    visit(magesTowerScreen, "u4\nk5\nk2\nk9\n1\nn1\ntk1\ntk1\ntk0\nx",
          {"{clear}Który przedmiot chcesz umagicznić (0-nic):\n1) E Długi miecz*\n2) E Zbroja łuskowa\n"
           "3) E Tarcza\n4) Nieznany eliksir\n5) Rubin\n4\nMusisz najpierw zidentyfikować ten przedmiot.\n\n(ok)",
           "5\nNie mogę umagicznić tego przedmiotu.\n\n(ok){clear}",
           "2\nTen przedmiot musi być mistrzowsko wykonany żeby można było go umagicznić.\n\n(ok)",
           "9\n{clear}Który przedmiot",  // off the list: the list again
           "aby ulepszyć Długi miecz* z +0 do +1? (t/n)\nTwój przedmiot został umagiczniony.\n\n(ok)",
           "Czy chcesz zapłacić 8000 sztuk złota aby ulepszyć Długi miecz +1 z +1 do +2? (t/n)\n",
           "z +2 do +3? (t/n)\nBrakuje ci 18000 sztuk złota.\n\n(ok)"});
    EXPECT_EQ(std::pair(hero.weapon.bonus, hero.gold), std::pair(2, 0));
}

TEST_F(TownServiceTest, MagesTowerCursedShieldGrowsWorseThenTurnsAndTheElixirBecomesWater) {
    hero.shield = ItemSlot{1, KindShield, 1, -2, Identified};
    hero.inventory[2] = ItemSlot{4, KindPotion, 0, 0, Known};
    std::tie(hero.attributes[Cha], hero.gold) = std::pair(14, 8730 + 4365 + 72);
    recomputeLoad();
    const float load = hero.load;
    tower("u3\nn3\nttk4\ntk0\nk1\ntkk",
          {"3\nTen przedmiot jest przeklęty, na pewno chcesz go ulepszyć? (t/n)\n{clear}",
           "(t/n)\nCzy chcesz zapłacić 8730 sztuk złota aby ulepszyć Tarcza -2 z -2 do -3? (t/n)\n",
           "Zdejmę klątwe z Tarcza -3 za 4365 sztuk złota. (t/n)\nOd teraz Tarcza -3 to Tarcza +3.\n\n(ok)",
           "{clear}Z którego przedmiotu chcesz zdjąć klątwe (0-nic):\nNie masz żadnych przeklętych przedmiotów.\n\n(ok)"
           "{clear}WIEŻA MAGÓW",
           // The price must be in the purse, but it is never paid.
           "Czy chcesz zapłacić 72 sztuk złota aby ulepszyć Eliksir zdrowia +0 z +0 do +1? (t/n)\nMag - \"Eeee, ten "
           "eliksir który mi dałeś do umagicznienia zamienił się w wodę. Nie musisz mi płacić, tym "
           "razem...\"\n\n(ok)"});
    EXPECT_EQ(std::tuple(hero.shield.bonus, hero.gold, hero.inventory[2], hero.load),
              std::tuple(3, 72, ItemSlot{WaterRow, KindPotion, 0, 0, Identified}, load + 0.25f));
}

// A potion of a known kind is not listed.
TEST_F(TownServiceTest, MagesTowerIdentificationTellsPotionsOfHighRowsOnlyTheirKind) {
    hero.inventory = {ItemSlot{0, KindPotion, 0, 1, 0}, ItemSlot{3, KindPotion, 0, 0, 0},
                      ItemSlot{9, KindWeapon, 0, 0, Known}, ItemSlot{0, KindPotion, 0, 0, Identified},
                      ItemSlot{0, KindShield, 0, -1, 0}};
    hero.gold = 300;
    visit(magesTowerScreen, "i1\nn1\ntk1\ntk1\ntkkx",
          {"(0-nic):\n1) Nieznany eliksir\n2) Nieznany eliksir\n3) Puklerz +?\n",
           "(t/n)\nNieznany eliksir to Mikstura lecznicza +1.\n\n(ok)",
           "(t/n)\nWiem tylko że Nieznany eliksir to Trucizna +?. Jeśli chcesz wiedzieć więcej musisz znaleźć jakiegoś "
           "alchemika.\n\n(ok)",
           "ma Puklerz +? za 100 sztuk złota. (t/n)\nPuklerz +? to Puklerz -1.\n\n(ok)",
           "{clear}Który przedmiot chcesz zidentyfikować (0-nic):\nNie masz żadnych niezidentifikowanych przedmiotów."
           "\n\n(ok)"});
    EXPECT_EQ(hero.gold, 100);
}

// Uncursed, -5 turns +5 at once and a step more adds to it; cursed, an attribute below 1 kills, nothing paid.
TEST_F(TownServiceTest, MagesTowerStrangeSwordRaisesOrKillsThroughTheAttributes) {
    hero.attributes[Cha] = 15;  // 10 with the sword: the base prices
    const auto own = hero.attributes;  // KON 12: +1 at level 1
    std::tie(hero.weapon, hero.gold) = std::tuple(StrangeSword, 200 + 25000);
    applyGodBonus(StrangeSword.bonus);
    visit(magesTowerScreen, "i1\ntkkk1\ntkkx", {"(t/n)\nDługi miecz +? to Długi miecz Bogów -5.\n\n(ok)",
                                                "Od teraz Długi miecz Bogów -5 to Długi miecz Bogów +5.\n\n(ok)"});
    for (std::size_t i = 0; i < own.size(); ++i) EXPECT_EQ(hero.attributes[i], own[i] + 5) << i;
    EXPECT_EQ(std::pair(hero.hp, hero.gold), std::pair(15, 0));  // KON 17: +3
    hero.gold = 149850;  // e = 5 + 3: (8 + 1)² × 2000 at CHA 20
    visit(magesTowerScreen, "u1\ntk0\nx",
          {"(t/n)\nCzujesz się silniejszy.\nTwój przedmiot został umagiczniony.\n\n(ok)"});
    EXPECT_EQ(std::tuple(hero.attributes[Str], hero.weapon.bonus, hero.gold), std::tuple(own[Str] + 6, 6, 0));

    makeTestHero();
    std::tie(hero.attributes[Cha], hero.weapon, hero.gold, hero.lastHarm) =
        std::tuple(6, ItemSlot{7, KindWeapon, 1, -5, OfTheGods | Identified}, 200000, 0);
    applyGodBonus(StrangeSword.bonus);  // CHA 1
    visit(magesTowerScreen, "u1\ntt ", {"z -5 do -6? (t/n)\nCzujesz się słabszy.\n{12}Umierasz...\n{7}\n(ok)"});
    EXPECT_EQ(std::tuple(hero.hp, hero.lastHarm, hero.gold, hero.weapon.bonus),
              std::tuple(0, HarmNothingYet, 200000, -5));
}

// The first word, any case (of two Paladyn rows the last: 150 gold); a rat (1/8) costs 1; "n" pays nothing.
TEST_F(TownServiceTest, MagesTowerSeerFindsOneWordInAnyCaseChargesByChallengeAndTellsAll) {
    hero.gold = 1000;
    tower("wg  paladyn rest\ntkgRycerz śmierci\nkx",
          {"Mag mówi:\n-\"Witaj Testowy Wojownik.\"\nCo chcesz zrobić:\ng - gdzie znajdę potwora?\nx - wyjdź\n\n"
           "Nazwa potwora:   paladyn rest\nCzekaj, nie mów. Chcesz wiedzieć gdzie znajdziesz paladyn, tak?\n"
           "Chcesz zapłacić 150 sztuk złota? (t/n)\nJesteś słabszy niż Paladyn.\nTen przeciwnik nie wie co to strach.\n"
           "Jesteś szybszy niż ta istota.\nNie wiem gdzie możesz go znaleźć.\n\n(ok)",
           "Chcesz wiedzieć gdzie znajdziesz Rycerz, tak?\nPrzykro mi ale nigdy nie słyszałem o czymś takim.\n\n(ok)"});
    EXPECT_EQ(hero.gold, 850);
    hero.gold = 1;
    tower("wgOGR\nkgszczur\nngSZCZUR\ntkx", {"Nie stać cię na to, potrzebujesz 19 sztuk złota.\n\n(ok)",
                                             "Chcesz zapłacić 1 sztuk złota? (t/n)\n{clear}",
                                             "Jesteś silniejszy niż Szczur.\n"});
    EXPECT_EQ(hero.gold, 0);

    ASSERT_EQ(speedSteps(), 6);
    hero.level = 4;
    for (const auto& [word, answer] : {
             std::pair{"Balor", "Jesteś słabszy niż Balor.\nTen przeciwnik posiada redukcje obrażeń. Potrzebujesz "
                                "minimum +3 umagicznienia broni aby pokonać redukcję.\nTen przeciwnik potrafi latać.\n"
                                "Jesteś wolniejszy niż ta istota.\nTen przeciwnik jest otoczony płomieniami.\nMożesz "
                                "go znaleźć w salach bólu.\n"},
             {"szczur", "Jesteś silniejszy niż Szczur.\nJesteś szybszy niż ta istota.\nTa istota jest zwierzęciem.\n"
                        "Możesz go znaleźć w lesie i podziemiach w okolicach 1 poziomu.\n"},
             // Equal in strength and speed.
             {"minotaur", "Jesteś równie silny jak Minotaur.\n"
                          "Możesz go znaleźć w podziemiach w okolicach 4 poziomu.\n"},
         }) {
        hero.gold = 1000;
        tower(std::string("wg") + word + "\ntkx", {std::string("(t/n)\n") + answer + "\n(ok)"});
    }
}

// A gold piece for two days begun, a level's Pw a day, rages and last chances back, the calendar runs on.
TEST_F(TownServiceTest, InnRestsCostsRefusalsTheBoundBeerAndRumours) {
    const struct { std::string typed, days; int day, gold, cost, hp, dayAfter, yearAfter; } rests[] = {
        {"-1", "7", 360, 50, 4, 30, 2, 114},  // (30 - 10) / 3 = 6.67 days, across the year's end
        {"1", "1", 1, 50, 1, 13, 2, 113}, {"2", "2", 1, 50, 1, 16, 3, 113}, {"10", "10", 1, 50, 5, 30, 11, 113},
        {"3650", "3650", 1, 5000, 1825, 30, 1, 123},
    };
    for (const auto& r : rests) {
        SCOPED_TRACE(r.typed);
        tired(3, 30, 10);
        std::tie(world.day, world.year, hero.gold) = std::tuple(r.day, 113, r.gold);
        inn("o" + r.typed + "\ntk");
        EXPECT_TRUE(said("odpoczywać " + r.days + " dni za " + std::to_string(r.cost) + " zlota? (t/n)\nOdpoczywales " +
                         r.days + " dni, masz " + std::to_string(r.hp) + "/30 pw.\n"));
        EXPECT_EQ(std::tuple(hero.gold, hero.hp, world.day, world.year, hero.ragesLeft, hero.lastChances),
                  std::tuple(r.gold - r.cost, r.hp, r.dayAfter, r.yearAfter, 2, 3));
    }
    // Too poor; "n" leaves; nothing to heal: no question; beyond the int range of cost and Pw: the limit.
    tired(3, 30, 10);
    std::tie(hero.gold, world.day) = std::pair(1, 1);
    EXPECT_TRUE(has(inn("o5\ntk"), "za 3 zlota? (t/n)\nNie masz dość złota, brakuje ci 2.\n\n(ok){clear}GOSPODA"));
    EXPECT_EQ(inn("o5\nn"),
              "{clear}GOSPODA\nWchodzisz do zatłoczonej gospody. Podchodzi do ciebie karczmarz i pyta czego ci "
              "potrzeba.\no - odpoczynek\np - kup piwo\ns - słuchaj plotek\nw - wyjdź\n\nIle dni chcesz odpoczywać "
              "(kosz 1 sztuka złota za 2 dni pobytu, podaj -1 dla pełnego uzdrowienia.\nMasz 1 sztuk złota i 10/30 "
              "pw.\nIle dni chcesz odpoczywać: 5\n\nCzy chcesz odpoczywać 5 dni za 3 zlota? (t/n)\n");
    EXPECT_TRUE(left);
    hero.hp = hero.maxHp;
    const std::string out = inn("o0\no-1\no-7\noabc\no3651\nko2147483647\nk");
    EXPECT_EQ(std::tuple(has(out, "Czy chcesz"), count(out, "3651\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}"
                         "GOSPODA"), count(out, "Możesz odpoczywać najwyżej"), hero.gold, world.day),
              std::tuple(false, 1, 2, 1, 1));
    // Beer for 3 gold, or out to the street; a rumour takes one draw.
    std::tie(hero.hp, hero.gold) = std::pair(10, 5);
    inn("pnptk");
    saw({"Czy chcesz kupić piwo za 3 sztuki złota? (t/n)\n{clear}GOSPODA",
         "(t/n)\nWypijasz zimne piwo. Ma jakiś dziwny posmak...\n\n(ok){clear}GOSPODA"});
    EXPECT_FALSE(left);
    EXPECT_TRUE(has(inn("ptk"), "Nie masz tyle złota. Karczmarz wyrzucił cię na ulicę!\n\n(ok)"));
    EXPECT_EQ(std::pair(left, hero.gold), std::pair(true, 2));
    for (int i = 0; i < 2; ++i) {
        const std::uint32_t state = randomState();
        const char* rumour = rumourTable[static_cast<std::size_t>(randomNext() % 20)];
        const std::uint32_t next = randomState();
        setRandomState(state);
        EXPECT_TRUE(has(inn("sk"), std::string("\n\n") + rumour + "{clear}GOSPODA")) << rumour;
        EXPECT_EQ(randomState(), next);
    }
}

TEST_F(TownServiceTest, HomeBuildingDemolishingAndRest) {
    tired(2, 20, 10);
    world.set(LandOwned);
    const std::string plot = "{clear}Przychodzisz na działkę którą kupiłeś od burmistrza. Nic tu nie ma oprócz kilku "
                             "krzaków.\nCo chcesz zrobić?\nb - buduj dom\nw - wróć do miasta\n\n";
    EXPECT_EQ(home("bw"), plot + "Co chcesz zbudować?\ns - szałas\nd - dom\np - pałac\nw - wróć do miasta\n\n");
    EXPECT_TRUE(left);
    // A gold piece short changes nothing; the work takes its days (none for a refusal), healing level × days / 2 Pw.
    using State = std::tuple<std::uint32_t, int, int, int>;  // flags, gold, Pw, day
    const struct { State before; int level; std::string keys, said; State after; } visits[] = {
        {{LandOwned, 4999, 10, 1}, 2, "bdtk", "Czy chcesz zbudować dom? Zajmię to 30 dni, będzie kosztować 5000 za "
         "materiały i opłacenie robotników. (t\n)Brakuje ci 1 sztuk złota.\n\n(ok)" + plot, {LandOwned, 4999, 10, 1}},
        {{LandOwned, 5000, 10, 350}, 2, "bdtk", "(t\n)Wybudowałeś dom.\n\n(ok){clear}Wracasz do swojego domu, "
         "przestronnego domu. Co chcesz zrobić?\no - odpoczywaj\nz - zburz\nw - wróć do miasta\n\n",
         {LandOwned | HouseBuilt, 0, 20, 15}},
        {{LandOwned, 0, 10, 15}, 4, "bsnbstk", "Zajmie ci to 7 dni, nie będzie nic kosztować. (t\n)Wybudowałeś szałas."
         "\n\n(ok){clear}Wracasz do swojego domu, ciasnego szałasu.", {LandOwned | HutBuilt, 0, 24, 22}},
        {{LandOwned | PalaceBuilt, 2499, 10, 1}, 4, "znztk", "Czy chcesz zburzyć pałac? Zajmię ci to 15 dni i będzie "
         "kosztować 2500 sztuk złota. (t/n)\n\n{clear}Wracasz do swojego domu, przytulnego pałacu. Co",
         {LandOwned | PalaceBuilt, 2499, 10, 1}},
        {{LandOwned | PalaceBuilt, 2499, 10, 1}, 4, "ztk", "(t/n)\n\nBrakuje ci 1 sztuk złota.\n\n(ok)",
         {LandOwned | PalaceBuilt, 2499, 10, 1}},
        {{LandOwned | PalaceBuilt, 2500, 2, 350}, 4, "ztk", "(t/n)\n\nZburzyłeś pałac.\n\n(ok)", {0u, 0, 32, 365}},
    };
    for (const auto& v : visits) {
        std::tie(world.storyFlags, hero.gold, hero.hp, world.day) = v.before;
        std::tie(hero.level, hero.maxHp) = std::pair(v.level, 10 * v.level);
        EXPECT_TRUE(has(home(v.keys), v.said)) << v.keys;
        EXPECT_EQ(std::tuple(world.storyFlags, hero.gold, hero.hp, world.day), v.after) << v.keys;
    }
    EXPECT_TRUE(screen.transcript().ends_with("Zburzyłeś pałac.\n\n(ok)"));
    EXPECT_TRUE(left);
    EXPECT_EQ(home(""), "");  // without land there is no home
    EXPECT_TRUE(left);
    tired(2, 20, 10);
    // Until healed, a level-2 hero at 10/20 rests 10 days in a hut (factor 0.5), 5 in a house, 4 in a palace.
    for (const auto& [building, days] : {std::pair{HutBuilt, 10}, {HouseBuilt, 5}, {PalaceBuilt, 4}}) {
        world.storyFlags = std::uint32_t{LandOwned} | building;
        std::tie(world.day, hero.hp, hero.ragesLeft, hero.lastChances) = std::tuple(1, 10, 0, 1);
        EXPECT_TRUE(has(home("o-1\nk"), "Możesz tu odpoczywać ile chcesz. Masz 10/20 pw.\nIle dni chcesz odpoczywać? "
                                        "(-1 dla pełnego wyzdrowienia)\n-1\nOdpoczywałeś " +
                                            std::to_string(days) + " dni.\n\n(ok){clear}"));
        EXPECT_EQ(std::tuple(hero.hp, world.day, hero.ragesLeft, hero.lastChances), std::tuple(20, 1 + days, 2, 3));
    }
    // By the day: a level's Pw a day, never above the maximum; the longest rest wraps the calendar ten times.
    std::tie(hero.hp, world.day, world.year) = std::tuple(10, 360, 113);
    home("o3\nk");
    EXPECT_EQ(std::pair(hero.hp, world.day), std::pair(16, 363));
    home("o3650\nk");
    EXPECT_EQ(std::tuple(hero.hp, world.day, world.year), std::tuple(20, 363, 123));
    // Nothing to heal, nothing typed, or beyond the limit (said, even for "-1" at a huge loss): no time passes.
    const std::string out = home("o-1\no0\no3651\nkw");
    EXPECT_FALSE(has(out, "Odpoczywałeś"));
    EXPECT_TRUE(has(out, "3651\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}Wracasz"));
    hero.maxHp = 100000;
    EXPECT_TRUE(has(home("o-1\nkw"), "-1\nMożesz odpoczywać najwyżej 3650 dni.\n\n(ok){clear}Wracasz"));
    EXPECT_EQ(world.day, 363);
}

TEST_F(TownServiceTest, MayorTheQuestChainToTheLastOrToACowardsEnd) {
    makeStrong();
    hero.xpNext = 1000000;
    EXPECT_TRUE(has(mayor("z"), "- wyjdź\n\nPokonaj 5 wrogów aby udowodnić, że nadajesz się do czegokolwiek.\n\n(ok)"));
    // Each quest: the kind that hands it out (running is one more), the stage that completes it, the reward.
    const struct { int ready, stage; const char* success; int experience, gold, alignment; } chain[] = {
        {QuestNone, 5, "Dobra robota, może będzie z ciebie Wojownik.\n", 300, 100, 1},
        {2, 1, "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250, 1},
        {4, 1, "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500, 1},
        {7, 1, "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n",
         6000, 2000, 1},
        {9, 2, "Udało ci się zabić dwóch rycerzy śmierci? To dobrze. Spotkałeś tam może po drodze paladyna?\n", 8000,
         25000, 2},
    };
    for (const auto& quest : chain) {
        if (quest.ready == 7) {  // between the third and the fourth quest the orcs attack the town
            ASSERT_EQ(world.questKind, QuestOrcRaid);
            playFights();
            EXPECT_TRUE(has(mayor("z"), "Dobrze, że byłeś w pobliżu. Może ci orkowie czegoś się nauczą...\n"
                                        "Zdobyłeś {10}4500{7} doświadczenia.\nDostałeś {14}1200{7} złota.\n\n(ok)"));
            EXPECT_EQ(hero.alignment, 4);
            screen.setKeySource(nullptr);
        }
        std::tie(world.questKind, world.questStage) = std::pair(quest.ready, quest.stage - 1);  // asked again
        EXPECT_FALSE(has(mayor("z"), quest.success)) << quest.ready;
        EXPECT_EQ(world.questKind, quest.ready + 1) << quest.ready;
        world.questStage = quest.stage;
        const int alignment = hero.alignment;
        EXPECT_TRUE(has(mayor("zk"), std::string(quest.success) + "Zdobyłeś {10}" + std::to_string(quest.experience) +
                                         "{7} doświadczenia.\nDostałeś {14}" + std::to_string(quest.gold) +
                                         "{7} złota.\n\n(ok){clear}DOM BURMISTRZA"));
        EXPECT_EQ(std::tuple(hero.alignment, world.questKind, world.questStage),
                  std::tuple(alignment + quest.alignment, quest.ready + 2, 0));
    }
    EXPECT_TRUE(has(mayor("zk"), "W tej chwili nie mam dla ciebie żadnych zadań.\n\n(ok)"));
    // Fleeing from the orcs' raid ends the chain for good.
    hero.feats |= FeatRun;  // pace 7 against the orcs' 4: sure to escape
    world.questKind = QuestOrcRaid;
    playFights('u');
    EXPECT_TRUE(has(mayor("z"), "Ty cholerny tchórzu. My tu walczymy a ty sobie uciekasz z walki! Żebym cie tu więcej "
                                "nie widział!\n\n(ok)"));
    EXPECT_EQ(world.questKind, QuestCoward);
    screen.setKeySource(nullptr);
    EXPECT_TRUE(has(mayor("zkw"), "Jesteś tchórzem! Nie mam dla ciebie żadnych zadań!\n\n(ok){clear}"));
    EXPECT_TRUE(left);
}

// Innocents killed cost one alignment each on top of the attack's four.
TEST_F(TownServiceTest, AttackingTheMayor) {
    makeStrong();
    EXPECT_FALSE(has(mayor("aw"), "a - atakuj"));  // without the chief's offer 'a' is ignored
    EXPECT_TRUE(left);
    for (const bool landOwned : {false, true}) {
        world.storyFlags = std::uint32_t{ChiefOffer} | (landOwned ? std::uint32_t{LandOwned} : 0u);
        std::tie(world.killCounts, hero.alignment) = std::pair(decltype(world.killCounts){}, 0);
        playFights();
        const std::string out = mayor("a");
        EXPECT_TRUE(has(out, "{clear}DOM BURMISTRZA\nMieszka tu burmistrz miasta Blackrock. Co chcesz zrobić?\n"
                             "a - atakuj\nz - zadania\nk - kup ziemie\nw - wyjdź\n\n"));
        EXPECT_EQ(has(out, "W domu burmistrza znalazłeś akt własności ziemi.\n\n(ok)"), !landOwned);
        const auto& killed = world.killCounts;
        const int innocents = killed[MonsterMayor] + killed[MonsterCommander] + killed[MonsterGuard];
        EXPECT_EQ(std::tuple(world.has(MayorDead), world.has(LandOwned), innocents >= 5, hero.alignment),
                  std::tuple(true, true, true, -4 - innocents));
        screen.setKeySource(nullptr);
    }
    EXPECT_TRUE(mayor("k").ends_with("{clear}DOM BURMISTRZA\nBurmistrz nie żyje, dom stoi pusty.\n\n(ok)"));
    EXPECT_TRUE(left);
}

// Land for 1000; the mine, once found and cleared, reopened for 20000, pays for every passing day.
TEST_F(TownServiceTest, MayorLandAndTheMine) {
    makeStrong();
    const struct { std::uint32_t set; int gold; std::string keys, fragment; int goldAfter; bool land; } visits[] = {
        {0, 999, "ktk", "Mogę ci sprzedać ziemię pod dom za 1000 sztuk złota. Chcesz kupić? (t/n)\n\nBrakuje ci 1 "
                        "sztuk złota.\n\n(ok){clear}", 999, false},
        {0, 1000, "kn", "", 1000, false},  // refused
        {0, 1000, "ktk", "(t/n)\n\nPodpisz tylko tutaj... Dobrze, twoja ziemia znajduje się w północno zachodniej "
                         "częsci miasta.\n\n(ok)", 0, true},
        {0, 0, "kk", "Kupiłeś już ziemię, daj innym szansę na osiedlenie się tutaj.\n\n(ok)", 0, true},
        {0, 0, "rw", "", 0, true},  // the mine not found yet: the key does nothing
        {MineFound, 0, "rk", "r - zatrudnij robotników do kopalni\nw - wyjdź\n\nNikt nie będzie chciał pracować w "
                             "kopalni pełnej potworów.\n\n(ok)", 0, true},
        {MineCleared, 19999, "rtk", "Czy chcesz wznowić wydobycie? (t/n)\nBrakuje ci 1 sztuk złota.\n\n(ok)", 19999,
         true},
        {0, 20000, "rtk", "(t/n)\nOd jutra powinienieś zacząć dostawać pieniądze.\n\n(ok)", 0, true},
        {0, 0, "rk", "Kopalnia znów działa, i generuje spore zyski Szef górników będzie ci przynosił codziennie 500 "
                     "sztuk złota.\n\n(ok)", 0, true},
    };
    for (const auto& v : visits) {
        world.storyFlags |= v.set;
        hero.gold = v.gold;
        const std::string out = mayor(v.keys);
        EXPECT_TRUE(has(out, v.fragment)) << v.keys << v.gold;
        if (v.keys == "rw") {
            EXPECT_FALSE(has(out, "kopalni")) << v.keys << v.gold;
        }
        EXPECT_EQ(std::pair(hero.gold, world.has(LandOwned)), std::pair(v.goldAfter, v.land)) << v.keys << v.gold;
    }
    // Three days at the inn bring 1500 gold, the room costs two.
    hero.gold = 10;
    EXPECT_TRUE(has(inn("o3\ntkw"), "za 2 zlota? (t/n)\nKopalnia przyniosła ci 1500 sztuk złota.\nOdpoczywales 3 dni"));
    EXPECT_EQ(hero.gold, 1508);
    // A purse that is full stays full, and nothing is said.
    hero.gold = 2147483000;
    advanceDays(2);
    screen.clearTranscript();
    advanceDays(1);
    EXPECT_EQ(std::pair(hero.gold, screen.transcript()), std::pair(2147483647, std::string()));
}

// Potions are sold until the purse runs out; only those of unknown strength are identified, then drop off.
TEST_F(TownServiceTest, DruidGrovePotionsAreSoldAndIdentifiedForAFee) {
    hero.gold = 112 + 150;  // exactly two potions
    EXPECT_TRUE(grove("k1\nt2\nt6\ntx0\nw",
                      {"{clear}Mam na sprzedaż kilka mikstur, co chcesz kupić?\n"
                       "1) Mikstura lecznicza +1 (Waga: 0.25 kg) _112 złota\n"
                       "2) Mikstura lecznicza +2 (Waga: 0.25 kg) _150 złota\n",
                       "6) Eliksir uzdrowienia +0 (Waga: 0.25 kg) _750 złota\n\nCo chcesz kupić (0-nic)? 1\n"
                       "Na pewno chcesz kupić Mikstura lecznicza +1 za 112 sztuk złota? (t/n)\n{clear}Mam",
                       "Brakuje ci 750 sztuk złota."}));
    EXPECT_EQ(std::tuple(hero.gold, hero.inventory[0], hero.inventory[1]), std::tuple(0, druidStock[0], druidStock[1]));

    std::tie(hero.attributes[Cha], hero.gold) = std::pair(14, 60);  // CHA 14: 48 gold
    hero.inventory = {ItemSlot{2, KindGem, 0, 0, Identified}, ItemSlot{1, KindPotion, 0, -1, 0},
                      ItemSlot{0, KindPotion, 0, 0, Known}, ItemSlot{}, ItemSlot{2, KindPotion, 0, 1, Identified}};
    EXPECT_TRUE(grove("i1\nn1\ntx1\ntx0\nw",
                      {"{clear}Który eliksir chcesz zidentyfikować (0-nic):\n1) Nieznany eliksir\n2) Eliksir "
                       "uzdrowienia +?\n1\nPowiem ci jakie właściwości ma Nieznany eliksir za 48 sztuk złota. "
                       "(t/n)\n{clear}Który",
                       "(t/n)\nNieznany eliksir to Antidotum -1.\n\n(ok){clear}Który eliksir chcesz zidentyfikować "
                       "(0-nic):\n1) Eliksir uzdrowienia +?\n1\n",
                       "(t/n)\nBrakuje ci 36 sztuk złota.\n\n(ok){clear}"}));
    EXPECT_EQ(std::tuple(hero.gold, hero.inventory[1]), std::tuple(12, ItemSlot{1, KindPotion, 0, -1, Known}));
    hero.gold = 48;
    EXPECT_TRUE(grove("i1\ntxxw", {"Eliksir uzdrowienia +? to Eliksir uzdrowienia +1.\n\n(ok){clear}Który eliksir "
                                   "chcesz zidentyfikować (0-nic):\nNie masz żadnych niezidentifikowanych "
                                   "eliksirów.\n\n(ok){clear}Witaj"}));
    EXPECT_EQ(hero.gold, 0);
}

TEST_F(TownServiceTest, DruidGroveTheQuestSpeaksOfHowFarItHasCome) {
    const std::string request = "Potrzebuj twojej pomocy, grupa wargów napada na okoliczne wioski. Pójdę z tobą je "
                                "pokonać. Chcesz iść? (t/n)\n";
    const struct { std::uint32_t flags; std::string keys, ending; bool again; std::uint32_t flagsAfter; } cases[] = {
        {0, "zn", request, true, 0},
        {DruidCompanion, "zx",
         "Już do ciebie dołączyłem.\nGrupa wargów napada na okoliczne wioski. Znajedziemy je gdzieś w lesie.\n\n(ok)",
         true, DruidCompanion},
        {DruidCompanion | WorgsBeaten, "zx",
         "Już do ciebie dołączyłem.\nJeden z drzewców oszalał i zabija wszystkie zwierzęta, musimy go powstrzymać. "
         "Jest gdzieś w lesie.\n\n(ok)",
         true, DruidCompanion | WorgsBeaten},
        {DruidFriend, "zx", "W lesie znów panuje harmonia.\n\n(ok)", true, DruidFriend},
        {0, "zt ", request + "Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)", false, DruidCompanion},
        {0, "w", "a - zatakuj druida\nw - wyjdź\n", false, 0},
    };
    for (const auto& c : cases) {
        world.storyFlags = GroveKnown | c.flags;
        screen.clearTranscript();
        screen.type(c.keys);
        EXPECT_EQ(druidGroveScreen(), c.again) << c.keys;
        EXPECT_TRUE(screen.transcript().ends_with(c.ending)) << screen.transcript();
        EXPECT_EQ(world.storyFlags, GroveKnown | c.flagsAfter) << c.keys;
    }
    EXPECT_EQ(screen.transcript(), "{clear}Witaj w moim domu, rzadko mam tu gości. W czym mogę ci pomóc.\nk - kup "
                                   "mikstury\ni - identyfikacja mikstur\nz - zadania\na - zatakuj druida\nw - wyjdź\n");
}

// The bond ends, else a companion would fight himself in his grove; only the hero is attacked or charmed at.
TEST_F(TownServiceTest, AttackingTheDruidEndsEveryBondUntilHeIsDead) {
    for (const std::uint32_t bond : {DruidCompanion | WorgsBeaten, +DruidFriend}) {
        world.storyFlags = GroveKnown | bond;
        waitInFights(40);
        EXPECT_FALSE(grove("a", {"{clear}\nAtakujesz druida.\n"}));  // the keys ran out in the fight
        EXPECT_EQ(world.storyFlags, GroveKnown | DruidHostile | (bond & WorgsBeaten));
        const std::string& out = screen.transcript();
        EXPECT_EQ(std::tuple(count(out, "próbuje cię zaatakować") > 0, count(out, "trafia "),
                             count(out, "próbuje zaatakować"), count(out, "zauroczył")),
                  std::tuple(true, count(out, "trafia cię"), 0, 0)) << out;
    }
    // Then every visit is an ambush, even with a companion flag of an older game, until the druid is dead.
    world.storyFlags = GroveKnown | DruidHostile | DruidCompanion;
    waitInFights(5);
    EXPECT_FALSE(grove("a0\n"));
    EXPECT_TRUE(screen.transcript().starts_with("{clear}\nGdy tylko postawiłes nogę w świętym gaju druida usłyszałeś "
                                                "dźwięk wyciąganych z ziemi korzeni. Zauważyłeś druida i dwa ożywione "
                                                "drzewa.\n"));
    const std::size_t list = screen.transcript().find("Wybierz cel: (0-anuluj)\n");
    ASSERT_NE(list, std::string::npos);
    const std::string targets = screen.transcript().substr(list, screen.transcript().find("0\n", list) - list);
    EXPECT_EQ(std::tuple(count(targets, ") Druid\n"), count(targets, ") Ożywione drzewo\n") >= 2,
                         count(targets, "Pies"), world.storyFlags),
              std::tuple(1, true, 0, GroveKnown | DruidHostile)) << targets;
    world.set(DruidDead);
    EXPECT_TRUE(grove("x"));
    EXPECT_EQ(screen.transcript(), "{clear}Ten gaj jest opuszczony, nikt tu nie mieszka.\n\n(ok)");
}

}  // namespace
}  // namespace kelvrin::test
