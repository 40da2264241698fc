// One whole game, played from the main menu the way a player plays it: a
// hero is made on the creation screens, trained at the barracks, armed at
// the smiths, follows the forest's story to the druid's friendship, goes
// down to the crypt and the paladin, and kills Terrasque in the halls of
// pain. A bot reads what the game printed since its last key and answers
// it; the generator and the clock are fixed, so the run is the same every
// time. After each step the hero's and the world's state is written as one
// line and compared with the line recorded for that step; with
// KELVRIN_RECORD=1 the lines are printed anew instead, to be pasted here and
// reviewed in the diff when a change of the game is intended.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

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
constexpr int WantedBonus = 6;  // the least enchantment worth buying
constexpr int ElixirsToCarry = 12;
const std::uint32_t Sword = 1u << LongSwordRow;

struct Spot {
    int x = -1, y = -1;
    bool operator==(const Spot&) const = default;
    bool operator<(const Spot& o) const { return y != o.y ? y < o.y : x < o.x; }
};

std::string withoutColours(const std::string& text) { return std::regex_replace(text, std::regex("\\{[0-9]+\\}"), ""); }

int countIn(const std::function<bool(const ItemSlot&)>& wanted) {
    return static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.end(), wanted));
}
// A piece of `kind` and `ref` of at least WantedBonus, worn in `worn` or in the backpack.
bool carried(const ItemSlot& worn, int kind, int ref) {
    const auto good = [&](const ItemSlot& i) { return i.kind == kind && i.ref == ref && i.bonus >= WantedBonus; };
    return good(worn) || countIn(good) > 0;
}
bool isElixir(const ItemSlot& i) { return i.kind == KindPotion && i.ref == FullHealingRow; }
// The number of a backpack slot in the inventory's list (occupied slots from 1).
int listNumber(std::size_t slot) {
    return 1 + static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.begin() + static_cast<long>(slot),
                                              [](const ItemSlot& i) { return !i.empty(); }));
}
// The backpack slot of the first piece matching `wanted`, or -1.
int slotOf(const std::function<bool(const ItemSlot&)>& wanted) {
    const auto at = std::find_if(hero.inventory.begin(), hero.inventory.end(), wanted);
    return at == hero.inventory.end() ? -1 : static_cast<int>(at - hero.inventory.begin());
}
// A bought piece still to be put on.
bool better(const ItemSlot& i) {
    return (i.kind == KindWeapon && i.ref == LongSwordRow && i.bonus > hero.weapon.bonus) ||
           (i.kind == KindArmour && i.ref == PlateArmourRow &&
            (hero.armour.ref != PlateArmourRow || i.bonus > hero.armour.bonus)) ||
           (i.kind == KindShield && i.ref == LargeShieldRow && i.bonus > hero.shield.bonus);
}

// The checkpoint: what a step of the story leaves behind, as plain text.
std::string checkpoint() {
    static const char* const places[] = {"world map", "town", "forest", "road", "dungeon",
                                         "mine", "halls of pain", "challenge chamber", "crypt"};
    static const char* const flags[] = {
        "LandOwned",   "HutBuilt",    "HouseBuilt",  "PalaceBuilt", "PaladinHostile", "DruidHostile",
        "PaladinDead", "DruidDead",   "PaladinFriend", "DruidFriend", "MineFound",    "MineCleared",
        "MineWorking", "GroveKnown",  "WorgsBeaten", "MayorDead",   "GolemsDefeated", "TerrasqueDead",
        "PaladinCompanion", "DruidCompanion", "ChiefOffer", "ChiefDead", "SwordTaken"};
    const auto item = [](const ItemSlot& i) {
        const char* name = i.kind == KindWeapon   ? weaponTable[static_cast<std::size_t>(i.ref)].name
                           : i.kind == KindArmour ? armourTable[static_cast<std::size_t>(i.ref)].name
                           : i.kind == KindShield ? shieldTable[static_cast<std::size_t>(i.ref)].name
                                                  : nullptr;
        return name ? std::string(name) + " +" + std::to_string(i.bonus) : std::string("-");
    };
    std::ostringstream out;
    out << hero.name << " L" << hero.level << " xp " << hero.xp << "/" << hero.xpNext << " gold " << hero.gold << " Pw "
        << hero.hp << "/" << hero.maxHp << " BA " << hero.baseAttack << "/" << hero.attackPool << " attr";
    for (const int score : hero.attributes) out << " " << score;
    out << " day " << world.day << "/" << world.year << " " << places[world.location + 1];
    if (world.location == LocationDungeon || world.location == LocationCrypt) out << " " << world.dungeonLevel + 1;
    out << (std::filesystem::exists(std::string("save_") + HeroName) ? " saved" : "") << " | flags";
    for (std::size_t b = 0; b < std::size(flags); ++b) out << ((world.storyFlags >> b) & 1 ? " " : "") << ((world.storyFlags >> b) & 1 ? flags[b] : "");
    out << " | feats";
    for (const FeatDef& f : featTable) out << ((hero.feats & f.bit) ? std::string(" ") + f.name + "," : "");
    out << " masks " << std::hex << hero.weaponFocusMask << "/" << hero.weaponSpecMask << "/" << hero.improvedCritMask
        << std::dec << " tough " << hero.toughnessCount << " | " << item(hero.weapon) << ", " << item(hero.armour)
        << ", " << item(hero.shield) << ", elixirs " << countIn(isElixir);
    return out.str();
}

