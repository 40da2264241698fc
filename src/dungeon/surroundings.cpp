#include "dungeon/surroundings.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace kelvrin {

namespace {

// The things a cell can hold, named in a sentence and at its start. A cell
// that holds more than one is named by the first.
enum Thing : int { NoThing = -1, StairsUpThing, StairsDownThing, CryptEntranceThing, ChestThing, SpecialThing };
struct ThingWords {
    std::string_view name;
    std::string_view title;
};
constexpr std::array<ThingWords, 5> Things{{
    {"schody w górę", "Schody w górę"},
    {"schody w dół", "Schody w dół"},
    {"wejście do krypty", "Wejście do krypty"},
    {"skrzynia", "Skrzynia"},
    {"niezwykłe miejsce", "Niezwykłe miejsce"},
}};

struct Direction {
    int dx;
    int dy;
    std::string_view name;    // "Północ: 3 kroki, potem skała."
    std::string_view toward;  // "Tylko na północ: ...", "2 na północ"
};
// Always told in this order; north is the row above.
constexpr std::array<Direction, 4> Directions{{
    {0, -1, "Północ", "na północ"},
    {1, 0, "Wschód", "na wschód"},
    {0, 1, "Południe", "na południe"},
    {-1, 0, "Zachód", "na zachód"},
}};
enum : std::size_t { North, East, South, West };

constexpr std::string_view Here = "Tu";
constexpr std::string_view Only = "Tylko ";
constexpr std::string_view RockWord = "skała";
constexpr std::string_view NextTo = " tuż obok";
constexpr std::string_view Then = ", potem ";
constexpr std::array<std::string_view, 3> StepWords{"krok", "kroki", "kroków"};  // 1; 2–4, 22–24, …; the rest, 12–14 too

std::string_view thingName(Thing thing) { return Things[static_cast<std::size_t>(thing)].name; }
std::string_view thingTitle(Thing thing) { return Things[static_cast<std::size_t>(thing)].title; }

// What the hero finds at `at`. Only a floor cell holds anything, so Nowhere
// never matches.
Thing thingAt(const Surroundings& view, Position at) {
    if (!view.map.walkable(at.x, at.y)) return NoThing;
    if (at == view.stairsUp) return StairsUpThing;
    if (at == view.stairsDown) return StairsDownThing;
    if (at == view.cryptEntrance) return CryptEntranceThing;
    if (std::find(view.closedChests.begin(), view.closedChests.end(), at) != view.closedChests.end()) return ChestThing;
    if (view.map.has(at.x, at.y, LevelMap::SpecialPlace)) return SpecialThing;
    return NoThing;
}

std::string_view stepWord(int n) {
    if (n == 1) return StepWords[0];
    const int ones = n % 10;
    const bool teen = n % 100 / 10 == 1;
    return !teen && ones >= 2 && ones <= 4 ? StepWords[1] : StepWords[2];
}

// A straight walk from the hero over free floor: its free cells and what
// stops it (NoThing: rock or the map's edge).
struct Walk {
    int steps = 0;
    Thing end = NoThing;
    bool blocked() const { return steps == 0 && end == NoThing; }
};

Walk walk(const Surroundings& view, const Direction& direction) {
    Walk result;
    for (Position at{view.hero.x + direction.dx, view.hero.y + direction.dy}; view.map.walkable(at.x, at.y);
         at = {at.x + direction.dx, at.y + direction.dy}) {
        result.end = thingAt(view, at);
        if (result.end != NoThing) break;
        ++result.steps;
    }
    return result;
}

// Appends "skała", "skrzynia tuż obok" or "3 kroki, potem skała"; the rock at
// the end of free steps is left out where the sentence already implies it.
void tellWalk(std::string& text, const Walk& w, bool rockImplied) {
    if (w.blocked()) {
        text += RockWord;
    } else if (w.steps == 0) {
        text += thingName(w.end);
        text += NextTo;
    } else {
        text += std::to_string(w.steps);
        text += ' ';
        text += stepWord(w.steps);
        if (w.end != NoThing || !rockImplied) {
            text += Then;
            text += w.end != NoThing ? thingName(w.end) : RockWord;
        }
    }
}

// Appends "1 na północ, 1 na wschód": the way to a cell dx, dy away, the
// vertical part first, a part of zero left out.
void tellOffset(std::string& text, int dx, int dy) {
    bool first = true;
    const auto part = [&](int distance, std::size_t direction) {
        if (distance == 0) return;
        if (!first) text += ", ";
        first = false;
        text += std::to_string(distance);
        text += ' ';
        text += Directions[direction].toward;
    };
    part(dy < 0 ? -dy : dy, dy < 0 ? North : South);
    part(dx < 0 ? -dx : dx, dx < 0 ? West : East);
}

}  // namespace

std::string describeSurroundings(const Surroundings& view) {
    std::string text;
    // One sentence: its opening words, a colon, what `tell` appends, a full stop.
    const auto say = [&text](std::initializer_list<std::string_view> opening, const auto& tell) {
        if (!text.empty()) text += ' ';
        for (std::string_view words : opening) text += words;
        text += ": ";
        tell();
        text += '.';
    };
    if (const Thing here = thingAt(view, view.hero); here != NoThing)
        say({Here}, [&] { text += thingName(here); });

    std::array<Walk, 4> walks;
    std::transform(Directions.begin(), Directions.end(), walks.begin(),
                   [&view](const Direction& d) { return walk(view, d); });
    const auto open = [](const Walk& w) { return !w.blocked(); };
    if (std::count_if(walks.begin(), walks.end(), open) == 1) {
        const Walk& only = *std::find_if(walks.begin(), walks.end(), open);
        say({Only, Directions[static_cast<std::size_t>(&only - walks.data())].toward},
            [&] { tellWalk(text, only, true); });
    } else {
        for (std::size_t i = 0; i < Directions.size(); ++i)
            say({Directions[i].name}, [&] { tellWalk(text, walks[i], false); });
    }

    // The diagonal cells of the close-up, row by row as it is drawn.
    for (int dy : {-1, 1})
        for (int dx : {-1, 1})
            if (const Thing thing = thingAt(view, {view.hero.x + dx, view.hero.y + dy}); thing != NoThing)
                say({thingTitle(thing)}, [&] { tellOffset(text, dx, dy); });

    if (view.stairsUp != Nowhere && view.stairsUp != view.hero)
        say({thingTitle(StairsUpThing)},
            [&] { tellOffset(text, view.stairsUp.x - view.hero.x, view.stairsUp.y - view.hero.y); });
    return text;
}

}  // namespace kelvrin
