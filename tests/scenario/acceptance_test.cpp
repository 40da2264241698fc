// One whole game, played by a bot that answers what the game printed since its last key, with a fixed generator
// and clock. Each step's state of hero and world is one line, compared with the one recorded here (KELVRIN_RECORD=1
// prints them anew, to be reviewed and pasted).
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "support/game_test.h"

#include "character/feat_screens.h"
#include "character/program.h"
#include "character/rules_tables.h"
#include "core/utf8.h"
#include "data/feats.h"
#include "data/item_tables.h"
#include "data/progression.h"
#include "dungeon/level_map.h"

namespace kelvrin::test {
namespace {

constexpr const char* HeroName = "Borys";
constexpr int PlateArmourRow = 11, LargeShieldRow = 1, FullHealingRow = 2;
constexpr int WantedBonus = 6, ElixirsToCarry = 12;  // the least enchantment worth buying; elixirs for the fights
using Spot = std::pair<int, int>;  // x, y on a dungeon level
const Spot Nowhere{-1, -1};
const std::pair<int, Spot> Moves[] = {{KeyUp, {0, -1}}, {KeyDown, {0, 1}}, {KeyLeft, {-1, 0}}, {KeyRight, {1, 0}}};
using Wanted = std::function<bool(const ItemSlot&)>;

// The text as a player reads it: without colour marks, a malformed byte shown as U+FFFD.
std::string readable(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) appendUtf8(out, decodeUtf8(text, at));
    return std::regex_replace(out, std::regex("\\{[0-9]+\\}"), "");
}
int countIn(const Wanted& wanted) { return int(std::count_if(hero.inventory.begin(), hero.inventory.end(), wanted)); }
// The number of the first backpack piece `wanted` in the inventory's list (occupied slots from 1), or 0.
int listNumber(const Wanted& wanted) {
    const auto at = std::find_if(hero.inventory.begin(), hero.inventory.end(), wanted);
    if (at == hero.inventory.end()) return 0;
    return 1 + int(std::count_if(hero.inventory.begin(), at, std::not_fn(&ItemSlot::empty)));
}
bool isElixir(const ItemSlot& i) { return i.kind == KindPotion && i.ref == FullHealingRow; }
// The gear the hero wants: a long sword, plate armour and a large shield, of at least WantedBonus.
const ItemSlot& worn(int k) { return k == KindWeapon ? hero.weapon : k == KindArmour ? hero.armour : hero.shield; }
bool good(const ItemSlot& i) {
    const int row = i.kind == KindWeapon ? LongSwordRow : i.kind == KindArmour ? PlateArmourRow : LargeShieldRow;
    return i.kind >= KindWeapon && i.kind <= KindShield && i.ref == row && i.bonus >= WantedBonus;
}
bool carried(int kind) { return good(worn(kind)) || countIn([=](const auto& i) { return i.kind == kind && good(i); }); }
bool better(const ItemSlot& i) { return good(i) && i.bonus > worn(i.kind).bonus; }  // bought, still to be put on

// The checkpoint: what a step of the story leaves behind, as plain text.
std::string checkpoint() {
    static const char* places[] = {"map", "town", "forest", "road", "dungeon", "mine", "halls", "chamber", "crypt"};
    static const char* const flags[] = {"LandOwned", "HutBuilt", "HouseBuilt", "PalaceBuilt", "PaladinHostile",
        "DruidHostile", "PaladinDead", "DruidDead", "PaladinFriend", "DruidFriend", "MineFound", "MineCleared",
        "MineWorking", "GroveKnown", "WorgsBeaten", "MayorDead", "GolemsDefeated", "TerrasqueDead", "PaladinCompanion",
        "DruidCompanion", "ChiefOffer", "ChiefDead", "SwordTaken"};
    const auto item = [](const ItemSlot& i) {
        const auto r = std::size_t(i.ref);
        const char* name = i.kind == KindWeapon ? weaponTable[r].name : i.kind == KindArmour ? armourTable[r].name : "";
        return std::string(i.kind == KindShield ? shieldTable[r].name : name) + " +" + std::to_string(i.bonus) + ", ";
    };
    std::ostringstream out;
    out << hero.name << " L" << hero.level << " xp " << hero.xp << "/" << hero.xpNext << " gold " << hero.gold << " Pw "
        << hero.hp << "/" << hero.maxHp << " BA " << hero.baseAttack << "/" << hero.attackPool << " attr";
    for (const int score : hero.attributes) out << " " << score;
    out << " day " << world.day << "/" << world.year << " " << places[world.location + 1];
    if (world.location == LocationDungeon || world.location == LocationCrypt) out << " " << world.dungeonLevel + 1;
    out << (std::filesystem::exists(std::string("save_") + HeroName) ? " saved" : "") << " | flags";
    for (std::size_t b = 0; b < std::size(flags); ++b)
        if ((world.storyFlags >> b) & 1) out << " " << flags[b];
    for (out << " | feats"; const FeatDef& f : featTable)
        if (hero.feats & f.bit) out << " " << f.name << ",";
    out << " masks " << std::hex << hero.weaponFocusMask << "/" << hero.weaponSpecMask << "/" << hero.improvedCritMask
        << std::dec << " tough " << hero.toughnessCount << " | " << item(hero.weapon) << item(hero.armour)
        << item(hero.shield) << "elixirs " << countIn(isElixir);
    return readable(out.str());
}

class AcceptanceTest : public GameTest {
protected:
    // The keys for a key wait; no keys: the step is over (the next one answers the same screen).
    using Answer = std::optional<std::vector<int>>;
    // A step answers the places the hero goes from (main menu, town, map, forest, grove, dungeon), prompt() the rest
    // alike in every step; `said` holds texts the step must have printed, `recorded` its checkpoint.
    struct Step {
        std::string name;
        std::function<Answer()> play;
        std::vector<std::string> said;
        std::string recorded;
    };