class AcceptanceTest : public GameTest {
protected:
    // One answer to a key wait: the keys to press, or the news that the
    // step is over (then the next step answers the same screen).
    struct Reply {
        std::vector<int> keys;
        bool over = false;
    };
    using Answer = std::optional<Reply>;
    // A step answers the screens from which the hero goes somewhere (the
    // town, the world map, the forest, the grove, the dungeon view, the main
    // menu); the prompts on the way are answered the same in every step.
    struct Step {
        std::string name;
        std::function<Answer()> play;
        std::vector<std::string> said;  // texts the step must have printed
        std::string recorded;           // its checkpoint
        int maxAnswers = 600;           // more means the step is stuck
    };

    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);  // fights print more than a screenful
        showAllFeats = false;     // the feat lists as a new program shows them, whatever ran before
        screen.setKeySource([this] { return nextKey(); });
    }

    // The key source of the scripted console: answers every key wait for
    // the current step, moving on to the next step when one is over.
    int nextKey() {
        while (!stopped_ && pending_.empty()) {
            fresh_ = withoutColours(screen.transcript().substr(mark_));
            if (current_ == story_.size()) return atMainMenu() ? handOut('0') : stop("no main menu after the story");
            Step& step = story_[current_];
            if (++answers_ > step.maxAnswers) return stop("no end in sight after " + std::to_string(answers_) + " answers");
            if (current_ > 0 && hero.hp < 1) return stop("the hero died");
            Answer reply = prompt();
            if (!reply) reply = step.play();
            if (!reply) return stop("no answer for this screen");
            if (!reply->over) {
                pending_.assign(reply->keys.begin(), reply->keys.end());
                continue;
            }
            const std::string text = withoutColours(screen.transcript().substr(stepStart_));
            for (const std::string& part : step.said) EXPECT_NE(text.find(part), std::string::npos) << part;
            if (recording_) std::cout << step.name << ":\n    \"" << checkpoint() << "\"\n";
            else EXPECT_EQ(checkpoint(), step.recorded);
            if (HasFailure()) return stop("its outcome is wrong");
            ++current_;
            stepStart_ = mark_;
            answers_ = 0;
        }
        if (stopped_) return KeyEnd;
        const int key = pending_.front();
        pending_.pop_front();
        return handOut(key);
    }
    int handOut(int key) {
        mark_ = screen.transcript().size();
        return key;
    }
    int stop(const std::string& why) {
        ADD_FAILURE() << "step \"" << currentStep() << "\": " << why << "\n--- printed since the last key:\n"
                      << fresh_ << "\n--- screen:\n" << screen.screenText();
        stopped_ = true;
        return KeyEnd;
    }
    std::string currentStep() const { return current_ < story_.size() ? story_[current_].name : "after the story"; }
    static Answer press(std::string_view keys) {
        Reply reply;
        for (std::size_t at = 0; at < keys.size();) reply.keys.push_back(static_cast<int>(decodeUtf8(keys, at)));
        return reply;
    }
    static Answer press(int key) { return Reply{{key}, false}; }
    static Answer over() { return Reply{{}, true}; }

    // ---- what the bot sees ------------------------------------------------
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
    // The score shown for an attribute on the creation screen ("SIŁ: 15 (").
    int attributeShown(const std::string& shortName) const {
        std::smatch found;
        return std::regex_search(fresh_, found, std::regex(shortName + ": *([0-9]+) \\(")) ? std::stoi(found[1]) : 0;
    }
    // The number of the first line "N) text" of a list whose text matches
    // `entry` and, when the entry has groups (the bonus, the price), the
    // affordable one of the highest bonus from WantedBonus up; 0 for none.
    int pick(const std::regex& entry) const {
        int best = 0, bestBonus = WantedBonus - 1;
        std::istringstream in(fresh_);
        for (std::string line; std::getline(in, line);) {
            std::smatch found;
            if (!std::regex_match(line, found, std::regex("([0-9]+)\\) (.*)"))) continue;
            const std::string text = found[2], number = found[1];
            if (!std::regex_match(text, found, entry)) continue;
            if (found.size() < 3) return std::stoi(number);
            if (std::stoi(found[1]) > bestBonus && std::stoi(found[2]) <= hero.gold)
                best = std::stoi(number), bestBonus = std::stoi(found[1]);
        }
        return best;
    }
    // The feat to take, as a fighter with a long sword takes them ("Twardość" can always be taken again).
    int featToTake() const {
        const std::pair<const char*, bool> wanted[] = {
            {"Potężny atak", !(hero.feats & FeatPowerAttack)},
            {"Rozszczepienie", !(hero.feats & FeatCleave)},
            {"Zogniskowanie broni", !(hero.weaponFocusMask & Sword)},
            {"Specjalizacja w broni", !(hero.weaponSpecMask & Sword)},
            {"Poprawione trafienia krytyczne", !(hero.improvedCritMask & Sword)},
            {"Wielkie rozszczepienie", !(hero.feats & FeatGreatCleave)},
            {"Poprawiona inicjatywa", !(hero.feats & FeatImprovedInitiative)},
            {"Walka na ślepo", !(hero.feats & FeatBlindFight)},
            {"Twardość", true}};
        for (const auto& [name, wants] : wanted)
            if (const int number = pick(std::regex(name)); wants && number > 0) return number;
        return 0;
    }

    // The prompts every step answers alike: fights (an elixir below 60% of
    // the Pw, which does not use up the turn, else an attack), messages,
    // the loot (left behind: the backpack is kept for the elixirs), yes to
    // every question on the story's way, the creation, the barracks, the
    // feats, the shops and the inventory.
    Answer prompt() {
        const bool line = screen.readingLine();
        const int elixir = slotOf(isElixir);
        if (ends("(ok)")) return press(" ");
        if (world.inCombat && hero.hp * 10 < hero.maxHp * 6 && elixir >= 0)
            return press("eu" + std::to_string(listNumber(static_cast<std::size_t>(elixir))) + "\n x");
        if (world.inCombat) return press("f");
        if (line && has("Co chcesz zrobić (liczba - podnieś, e - ekwipunek")) return press("w\n");
        for (const char* question : {"Czy chcesz zaatakować? (t/n)\n", "Czy chcesz go zaatakować? (t/n)\n",
                                     "Czy chcesz mu pomóc? (t/n)\n", "Czy chcesz iść za nim? (t/n)\n", "Chcesz iść? (t/n)\n",
                                     "Czy chcesz grać jako Człowiek? (t/n)\n", "Czy chcesz grać jako Wojownik? (t/n)",
                                     "Czy chcesz ją zdjąć? (t/n)\n", "Czy chcesz ją schować? (t/n)\n"})
            if (ends(question)) return press("t");
        if (has("Na pewno chcesz kupić ") && ends("(t/n)\n")) return press("t");
        // Messages that wait for a key: the helpers' greeting, a piece taken
        // out or put on, the paladin's experience, the hit points of a level.
        if ((!world.inCombat && ends("w walce z potworem.\n")) || ends(" z plecaka.\n") ||
            (has("Zakładasz ") && ends(".\n")) || ends("doświadczenia.\n") || ends(" punktów wytrzymałości.\n"))
            return press(" ");
        if (ends("Podaj swoje imię śmiałku: ")) return press(std::string(HeroName) + "\n");
        // Rolls again until the set suits a fighter, as players do.
        if (ends("r - przerzuć cechy, ? - informacje.\n"))
            return press(attributeShown("SIŁ") >= 15 && attributeShown("KON") >= 14 ? "t" : "r");
        if (ends("\nliczba - wybierz, n - anuluj, c - cofnij.\n")) return press("1");  // Człowiek
        if (ends("\nliczba - wybór, n - anuluj, c - cofnij.\n")) return press("2\n");  // Wojownik
        if (ends("t - trenuj\ns - oglądaj trofea\nw - wyjdź\n")) return press(hero.level < MaxLevel ? "t" : "w");
        // Every fourth level one attribute: KON to an even score, else SIŁ.
        if (ends("Mądrość, Charyzma\n")) return press(hero.attributes[Con] % 2 != 0 ? "k" : "s");
        if (line && (has("Wybierz nowy atut:\n") || has("Wybierz dodatkowy atut wojownika:\n")))
            return press(std::to_string(featToTake()) + "\n");
        if (ends("w - wybierz, inny - anuluj")) return press("w");
        if (line && has("Wybierz broń: \n")) return press(std::to_string(pick(std::regex("Długi miecz"))) + "\n");
        const bool swordDone = carried(hero.weapon, KindWeapon, LongSwordRow);
        const bool armourDone = carried(hero.armour, KindArmour, PlateArmourRow);
        if (ends("k - kup, s - sprzedaj, u - ulepsz, w - wyjdź\n")) return press(swordDone ? "w" : "k");
        if (ends("p - kup pancerz, t - kup tarcze, s - sprzedaj, u - ulepsz, w - wyjdź\n"))
            return press(!armourDone ? "p" : !carried(hero.shield, KindShield, LargeShieldRow) ? "t" : "w");
        // Nothing good enough in a smith's stock: out, and in again for a new one.
        if (ends("Co chcesz kupić (0-nic)? ")) {
            const char* wanted = has("Oto broń") ? "(?:Celny )?(?:Ostry )?Długi miecz \\+([0-9]+) \\(.*\\)_([0-9]+) sz"
                                 : has("Oto pancerze")
                                     ? "(?:Migotający )?Zbroja płytowa(?: Odporności)? \\+([0-9]+) \\(.*\\)_([0-9]+) sz"
                                 : has("Oto tarcze") ? "Tarcza \\+([0-9]+) \\(.*\\)_([0-9]+) sz"
                                 : countIn(isElixir) < ElixirsToCarry ? "Eliksir uzdrowienia \\+0 .*" : "-";
            return press(std::to_string(pick(std::regex(wanted))) + "\n");
        }
        if (ends("Komendy (bptuwx?): ")) return press(slotOf(better) >= 0 ? "u" : "x");
        if (ends("Który przedmiot: ")) return press(std::to_string(listNumber(static_cast<std::size_t>(slotOf(better)))) + "\n");
        return std::nullopt;
    }

    // ---- underground -------------------------------------------------------
    // The hero's cell: his "O" on the overview (screen rows 1-20, columns 50-69).
    Spot heroCell() const {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (screen.charAt(1 + y, 50 + x) == U'O') return {x, y};
        return {};
    }
    static Spot cellWith(std::int32_t flag) {
        for (int y = 0; y < LevelMap::Height; ++y)
            for (int x = 0; x < LevelMap::Width; ++x)
                if (levelMap.at(x, y) & flag) return {x, y};
        return {};
    }
    // Breadth-first over the floor: for each cell reached, the cell it is
    // reached from, the arrow and the steps. Special places only as the goal.
    struct Link {
        Spot from;
        int key = 0, steps = 0;
    };
    static std::map<Spot, Link> reachable(Spot from, Spot goal) {
        std::map<Spot, Link> cameBy{{from, Link{from, 0, 0}}};
        const std::pair<int, Spot> moves[] = {{KeyUp, {0, -1}}, {KeyDown, {0, 1}}, {KeyLeft, {-1, 0}}, {KeyRight, {1, 0}}};
        for (std::deque<Spot> queue{from}; !queue.empty(); queue.pop_front()) {
            for (const auto& [key, d] : moves) {
                const Spot at = queue.front(), next{at.x + d.x, at.y + d.y};
                if (!levelMap.walkable(next.x, next.y) || cameBy.count(next)) continue;
                if ((levelMap.at(next.x, next.y) & LevelMap::SpecialPlace) && !(next == goal)) continue;
                cameBy[next] = Link{at, key, cameBy.at(at).steps + 1};
                queue.push_back(next);
            }
        }
        return cameBy;
    }
    // The arrow of the first step on a shortest way to `goal` (nothing when there is none).
    Answer stepTowards(Spot goal) const {
        const Spot at = heroCell();
        if (at == Spot{} || goal == at) return std::nullopt;
        const auto cameBy = reachable(at, goal);
        if (!cameBy.count(goal)) return std::nullopt;
        Spot cell = goal;
        while (!(cameBy.at(cell).from == at)) cell = cameBy.at(cell).from;
        return press(cameBy.at(cell).key);
    }
    // In the dungeon view: over when `done`, else on to the stairs (or the entrance) with `flag`.
    Answer stairsUntil(std::int32_t flag, bool done) const {
        if (!inDungeon()) return std::nullopt;
        if (done) return over();
        return heroCell() == cellWith(flag) ? press("u") : stepTowards(cellWith(flag));
    }
    // Walks to and fro, each time to the cell farthest from the hero, until
    // the story has `flag`: that is how monsters are met.
    Answer wanderUntil(StoryFlag flag) {
        if (!inDungeon()) return std::nullopt;
        if (world.has(flag)) return over();
        const Spot at = heroCell();
        if (wanderGoal_ == Spot{} || wanderGoal_ == at || !levelMap.walkable(wanderGoal_.x, wanderGoal_.y)) {
            int farthest = 0;
            for (const auto& [cell, link] : reachable(at, Spot{}))
                if (link.steps > farthest) farthest = link.steps, wanderGoal_ = cell;
        }
        return stepTowards(wanderGoal_);
    }
    // In the forest: over once the story has `flag`, else explore.
    Answer exploreUntil(StoryFlag flag) const {
        if (!atForest()) return std::nullopt;
        return world.has(flag) ? over() : press("e");
    }
    // Leaves the dungeon view with `answer` to the save question.
    Answer leave(const char* answer) const {
        if (inDungeon()) return press("q");
        if (askedToSave()) return press(answer);
        return atMainMenu() ? over() : std::nullopt;
    }

    std::vector<Step> story_;
    std::size_t current_ = 0;
    const bool recording_ = std::getenv("KELVRIN_RECORD") && std::string(std::getenv("KELVRIN_RECORD")) == "1";

