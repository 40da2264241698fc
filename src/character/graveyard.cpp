#include "character/graveyard.h"

#include <algorithm>

#include "core/binary_file.h"
#include "core/console.h"
#include "core/cp1250.h"
#include "core/utf8.h"
#include "data/classes.h"
#include "data/graveyard_texts.h"
#include "data/monsters.h"
#include "data/races.h"

namespace kelvrin {

namespace {

constexpr std::size_t CountBytes = 4;
// Far beyond any graveyard a game can grow (about a million deaths); a
// larger file is damaged.
constexpr std::size_t MaxGraveyardBytes = CountBytes + GraveRecordBytes * 1000000;
static_assert(MaxGraveyardBytes <= LargestFileRead, "a recording holds every file the game reads");
// Where a damaged graveyard is put aside before a fresh one is written.
constexpr int BackupNames = 10;

// The name as Windows-1250 bytes, at most 30 (creation allows only names
// the code page holds; anything else would show as '?').
std::string nameBytes(const std::string& name) {
    std::string bytes;
    std::size_t pos = 0;
    while (pos < name.size() && bytes.size() < GraveNameBytes) {
        const std::optional<unsigned char> byte = cp1250Byte(decodeUtf8(name, pos));
        bytes += static_cast<char>(byte.value_or('?'));
    }
    return bytes;
}

// A name field: up to its first zero byte, all 30 bytes when it has none.
// Control bytes, which no name the game accepts has, show as '?' rather
// than reach the terminal.
std::string nameFromField(const char (&field)[GraveNameBytes]) {
    std::string bytes(field, std::find(field, field + GraveNameBytes, '\0'));
    for (char& byte : bytes)
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) byte = '?';
    return fromCp1250(bytes);
}

template <typename Table>
const char* nameWithId(const Table& table, std::int32_t id) {
    for (const auto& row : table)
        if (row.id == id) return row.name;
    return UnknownWord;
}

const char* killerText(std::int32_t killer) {
    if (killer >= 0) return killer < MonsterRows ? monsterTable[static_cast<std::size_t>(killer)].name : UnknownWord;
    for (const HarmText& harm : harmTexts)
        if (harm.code == killer) return harm.text;
    return UnknownWord;
}

std::string placeText(std::int32_t location, std::int32_t dungeonLevel) {
    const long long shownLevel = static_cast<long long>(dungeonLevel) + 1;
    switch (location) {
        case LocationWorldMap: return "";
        case LocationTown: return " w mieście";
        case LocationForest: return " w lesie";
        case LocationRoad: return " na drodze";
        case LocationDungeon: return formatText(" w podziemiach na %lld poziomie", shownLevel);
        case LocationMine: return " w kopalni";
        case LocationHallsOfPain: return " w salach bólu";
        case LocationChallengeChamber: return " w komnacie wyzwań";
        case LocationCrypt: return formatText(" w krypcie na %lld poziomie", shownLevel);
        default: return std::string(" ") + UnknownWord;
    }
}

// Moves a damaged graveyard to the first free backup name
// ("cmentarz.dat.bak", then ".bak2" ...); false when it stays where it is
// (then it must not be written over).
bool putAsideDamagedGraveyard() {
    for (int i = 1; i <= BackupNames; ++i) {
        const std::string backup = std::string(GraveyardFileName) + ".bak" + (i == 1 ? "" : std::to_string(i));
        if (fileExists(backup)) continue;
        return renameFile(GraveyardFileName, backup);
    }
    return false;
}

}  // namespace

std::optional<std::vector<GraveRecord>> decodeGraveyard(std::span<const unsigned char> bytes) {
    ByteReader in(bytes.data(), bytes.size());
    const std::int32_t count = in.i32();
    if (!in.ok() || count < 0 ||
        bytes.size() != CountBytes + GraveRecordBytes * static_cast<std::uint64_t>(count))
        return std::nullopt;
    std::vector<GraveRecord> records(static_cast<std::size_t>(count));
    for (GraveRecord& record : records) {
        char name[GraveNameBytes];
        in.bytes(name, sizeof name);
        record.name = nameFromField(name);
        record.raceId = in.i32();
        record.classId = in.i32();
        record.level = in.i32();
        record.location = in.i32();
        record.dungeonLevel = in.i32();
        record.killer = in.i32();
        record.xp = in.i32();
    }
    return records;
}

