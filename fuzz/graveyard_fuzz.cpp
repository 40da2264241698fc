// The graveyard reader on any "cmentarz.dat": a file it accepts has exactly
// the size its count says and survives a write and a read unchanged; every
// line it shows is one line of printable text; the list shows for any file;
// and a death recorded over it keeps every earlier record (or, for a
// damaged file, keeps the file aside untouched) in a sound graveyard
// ordered by experience.
#include <algorithm>

#include "fuzz_support.h"

#include "character/graveyard.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGame game(4000);  // keys for the pager through the longest list
    const std::vector<unsigned char> file(data, data + size);
    const std::string backup = std::string(GraveyardFileName) + ".bak";
    Disk::files()[GraveyardFileName] = file;

    const std::optional<std::vector<GraveRecord>> records = decodeGraveyard(file);
    if (records) {
        FUZZ_CHECK(size == 4 + GraveRecordBytes * records->size());
        for (const GraveRecord& record : *records) {
            const std::string line = graveLine(record);
            FUZZ_CHECK(line.size() >= 2 && line.ends_with(".\n"));
            const auto letters = wellFormedUtf8(std::string_view(line).substr(0, line.size() - 1));
            FUZZ_CHECK(letters.has_value());
            for (const char32_t cp : *letters) FUZZ_CHECK(cp >= 0x20 && cp != 0x7F && !isC1(cp));
        }
        const auto again = decodeGraveyard(encodeGraveyard(*records));
        FUZZ_CHECK(again && encodeGraveyard(*again) == encodeGraveyard(*records));
    }
    FuzzGame::runUntilInputEnds(showGraveyard);
    FUZZ_CHECK(game.shows("CMENTARZ\n") && Disk::files()[GraveyardFileName] == file);

    FuzzGame::makeHero("Fuzz");
    hero.hp = 0;
    FUZZ_CHECK(FuzzGame::runUntilInputEnds(recordDeath) && game.shows("*Fuzz "));
    const auto after = decodeGraveyard(Disk::files()[GraveyardFileName]);
    FUZZ_CHECK(after.has_value());
    FUZZ_CHECK(records ? !Disk::has(backup) : Disk::files()[backup] == file);
    // The earlier records in the order of their experience (the equal in
    // their order), with the new one among them.
    std::vector<GraveRecord> expected = records.value_or(std::vector<GraveRecord>{}), others;
    std::stable_sort(expected.begin(), expected.end(), [](const GraveRecord& a, const GraveRecord& b) { return a.xp > b.xp; });
    const std::vector<unsigned char> mine = encodeGraveyard({graveRecordOfHero()});
    bool newFound = false;
    for (std::size_t i = 0; i < after->size(); ++i) {
        if (i > 0) FUZZ_CHECK((*after)[i - 1].xp >= (*after)[i].xp);
        if (!newFound && encodeGraveyard({(*after)[i]}) == mine)
            newFound = true;
        else
            others.push_back((*after)[i]);
    }
    FUZZ_CHECK(newFound && after->size() == expected.size() + 1);
    FUZZ_CHECK(encodeGraveyard(others) == encodeGraveyard(expected));
    return 0;
}
