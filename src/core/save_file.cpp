#include "core/save_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

#include "character/rules_tables.h"
#include "core/binary_file.h"
#include "core/console.h"
#include "data/classes.h"
#include "data/progression.h"
#include "data/races.h"
#include "items/catalogue.h"
#include "items/inventory.h"

namespace kelvrin {

namespace {

// "HERO" and a zero; the last three bytes of the 8-byte magic are written
// as zeros and never looked at, as the game always compared the magic as
// a text.
constexpr unsigned char Magic[8] = {'H', 'E', 'R', 'O', 0, 0, 0, 0};
constexpr std::size_t MagicCompared = 5;

constexpr FightChanges NoFightChanges{};

// Underground, the saved position is a cell of a 20×20 map.
constexpr int MapCells = 20;

// Sums and differences as the two's-complement hardware does them: the
// values come from the file or from a fight and may be anything, and
// wrapping is what the stored 32 bits would hold anyway.
std::int32_t wrappingSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Far beyond any score, count or enchantment a game reaches (attributes
// of 3 to 18 at birth, bonuses of a few points, kill counts in the
// hundreds), and small enough that the rules' sums, modifiers and
// increments of such values cannot overflow. Gold and experience are not
// bounded: a game may take them to the top of the range.
constexpr int ScoreLimit = 1000000;

bool withinScoreLimit(int value) { return value >= -ScoreLimit && value <= ScoreLimit; }

// The stored form of a slot: the row's id for an item (the row number
// itself when the slot refers to no row, which loading then refuses), 0
// for an empty slot; then the four instance words.
void putSlot(ByteWriter& out, const ItemSlot& slot) {
    std::int32_t id = 0;
    if (slot.kind >= KindWeapon && slot.kind <= KindGem) id = isValidItem(slot) ? rowId(slot) : slot.ref;
    out.putI32(id);
    out.putI32(slot.kind);
    out.putI32(slot.masterwork);
    out.putI32(slot.bonus);
    out.putU32(slot.flags);
}

// A stored slot back as a slot: an item must name a row of its kind's
// catalogue, an empty slot refers to row 0; any other kind is refused, and
// so is a masterwork or bonus word beyond the score limit.
std::optional<ItemSlot> getSlot(ByteReader& in) {
    const std::int32_t id = in.i32();
    ItemSlot slot;
    slot.kind = in.i32();
    slot.masterwork = in.i32();
    slot.bonus = in.i32();
    slot.flags = in.u32();
    if (!withinScoreLimit(slot.masterwork) || !withinScoreLimit(slot.bonus)) return std::nullopt;
    if (slot.kind == KindEmpty) return slot;
    const std::optional<std::int32_t> row = catalogueRow(slot.kind, id);
    if (!row) return std::nullopt;
    slot.ref = *row;
    return slot;
}

template <typename Table>
std::optional<int> rowWithId(const Table& table, std::int32_t id) {
    for (std::size_t row = 0; row < table.size(); ++row)
        if (table[row].id == id) return static_cast<int>(row);
    return std::nullopt;
}

// The dungeon levels each underground place has, counted from 0.
int levelsOf(int location) {
    switch (location) {
        case LocationDungeon: return 12;
        case LocationMine:
        case LocationHallsOfPain:
        case LocationChallengeChamber: return 1;
        case LocationCrypt: return 3;
        default: return 0;
    }
}

bool validLastHarm(int code) {
    return code == HarmNothingYet || (code >= -6 && code <= -1) || (code >= 0 && code < MonsterRows);
}

}  // namespace

std::string saveFileName(const std::string& name) { return formatText("save_%s", name.c_str()); }
std::string crashSaveFileName(const std::string& name) { return formatText("error_save_%s", name.c_str()); }

void encodeSave(const Hero& h, const WorldState& w, bool withoutFightChanges, SaveImage& image) {
    const FightChanges& changes = withoutFightChanges ? w.fightChanges : NoFightChanges;
    ByteWriter out(image.data(), image.size());
    out.putBytes(Magic, sizeof Magic);
    for (std::size_t i = 0; i < AttributeCount; ++i) out.putI32(wrappingSub(h.attributes[i], changes.attributes[i]));
    out.putI32(h.race >= 0 && h.race < static_cast<int>(raceTable.size()) ? raceTable[static_cast<std::size_t>(h.race)].id
                                                                           : h.race);
    out.putI32(h.heroClass >= 0 && h.heroClass < static_cast<int>(classTable.size())
                   ? classTable[static_cast<std::size_t>(h.heroClass)].id
                   : h.heroClass);
    out.putI32(wrappingSub(h.hp, changes.hp));
    out.putI32(wrappingSub(h.maxHp, changes.maxHp));
    out.putI32(h.gold);
    out.putI32(h.level);
    out.putI32(h.xp);
    putSlot(out, h.weapon);
    putSlot(out, h.armour);
    putSlot(out, h.shield);
    for (const ItemSlot& slot : h.inventory) putSlot(out, slot);
    out.putU32(h.feats);
    out.putI32(h.powerAttack);
    out.putI32(h.expertise);
    out.putI32(h.toughnessCount);
    out.putI32(h.ragesLeft);
    out.putI32(h.ragesPerDay);
    out.putI32(h.extraRageCount);
    out.putI32(h.extendedRageCount);
    out.putU32(h.weaponFocusMask);
    out.putU32(h.weaponSpecMask);
    out.putU32(h.improvedCritMask);
    out.putI32(h.damageReduction);
    out.putI32(h.poison);
    out.putI32(h.lastHarm);
    out.putI32(h.alignment);
    out.putI32(w.savedX);
    out.putI32(w.savedY);
    out.putI32(w.location);
    out.putI32(w.dungeonLevel);
    out.putI32(w.day);
    out.putI32(w.year);
    out.putI32(w.startMarker);
    out.putI32(h.lastChances);
    out.putI32(w.questKind);
    out.putU32(w.storyFlags);
    out.putI32(w.questStage);
    for (const int count : w.killCounts) out.putI32(count);
    for (const LevelRecord& level : w.levelSeeds) {
        out.putU32(level.seed);
        out.putU32(level.openedChests);
    }
}

std::optional<LoadedGame> decodeSave(std::span<const unsigned char> image, const Hero& baseHero,
                                     const WorldState& baseWorld) {
    if (image.size() != SaveFileSize || std::memcmp(image.data(), Magic, MagicCompared) != 0) return std::nullopt;
    ByteReader in(image.data() + sizeof Magic, image.size() - sizeof Magic);
    LoadedGame game{baseHero, baseWorld};
    Hero& h = game.hero;
    WorldState& w = game.world;

    for (int& score : h.attributes) score = in.i32();
    const std::optional<int> race = rowWithId(raceTable, in.i32());
    const std::optional<int> heroClass = rowWithId(classTable, in.i32());
    if (!race || !heroClass) return std::nullopt;
    h.race = *race;
    h.heroClass = *heroClass;
    h.hp = in.i32();
    h.maxHp = in.i32();
    h.gold = in.i32();
    h.level = in.i32();
    h.xp = in.i32();
    if (h.level < 1 || h.level > MaxLevel) return std::nullopt;

    const std::optional<ItemSlot> weapon = getSlot(in);
    const std::optional<ItemSlot> armour = getSlot(in);
    const std::optional<ItemSlot> shield = getSlot(in);
    if (!weapon || weapon->kind != KindWeapon || !armour || armour->kind != KindArmour || !shield ||
        (shield->kind != KindEmpty && shield->kind != KindShield))
        return std::nullopt;
    h.weapon = *weapon;
    h.armour = *armour;
    h.shield = *shield;
    for (ItemSlot& slot : h.inventory) {
        const std::optional<ItemSlot> stored = getSlot(in);
        if (!stored) return std::nullopt;
        slot = *stored;
    }

    h.feats = in.u32();
    h.powerAttack = in.i32();
    h.expertise = in.i32();
    h.toughnessCount = in.i32();
    h.ragesLeft = in.i32();
    h.ragesPerDay = in.i32();
    h.extraRageCount = in.i32();
    h.extendedRageCount = in.i32();
    h.weaponFocusMask = in.u32();
    h.weaponSpecMask = in.u32();
    h.improvedCritMask = in.u32();
    h.damageReduction = in.i32();
    h.poison = in.i32();
    h.lastHarm = in.i32();
    h.alignment = in.i32();
    if (!validLastHarm(h.lastHarm)) return std::nullopt;

    w.savedX = in.i32();
    w.savedY = in.i32();
    w.location = in.i32();
    w.dungeonLevel = in.i32();
    w.day = in.i32();
    w.year = in.i32();
    w.startMarker = in.i32();
    h.lastChances = in.i32();
    w.questKind = in.i32();
    w.storyFlags = in.u32();
    w.questStage = in.i32();
    for (int& count : w.killCounts) count = in.i32();
    for (LevelRecord& level : w.levelSeeds) {
        level.seed = in.u32();
        level.openedChests = in.u32();
    }
    if (!in.ok()) return std::nullopt;

    const int scores[] = {h.hp, h.maxHp, h.powerAttack, h.expertise, h.toughnessCount, h.ragesLeft, h.ragesPerDay,
                          h.extraRageCount, h.extendedRageCount, h.damageReduction, h.poison, h.alignment,
                          h.lastChances, w.savedX, w.savedY, w.dungeonLevel, w.questKind, w.questStage};
    if (!std::all_of(std::begin(scores), std::end(scores), withinScoreLimit) ||
        !std::all_of(h.attributes.begin(), h.attributes.end(), withinScoreLimit) ||
        !std::all_of(w.killCounts.begin(), w.killCounts.end(), withinScoreLimit))
        return std::nullopt;

    if (w.location < LocationWorldMap || w.location > LocationCrypt) return std::nullopt;
    if (w.location >= LocationDungeon) {
        if (w.dungeonLevel < 0 || w.dungeonLevel >= levelsOf(w.location)) return std::nullopt;
        if (w.savedX < 0 || w.savedX >= MapCells || w.savedY < 0 || w.savedY >= MapCells) return std::nullopt;
    }
    if (w.day < 1) return std::nullopt;
    if (w.day > DaysPerYear) {
        // Rests may leave a day past the end of the year: it belongs to the
        // years that follow.
        const int yearsPassed = (w.day - 1) / DaysPerYear;
        w.day -= yearsPassed * DaysPerYear;
        w.year = static_cast<int>(std::min(static_cast<long long>(w.year) + yearsPassed, static_cast<long long>(INT_MAX)));
    }
    // The year as the calendar goes on from here.
    if (!withinScoreLimit(w.year)) return std::nullopt;

    h.xpNext = xpForNextLevel(h.level);
    h.baseAttack = h.level;
    h.attackPool = wrappingSub(wrappingSub(h.level, h.powerAttack), h.expertise);
    h.kpModifier = 0;
    w.inCombat = false;
    w.dungeonEventFight = false;
    w.combatRound = 0;
    w.fightChanges = FightChanges{};
    w.leaveLoop = false;
    w.resumeDungeon = true;
    return game;
}

bool saveGame(bool crash) {
    clearScreen();
    SaveImage image;
    encodeSave(hero, world, crash, image);
    const std::string path = crash ? crashSaveFileName(hero.name) : saveFileName(hero.name);
    if (writeFileAtomically(path, std::vector<unsigned char>(image.begin(), image.end()))) return true;
    print("Nie mozna zapisac gry!");
    return false;
}

bool loadGame() {
    const std::string path = saveFileName(hero.name);
    const FileContents file = readWholeFile(path, SaveFileSize);
    if (file.status == ReadStatus::Missing || file.status == ReadStatus::Unreadable) {
        clearScreen();
        print("Nie mozna wczytac gry!\n");
        pauseOk();
        return false;
    }
    std::optional<LoadedGame> loaded;
    if (file.status == ReadStatus::Ok) loaded = decodeSave(file.bytes, hero, world);
    if (!loaded) {
        clearScreen();
        print("Pilk zapisu '%s' jest uszkodzony!\n", path.c_str());
        pauseOk();
        return false;
    }
    hero = std::move(loaded->hero);
    world = loaded->world;
    hero.capacity = computeCapacity();
    recomputeLoad();
    // The hero is in memory now; a file that cannot be deleted only means
    // he could be loaded once more.
    removeFile(path);
    return true;
}

}  // namespace kelvrin
