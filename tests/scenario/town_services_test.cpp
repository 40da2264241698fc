// The services of the town and of the druid's grove, one fixture each.
#include <string>
#include <tuple>
#include <utility>

#include "support/scenario.h"

#include "character/derived_values.h"
#include "items/inventory.h"
#include "items/mages_tower.h"
#include "items/market.h"
#include "items/weapon_smith.h"
#include "world/mayor.h"

namespace kelvrin::test {
namespace {
class TownServiceTest : public ScenarioTest {
protected:
    // A shop whose stock is drawn from the seed 12345, which the tests name.
    void shop(bool (*place)(), const std::string& keys, std::initializer_list<std::string> parts) {
        seedRandom(12345);
        visit(place, keys, parts);
    }
    // The mages' tower, whose seer and refusals may keep it open.
    void tower(const std::string& keys, std::initializer_list<std::string> parts) {
        visit(magesTowerScreen, keys);
        saw(parts);
    }
    std::string mayor(const std::string& keys) { return visit(mayorScreen, keys); }
};

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

// The quests between the first and the last, each finished as soon as it is asked about: its text, its reward, and
// the chain moves on past the quest's running kind.
TEST_F(TownServiceTest, MayorPaysTheMiddleQuestsOfTheChain) {
    makeStrong();
    hero.xpNext = 1000000;
    const struct { int ready; const char* success; int experience, gold; } middle[] = {
        {2, "Dzięki tobie na drogach jest bezpieczniej.\n", 600, 250},
        {4, "Słyszałem, że doszedłeś na 5 poziom podziemi, oto twoja nagroda.\n", 1500, 500},
        {7, "Herszt bandytów nie żyje! Dzięki tobie na drogach będzie o wiele bezpieczniej. Weź to w nagrodę.\n",
         6000, 2000},
    };
    for (const auto& quest : middle) {
        SCOPED_TRACE(quest.ready);
        std::tie(world.questKind, world.questStage) = std::pair(quest.ready, 1);
        std::tie(hero.xp, hero.gold, hero.alignment) = std::tuple(0, 0, 0);
        EXPECT_TRUE(has(mayor("zk"), std::string(quest.success) + "Zdobyłeś {10}" + std::to_string(quest.experience) +
                                         "{7} doświadczenia.\nDostałeś {14}" + std::to_string(quest.gold) +
                                         "{7} złota.\n\n(ok){clear}DOM BURMISTRZA"));
        EXPECT_EQ(std::tuple(hero.xp, hero.gold, hero.alignment, world.questKind),
                  std::tuple(quest.experience, quest.gold, 1, quest.ready + 2));
        EXPECT_EQ(world.questStage, 0);
    }
}

}  // namespace
}  // namespace kelvrin::test
