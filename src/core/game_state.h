// The two records that hold the whole game: the hero and the world. One of
// each exists for the whole run; creation fills them, loading overwrites
// them, and everything else reads and changes them directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/item_slot.h"

namespace kelvrin {

constexpr int AttributeCount = 6;
constexpr int BackpackSlots = 20;
constexpr int MonsterRows = 60;
constexpr int LevelSlots = 18;

// Attribute order: SIŁ, ZRĘ, KON, INT, MĄD, CHA.
enum Attribute : int { Str = 0, Dex = 1, Con = 2, Int = 3, Wis = 4, Cha = 5 };

// What harmed the hero last when it was not a monster (monsters use their
// catalogue row, 0 or more).
constexpr int HarmNothingYet = -99;

struct Hero {
    std::string name;
    std::array<int, AttributeCount> attributes{};
    int race = 0;       // row of the race table
    int heroClass = 0;  // row of the class table
    int hp = 0;
    int maxHp = 0;
    int gold = 0;
    int level = 0;
    int xp = 0;
    int xpNext = 0;
    ItemSlot weapon;
    ItemSlot armour;
    ItemSlot shield;
    std::array<ItemSlot, BackpackSlots> inventory{};
    int baseAttack = 0;
    int attackPool = 0;  // baseAttack - powerAttack - expertise
    std::uint32_t feats = 0;
    int powerAttack = 0;
    int expertise = 0;
    int toughnessCount = 0;
    int ragesLeft = 0;
    int ragesPerDay = 0;
    int extraRageCount = 0;
    int extendedRageCount = 0;
    std::uint32_t weaponFocusMask = 0;
    std::uint32_t weaponSpecMask = 0;
    std::uint32_t improvedCritMask = 0;
    int damageReduction = 0;
    int kpModifier = 0;  // -2 while raging; never saved
    int poison = 0;      // already subtracted from SIŁ and KON
    int lastHarm = HarmNothingYet;
    int alignment = 0;
    float capacity = 0.0f;  // kg
    float load = 0.0f;      // kg
    int lastChances = 0;
};

// One dungeon level slot: the seed its map is built from (0 until first
// built) and the chests already opened there.
struct LevelRecord {
    std::uint32_t seed = 0;
    std::uint32_t openedChests = 0;
    friend bool operator==(const LevelRecord&, const LevelRecord&) = default;
};

enum Location : int {
    LocationWorldMap = -1,
    LocationTown = 0,
    LocationForest = 1,
    LocationRoad = 2,
    LocationDungeon = 3,
    LocationMine = 4,
    LocationHallsOfPain = 5,
    LocationChallengeChamber = 6,
    LocationCrypt = 7,
};

enum StoryFlag : std::uint32_t {
    LandOwned = 0x1,
    HutBuilt = 0x2,
    HouseBuilt = 0x4,
    PalaceBuilt = 0x8,
    PaladinHostile = 0x10,
    DruidHostile = 0x20,
    PaladinDead = 0x40,
    DruidDead = 0x80,
    PaladinFriend = 0x100,
    DruidFriend = 0x200,
    MineFound = 0x400,
    MineCleared = 0x800,
    MineWorking = 0x1000,
    GroveKnown = 0x2000,
    WorgsBeaten = 0x4000,
    MayorDead = 0x8000,
    GolemsDefeated = 0x10000,
    TerrasqueDead = 0x20000,
    PaladinCompanion = 0x40000,
    DruidCompanion = 0x80000,
    ChiefOffer = 0x100000,
    ChiefDead = 0x200000,
    SwordTaken = 0x400000,
};

// What a running fight has changed in the hero for its own duration (rage
// and the fatigue after it): undone when the fight ends, and by a crash
// save, so that neither is ever kept for good.
struct FightChanges {
    std::array<int, AttributeCount> attributes{};
    int hp = 0;
    int maxHp = 0;
};

// Where the mayor's chain of quests stands (`WorldState::questKind`): an
// odd kind up to 10 is a running quest, the even kind before it means the
// quest is ready to be handed out.
enum QuestKind : int {
    QuestCoward = -1,         // fled from the orc raid: no more quests, for good
    QuestNone = 0,
    QuestFiveFoes = 1,        // questStage counts the enemies killed
    QuestBandits = 3,         // questStage 1 once a band of robbers is beaten
    QuestFifthLevel = 5,      // questStage 1 once the fifth dungeon level is reached
    QuestOrcRaid = 6,         // the orcs attack as soon as the hero asks
    QuestBanditChief = 8,     // questStage 1 once the chief is dead
    QuestDeathKnights = 10,   // questStage counts the death knights killed
    QuestChainFinished = 11,
};

struct WorldState {
    int questStage = 0;
    std::uint32_t storyFlags = 0;
    int questKind = 0;
    std::array<int, MonsterRows> killCounts{};
    std::array<LevelRecord, LevelSlots> levelSeeds{};
    int savedX = 0;
    int savedY = 0;
    int startMarker = 0;
    int dungeonLevel = 0;
    int location = LocationTown;
    int year = 0;
    int day = 0;

    // Run-time fields, never saved.
    bool leaveLoop = false;
    bool resumeDungeon = false;
    bool inCombat = false;
    bool dungeonEventFight = false;
    int combatRound = 0;
    FightChanges fightChanges;  // kept by combat while a fight runs

    bool has(StoryFlag flag) const { return (storyFlags & flag) != 0; }
    void set(StoryFlag flag) { storyFlags |= flag; }
    void clear(StoryFlag flag) { storyFlags &= ~static_cast<std::uint32_t>(flag); }
};

extern Hero hero;
extern WorldState world;

constexpr int DaysPerYear = 365;

// Adds gold or experience; a sum beyond the 32-bit range stays at the
// largest value instead of wrapping (a fortune must not turn into a debt).
void addGold(long long amount);
void addExperience(long long amount);
// The gold the hero lacks for a price ("Brakuje ci %d sztuk złota."), held
// in the integer range: a debt from a damaged save must not overflow it.
int goldShortOf(int price);

// Lets n days pass: the day grows and the year turns as often as needed.
// With a working mine (MineWorking) the hero is paid 500 gold for every one
// of those days, and a line says how much.
void advanceDays(int days);

// Puts the new-game value into every field of both records, keeping only
// savedX, savedY and dungeonLevel (they are set before they are next used).
// The name, attributes, race, class, equipment and derived values are then
// filled in by character creation.
void resetForNewGame();

}  // namespace kelvrin
