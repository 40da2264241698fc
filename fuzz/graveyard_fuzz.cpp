// The graveyard reader on any "cmentarz.dat": an accepted file has the size its count says and survives a write
// and a read; each line shown is one of printable text; the list shows for any file; a death recorded over it
// keeps every record (a damaged file aside, untouched), ordered by experience, the equal in their order.
#include "fuzz_support.h"

#include "character/graveyard.h"

using namespace kelvrin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzGame game(4000);  // keys for the pager through the longest list
    const std::vector<unsigned char> file(data, data + size);
    Disk::files()[GraveyardFileName] = file;

    const std::optional<std::vector<GraveRecord>> records = decodeGraveyard(file);
    FUZZ_CHECK(records || !SeedsMustLoad);
    if (records) {
        FUZZ_CHECK(size == 4 + GraveRecordBytes * records->size());
        for (const GraveRecord& record : *records) {
            const std::string line = graveLine(record);
            const auto letters = wellFormedUtf8(std::string_view(line).substr(0, line.size() - 1));
            FUZZ_CHECK(line.size() >= 2 && line.ends_with(".\n") && letters);
            for (const char32_t cp : *letters) FUZZ_CHECK(cp >= 0x20 && cp != 0x7F && !isC1(cp));
        }
        const auto again = decodeGraveyard(encodeGraveyard(*records));
        FUZZ_CHECK(again && encodeGraveyard(*again) == encodeGraveyard(*records));
    }
    FuzzGame::runUntilInputEnds(showGraveyard);
    FUZZ_CHECK(game.shows("CMENTARZ\n") && Disk::files()[GraveyardFileName] == file);

    test::makeTestHero();  // a human fighter of the first level, armed, in the town
    hero.name = "Fuzz";
    hero.hp = 0;
    FUZZ_CHECK(FuzzGame::runUntilInputEnds(recordDeath) && game.shows("*Fuzz "));
    const auto after = decodeGraveyard(Disk::files()[GraveyardFileName]);
    const std::string backup = std::string(GraveyardFileName) + ".bak";
    FUZZ_CHECK(after && (records ? !Disk::has(backup) : Disk::files()[backup] == file));
    const auto byXp = [](const GraveRecord& a, const GraveRecord& b) { return a.xp > b.xp; };
    std::vector<GraveRecord> expected = records.value_or(std::vector<GraveRecord>{}), others = *after;
    std::stable_sort(expected.begin(), expected.end(), byXp);
    const std::vector<unsigned char> newRecord = encodeGraveyard({graveRecordOfHero()});
    // The new record follows those of equal experience, so it is the last one like it: an earlier identical
    // record (a hero of the same name and fate) stays where it was.
    const auto mine =
        std::find_if(others.rbegin(), others.rend(), [&](auto& r) { return encodeGraveyard({r}) == newRecord; });
    FUZZ_CHECK(std::is_sorted(others.begin(), others.end(), byXp) && mine != others.rend());
    others.erase(std::next(mine).base());
    FUZZ_CHECK(encodeGraveyard(others) == encodeGraveyard(expected));
    return 0;
}