    // The scripted console's key source: answers each key wait for the step, checks a step when over.
    int nextKey() {
        while (!stopped_ && pending_.empty()) {
            fresh_ = readable(screen.transcript().substr(mark_));
            if (current_ == story_.size()) return atMainMenu() ? '0' : stop("no main menu after the story");
            const Step& step = story_[current_];
            if (++answers_ > 4000) return stop("no end in sight");
            if (current_ > 0 && hero.hp < 1) return stop("the hero died");
            Answer reply = prompt();
            if (!reply && !(reply = step.play())) return stop("no answer for this screen");
            pending_.assign(reply->begin(), reply->end());
            if (!reply->empty()) continue;
            for (const std::string& part : step.said)
                EXPECT_NE(readable(screen.transcript().substr(stepStart_)).find(part), std::string::npos) << part;
            if (recording_) std::cout << step.name << ":\n    \"" << checkpoint() << "\"\n";
            else EXPECT_EQ(checkpoint(), step.recorded);
            if (HasFailure()) return stop("its outcome is wrong");
            ++current_;
            stepStart_ = mark_;
            answers_ = 0;
        }
        if (stopped_) return KeyEnd;
        mark_ = screen.transcript().size();
        const int key = pending_.front();
        pending_.erase(pending_.begin());
        return key;
    }
    int stop(const std::string& why) {
        const std::string step = current_ < story_.size() ? story_[current_].name : "after the story";
        ADD_FAILURE() << "step \"" << step << "\": " << why << "\n--- printed since the last key:\n" << fresh_
                      << "\n--- screen:\n" << readable(screen.screenText());
        stopped_ = true;
        return KeyEnd;
    }
    static Answer press(std::string_view keys) {
        std::vector<int> reply;
        for (std::size_t at = 0; at < keys.size();) reply.push_back(int(decodeUtf8(keys, at)));
        return reply;
    }
    static Answer over() { return std::vector<int>{}; }
    static Answer when(bool at, Answer answer) { return at ? answer : std::nullopt; }

