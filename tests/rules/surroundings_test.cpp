// The close-up told in words: whole sentences for small hand-drawn maps.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string_view>

#include "dungeon/surroundings.h"

namespace kelvrin {
namespace {

// What the hero hears on a map drawn from its top left corner: '#' (or nothing) rock, '.' floor, 'H' the hero,
// 'h' the hero on the stairs up 'U', 'D' stairs down, 'K' crypt entrance, 'C' a closed chest, 'c' an opened one,
// 'X' a special place.
std::string heard(std::initializer_list<std::string_view> rows) {
    static const std::map<char, std::int32_t> bits{{'h', LevelMap::StairsUp}, {'U', LevelMap::StairsUp},
        {'D', LevelMap::StairsDown}, {'K', LevelMap::CryptEntrance}, {'C', LevelMap::Chest}, {'c', LevelMap::Chest},
        {'X', LevelMap::SpecialPlace}};
    LevelMap map;
    Surroundings view{map, Nowhere, Nowhere, Nowhere, Nowhere, {}};
    int y = 0;
    for (std::string_view row : rows) {
        for (int x = 0; x < static_cast<int>(row.size()); ++x) {
            const char c = row[static_cast<std::size_t>(x)];
            const auto bit = bits.find(c);
            map.at(x, y) = c == '#' ? LevelMap::Rock : LevelMap::Floor | (bit == bits.end() ? 0 : bit->second);
            const Position at{x, y};
            if (c == 'H' || c == 'h') view.hero = at;
            if (c == 'U' || c == 'h') view.stairsUp = at;
            if (c == 'D') view.stairsDown = at;
            if (c == 'K') view.cryptEntrance = at;
            if (c == 'C') view.closedChests.push_back(at);
        }
        ++y;
    }
    return describeSurroundings(view);
}

TEST(Surroundings, CorridorAlongTheMapsEdge) {
    EXPECT_EQ(heard({"U......H............"}),
              "Północ: skała. Wschód: 12 kroków, potem skała. Południe: skała. Zachód: 6 kroków, potem schody w górę. "
              "Schody w górę: 7 na zachód.");
}

TEST(Surroundings, CrossingCountsOneTwoAndFiveSteps) {
    EXPECT_EQ(heard({"##.", "K.H..#", "##.", "##.", "##.", "##.", "##."}),
              "Północ: 1 krok, potem skała. Wschód: 2 kroki, potem skała. Południe: 5 kroków, potem skała. "
              "Zachód: 1 krok, potem wejście do krypty.");
}

TEST(Surroundings, DeadEndPastAnOpenedChest) {
    EXPECT_EQ(heard({".c...H#"}), "Tylko na zachód: 5 kroków.");
}

TEST(Surroundings, StairsAndChestInSightWithSpecialPlaceOnTheDiagonal) {
    EXPECT_EQ(heard({"####X", "D..HC", "###.", "###.", "###.", "#U..", "####"}),
              "Północ: skała. Wschód: skrzynia tuż obok. Południe: 4 kroki, potem skała. "
              "Zachód: 2 kroki, potem schody w dół. Niezwykłe miejsce: 1 na północ, 1 na wschód. "
              "Schody w górę: 4 na południe, 2 na zachód.");
}

TEST(Surroundings, HeroOnTheStairsUpBesideAChest) {
    EXPECT_EQ(heard({"#hC"}), "Tu: schody w górę. Tylko na wschód: skrzynia tuż obok.");
}

}  // namespace
}  // namespace kelvrin
