// One whole game, played from the main menu the way a player plays it: a
// hero is made on the creation screens, trained at the barracks, armed at
// the smiths, follows the forest's story to the druid's friendship, goes
// down to the crypt and the paladin, and kills Terrasque in the halls of
// pain. The player reads what the game printed since his last key and
// answers it; the game generator and the clock are fixed, so the run is
// the same every time. Each step of the story checks what it should have
// achieved and, when it breaks, names itself.
#include <algorithm>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
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
constexpr int PlateArmourRow = 11;   // "Zbroja płytowa"
constexpr int LargeShieldRow = 1;    // "Tarcza"
constexpr int FullHealingRow = 2;    // "Eliksir uzdrowienia"
constexpr int WantedBonus = 6;       // the least enchantment worth buying
constexpr int ElixirsToCarry = 12;

struct Spot {
    int x = -1;
    int y = -1;
    bool operator==(const Spot&) const = default;
    bool operator<(const Spot& o) const { return y != o.y ? y < o.y : x < o.x; }
};

// The text as a player reads it: without the transcript's colour marks.
std::string withoutColours(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{') {
            std::size_t end = i + 1;
            while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
            if (end > i + 1 && end < text.size() && text[end] == '}') {
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class AcceptanceTest : public GameTest {
protected:
    // One answer to a key wait: the keys to press, or the news that the
    // step is over (then the next step answers the same screen).
    struct Reply {
        std::vector<int> keys;
        bool over = false;
    };
    struct Step {
        std::string name;
        std::function<Reply()> play;
        std::function<void()> check;  // what the step must have achieved
        int maxAnswers = 600;         // more means the step is stuck
    };

    void SetUp() override {
        GameTest::SetUp();
        screen.setPaging(false);  // fights print more than a screenful
        showAllFeats = false;     // the feat lists as a new program shows them, whatever ran before
        screen.setKeySource([this] { return nextKey(); });
    }

    // ---- the player -------------------------------------------------------

    // The key source of the scripted console: answers every key wait with
    // the current step's reply, moving on to the next step when one is over.
    int nextKey() {
        if (stopped_) return KeyEnd;
        if (pending_.empty()) {
            fresh_ = withoutColours(std::string_view(screen.transcript()).substr(mark_));
            while (pending_.empty()) {
                if (current_ == story_.size()) {
                    // The story is over; the player leaves the program.
                    if (atMainMenu()) return handOut('0');
                    return stop("the story is over, but the main menu is not shown");
                }
                Step& step = story_[current_];
                if (++answers_ > step.maxAnswers) {
                    return stop("no end in sight after " + std::to_string(step.maxAnswers) + " answers");
                }
                const Reply reply = step.play();
                if (stopped_) return KeyEnd;
                if (!reply.over) {
                    pending_.assign(reply.keys.begin(), reply.keys.end());
                    continue;
                }
                {
                    SCOPED_TRACE("step \"" + step.name + "\"");
                    step.check();
                }
                if (HasFailure()) return stop("its outcome is wrong");
                ++current_;
                stepStart_ = mark_;
                answers_ = 0;
            }
        }
        const int key = pending_.front();
        pending_.pop_front();
        return handOut(key);
    }

    int handOut(int key) {
        mark_ = screen.transcript().size();
        return key;
    }

    int stop(const std::string& why) {
        const std::string name = current_ < story_.size() ? story_[current_].name : "after the story";
        ADD_FAILURE() << "step \"" << name << "\": " << why << "\n--- printed since the last key:\n"
                      << fresh_ << "\n--- screen:\n" << screen.screenText();
        stopped_ = true;
        pending_.clear();
        return KeyEnd;
    }

    Reply unexpected() { return unexpectedBecause("no answer for this screen"); }
    Reply unexpectedBecause(const std::string& why) {
        stop(why);
        return {};
    }

    static Reply press(std::string_view keys) {
        Reply reply;
        for (std::size_t at = 0; at < keys.size();) reply.keys.push_back(static_cast<int>(decodeUtf8(keys, at)));
        return reply;
    }
    static Reply press(int key) { return Reply{{key}, false}; }
    static Reply over() { return Reply{{}, true}; }

    std::string currentStep() const { return current_ < story_.size() ? story_[current_].name : "(none)"; }

    // ---- what the player sees ---------------------------------------------

    bool freshEnds(std::string_view end) const { return std::string_view(fresh_).ends_with(end); }
    bool freshHas(std::string_view part) const { return fresh_.find(part) != std::string::npos; }
    // Everything printed since the step began.
    std::string stepText() const { return withoutColours(std::string_view(screen.transcript()).substr(stepStart_)); }
    bool stepSaid(std::string_view part) const { return stepText().find(part) != std::string::npos; }

    bool atMainMenu() const { return freshEnds("1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n"); }
    bool atTown() const { return freshEnds("w - wyjdź z miasta\n\n"); }
    bool atWorldMap() const { return freshEnds("d - droga\np - podziemia\n"); }
    bool atForest() const { return freshHas("Jesteś w lesie.") && freshEnds("m - mapa\n\n"); }
    bool atGrove() const { return freshEnds("a - zatakuj druida\nw - wyjdź\n"); }
    bool inDungeonView() const {
        return freshEnds("Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście\n");
    }
    bool sheetShown() const { return freshHas("\n\nAtuty:\n") && !freshEnds("(ok)"); }

    // The score shown for an attribute on the creation screen ("SIŁ: 15 (").
    int attributeShown(const std::string& shortName) const {
        const std::regex pattern(shortName + ": *([0-9]+) \\(");
        std::smatch found;
        if (!std::regex_search(fresh_, found, pattern)) return 0;
        return std::stoi(found[1]);
    }

    // The numbered lines "N) text" of a list, by text.
    std::map<std::string, int> numberedLines() const {
        std::map<std::string, int> entries;
        static const std::regex line("^([0-9]+)\\) (.*)$");
        for (const std::string& text : linesOf(fresh_)) {
            std::smatch found;
            if (std::regex_match(text, found, line)) entries.emplace(found[2], std::stoi(found[1]));
        }
        return entries;
    }

    // The best offer of a shop list whose lines match `offer` (groups: the
    // number, the bonus, the price), affordable and at least WantedBonus.
    std::optional<int> bestOffer(const std::regex& offer) const {
        std::optional<int> best;
        int bestBonus = WantedBonus - 1;
        for (const std::string& text : linesOf(fresh_)) {
            std::smatch found;
            if (!std::regex_match(text, found, offer)) continue;
            const int bonus = std::stoi(found[2]);
            if (bonus > bestBonus && std::stoi(found[3]) <= hero.gold) {
                bestBonus = bonus;
                best = std::stoi(found[1]);
            }
        }
        return best;
    }

    // ---- answers every step shares ---------------------------------------

    // The number of a backpack slot in the inventory's list (occupied slots
    // counted from 1).
    static int listNumber(int slot) {
        int number = 1;
        for (int i = 0; i < slot; ++i) number += hero.inventory[static_cast<std::size_t>(i)].empty() ? 0 : 1;
        return number;
    }

    static int elixirSlot() {
        for (int i = 0; i < BackpackSlots; ++i) {
            const ItemSlot& item = hero.inventory[static_cast<std::size_t>(i)];
            if (item.kind == KindPotion && item.ref == FullHealingRow) return i;
        }
        return -1;
    }

    static int elixirsCarried() {
        return static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.end(), [](const ItemSlot& item) {
            return item.kind == KindPotion && item.ref == FullHealingRow;
        }));
    }

    // The hero's turn: drink an elixir below 60% of the Pw, else attack.
    // The inventory does not use up the turn.
    Reply fightTurn() {
        if (freshEnds("(ok)")) return press(" ");
        const int elixir = elixirSlot();
        if (hero.hp * 10 < hero.maxHp * 6 && elixir >= 0) {
            return press("eu" + std::to_string(listNumber(elixir)) + "\n x");
        }
        return press("f");
    }

    // The screens that can come up anywhere: fights and what follows them,
    // messages to acknowledge, monsters seen first.
    std::optional<Reply> common() {
        if (hero.hp < 1 && hero.level > 0) return unexpectedBecause("the hero died");  // (level 0: not made yet)
        if (world.inCombat) return fightTurn();
        if (freshEnds("(ok)")) return press(" ");
        // The loot is left behind: the backpack is kept for the elixirs.
        if (screen.readingLine() && freshHas("Co chcesz zrobić (liczba - podnieś, e - ekwipunek")) {
            return press("w\n");
        }
        if (freshEnds("Czy chcesz zaatakować? (t/n)\n")) return press("t");
        return std::nullopt;
    }

    Reply commonOrUnexpected() {
        if (auto reply = common()) return *reply;
        return unexpected();
    }

    // Feats, as a fighter with a long sword takes them; "Twardość" can
    // always be taken again.
    static bool wantsFeat(const std::string& name) {
        const std::uint32_t sword = 1u << LongSwordRow;
        if (name == "Potężny atak") return !(hero.feats & FeatPowerAttack);
        if (name == "Rozszczepienie") return !(hero.feats & FeatCleave);
        if (name == "Zogniskowanie broni") return !(hero.weaponFocusMask & sword);
        if (name == "Specjalizacja w broni") return !(hero.weaponSpecMask & sword);
        if (name == "Poprawione trafienia krytyczne") return !(hero.improvedCritMask & sword);
        if (name == "Wielkie rozszczepienie") return !(hero.feats & FeatGreatCleave);
        if (name == "Poprawiona inicjatywa") return !(hero.feats & FeatImprovedInitiative);
        if (name == "Walka na ślepo") return !(hero.feats & FeatBlindFight);
        return name == "Twardość";
    }

    std::optional<Reply> featChoice() {
        if (screen.readingLine() &&
            (freshHas("Wybierz nowy atut:\n") || freshHas("Wybierz dodatkowy atut wojownika:\n"))) {
            const std::map<std::string, int> listed = numberedLines();
            for (const char* name : {"Potężny atak", "Rozszczepienie", "Zogniskowanie broni", "Specjalizacja w broni",
                                     "Poprawione trafienia krytyczne", "Wielkie rozszczepienie",
                                     "Poprawiona inicjatywa", "Walka na ślepo", "Twardość"}) {
                const auto entry = listed.find(name);
                if (entry != listed.end() && wantsFeat(name)) return press(std::to_string(entry->second) + "\n");
            }
            return unexpected();
        }
        if (freshEnds("w - wybierz, inny - anuluj")) return press("w");
        if (screen.readingLine() && freshHas("Wybierz broń: \n")) {
            const std::map<std::string, int> listed = numberedLines();
            const auto sword = listed.find("Długi miecz");
            if (sword == listed.end()) return unexpected();
            return press(std::to_string(sword->second) + "\n");
        }
        return std::nullopt;
    }

    // ---- underground ------------------------------------------------------

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

    // How a cell is reached on a shortest way: from which cell, by which
    // arrow, after how many steps.
    struct Link {
        Spot from;
        int key = 0;
        int steps = 0;
    };

    // Breadth-first over the floor from `from`; special places are entered
    // only as the goal.
    static std::map<Spot, Link> reachable(Spot from, Spot goal) {
        std::map<Spot, Link> cameBy{{from, Link{from, 0, 0}}};
        std::deque<Spot> queue{from};
        const std::pair<int, Spot> moves[] = {
            {KeyUp, {0, -1}}, {KeyDown, {0, 1}}, {KeyLeft, {-1, 0}}, {KeyRight, {1, 0}}};
        while (!queue.empty()) {
            const Spot at = queue.front();
            queue.pop_front();
            for (const auto& [key, d] : moves) {
                const Spot next{at.x + d.x, at.y + d.y};
                if (!levelMap.walkable(next.x, next.y) || cameBy.count(next)) continue;
                if ((levelMap.at(next.x, next.y) & LevelMap::SpecialPlace) && !(next == goal)) continue;
                cameBy[next] = Link{at, key, cameBy.at(at).steps + 1};
                queue.push_back(next);
            }
        }
        return cameBy;
    }

    // The arrow of the first step on a shortest way to `goal`.
    Reply stepTowards(Spot goal) {
        const Spot at = heroCell();
        if (at == Spot{}) return unexpected();
        const auto cameBy = reachable(at, goal);
        if (!cameBy.count(goal) || goal == at) return unexpected();
        Spot cell = goal;
        while (!(cameBy.at(cell).from == at)) cell = cameBy.at(cell).from;
        return press(cameBy.at(cell).key);
    }

    // Walks to the stairs (or the crypt entrance) with `flag` and takes them.
    Reply takeStairs(std::int32_t flag) {
        const Spot stairs = cellWith(flag);
        if (stairs == Spot{}) return unexpected();
        return heroCell() == stairs ? press("u") : stepTowards(stairs);
    }

    // Walks to and fro over the level, each time to the cell farthest from
    // where the hero stands: that is how monsters are met.
    Reply wander() {
        const Spot at = heroCell();
        if (wanderGoal_ == Spot{} || wanderGoal_ == at || !levelMap.walkable(wanderGoal_.x, wanderGoal_.y)) {
            wanderGoal_ = at;
            int farthest = 0;
            for (const auto& [cell, link] : reachable(at, Spot{})) {
                if (link.steps > farthest) {
                    farthest = link.steps;
                    wanderGoal_ = cell;
                }
            }
        }
        return stepTowards(wanderGoal_);
    }

    // ---- the steps of the story ------------------------------------------

    Reply createHero() {
        if (atMainMenu()) return press("1");
        if (freshEnds("Podaj swoje imię śmiałku: ")) return press(std::string(HeroName) + "\n");
        // Rolls again until the set suits a fighter, as players do.
        if (freshEnds("r - przerzuć cechy, ? - informacje.\n")) {
            return press(attributeShown("SIŁ") >= 15 && attributeShown("KON") >= 14 ? "t" : "r");
        }
        if (freshEnds("\nliczba - wybierz, n - anuluj, c - cofnij.\n")) return press("1");  // Człowiek
        if (freshEnds("Czy chcesz grać jako Człowiek? (t/n)\n")) return press("t");
        if (freshEnds("\nliczba - wybór, n - anuluj, c - cofnij.\n")) return press("2\n");  // Wojownik
        if (freshEnds("Czy chcesz grać jako Wojownik? (t/n)")) return press("t");
        if (auto reply = featChoice()) return *reply;
        if (atTown()) return over();
        return commonOrUnexpected();
    }

    Reply trainToTheTop() {
        if (atTown()) return hero.level < MaxLevel ? press("b") : over();
        if (freshEnds("t - trenuj\ns - oglądaj trofea\nw - wyjdź\n")) return press(hero.level < MaxLevel ? "t" : "w");
        if (freshEnds(" punktów wytrzymałości.\n")) return press(" ");
        // Every fourth level one attribute: KON to an even score, else SIŁ.
        if (freshEnds("Mądrość, Charyzma\n")) return press(hero.attributes[Con] % 2 != 0 ? "k" : "s");
        if (auto reply = featChoice()) return *reply;
        return commonOrUnexpected();
    }

    static bool swordInHandOrPack() {
        const auto good = [](const ItemSlot& item) {
            return item.kind == KindWeapon && item.ref == LongSwordRow && item.bonus >= WantedBonus;
        };
        return good(hero.weapon) || std::any_of(hero.inventory.begin(), hero.inventory.end(), good);
    }
    static bool armourWornOrPacked() {
        const auto good = [](const ItemSlot& item) {
            return item.kind == KindArmour && item.ref == PlateArmourRow && item.bonus >= WantedBonus;
        };
        return good(hero.armour) || std::any_of(hero.inventory.begin(), hero.inventory.end(), good);
    }
    static bool shieldCarriedOrPacked() {
        const auto good = [](const ItemSlot& item) {
            return item.kind == KindShield && item.ref == LargeShieldRow && item.bonus >= WantedBonus;
        };
        return good(hero.shield) || std::any_of(hero.inventory.begin(), hero.inventory.end(), good);
    }

    Reply buyASword() {
        if (atTown()) return swordInHandOrPack() ? over() : press("a");
        if (freshEnds("k - kup, s - sprzedaj, u - ulepsz, w - wyjdź\n")) return press(swordInHandOrPack() ? "w" : "k");
        if (freshEnds("Co chcesz kupić (0-nic)? ")) {
            static const std::regex sword(
                "^([0-9]+)\\) (?:Celny )?(?:Ostry )?Długi miecz \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
            // Nothing good enough: out, and in again for a new stock.
            const std::optional<int> offer = bestOffer(sword);
            return press(offer ? std::to_string(*offer) + "\n" : "0\n");
        }
        if (freshHas("Na pewno chcesz kupić ") && freshEnds("(t/n)\n")) return press("t");
        return commonOrUnexpected();
    }

    Reply buyArmourAndAShield() {
        const bool done = armourWornOrPacked() && shieldCarriedOrPacked();
        if (atTown()) return done ? over() : press("d");
        if (freshEnds("p - kup pancerz, t - kup tarcze, s - sprzedaj, u - ulepsz, w - wyjdź\n")) {
            return press(!armourWornOrPacked() ? "p" : !shieldCarriedOrPacked() ? "t" : "w");
        }
        if (freshEnds("Co chcesz kupić (0-nic)? ")) {
            static const std::regex armour(
                "^([0-9]+)\\) (?:Migotający )?Zbroja płytowa(?: Odporności)? \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
            static const std::regex shield("^([0-9]+)\\) Tarcza \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
            const std::optional<int> offer = bestOffer(freshHas("Oto pancerze") ? armour : shield);
            return press(offer ? std::to_string(*offer) + "\n" : "0\n");
        }
        if (freshHas("Na pewno chcesz kupić ") && freshEnds("(t/n)\n")) return press("t");
        return commonOrUnexpected();
    }

    // The backpack slot of a bought piece still to be put on, or -1.
    static int gearToPutOn() {
        for (int i = 0; i < BackpackSlots; ++i) {
            const ItemSlot& item = hero.inventory[static_cast<std::size_t>(i)];
            if (item.kind == KindWeapon && item.ref == LongSwordRow && item.bonus > hero.weapon.bonus) return i;
            if (item.kind == KindArmour && item.ref == PlateArmourRow &&
                (hero.armour.ref != PlateArmourRow || item.bonus > hero.armour.bonus))
                return i;
            if (item.kind == KindShield && item.ref == LargeShieldRow && item.bonus > hero.shield.bonus) return i;
        }
        return -1;
    }

    Reply putOnTheGear() {
        if (atTown()) return gearToPutOn() >= 0 ? press("s") : over();
        if (sheetShown()) return press("e");
        if (freshEnds("Komendy (bptuwx?): ")) return press(gearToPutOn() >= 0 ? "u" : "x");
        if (freshEnds("Który przedmiot: ")) return press(std::to_string(listNumber(gearToPutOn())) + "\n");
        if (freshEnds("Czy chcesz ją zdjąć? (t/n)\n") || freshEnds("Czy chcesz ją schować? (t/n)\n")) {
            return press("t");
        }
        if (freshEnds(" z plecaka.\n") || (freshHas("Zakładasz ") && freshEnds(".\n"))) return press(" ");
        return commonOrUnexpected();
    }

    // The town, the world map and the forest, on the way to exploring.
    std::optional<Reply> toTheForest() {
        if (atTown()) return press("w");
        if (atWorldMap()) return press("l");
        return std::nullopt;
    }

    Reply rescueTheDog() {
        if (atGrove() && world.has(GroveKnown)) return over();
        if (auto reply = toTheForest()) return *reply;
        if (atForest()) return press("e");
        if (freshEnds("Czy chcesz mu pomóc? (t/n)\n")) return press("t");
        if (freshEnds("Czy chcesz iść za nim? (t/n)\n")) return press("t");
        return commonOrUnexpected();
    }

    Reply buyElixirs() {
        if (atGrove()) return elixirsCarried() < ElixirsToCarry ? press("k") : over();
        if (freshEnds("Co chcesz kupić (0-nic)? ")) {
            if (elixirsCarried() >= ElixirsToCarry) return press("0\n");
            const auto listed = numberedLines();
            const auto elixir = std::find_if(listed.begin(), listed.end(), [](const auto& entry) {
                return entry.first.starts_with("Eliksir uzdrowienia +0 ");
            });
            if (elixir == listed.end()) return unexpected();
            return press(std::to_string(elixir->second) + "\n");
        }
        if (freshHas("Na pewno chcesz kupić Eliksir uzdrowienia") && freshEnds("(t/n)\n")) return press("t");
        return commonOrUnexpected();
    }

    Reply takeTheDruidsQuest() {
        if (atGrove()) return press("z");
        if (freshEnds("Chcesz iść? (t/n)\n")) return press("t");
        if (atForest()) return over();
        return commonOrUnexpected();
    }

    // Explores the forest until the story has `flag`.
    Reply exploreUntil(StoryFlag flag) {
        if (atForest()) return world.has(flag) ? over() : press("e");
        return commonOrUnexpected();
    }

    Reply intoTheDungeon() {
        if (atForest()) return press("m");
        if (atWorldMap()) return press("p");
        if (inDungeonView()) return over();
        return commonOrUnexpected();
    }

    Reply downToTheSixthLevel() {
        if (!inDungeonView()) return commonOrUnexpected();
        if (world.location == LocationDungeon && world.dungeonLevel == 5) return over();
        return takeStairs(LevelMap::StairsDown);
    }

    Reply intoTheCrypt() {
        if (!inDungeonView()) return commonOrUnexpected();
        if (world.location == LocationCrypt) return over();
        return takeStairs(LevelMap::CryptEntrance);
    }

    Reply wanderUntil(StoryFlag flag) {
        // The paladin's farewell gives experience after its "(ok)".
        if (freshHas("Dziękuje za pomoc w zwalczaniu tych plugawych potworów.") && freshEnds("doświadczenia.\n")) {
            return press(" ");
        }
        if (!inDungeonView()) return commonOrUnexpected();
        return world.has(flag) ? over() : wander();
    }

    Reply upToTheWorldMap() {
        if (atWorldMap()) return over();
        if (!inDungeonView()) return commonOrUnexpected();
        return takeStairs(LevelMap::StairsUp);
    }

    Reply downToTheHallsOfPain() {
        if (atWorldMap()) return press("m");
        if (atTown()) return press("s");
        if (sheetShown()) {
            // The game's way to the halls of pain is the world map's "p" and
            // twelve dungeon levels, stairs after stairs, walked as the first
            // six were above; they add nothing to the story. So the hero is
            // put at the top of the halls: when the town's pass ends (here
            // after a look at the sheet) the game loop enters the underground
            // place that world.location names, on its stairs up.
            world.location = LocationHallsOfPain;
            world.dungeonLevel = 0;
            return press("x");
        }
        if (inDungeonView()) return over();
        return commonOrUnexpected();
    }

    Reply killTerrasque() {
        if (inDungeonView()) {
            if (world.has(TerrasqueDead)) return over();
            return stepTowards(cellWith(LevelMap::SpecialPlace));
        }
        if (freshEnds("Czy chcesz go zaatakować? (t/n)\n")) return press("t");
        // Those who came to help are greeted before the fight starts.
        if (!world.inCombat && freshEnds("w walce z potworem.\n")) return press(" ");
        return commonOrUnexpected();
    }

    Reply saveAndQuit() {
        if (inDungeonView()) return press("q");
        if (freshEnds("Czy chcesz zapisać grę? (tak/nie/anuluj)\n")) return press("t");
        if (atMainMenu()) return over();
        return commonOrUnexpected();
    }

    Reply loadTheHero() {
        if (atMainMenu()) return press("1");
        if (freshEnds("Podaj swoje imię śmiałku: ")) return press(std::string(HeroName) + "\n");
        if (inDungeonView()) return over();
        return commonOrUnexpected();
    }

    Reply quitWithoutSaving() {
        if (inDungeonView()) return press("q");
        if (freshEnds("Czy chcesz zapisać grę? (tak/nie/anuluj)\n")) return press("n");
        if (atMainMenu()) return over();
        return commonOrUnexpected();
    }

    std::vector<Step> story_;
    std::size_t current_ = 0;

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
    int goldBefore = 0;
    story_ = {
        {"create a human fighter", [this] { return createHero(); },
         [this] {
             EXPECT_TRUE(stepSaid("Kelvrin v 0.2\n\n1. Graj"));
             EXPECT_TRUE(stepSaid("WYBIERZ RASĘ:\n1. Człowiek"));
             EXPECT_TRUE(stepSaid("Czy chcesz grać jako Wojownik? (t/n)"));
             EXPECT_EQ(hero.name, HeroName);
             EXPECT_EQ(hero.level, 1);
             EXPECT_EQ(hero.gold, 50);
             EXPECT_GE(hero.attributes[Str], 15);
             EXPECT_TRUE(hero.feats & FeatPowerAttack);
             EXPECT_TRUE(hero.feats & FeatCleave);
             EXPECT_EQ(hero.weaponFocusMask, 1u << LongSwordRow);
             EXPECT_EQ(hero.weapon.ref, LongSwordRow);
             EXPECT_EQ(world.location, LocationTown);
             EXPECT_TRUE(stepSaid("Jesteś w mieście. Jest 1 dzień, 113 rok."));
         }},
        {"the experience and gold of a long game",
         [this] {
             if (!atTown()) return unexpected();
             // Hundreds of fights and quests would have earned this much
             // experience and gold; the levels themselves are trained below.
             hero.xp = xpForNextLevel(MaxLevel - 1);
             hero.gold = 1000000;
             return over();
         },
         [] {}},
        {"train at the barracks up to the thirtieth level", [this] { return trainToTheTop(); },
         [this] {
             EXPECT_EQ(hero.level, MaxLevel);
             EXPECT_EQ(hero.baseAttack, MaxLevel);
             EXPECT_EQ(hero.attackPool + hero.powerAttack + hero.expertise, hero.baseAttack);
             EXPECT_EQ(hero.xpNext, xpForNextLevel(MaxLevel));
             EXPECT_EQ(hero.hp, hero.maxHp);
             EXPECT_EQ(hero.weaponSpecMask & hero.improvedCritMask, 1u << LongSwordRow);
             EXPECT_TRUE(stepSaid("Trening na poziom 2 zajął ci 4 dni.\n"));
             EXPECT_TRUE(stepSaid("Trening na poziom 30 zajął ci 60 dni.\n"));
             EXPECT_TRUE(stepSaid("Masz 435000/99999999 doświadczenia i 30 poziom.\n"));
         },
         1500},
        {"buy a sword at the weapon smith", [this] { return buyASword(); },
         [this] {
             EXPECT_TRUE(stepSaid("PŁATNERZ\nTutaj możesz kupić, sprzedać lub ulepszyć broń."));
             EXPECT_TRUE(stepSaid("Oto broń którą mam aktualnie na sprzedaż: \n"));
             EXPECT_TRUE(swordInHandOrPack());
             EXPECT_LT(hero.gold, 1000000);
         }},
        {"buy armour and a shield at the armour smith", [this] { return buyArmourAndAShield(); },
         [this] {
             EXPECT_TRUE(stepSaid("Oto pancerze które mam aktualnie na sprzedaż: \n"));
             EXPECT_TRUE(stepSaid("Oto tarcze które mam aktualnie na sprzedaż: \n"));
             EXPECT_TRUE(armourWornOrPacked());
             EXPECT_TRUE(shieldCarriedOrPacked());
         }},
        {"put on the new gear", [this] { return putOnTheGear(); },
         [this] {
             EXPECT_EQ(hero.weapon.ref, LongSwordRow);
             EXPECT_GE(hero.weapon.bonus, WantedBonus);
             EXPECT_EQ(hero.armour.ref, PlateArmourRow);
             EXPECT_GE(hero.armour.bonus, WantedBonus);
             EXPECT_EQ(hero.shield.ref, LargeShieldRow);
             EXPECT_GE(hero.shield.bonus, WantedBonus);
             EXPECT_TRUE(stepSaid("EKWIPUNEK Waga: "));
             EXPECT_TRUE(stepSaid("Wyjmujesz "));
             EXPECT_TRUE(stepSaid("Zakładasz "));
         }},
        {"rescue the dog from the wolves and follow it to the grove", [this] { return rescueTheDog(); },
         [this] {
             EXPECT_TRUE(world.has(GroveKnown));
             EXPECT_TRUE(stepSaid("Natrafiasz na psa zaatakowanego przez kilka wilków. Czy chcesz mu pomóc? "
                                  "(t/n)\n"));
             EXPECT_TRUE(stepSaid("\nAtakujesz wilki.\n"));
             EXPECT_TRUE(stepSaid("Wilk umiera.\n"));
             EXPECT_TRUE(stepSaid("Pies wesoło merda ogonem, szczeka na ciebie i ucieka w głąb lasu."));
             EXPECT_TRUE(stepSaid("Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)"));
             EXPECT_TRUE(stepSaid("Witaj w moim domu, rzadko mam tu gości. W czym mogę ci pomóc.\n"));
         },
         400},
        {"buy the druid's elixirs of healing",
         [&, this] {
             if (goldBefore == 0) goldBefore = hero.gold;
             return buyElixirs();
         },
         [&, this] {
             EXPECT_EQ(elixirsCarried(), ElixirsToCarry);
             EXPECT_LT(hero.gold, goldBefore);
             EXPECT_TRUE(stepSaid("Mam na sprzedaż kilka mikstur, co chcesz kupić?\n"));
         }},
        {"take the druid's quest against the worgs", [this] { return takeTheDruidsQuest(); },
         [this] {
             EXPECT_TRUE(world.has(DruidCompanion));
             EXPECT_TRUE(stepSaid("grupa wargów napada na okoliczne wioski. Pójdę z tobą je pokonać. Chcesz iść? "
                                  "(t/n)\n"));
             EXPECT_TRUE(stepSaid("Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)"));
         }},
        {"beat the worgs with the druid", [this] { return exploreUntil(WorgsBeaten); },
         [this] {
             EXPECT_TRUE(stepSaid("stado worgów próbuje cię otoczyć.\n"));
             EXPECT_TRUE(stepSaid("Worg umiera.\n"));
             EXPECT_TRUE(stepSaid("Jeden z drzewców oszalał i zabija wszystkie zwierzęta."));
             EXPECT_TRUE(stepSaid("Zdobyłeś 2000 doświadczenia.\n"));
             EXPECT_TRUE(world.has(DruidCompanion));
         },
         400},
        {"stop the mad treant", [this] { return exploreUntil(DruidFriend); },
         [this] {
             EXPECT_TRUE(stepSaid("To drzewiec!\n"));
             EXPECT_TRUE(stepSaid("Drzewiec umiera.\n"));
             EXPECT_TRUE(stepSaid("Dzięki tobie las jest znów bezpieczny"));
             EXPECT_TRUE(stepSaid("Zdobyłeś 5000 doświadczenia.\n"));
             EXPECT_TRUE(world.has(DruidFriend));
             EXPECT_FALSE(world.has(DruidCompanion));
             EXPECT_FALSE(world.has(WorgsBeaten));
         },
         400},
        {"enter the dungeon from the world map", [this] { return intoTheDungeon(); },
         [this] {
             EXPECT_EQ(world.location, LocationDungeon);
             EXPECT_EQ(world.dungeonLevel, 0);
             EXPECT_TRUE(stepSaid("Jesteś w podziemiach na 1 poziomie.\n"));
         }},
        {"walk down to the sixth level", [this] { return downToTheSixthLevel(); },
         [this] {
             EXPECT_EQ(world.location, LocationDungeon);
             EXPECT_EQ(world.dungeonLevel, 5);
             EXPECT_TRUE(stepSaid("Jesteś w podziemiach na 5 poziomie.\n"));
             EXPECT_TRUE(stepSaid("Jesteś w podziemiach na 6 poziomie.\n"));
         },
         3000},
        {"enter the crypt", [this] { return intoTheCrypt(); },
         [this] {
             EXPECT_EQ(world.location, LocationCrypt);
             EXPECT_EQ(world.dungeonLevel, 0);
             EXPECT_TRUE(stepSaid("Jesteś w krypcie na 1 poziomie.\n"));
         },
         1000},
        {"meet the paladin", [this] { return wanderUntil(PaladinCompanion); },
         [this] {
             EXPECT_TRUE(stepSaid("Słyszysz dźwięk metalu i zza rogu wychodzi odziany w zbroje wojownik. Podchodzi do "
                                  "ciebie i mówi: \"Witaj Borys Wojownik! Jeśli ci to nieprzeszkadza będe ci "
                                  "towarzyszył"));
             EXPECT_FALSE(world.has(PaladinHostile));
         }},
        {"fight beside the paladin until his farewell", [this] { return wanderUntil(PaladinFriend); },
         [this] {
             EXPECT_TRUE(stepSaid("Dziękuje za pomoc w zwalczaniu tych plugawych potworów."));
             EXPECT_TRUE(stepSaid("Zdobyłeś 3000 doświadczenia.\n"));
             EXPECT_FALSE(world.has(PaladinCompanion));
             EXPECT_EQ(world.location, LocationCrypt);
         },
         4000},
        {"climb back to the world map", [this] { return upToTheWorldMap(); },
         [this] {
             EXPECT_TRUE(stepSaid("Jesteś w podziemiach na 6 poziomie.\n"));
             EXPECT_TRUE(stepSaid("Jesteś w podziemiach na 1 poziomie.\n"));
             EXPECT_EQ(world.location, LocationWorldMap);
         },
         4000},
        {"go down to the halls of pain", [this] { return downToTheHallsOfPain(); },
         [this] {
             EXPECT_EQ(world.location, LocationHallsOfPain);
             EXPECT_TRUE(stepSaid("Jesteś w salach bólu.\n"));
         }},
        {"wake and kill Terrasque with the druid and the paladin", [this] { return killTerrasque(); },
         [this] {
             EXPECT_TRUE(stepSaid("Widzisz przed sobą COŚ. Potwór jest olbrzymi, ale chyba śpi. Czy chcesz go "
                                  "zaatakować? (t/n)\n"));
             EXPECT_TRUE(
                 stepSaid("Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n"));
             EXPECT_TRUE(stepSaid("zza rogu wychodzi paladyn. Chce ci pomów w walce z potworem.\n"));
             EXPECT_TRUE(stepSaid("Druid zmienił się w Legendarny tygrys.\n"));
             EXPECT_TRUE(stepSaid("Terrasque umiera.\n"));
             EXPECT_TRUE(stepSaid("Udało ci się! Terrasque nie żyje!\n\n(ok)"));
             EXPECT_TRUE(world.has(TerrasqueDead));
             // The deeds that brought the helpers stand, and nobody turned.
             for (const StoryFlag flag : {GroveKnown, DruidFriend, PaladinFriend}) EXPECT_TRUE(world.has(flag)) << flag;
             for (const StoryFlag flag : {PaladinHostile, DruidHostile, PaladinDead, DruidDead, PaladinCompanion,
                                          DruidCompanion})
                 EXPECT_FALSE(world.has(flag)) << flag;
         },
         1000},
        {"save the game and leave to the main menu", [this] { return saveAndQuit(); },
         [this] { EXPECT_TRUE(std::filesystem::exists(std::string("save_") + HeroName)); }},
        {"load the hero again: Terrasque stays dead", [this] { return loadTheHero(); },
         [this] {
             EXPECT_FALSE(std::filesystem::exists(std::string("save_") + HeroName)) << "a loaded save is deleted";
             EXPECT_EQ(world.location, LocationHallsOfPain);
             EXPECT_TRUE(heroCell() == cellWith(LevelMap::SpecialPlace)) << "back where he saved";
             EXPECT_TRUE(world.has(TerrasqueDead));
             EXPECT_EQ(hero.level, MaxLevel);
             EXPECT_EQ(hero.weapon.ref, LongSwordRow);
             EXPECT_TRUE(stepSaid("Borys Człowiek Wojownik, Poziom 30"));
         }},
        {"quit without saving", [this] { return quitWithoutSaving(); },
         [this] { EXPECT_FALSE(std::filesystem::exists(std::string("save_") + HeroName)); }},
    };

    int status = -1;
    const bool cut = runUntilInputEnds([&] { status = runProgram(); });
    EXPECT_FALSE(cut) << "the story stopped in step \"" << currentStep() << "\"";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_, story_.size()) << "the story stopped in step \"" << currentStep() << "\"";
}

}  // namespace
}  // namespace kelvrin::test