std::vector<unsigned char> encodeGraveyard(const std::vector<GraveRecord>& records) {
    std::vector<unsigned char> bytes(CountBytes + GraveRecordBytes * records.size());
    ByteWriter out(bytes.data(), bytes.size());
    out.putI32(static_cast<std::int32_t>(records.size()));
    for (const GraveRecord& record : records) {
        const std::string name = nameBytes(record.name);
        out.putBytes(name.data(), name.size());
        out.putZeros(GraveNameBytes - name.size());
        out.putI32(record.raceId);
        out.putI32(record.classId);
        out.putI32(record.level);
        out.putI32(record.location);
        out.putI32(record.dungeonLevel);
        out.putI32(record.killer);
        out.putI32(record.xp);
    }
    return bytes;
}

GraveRecord graveRecordOfHero() {
    GraveRecord record;
    record.name = hero.name;
    record.raceId = hero.race >= 0 && hero.race < static_cast<int>(raceTable.size())
                        ? raceTable[static_cast<std::size_t>(hero.race)].id
                        : hero.race;
    record.classId = hero.heroClass >= 0 && hero.heroClass < static_cast<int>(classTable.size())
                         ? classTable[static_cast<std::size_t>(hero.heroClass)].id
                         : hero.heroClass;
    record.level = hero.level;
    record.location = world.location;
    record.dungeonLevel = world.dungeonLevel;
    record.killer = hero.lastHarm;
    record.xp = hero.xp;
    return record;
}

std::string graveLine(const GraveRecord& record) {
    return formatText("%s %s %s, %d poziom, zabity przez ", record.name.c_str(), nameWithId(raceTable, record.raceId),
                      nameWithId(classTable, record.classId), record.level) +
           killerText(record.killer) + placeText(record.location, record.dungeonLevel) + ".\n";
}

void recordDeath() {
    const FileContents file = readWholeFile(GraveyardFileName, MaxGraveyardBytes);
    std::vector<GraveRecord> records;
    bool store = true;
    if (file.status != ReadStatus::Missing) {
        std::optional<std::vector<GraveRecord>> earlier;
        if (file.status == ReadStatus::Ok) earlier = decodeGraveyard(file.bytes);
        if (earlier) {
            records = std::move(*earlier);
        } else {
            // A graveyard that cannot be read counts as empty, but it is
            // kept aside rather than written over.
            store = putAsideDamagedGraveyard();
        }
    }
    GraveRecord fresh = graveRecordOfHero();
    fresh.isNew = true;
    records.push_back(std::move(fresh));

    clearScreen();
    print("CMENTARZ\n");
    // Heroes of equal experience keep the order they died in.
    std::stable_sort(records.begin(), records.end(),
                     [](const GraveRecord& a, const GraveRecord& b) { return a.xp > b.xp; });
    for (const GraveRecord& record : records) {
        if (record.isNew) print("*");
        printText(graveLine(record));
    }
    // Stored before the key wait, so that nothing lost there costs the
    // record. A graveyard that cannot be written stays as it was, and the
    // player is told that this death is not in it.
    if (!store || !writeFileAtomically(GraveyardFileName, encodeGraveyard(records)))
        print("\nNie można zapisać cmentarza!");
    pauseOk();
}

void showGraveyard() {
    clearScreen();
    const FileContents file = readWholeFile(GraveyardFileName, MaxGraveyardBytes);
    std::optional<std::vector<GraveRecord>> records;
    if (file.status == ReadStatus::Ok) records = decodeGraveyard(file.bytes);
    if (records && !records->empty()) {
        print("CMENTARZ\n");
        for (const GraveRecord& record : *records) printText(graveLine(record));
    } else {
        print("CMENTARZ\nCmentarz jest pusty...");
    }
    pauseOk();
}

}  // namespace kelvrin
