#include "core/polish_case.h"

#include <array>
#include <utility>

#include "core/utf8.h"

namespace kelvrin {

namespace {

// The Polish capitals outside ASCII and their small letters.
constexpr std::array<std::pair<char32_t, char32_t>, 9> polishPairs{{
    {U'Ą', U'ą'},
    {U'Ć', U'ć'},
    {U'Ę', U'ę'},
    {U'Ł', U'ł'},
    {U'Ń', U'ń'},
    {U'Ó', U'ó'},
    {U'Ś', U'ś'},
    {U'Ź', U'ź'},
    {U'Ż', U'ż'},
}};

}  // namespace

char32_t foldPolishCase(char32_t letter) {
    if (letter >= U'A' && letter <= U'Z') return letter - U'A' + U'a';
    for (const auto& [capital, small] : polishPairs)
        if (letter == capital) return small;
    return letter;
}

std::string foldPolishCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) appendUtf8(folded, foldPolishCase(decodeUtf8(text, pos)));
    return folded;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t posA = 0;
    std::size_t posB = 0;
    while (posA < a.size() && posB < b.size())
        if (foldPolishCase(decodeUtf8(a, posA)) != foldPolishCase(decodeUtf8(b, posB))) return false;
    return posA == a.size() && posB == b.size();
}

}  // namespace kelvrin
