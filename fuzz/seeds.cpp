// The seed corpus of the fuzz targets (fuzz/corpus/<target>/), made with
// the game's own writers so that the saves and graveyards are files the
// game itself would write:
//   kelvrin_fuzz_seeds write fuzz/corpus   writes the seed files
//   kelvrin_fuzz_seeds check fuzz/corpus   fails when a seed save or
//                                          graveyard no longer loads
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "fuzz_support.h"

#include "character/graveyard.h"
#include "core/save_file.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

void writeSeed(const fs::path& folder, const std::string& name, const Bytes& bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes readSeed(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file saveGame writes for the current hero.
Bytes savedGame() {
    if (!saveGame(false)) std::abort();
    return MemoryDisk::files().at(saveFileName(hero.name));
}

void writeSaves(const fs::path& folder) {
    FuzzGame game;
    makeFuzzHero("Ala");
    writeSeed(folder, "town", savedGame());

    // Deep in the dungeon with a full life behind him.
    makeFuzzHero("Ala");
    hero.level = 9;
    hero.baseAttack = 9;
    hero.powerAttack = 2;
    hero.expertise = 1;
    hero.attackPool = 6;
    hero.feats = 0x80000011u;
    hero.weaponFocusMask = 0x40;
    hero.improvedCritMask = 0x2000;
    hero.poison = 2;
    hero.lastHarm = -1;
    hero.inventory[5] = ItemSlot{0, KindShield, 1, 2, Identified};
    hero.inventory[19] = ItemSlot{5, KindPotion, 0, -1, 0};
    world.location = LocationDungeon;
    world.dungeonLevel = 4;
    world.savedX = 7;
    world.savedY = 13;
    world.day = 365;
    world.storyFlags = LandOwned | MineFound | GroveKnown;
    world.questKind = 3;
    world.questStage = 5;
    world.levelSeeds[4] = {1300004444u, 0x11u};
    world.killCounts[59] = 1;
    writeSeed(folder, "dungeon", savedGame());

    // A barbarian in the crypt without a shield.
    makeFuzzHero("Ala");
    hero.race = 3;
    hero.heroClass = ClassBarbarian;
    hero.shield = ItemSlot{};
    hero.ragesPerDay = 2;
    hero.ragesLeft = 1;
    world.location = LocationCrypt;
    world.dungeonLevel = 2;
    world.savedX = 19;
    world.savedY = 0;
    writeSeed(folder, "crypt", savedGame());
}

void writeGraveyards(const fs::path& folder) {
    writeSeed(folder, "empty", encodeGraveyard({}));
    FuzzGame game(1000);
    makeFuzzHero("Żaneta");
    hero.lastHarm = -1;
    world.location = LocationRoad;
    FuzzGame::runUntilInputEnds(recordDeath);
    writeSeed(folder, "one", MemoryDisk::files().at(GraveyardFileName));

    makeFuzzHero("Bartłomiej z Kozich Wólek Małych");  // longer than the 30-byte field
    hero.xp = 90000;
    world.location = LocationDungeon;
    world.dungeonLevel = 2;
    FuzzGame::runUntilInputEnds(recordDeath);
    makeFuzzHero("Ola");
    hero.xp = 10;
    hero.lastHarm = -99;
    world.location = LocationCrypt;
    FuzzGame::runUntilInputEnds(recordDeath);
    writeSeed(folder, "three", MemoryDisk::files().at(GraveyardFileName));
}

// Scripts for the console readers (see console_script.h): the number of
// operations less one, the operations, then the typed input.
void writeConsoleScripts(const fs::path& folder) {
    const std::pair<const char*, Bytes> scripts[] = {
        {"name", bytesOf(std::string("\x00\xb4", 2) + "Ala z Kozich Wólek\n")},
        {"numbers", bytesOf(std::string("\x02\x01\x01\x01", 4) + "42\n   -7 sztuk\n\n\n99999999999\n+x\n")},
        {"menu", bytesOf(std::string("\x02\x03\x04\x02", 4) + "x1\x1b[At\x1bOBn")},
        {"editing", bytesOf(std::string("\x00\x00", 2) + "abc\x7f\x08" "d\r\nżółw\x7f\r\n")},
        {"pager", bytesOf(std::string("\x04\x3b\x3b\x3b\x3b\x04", 6) + "      ")},
        {"polish_keys", bytesOf(std::string("\x00\x09", 2) + "aąż1")},
    };
    for (const auto& [name, bytes] : scripts) writeSeed(folder, name, bytes);
}

// Key decoder inputs: the set-up byte, then what the terminal sends.
void writeKeySequences(const fs::path& folder) {
    const std::pair<const char*, std::string> sequences[] = {
        {"arrows", std::string("\x00", 1) + "\x1b[A\x1b[B\x1b[C\x1b[D\x1bOA\x1bOD"},
        {"function_keys", std::string("\x00", 1) + "\x1b[15~\x1b[[A\x1b[1;5Cx\x1b[200~wklej\x1b[201~"},
        {"lone_escape", std::string("\x04", 1) + "\x1b" "a\x1b\x1b["},
        {"utf8_stream", std::string("\x01", 1) + "Zażółć gęślą jaźń\r\n\x1b"},
        {"latin2", std::string("\x02", 1) + "\xa1\xb1\xe6\xea\xb3\xf1\xf3\xb6\xbc\xbf"},
        {"broken_utf8", std::string("\x00", 1) + "\xc3\x28\xe0\x80\x80\xed\xa0\x80\xf4\x90\x80\x80\xc2"},
    };
    for (const auto& [name, bytes] : sequences) writeSeed(folder, name, bytesOf(bytes));
}

bool check(const fs::path& corpus) {
    bool good = true;
    FuzzGame game;
    for (const auto& entry : fs::directory_iterator(corpus / "save_file")) {
        if (!decodeSave(readSeed(entry.path()), hero, world)) {
            std::cerr << "seed save no longer loads: " << entry.path() << "\n";
            good = false;
        }
    }
    for (const auto& entry : fs::directory_iterator(corpus / "graveyard")) {
        if (!decodeGraveyard(readSeed(entry.path()))) {
            std::cerr << "seed graveyard no longer reads: " << entry.path() << "\n";
            good = false;
        }
    }
    return good;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "check") != 0)) {
        std::cerr << "usage: " << argv[0] << " write|check CORPUS_FOLDER\n";
        return 2;
    }
    const fs::path corpus = argv[2];
    if (std::strcmp(argv[1], "check") == 0) return check(corpus) ? 0 : 1;
    writeSaves(corpus / "save_file");
    writeGraveyards(corpus / "graveyard");
    writeConsoleScripts(corpus / "console");
    writeConsoleScripts(corpus / "stream");
    writeKeySequences(corpus / "key_decoder");
    return 0;
}