private:
    std::deque<int> pending_;
    std::string fresh_;
    std::size_t mark_ = 0;       // the transcript's length when the last key was handed out
    std::size_t stepStart_ = 0;  // ... when the current step began
    int answers_ = 0;
    bool stopped_ = false;
    Spot wanderGoal_;
};

TEST_F(AcceptanceTest, FromTheNameToTerrasque) {
    seedRandom(2011);
    Spot terrasque;
    const auto when = [](bool at, Answer answer) { return at ? answer : std::nullopt; };
    story_ = {
        {"create a human fighter", [&] { return atMainMenu() ? press("1") : when(atTown(), over()); }, {},
         "Borys L1 xp 0/1000 gold 50 Pw 14/14 BA 1/1 attr 15 13 14 9 13 8 day 1/113 town | flags | feats Potężny atak, Rozszczepienie, masks 80/0/0 tough 0 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        // Hundreds of fights and quests would have earned this much
        // experience and gold; the levels themselves are trained below.
        {"the experience and gold of a long game",
         [&] {
             hero.xp = xpForNextLevel(MaxLevel - 1);
             hero.gold = 1000000;
             return when(atTown(), over());
         },
         {},
         "Borys L1 xp 435000/1000 gold 1000000 Pw 14/14 BA 1/1 attr 15 13 14 9 13 8 day 1/113 town | flags | feats Potężny atak, Rozszczepienie, masks 80/0/0 tough 0 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"train at the barracks up to the thirtieth level",
         [&] { return when(atTown(), hero.level < MaxLevel ? press("b") : over()); },
         {"Masz 435000/99999999 doświadczenia i 30 poziom.\n"},
         "Borys L30 xp 435000/99999999 gold 1000000 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0", 1500},
        {"buy a sword at the weapon smith",
         [&] { return when(atTown(), carried(hero.weapon, KindWeapon, LongSwordRow) ? over() : press("a")); }, {},
         "Borys L30 xp 435000/99999999 gold 851053 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"buy armour and a shield at the armour smith",
         [&] {
             const bool done = carried(hero.armour, KindArmour, PlateArmourRow) && carried(hero.shield, KindShield, LargeShieldRow);
             return when(atTown(), done ? over() : press("d"));
         },
         {"Oto tarcze które mam aktualnie na sprzedaż: \n"},
         "Borys L30 xp 435000/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"put on the new gear",
         [&] { return atSheet() ? press("e") : when(atTown(), slotOf(better) >= 0 ? press("s") : over()); },
         {"Zakładasz "},
         "Borys L30 xp 435000/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 0"},
        {"rescue the dog from the wolves and follow it to the grove",
         [&] {
             if (atGrove() && world.has(GroveKnown)) return over();
             return atTown() ? press("w") : atWorldMap() ? press("l") : when(atForest(), press("e"));
         },
         {"Wilk umiera.\n", "Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 0", 400},
        {"buy the druid's elixirs of healing",
         [&] { return when(atGrove(), countIn(isElixir) < ElixirsToCarry ? press("k") : over()); }, {},
         "Borys L30 xp 435083/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"take the druid's quest against the worgs", [&] { return atGrove() ? press("z") : when(atForest(), over()); },
         {"Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown DruidCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"beat the worgs with the druid", [&] { return exploreUntil(WorgsBeaten); },
         {"stado worgów próbuje cię otoczyć.\n", "Worg umiera.\n", "Zdobyłeś 2000 doświadczenia.\n"},
         "Borys L30 xp 437586/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown WorgsBeaten DruidCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 400},
        {"stop the mad treant", [&] { return exploreUntil(DruidFriend); },
         {"To drzewiec!\n", "Drzewiec umiera.\n", "Dzięki tobie las jest znów bezpieczny", "Zdobyłeś 5000 doświadczenia.\n"},
         "Borys L30 xp 443341/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 400},
        {"enter the dungeon from the world map",
         [&] { return atForest() ? press("m") : atWorldMap() ? press("p") : when(inDungeon(), over()); }, {},
         "Borys L30 xp 443341/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 dungeon 1 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"walk down to the sixth level", [&] { return stairsUntil(LevelMap::StairsDown, world.dungeonLevel == 5); }, {},
         "Borys L30 xp 444816/99999999 gold 571281 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 dungeon 6 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 3000},
        {"enter the crypt", [&] { return stairsUntil(LevelMap::CryptEntrance, world.location == LocationCrypt); },
         {"Jesteś w krypcie na 1 poziomie.\n"},
         "Borys L30 xp 445633/99999999 gold 576960 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 1000},
        {"meet the paladin", [&] { return wanderUntil(PaladinCompanion); }, {},
         "Borys L30 xp 445633/99999999 gold 576960 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags DruidFriend MineFound GroveKnown PaladinCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"fight beside the paladin until his farewell", [&] { return wanderUntil(PaladinFriend); },
         {"Zdobyłeś 3000 doświadczenia.\n"},
         "Borys L30 xp 454829/99999999 gold 600235 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 4000},
        {"climb back to the world map",
         [&] { return atWorldMap() ? over() : stairsUntil(LevelMap::StairsUp, false); }, {},
         "Borys L30 xp 457716/99999999 gold 614822 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 world map | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 4000},
        // The game's way to the halls of pain is the world map's "p" and
        // twelve dungeon levels, walked as the first six were; they add
        // nothing to the story. So the hero is put at the top of the halls:
        // when the town's pass ends (here after a look at the sheet) the
        // game loop enters the underground place that world.location names.
        {"go down to the halls of pain",
         [&] {
             if (atSheet()) world.location = LocationHallsOfPain, world.dungeonLevel = 0;
             if (atSheet()) return press("x");
             return atWorldMap() ? press("m") : atTown() ? press("s") : when(inDungeon(), over());
         },
         {"Jesteś w salach bólu.\n"},
         "Borys L30 xp 457716/99999999 gold 614822 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"wake and kill Terrasque with the druid and the paladin",
         [&] {
             if (!inDungeon()) return Answer{};
             terrasque = cellWith(LevelMap::SpecialPlace);
             return world.has(TerrasqueDead) ? over() : stepTowards(terrasque);
         },
         {"Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n",
          "Druid zmienił się w Legendarny tygrys.\n", "Terrasque umiera.\n"},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11", 1000},
        {"save the game and leave to the main menu", [&] { return leave("t"); }, {},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain saved | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11"},
        {"load the hero again: Terrasque stays dead",
         [&] {
             EXPECT_TRUE(!inDungeon() || heroCell() == terrasque) << "back where he saved";
             return atMainMenu() ? press("1") : when(inDungeon(), over());
         },
         {"Borys Człowiek Wojownik, Poziom 30"},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11"},
        {"quit without saving", [&] { return leave("n"); }, {},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11"},
    };

    int status = -1;
    const bool cut = runUntilInputEnds([&] { status = runProgram(); });
    EXPECT_FALSE(cut) << "the story stopped in step \"" << currentStep() << "\"";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_, story_.size()) << "the story stopped in step \"" << currentStep() << "\"";
}

}  // namespace
}  // namespace kelvrin::test