    // ---- what the bot sees ------------------------------------------------------------------
    bool ends(std::string_view end) const { return std::string_view(fresh_).ends_with(end); }
    bool has(std::string_view part) const { return fresh_.find(part) != std::string::npos; }
    bool atMainMenu() const { return ends("1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n"); }
    bool atTown() const { return ends("w - wyjdź z miasta\n\n"); }
    bool atWorldMap() const { return ends("d - droga\np - podziemia\n"); }
    bool atForest() const { return has("Jesteś w lesie.") && ends("m - mapa\n\n"); }
    bool atGrove() const { return ends("a - zatakuj druida\nw - wyjdź\n"); }
    bool inDungeon() const { return ends("Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście\n"); }
    bool atSheet() const { return has("\n\nAtuty:\n") && !ends("(ok)"); }
    bool askedToSave() const { return ends("Czy chcesz zapisać grę? (tak/nie/anuluj)\n"); }
    // The number of the first line "N) text" of a list whose text matches `entry`; when the entry
    // has groups (the bonus, the price), of an affordable one from WantedBonus up. 0 for none.
    int pick(const std::string& entry) const {
        static const std::regex numbered("([0-9]+)\\) (.*)");
        std::istringstream in(fresh_);
        for (std::string line, text; std::getline(in, line);)
            if (std::smatch found; std::regex_match(line, found, numbered) &&
                                   std::regex_match(text = found[2], found, std::regex(entry)) &&
                                   (found.size() < 3 ||
                                    (std::stoi(found[1]) >= WantedBonus && std::stoi(found[2]) <= hero.gold)))
                return std::stoi(line);
        return 0;
    }
    // The feat a fighter with a long sword takes; the list leaves out the ones held, but not weapon feats.
    int featToTake() const {
        const std::pair<const char*, std::uint32_t> wanted[] = {{"Potężny atak", 0}, {"Rozszczepienie", 0},
            {"Zogniskowanie broni", hero.weaponFocusMask}, {"Specjalizacja w broni", hero.weaponSpecMask},
            {"Poprawione trafienia krytyczne", hero.improvedCritMask}, {"Wielkie rozszczepienie", 0},
            {"Poprawiona inicjatywa", 0}, {"Walka na ślepo", 0}, {"Twardość", 0}};
        for (const auto& [name, mask] : wanted)
            if (const int number = pick(name); !(mask & (1u << LongSwordRow)) && number > 0) return number;
        return 0;
    }

