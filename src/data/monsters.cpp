#include "data/monsters.h"

#include <cstddef>

namespace kelvrin {
namespace {

// Habitat abbreviations, as the catalogue's columns write them.
constexpr std::uint32_t dn = HabitatDungeon;
constexpr std::uint32_t cr = HabitatCrypt;
constexpr std::uint32_t hp = HabitatHallsOfPain;
constexpr std::uint32_t fo = HabitatForest;
constexpr std::uint32_t rd = HabitatRoad;
constexpr std::uint32_t cc = HabitatChallengeChamber;
constexpr std::uint32_t tw = HabitatTown;
constexpr std::uint32_t nr = HabitatNeverRandom;

constexpr std::uint32_t P1 = AttackPoisonLight;
constexpr std::uint32_t P2 = AttackPoisonMedium;
constexpr std::uint32_t P4 = AttackPoisonStrong;

// Challenge: -8 is 1/8, -6 is 1/6, -4 is 1/4, -3 is 1/3, -2 is 1/2.
// Attacks: {bonus, min damage, max damage, poison}.
// id, name, challenge, Pw, KP, initiative, speed, fly, attacks, traits, habitat, loot
constexpr std::array<MonsterDef, MonsterRows> rows{{
    {0, "Szczur", -8, 1, 14, 2, 3, 0, {{{4, 1, 1, 0}}}, TraitAnimal, dn | fo, 0},
    {1, "Kobold", -6, 8, 15, 1, 6, 0, {{{-1, 1, 4, 0}}}, 0, dn | fo | rd, LootGold | LootItem | LootGems | LootSmallGear},
    {2, "Goblin", -4, 10, 15, 1, 6, 0, {{{1, 1, 7, 0}}}, 0, dn | fo | rd, LootGold | LootItem | LootGems | LootSmallGear},
    {3, "Ghoul", 1, 13, 14, 2, 6, 0, {{{3, 2, 7, 0}}}, TraitCritImmune | TraitFearless | TraitUndead, dn | cr, 0},
    {4, "Ogr", 2, 26, 16, -1, 6, 0, {{{8, 9, 19, 0}}}, 0, dn | fo | rd, LootGold | LootGems},
    {5, "Mumia", 3, 42, 17, -1, 4, 0, {{{6, 5, 10, P4}}}, TraitHalfDamage | TraitReduction5 | TraitCritImmune | TraitFearless | TraitUndead, dn | cr, LootGold | LootItem | LootGems},
    {6, "Otyugh", 4, 33, 17, 0, 4, 0, {{{3, 1, 6, 0}, {3, 1, 6, 0}, {-2, 1, 4, P1}}}, 0, dn | cr, LootGold | LootItem | LootGems},
    {7, "Troll", 5, 23, 18, 2, 6, 0, {{{9, 7, 12, 0}, {9, 7, 12, 0}, {4, 4, 9, 0}}}, TraitRegenerating | TraitFearless, dn | cr, LootGold | LootItem | LootGems},
    {8, "Wywern", 6, 59, 17, 1, 4, 12, {{{9, 5, 10, P2}, {4, 4, 20, 0}, {4, 3, 10, 0}, {4, 3, 10, 0}}}, 0, dn | fo, LootGold | LootItem | LootGems},
    {9, "Niewidzialny łowca", 7, 52, 17, 8, 6, 0, {{{10, 8, 12, 0}, {5, 8, 12, 0}}}, TraitInvisible | TraitCritImmune, dn | cr, 0},
    {10, "Szary rozpruwacz", 8, 125, 19, 0, 6, 0, {{{12, 8, 18, 0}, {7, 4, 9, 0}, {7, 4, 9, 0}}}, 0, dn, 0},
    {11, "Sfinks", 9, 114, 22, 0, 10, 16, {{{18, 9, 15, 0}, {18, 9, 15, 0}}}, 0, dn | fo, LootGold | LootItem | LootGems},
    {12, "Gliniany golem", 10, 60, 22, -1, 4, 0, {{{14, 9, 27, 0}, {14, 9, 27, 0}}}, TraitCritImmune | TraitFearless | TraitBludgeoningOnly | TraitReduction20, dn | cr | cc, 0},
    {13, "Żywiołak ognia", 11, 136, 19, 11, 10, 10, {{{17, 10, 38, 0}, {12, 10, 38, 0}, {7, 10, 38, 0}}}, TraitCritImmune | TraitFearless | TraitReduction10, dn, 0},
    {14, "Purpurowy robal", 12, 200, 19, -2, 4, 0, {{{20, 14, 28, 0}, {15, 8, 12, P2}}}, 0, dn, LootGemsFromHalf},
    {15, "Kamienny golem", 11, 70, 26, -1, 4, 0, {{{18, 11, 29, 0}, {18, 11, 29, 0}}}, TraitCritImmune | TraitFearless | TraitReduction30, dn | cc, 0},
    {16, "Żelazny golem", 13, 99, 30, -1, 4, 0, {{{23, 13, 31, 0}, {23, 13, 31, 0}}}, TraitCritImmune | TraitFearless | TraitReduction50, cc, 0},
    {17, "Szkielet", -3, 6, 13, 5, 6, 0, {{{0, 1, 4, 0}, {0, 1, 4, 0}}}, TraitCritImmune | TraitFearless | TraitUndead | TraitResistsPiercing | TraitResistsSlashing, dn | cr, LootItem},
    {18, "Zombie", -2, 16, 11, -1, 4, 0, {{{2, 1, 7, 0}}}, TraitCritImmune | TraitFearless | TraitUndead, dn | cr, 0},
    {19, "Złudna bestia", 4, 51, 16, 2, 8, 0, {{{9, 5, 10, 0}, {9, 5, 10, 0}, {4, 3, 10, 0}}}, TraitBlinking, fo, LootGoldQuartered},
    {20, "Ork", -2, 12, 14, 0, 4, 0, {{{3, 4, 15, 0}}}, 0, dn | fo | rd, LootGold | LootItem | LootGems},
    {21, "Bulette", 7, 94, 22, 2, 8, 0, {{{12, 10, 24, 0}, {7, 6, 16, 0}, {7, 6, 16, 0}}}, 0, dn | fo, 0},
    {22, "Cień", 3, 19, 13, 2, 6, 8, {{{3, 1, 6, 0}}}, TraitCritImmune | TraitFearless | TraitUndead | TraitIncorporeal, cr, 0},
    {23, "Tyranozaur", 8, 171, 14, 1, 8, 0, {{{20, 18, 53, 0}}}, TraitAnimal, fo, 0},
    {24, "Drzewiec", 8, 66, 20, -1, 6, 0, {{{12, 11, 21, 0}, {12, 11, 21, 0}}}, TraitCritImmune | TraitTreeAnimator | TraitResistsPiercing, fo, 0},
    {25, "Ettin", 6, 65, 18, 3, 6, 0, {{{12, 7, 16, 0}, {12, 7, 16, 0}, {7, 7, 16, 0}, {7, 7, 16, 0}}}, 0, dn | rd, LootGold | LootGems},
    {26, "Gargulec", 4, 38, 16, 2, 9, 15, {{{6, 1, 4, 0}, {6, 1, 4, 0}, {4, 1, 6, 0}, {4, 1, 6, 0}}}, TraitReduction15 | TraitStatue, cr, LootGold | LootItem | LootGems},
    {27, "Wzgórzowy gigant", 7, 102, 20, -1, 6, 0, {{{16, 12, 22, 0}, {11, 12, 22, 0}}}, 0, fo | rd, LootGold | LootGems},
    {28, "Kamienny gigant", 8, 119, 25, 2, 6, 0, {{{17, 14, 24, 0}, {12, 14, 23, 0}}}, 0, fo, LootGold | LootGems},
    {29, "Ogniowy gigant", 10, 142, 21, -1, 6, 0, {{{20, 17, 31, 0}, {15, 17, 31, 0}, {10, 17, 31, 0}}}, 0, fo | rd, LootGold | LootGems},
    {30, "Gryf", 4, 59, 17, 2, 6, 16, {{{8, 6, 16, 0}, {3, 3, 6, 0}, {3, 3, 6, 0}}}, 0, fo, 0},
    {31, "Jaszczuroludź", 1, 11, 15, 0, 6, 0, {{{2, 2, 9, 0}, {0, 1, 4, 0}}}, 0, fo, LootGold | LootItem | LootGems},
    {32, "Kopacz", 9, 142, 14, 5, 6, 0, {{{17, 11, 32, 0}, {17, 11, 32, 0}}}, 0, dn | cr, LootGems},
    {33, "Mimik", 4, 52, 13, 1, 2, 0, {{{8, 7, 15, 0}}}, TraitMimic, dn | cr | nr, LootGold},
    {34, "Minotaur", 4, 39, 16, 0, 6, 0, {{{9, 8, 22, 0}, {4, 8, 22, 0}, {4, 3, 11, 0}}}, 0, dn, LootGold | LootItem | LootGems},
    {35, "Slaad", 7, 52, 16, 1, 6, 0, {{{10, 6, 20, 0}, {8, 3, 6, 0}, {8, 3, 6, 0}}}, TraitRegenerating, dn, LootGold | LootItem | LootGems},
    {36, "Worg", 2, 30, 14, 2, 10, 0, {{{7, 5, 10, 0}}}, 0, dn | fo, 0},
    {37, "Wilk", 1, 13, 14, 2, 10, 0, {{{3, 2, 7, 0}}}, TraitAnimal, fo | rd, 0},
    {38, "Niedźwiedź", 4, 51, 15, 1, 8, 0, {{{11, 9, 16, 0}, {11, 9, 16, 0}, {6, 6, 20, 0}}}, TraitAnimal, fo, 0},
    {39, "Żmija", 3, 22, 15, 4, 4, 0, {{{5, 1, 4, P2}}}, TraitAnimal, fo, 0},
    {40, "Balor", 18, 110, 30, 5, 8, 18, {{{18, 10, 20, 0}, {13, 10, 20, 0}, {8, 10, 20, 0}, {17, 4, 7, 0}}}, TraitReduction30Plus3 | TraitFireAura, hp, LootDoubleTreasure},
    {41, "Piekielny czart", 16, 123, 30, 5, 8, 12, {{{19, 8, 13, 0}, {19, 8, 13, 0}, {14, 5, 15, 0}, {14, 5, 11, 0}}}, TraitRegenerating | TraitReduction30Plus3, hp, LootDoubleTreasure},
    {42, "Terrasque", 20, 840, 35, 7, 4, 0, {{{57, 21, 49, 0}, {52, 9, 18, 0}, {52, 9, 18, 0}, {52, 9, 20, 0}}}, TraitFearless | TraitReduction25 | TraitFastRegenerating, hp | nr, 0},
    {43, "Pies", 1, 13, 14, 2, 10, 0, {{{3, 2, 7, 0}}}, TraitAnimal | TraitInnocent, fo | nr, 0},
    {44, "Ożywione drzewo", 8, 66, 20, -1, 6, 0, {{{12, 11, 21, 0}, {12, 11, 21, 0}}}, TraitCritImmune | TraitResistsPiercing, 0, 0},
    {45, "Paladyn", 6, 43, 19, -1, 3, 0, {{{10, 4, 11, 0}, {5, 4, 11, 0}}}, TraitFearless | TraitHealer | TraitInnocent, dn | nr, LootGold | LootItem | LootGems},
    {46, "Paladyn", 15, 134, 30, -1, 3, 0, {{{28, 8, 15, 0}, {23, 8, 15, 0}, {18, 8, 15, 0}, {13, 8, 15, 0}}}, TraitFearless | TraitHealer | TraitInnocent, 0, LootGold | LootItem | LootGems},
    {47, "Druid", 11, 64, 21, 2, 6, 0, {{{9, 1, 6, 0}, {4, 1, 6, 0}}}, TraitFearless | TraitTreeAnimator | TraitDruid | TraitInnocent, fo | nr, LootGold | LootItem | LootGems},
    {48, "Druid", 12, 113, 27, 2, 6, 0, {}, TraitFearless | TraitDruid | TraitInnocent, 0, LootGold | LootItem | LootGems},
    {49, "Podróżny", 1, 11, 13, 1, 6, 0, {{{2, 2, 7, 0}}}, TraitInnocent, rd | nr, LootGold | LootItem | LootGems},
    {50, "Strażnik", 2, 19, 18, 5, 4, 0, {{{5, 3, 10, 0}}}, TraitInnocent, rd | tw | nr, LootGold | LootItem | LootGems},
    {51, "Sierżant", 5, 42, 21, 5, 4, 0, {{{10, 6, 13, 0}}}, TraitInnocent | TraitSteadfast, rd | tw | nr, LootGold | LootItem | LootGems},
    {52, "Dowódca", 8, 64, 23, 5, 4, 0, {{{13, 7, 16, 0}, {8, 7, 16, 0}}}, TraitInnocent | TraitSteadfast, tw | nr, LootGold | LootItem | LootGems},
    {53, "Burmistrz", 6, 49, 16, 10, 6, 0, {{{11, 3, 9, 0}, {6, 3, 9, 0}}}, TraitFearless | TraitGuardCaller | TraitInnocent, tw | nr, LootGold | LootItem | LootGems | LootGoldDoubled},
    {54, "Bandyta", 2, 19, 18, 5, 4, 0, {{{5, 3, 10, 0}}}, 0, fo | rd, LootGold | LootItem | LootGems},
    {55, "Herszt", 5, 42, 21, 5, 4, 0, {{{10, 6, 13, 0}}}, TraitFearless, fo | rd | nr, LootGold | LootItem | LootGems},
    {56, "Legendarny tygrys", 10, 299, 23, 4, 10, 0, {{{29, 13, 23, 0}, {29, 13, 23, 0}, {24, 7, 21, 0}}}, TraitFearless | TraitInnocent, fo | nr, 0},
    {57, "Rycerz śmierci", 10, 65, 26, 4, 5, 0, {{{19, 14, 24, 0}, {14, 14, 24, 0}}}, TraitCritImmune | TraitFearless | TraitUndead | TraitReduction15, cr, LootDoubleTreasure},
    {58, "Wódz orków", 5, 42, 21, 5, 4, 0, {{{10, 6, 13, 0}}}, TraitFearless, fo | nr, LootGold | LootItem | LootGems},
    {59, "Ork wojownik", 1, 20, 16, 1, 4, 0, {{{5, 7, 16, 0}}}, 0, dn | fo | rd, LootGold | LootItem | LootGems},
}};

constexpr bool rowsAreSound() {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MonsterDef& m = rows[i];
        if (m.id != static_cast<int>(i)) return false;
        if (m.challenge == 0 || m.challenge < -8) return false;
        // The attack list ends at the first empty entry and nothing follows it.
        bool ended = false;
        for (const MonsterAttack& a : m.attacks) {
            if (a.maxDamage == 0) ended = true;
            else if (ended || a.minDamage < 1 || a.minDamage > a.maxDamage) return false;
        }
    }
    return true;
}
static_assert(rowsAreSound());

}  // namespace

const std::array<MonsterDef, MonsterRows> monsterTable = rows;

const MonsterDef& monsterRow(int row) { return monsterTable.at(static_cast<std::size_t>(row)); }

int attackCount(const MonsterDef& monster) {
    int count = 0;
    while (count < MonsterAttackSlots && monster.attacks[static_cast<std::size_t>(count)].maxDamage != 0) ++count;
    return count;
}

}  // namespace kelvrin
