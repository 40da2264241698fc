// The recordings' files in words, for their runner:
//   kelvrin_game_files save HERO FOLDER   the hero of HERO (named fields) as his save in FOLDER; prints its name
//   kelvrin_game_files show FOLDER        the game files in FOLDER, field by field
// A hero file holds one field a line, as `show` prints them: `name Ala`, `gold 50`, `attributes 14 12 12 10 10 10`,
// `weapon 7 weapon 0 0 8` (row, kind, masterwork, bonus, flags), `inventory 3 4 potion 0 1 8` (the slot first, or
// `0-19` for the same item in each of those slots), `killCounts 12 2` and `levelSeeds 0 12345 0` (the row or slot
// first). A field left out keeps a new game's value (gold 50, the year 113, its first day ...); those the game
// works out on loading (xpNext ...) are refused. A first line `base OTHER` starts from the hero of OTHER.hero beside
// it (which names no base of its own), so that a hero like another holds only the fields in which he differs.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "character/graveyard.h"
#include "core/save_file.h"
#include "support/hero_fields.h"

namespace kelvrin::test {
namespace {

constexpr const char* KindNames[] = {"empty", "weapon", "armour", "shield", "potion", "gem"};

void print(std::ostream& out, const char* name, int value) { out << name << ' ' << value << '\n'; }
void print(std::ostream& out, const char* name, std::uint32_t value) {
    out << name << " 0x" << std::hex << value << std::dec << '\n';
}
void print(std::ostream& out, const char* name, const std::array<int, AttributeCount>& values) {
    out << name;
    for (const int value : values) out << ' ' << value;
    out << '\n';
}
void print(std::ostream& out, const char* name, const std::array<int, MonsterRows>& counts) {
    for (std::size_t row = 0; row < counts.size(); ++row)
        if (counts[row] != 0) out << name << ' ' << row << ' ' << counts[row] << '\n';
}
void print(std::ostream& out, const char* name, const std::array<LevelRecord, LevelSlots>& levels) {
    for (std::size_t slot = 0; slot < levels.size(); ++slot)
        if (levels[slot].seed != 0 || levels[slot].openedChests != 0)
            out << name << ' ' << slot << ' ' << levels[slot].seed << ' ' << levels[slot].openedChests << '\n';
}
void print(std::ostream& out, const std::string& name, const ItemSlot& item) {
    if (item.empty()) return;
    out << name << ' ' << item.ref << ' ' << KindNames[item.kind] << ' ' << item.masterwork << ' ' << item.bonus
        << ' ' << item.flags << '\n';
}

bool read(std::istream& in, int& value) { return static_cast<bool>(in >> value); }
bool read(std::istream& in, std::uint32_t& value) {
    std::string word;
    if (!(in >> word)) return false;
    std::size_t end = 0;
    value = static_cast<std::uint32_t>(std::stoul(word, &end, 0));
    return end == word.size();
}
bool read(std::istream& in, std::array<int, AttributeCount>& values) {
    for (int& value : values)
        if (!(in >> value)) return false;
    return true;
}
bool read(std::istream& in, std::array<int, MonsterRows>& counts) {
    std::size_t row = 0;
    return in >> row && row < counts.size() && in >> counts[row];
}
bool read(std::istream& in, std::array<LevelRecord, LevelSlots>& levels) {
    std::size_t slot = 0;
    return in >> slot && slot < levels.size() && in >> levels[slot].seed >> levels[slot].openedChests;
}
bool read(std::istream& in, ItemSlot& item) {
    std::string kind;
    if (!(in >> item.ref >> kind >> item.masterwork >> item.bonus >> item.flags)) return false;
    for (int k = 0; k < 6; ++k)
        if (kind == KindNames[k]) item.kind = k;
    return kind == KindNames[item.kind];
}

// Values the game works out again when it loads a save, which the file does not hold.
bool rebuilt(const std::string& name) {
    return name == "xpNext" || name == "baseAttack" || name == "attackPool" || name == "kpModifier";
}

// One field of a hero file into the game; false when it is none or its value cannot be read.
bool readField(const std::string& name, std::istream& in, Hero& h, WorldState& w) {
    if (rebuilt(name)) return false;
#define KELVRIN_READ_HERO(field) \
    if (name == #field) return read(in, h.field);
#define KELVRIN_READ_WORLD(field) \
    if (name == #field) return read(in, w.field);
    KELVRIN_SAVED_FIELDS(KELVRIN_READ_HERO, KELVRIN_READ_WORLD)
#undef KELVRIN_READ_HERO
#undef KELVRIN_READ_WORLD
    if (name == "name") return static_cast<bool>(in >> h.name);
    if (name == "weapon") return read(in, h.weapon);
    if (name == "armour") return read(in, h.armour);
    if (name == "shield") return read(in, h.shield);
    // `inventory 3 ...` fills one slot, `inventory 0-19 ...` each of those from the first to the last.
    std::size_t first = 0;
    if (name != "inventory" || !(in >> first)) return false;
    std::size_t last = first;
    if (in.peek() == '-' && !(in.ignore() && in >> last)) return false;
    if (last < first || last >= h.inventory.size() || !read(in, h.inventory[first])) return false;
    std::fill(h.inventory.begin() + static_cast<std::ptrdiff_t>(first) + 1,
              h.inventory.begin() + static_cast<std::ptrdiff_t>(last) + 1, h.inventory[first]);
    return true;
}

void printGame(std::ostream& out, const Hero& h, const WorldState& w) {
#define KELVRIN_PRINT_HERO(field) \
    if (!rebuilt(#field)) print(out, #field, h.field);
#define KELVRIN_PRINT_WORLD(field) print(out, #field, w.field);
    KELVRIN_SAVED_FIELDS(KELVRIN_PRINT_HERO, KELVRIN_PRINT_WORLD)
#undef KELVRIN_PRINT_HERO
#undef KELVRIN_PRINT_WORLD
    print(out, "weapon", h.weapon);
    print(out, "armour", h.armour);
    print(out, "shield", h.shield);
    for (std::size_t slot = 0; slot < h.inventory.size(); ++slot)
        print(out, "inventory " + std::to_string(slot), h.inventory[slot]);
}

// The fields of a hero file into the game, over what is there; false, with a message, when one cannot be read.
bool readHero(const std::filesystem::path& path, bool mayHaveBase) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << path.string() << ": cannot be read\n";
        return false;
    }
    std::string line;
    bool first = true;
    for (int number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string name;
        if (!(words >> name) || name[0] == '#') continue;
        std::string rest;
        const bool baseAllowed = first && mayHaveBase;
        first = false;
        if (name == "base" && baseAllowed) {
            std::string other;
            if (words >> other && !(words >> rest)) {
                if (!readHero(path.parent_path() / (other + ".hero"), false)) return false;
                continue;
            }
        }
        if (!readField(name, words, hero, world) || words >> rest) {
            std::cerr << path.string() << ":" << number << ": not a field with its value"
                      << (rebuilt(name) ? " (the game works it out when it loads the save)" : "")
                      << (name == "base" ? " (a base is the first field, of a hero that names none)" : "") << ": "
                      << line << '\n';
            return false;
        }
    }
    return true;
}

int save(const char* heroPath, const std::string& folder) {
    resetForNewGame();
    if (!readHero(heroPath, true)) return 1;
    SaveImage image{};
    encodeSave(hero, world, false, image);
    if (!decodeSave(image, hero, world)) {
        std::cerr << heroPath << ": the game would refuse this hero's save as damaged\n";
        return 1;
    }
    const std::string file = saveFileName(hero.name);
    std::ofstream out(folder + "/" + file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
        std::cerr << folder << "/" << file << ": cannot be written\n";
        return 1;
    }
    std::cout << file << '\n';
    return 0;
}

void printFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::cout << "--- " << path << '\n';
    if (path.rfind("save_", 0) == 0 || path.rfind("error_save_", 0) == 0) {
        if (const std::optional<LoadedGame> game = decodeSave(bytes, Hero{}, WorldState{})) {
            printGame(std::cout, game->hero, game->world);
            return;
        }
    } else if (path.rfind(GraveyardFileName, 0) == 0) {
        if (const auto records = decodeGraveyard(bytes)) {
            for (const GraveRecord& r : *records)
                std::cout << r.name << ' ' << r.raceId << ' ' << r.classId << ' ' << r.level << ' ' << r.location
                          << ' ' << r.dungeonLevel << ' ' << r.killer << ' ' << r.xp << ": " << graveLine(r);
            return;
        }
    }
    std::cout << bytes.size() << " bytes, not a sound game file\n";
}

int show(const std::string& folder) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const std::filesystem::path& path : paths) {
        std::ifstream in(path, std::ios::binary);
        printFile(path.filename().string(),
                  std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    return 0;
}

}  // namespace
}  // namespace kelvrin::test

int main(int argc, char** argv) {
    using namespace kelvrin::test;
    if (argc == 4 && std::string(argv[1]) == "save") return save(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "show") return show(argv[2]);
    std::cerr << "usage: " << argv[0] << " save HERO FOLDER | show FOLDER\n";
    return 2;
}