    // The prompts every step answers alike: fights (below 60% of the Pw an elixir, which takes no turn, else an
    // attack), the loot (left: the backpack is for the elixirs), questions, messages,
    // creation, barracks, feats, shops, inventory.
    Answer prompt() {
        const int elixir = listNumber(isElixir), piece = listNumber(better);
        for (const char* question :
             {"Czy chcesz zaatakować? (t/n)\n", "Czy chcesz go zaatakować? (t/n)\n", "Czy chcesz mu pomóc? (t/n)\n",
              "Czy chcesz iść za nim? (t/n)\n", "Chcesz iść? (t/n)\n", "Czy chcesz ją zdjąć? (t/n)\n",
              "Czy chcesz ją schować? (t/n)\n", "Czy chcesz grać jako Człowiek? (t/n)\n",
              "Czy chcesz grać jako Wojownik? (t/n)"})
            if (ends(question)) return press("t");
        const std::pair<const char*, std::string> answers[] = {{"(ok)", " "}, {" z plecaka.\n", " "},
            {"doświadczenia.\n", " "}, {" punktów wytrzymałości.\n", " "}, {"Podaj swoje imię śmiałku: ", "Borys\n"},
            {"\nliczba - wybierz, n - anuluj, c - cofnij.\n", "1"}, {"w - wybierz, inny - anuluj", "w"},
            {"\nliczba - wybór, n - anuluj, c - cofnij.\n", "2\n"},
            {"t - trenuj\ns - oglądaj trofea\nw - wyjdź\n", hero.level < MaxLevel ? "t" : "w"},
            {"Mądrość, Charyzma\n", hero.attributes[Con] % 2 != 0 ? "k" : "s"},  // KON to an even score, else SIŁ
            {"k - kup, s - sprzedaj, u - ulepsz, w - wyjdź\n", carried(KindWeapon) ? "w" : "k"},
            {"p - kup pancerz, t - kup tarcze, s - sprzedaj, u - ulepsz, w - wyjdź\n",
             !carried(KindArmour) ? "p" : !carried(KindShield) ? "t" : "w"},
            {"Komendy (bptuwx?): ", piece > 0 ? "u" : "x"}, {"Który przedmiot: ", std::to_string(piece) + "\n"}};
        for (const auto& [end, keys] : answers)
            if (ends(end)) return press(keys);
        if (world.inCombat)
            return press(hero.hp * 10 < hero.maxHp * 6 && elixir > 0 ? "eu" + std::to_string(elixir) + "\n x" : "f");
        if (screen.readingLine() && has("Co chcesz zrobić (liczba - podnieś, e - ekwipunek")) return press("w\n");
        // The helpers greeted before Terrasque's fight, a piece put on, a bought one.
        if (ends("w walce z potworem.\n") || (has("Zakładasz ") && ends(".\n"))) return press(" ");
        if (has("Na pewno chcesz kupić ") && ends("(t/n)\n")) return press("t");
        static const std::regex roll("SIŁ: *([0-9]+) \\([\\s\\S]*KON: *([0-9]+) \\(");  // again till fit to fight
        if (std::smatch found; ends("r - przerzuć cechy, ? - informacje.\n") && std::regex_search(fresh_, found, roll))
            return press(std::stoi(found[1]) >= 15 && std::stoi(found[2]) >= 14 ? "t" : "r");
        if (screen.readingLine() && (has("Wybierz nowy atut:\n") || has("Wybierz dodatkowy atut wojownika:\n")))
            return press(std::to_string(featToTake()) + "\n");
        if (screen.readingLine() && has("Wybierz broń: \n")) return press(std::to_string(pick("Długi miecz")) + "\n");
        // Nothing good enough in a smith's stock: out, and in again for a new one.
        const std::string offer = " \\+([0-9]+) \\(.*\\)_([0-9]+) sz";
        const std::string wanted = has("Oto broń")       ? "(?:Celny )?(?:Ostry )?Długi miecz" + offer
                                   : has("Oto pancerze") ? "(?:Migotający )?Zbroja płytowa(?: Odporności)?" + offer
                                   : has("Oto tarcze")   ? "Tarcza" + offer
                                   : countIn(isElixir) < ElixirsToCarry ? "Eliksir uzdrowienia \\+0 .*" : "-";
        return when(ends("Co chcesz kupić (0-nic)? "), press(std::to_string(pick(wanted)) + "\n"));
    }

    // ---- underground -------------------------------------------------------------------------
    static Spot cellWhere(const std::function<bool(int, int)>& is) {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (is(x, y)) return {x, y};
        return Nowhere;
    }
    // The hero's cell: his "O" on the overview (screen rows 1-20, columns 50-69).
    Spot heroCell() const { return cellWhere([this](int x, int y) { return screen.charAt(1 + y, 50 + x) == U'O'; }); }
    static Spot cellWith(std::int32_t f) { return cellWhere([=](int x, int y) { return levelMap.at(x, y) & f; }); }
    // Breadth-first from the hero: each floor cell's steps and first arrow (special places only as `goal`).
    std::map<Spot, std::pair<int, int>> ways(Spot goal) const {
        const Spot from = heroCell();
        std::map<Spot, std::pair<int, int>> way{{from, {0, 0}}};
        std::vector<Spot> queue{from};
        for (std::size_t first = 0; first < queue.size(); ++first)
            for (const auto& [key, d] : Moves) {
                const Spot at = queue[first], next{at.first + d.first, at.second + d.second};
                if (!levelMap.walkable(next.first, next.second) || way.count(next) ||
                    ((levelMap.at(next.first, next.second) & LevelMap::SpecialPlace) && next != goal))
                    continue;
                way[next] = {way[at].first + 1, at == from ? key : way[at].second};
                queue.push_back(next);
            }
        return way;
    }
    Answer stepTowards(Spot goal) const {
        const auto way = ways(goal);
        return way.count(goal) && goal != heroCell() ? Answer(std::vector<int>{way.at(goal).second}) : std::nullopt;
    }
    // In the dungeon view: over when `done`, else on to the stairs (or the entrance) marked `flag` and down them.
    Answer stairsUntil(std::int32_t flag, bool done) const {
        if (!inDungeon() || done) return when(inDungeon(), over());
        return heroCell() == cellWith(flag) ? press("u") : stepTowards(cellWith(flag));
    }
    // Walks to and fro, to the cell farthest from the hero, until the story has `flag`: monsters are met.
    Answer wanderUntil(StoryFlag flag) {
        if (!inDungeon() || world.has(flag)) return when(inDungeon(), over());
        if (wanderGoal_ == heroCell() || !levelMap.walkable(wanderGoal_.first, wanderGoal_.second)) {
            const auto way = ways(Nowhere);
            const auto farther = [](const auto& a, const auto& b) { return a.second.first < b.second.first; };
            wanderGoal_ = std::max_element(way.begin(), way.end(), farther)->first;
        }
        return stepTowards(wanderGoal_);
    }

