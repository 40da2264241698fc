// The graveyard reader on any "cmentarz.dat": a file it accepts has exactly
// the size its count says and survives a write and a read unchanged; every
// line it shows is one line of printable text; showing the list works for
// any file; and a death recorded over it keeps every earlier record (or,
// for a damaged file, keeps the file aside untouched) and writes a sound
// graveyard ordered by experience.
#include "fuzz_support.h"

#include "character/graveyard.h"
#include "core/utf8.h"

using namespace kelvrin;
using namespace kelvrin::fuzz;

namespace {

void checkLine(const std::string& line) {
    FUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, ".\n") == 0);
    for (std::size_t pos = 0; pos < line.size() - 1;) {
        const char32_t cp = decodeUtf8(line, pos);
        FUZZ_CHECK(cp >= 0x20 && cp != 0x7F && !(cp >= 0x80 && cp < 0xA0));
    }
}

bool sameRecords(const std::vector<GraveRecord>& a, const std::vector<GraveRecord>& b) {
    return encodeGraveyard(a) == encodeGraveyard(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Enough keys for the pager through the longest list, and the key waits.
    FuzzGame game(4000);
    const std::vector<unsigned char> file(data, data + size);
    Disk::files()[GraveyardFileName] = file;

    const std::optional<std::vector<GraveRecord>> records = decodeGraveyard(file);
    if (records) {
        FUZZ_CHECK(size == 4 + GraveRecordBytes * records->size());
        for (const GraveRecord& record : *records) checkLine(graveLine(record));
        // Written and read back, the records stay what they are.
        const std::optional<std::vector<GraveRecord>> again = decodeGraveyard(encodeGraveyard(*records));
        FUZZ_CHECK(again && sameRecords(*again, *records));
    }

    FuzzGame::runUntilInputEnds(showGraveyard);
    FUZZ_CHECK(game.shows("CMENTARZ\n"));
    FUZZ_CHECK(Disk::files()[GraveyardFileName] == file);

    makeFuzzHero("Fuzz");
    hero.hp = 0;
    FUZZ_CHECK(FuzzGame::runUntilInputEnds(recordDeath));
    FUZZ_CHECK(game.shows("*Fuzz "));
    const std::optional<std::vector<GraveRecord>> after = decodeGraveyard(Disk::files()[GraveyardFileName]);
    FUZZ_CHECK(after.has_value());
    std::vector<GraveRecord> earlier;
    if (records) {
        earlier = *records;
        FUZZ_CHECK(!Disk::has(std::string(GraveyardFileName) + ".bak"));
    } else {
        FUZZ_CHECK(Disk::files()[std::string(GraveyardFileName) + ".bak"] == file);
    }
    FUZZ_CHECK(after->size() == earlier.size() + 1);
    for (std::size_t i = 1; i < after->size(); ++i) FUZZ_CHECK((*after)[i - 1].xp >= (*after)[i].xp);
    // The earlier records, in their order, with the new one among them.
    const std::vector<GraveRecord> mine{graveRecordOfHero()};
    std::vector<GraveRecord> withoutNew;
    bool newFound = false;
    for (const GraveRecord& record : *after) {
        if (!newFound && sameRecords({record}, mine)) {
            newFound = true;
            continue;
        }
        withoutNew.push_back(record);
    }
    FUZZ_CHECK(newFound);
    std::vector<GraveRecord> earlierSorted = earlier;
    std::stable_sort(earlierSorted.begin(), earlierSorted.end(),
                     [](const GraveRecord& a, const GraveRecord& b) { return a.xp > b.xp; });
    FUZZ_CHECK(sameRecords(withoutNew, earlierSorted));
    return 0;
}