    const bool recording_ = std::getenv("KELVRIN_RECORD") && std::string(std::getenv("KELVRIN_RECORD")) == "1";
    std::vector<Step> story_;
    std::vector<int> pending_;
    std::string fresh_;
    // The step; the transcript's length at the last key, at its start.
    std::size_t current_ = 0, mark_ = 0, stepStart_ = 0;
    int answers_ = 0;
    bool stopped_ = false;
    Spot wanderGoal_ = Nowhere;
};

TEST_F(AcceptanceTest, FromTheNameToTerrasque) {
    seedRandom(2011);
    screen.setPaging(false);  // fights print more than a screenful
    showAllFeats = false;     // the feat lists as a new program shows them, whatever ran before
    screen.setKeySource([this] { return nextKey(); });
    Spot terrasque = Nowhere;
    bool saved = false;
    story_ = {
        {"create a human fighter", [&] { return atMainMenu() ? press("1") : when(atTown(), over()); }, {},
         "Borys L1 xp 0/1000 gold 50 Pw 14/14 BA 1/1 attr 15 13 14 9 13 8 day 1/113 town"
         " | flags"
         " | feats Potężny atak, Rozszczepienie, masks 80/0/0 tough 0"
         " | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        // The experience and gold that a long game's fights and quests earn; the levels are trained.
        {"train at the barracks up to the thirtieth level", [&] {
             if (hero.level == 1) {
                 hero.xp = xpForNextLevel(MaxLevel - 1);
                 hero.gold = 1000000;
             }
             return when(atTown(), hero.level < MaxLevel ? press("b") : over());
         }, {"Masz 435000/99999999 doświadczenia i 30 poziom.\n"},
         "Borys L30 xp 435000/99999999 gold 1000000 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town"
         " | flags"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"buy a sword, armour and a shield at the smiths and put them on", [&] {
             if (!atTown()) return when(atSheet(), press("e"));
             if (!carried(KindWeapon)) return press("a");
             if (!carried(KindArmour) || !carried(KindShield)) return press("d");
             return listNumber(better) > 0 ? press("s") : over();
         }, {"Oto tarcze które mam aktualnie na sprzedaż: \n", "Zakładasz "},
         "Borys L30 xp 435000/99999999 gold 651339 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town"
         " | flags"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 0"},
        {"rescue the dog from the wolves and follow it to the grove", [&] {
             if (atGrove() && world.has(GroveKnown)) return over();
             return atTown() ? press("w") : atWorldMap() ? press("l") : when(atForest(), press("e"));
         }, {"Wilk umiera.\n", "Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 651339 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest"
         " | flags MineFound GroveKnown"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 0"},
        {"buy the druid's elixirs of healing and take his quest against the worgs",
         [&] { return atGrove() ? press(countIn(isElixir) < ElixirsToCarry ? "k" : "z") : when(atForest(), over()); },
         {"Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 642255 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest"
         " | flags MineFound GroveKnown DruidCompanion"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 12"},
        {"beat the worgs and the treant", [&] { return when(atForest(), press(world.has(DruidFriend) ? "" : "e")); },
         {"stado worgów próbuje cię otoczyć.\n", "Worg umiera.\n", "To drzewiec!\n", "Drzewiec umiera.\n",
          "Dzięki tobie las jest znów bezpieczny"},
         "Borys L30 xp 443341/99999999 gold 642255 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest"
         " | flags DruidFriend MineFound GroveKnown"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 12"},
        {"go down six dungeon levels into the crypt", [&] {
             if (atForest() || atWorldMap()) return press(atForest() ? "m" : "p");
             const bool down = world.location == LocationDungeon && world.dungeonLevel < 5;
             return stairsUntil(down ? LevelMap::StairsDown : LevelMap::CryptEntrance, world.location == LocationCrypt);
         }, {"Jesteś w krypcie na 1 poziomie.\n"},
         "Borys L30 xp 445633/99999999 gold 654225 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1"
         " | flags DruidFriend MineFound GroveKnown"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 12"},
        {"meet the paladin and fight beside him until his farewell", [&] { return wanderUntil(PaladinFriend); },
         {"Witaj Borys Wojownik! Jeśli ci to nieprzeszkadza będe ci towarzyszył"},
         "Borys L30 xp 454829/99999999 gold 677500 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1"
         " | flags PaladinFriend DruidFriend MineFound GroveKnown"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 12"},
        // Twelve more levels walked as the first six add nothing: the hero is put at the top of the
        // halls of pain, which the game loop enters when the town's pass ends (after the sheet).
        {"climb back and go down to the halls of pain", [&] {
             if (atSheet()) {
                 world.location = LocationHallsOfPain;
                 world.dungeonLevel = 0;
             }
             if (atSheet() || atWorldMap() || atTown()) return press(atSheet() ? "x" : atWorldMap() ? "m" : "s");
             return stairsUntil(LevelMap::StairsUp, world.location == LocationHallsOfPain);
         }, {"Jesteś w salach bólu.\n"},
         "Borys L30 xp 457716/99999999 gold 692087 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls"
         " | flags PaladinFriend DruidFriend MineFound GroveKnown"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 12"},
        {"wake and kill Terrasque with the druid and the paladin", [&] {
             if (inDungeon()) terrasque = cellWith(LevelMap::SpecialPlace);
             return when(inDungeon(), world.has(TerrasqueDead) ? over() : stepTowards(terrasque));
         }, {"Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n",
             "Druid zmienił się w Legendarny tygrys.\n", "Terrasque umiera.\n"},
         "Borys L30 xp 462125/99999999 gold 692087 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls"
         " | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 11"},
        {"save, leave to the main menu and load the hero again: Terrasque stays dead", [&] {
             if (askedToSave()) {
                 saved = true;
                 return press("t");
             }
             if (!saved) return when(inDungeon(), press("q"));
             if (inDungeon()) {
                 EXPECT_EQ(heroCell(), terrasque) << "back where he saved";
             }
             return atMainMenu() ? press("1") : when(inDungeon(), over());
         }, {"Borys Człowiek Wojownik, Poziom 30"},
         "Borys L30 xp 462125/99999999 gold 692087 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls"
         " | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 11"},
        {"quit without saving",
         [&] { return askedToSave() ? press("n") : inDungeon() ? press("q") : when(atMainMenu(), over()); }, {},
         "Borys L30 xp 462125/99999999 gold 692087 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls"
         " | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead"
         " | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo"
         ", masks 80/80/80 tough 15"
         " | Długi miecz +7, Zbroja płytowa +7, Tarcza +7, elixirs 11"},
    };
    int status = -1;
    EXPECT_FALSE(runUntilInputEnds([&] { status = runProgram(); }));
    EXPECT_EQ(std::pair(status, current_), std::pair(0, story_.size()));
}

}  // namespace
}  // namespace kelvrin::test
