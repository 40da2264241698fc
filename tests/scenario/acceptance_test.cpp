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
constexpr int PlateArmourRow = 11, LargeShieldRow = 1, FullHealingRow = 2;  // "Zbroja płytowa", "Tarcza", "Eliksir uzdrowienia"
constexpr int WantedBonus = 6;  // the least enchantment worth buying
constexpr int ElixirsToCarry = 12;
const std::uint32_t Sword = 1u << LongSwordRow;

struct Spot {
    int x = -1, y = -1;
    bool operator==(const Spot&) const = default;
    bool operator<(const Spot& o) const { return y != o.y ? y < o.y : x < o.x; }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool good(const ItemSlot& item, int kind, int ref) { return item.kind == kind && item.ref == ref && item.bonus >= WantedBonus; }
bool carried(const ItemSlot& worn, int kind, int ref) {
    return good(worn, kind, ref) || std::any_of(hero.inventory.begin(), hero.inventory.end(), [&](const ItemSlot& i) { return good(i, kind, ref); });
}
int elixirSlot() {
    for (int i = 0; i < BackpackSlots; ++i)
        if (hero.inventory[i].kind == KindPotion && hero.inventory[i].ref == FullHealingRow) return i;
    return -1;
}
int elixirs() {
    return static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.end(), [](const ItemSlot& i) { return i.kind == KindPotion && i.ref == FullHealingRow; }));
}
// The number of a backpack slot in the inventory's list (occupied slots from 1).
int listNumber(int slot) {
    return 1 + static_cast<int>(std::count_if(hero.inventory.begin(), hero.inventory.begin() + slot, [](const ItemSlot& i) { return !i.empty(); }));
}

// The checkpoint: what a step of the story leaves behind, as plain text.
std::string checkpoint() {
    static const char* const places[] = {"world map", "town", "forest", "road", "dungeon", "mine", "halls of pain", "challenge chamber", "crypt"};
    static const char* const flags[] = {"LandOwned", "HutBuilt", "HouseBuilt", "PalaceBuilt", "PaladinHostile", "DruidHostile", "PaladinDead",
                                        "DruidDead", "PaladinFriend", "DruidFriend", "MineFound", "MineCleared", "MineWorking", "GroveKnown",
                                        "WorgsBeaten", "MayorDead", "GolemsDefeated", "TerrasqueDead", "PaladinCompanion", "DruidCompanion",
                                        "ChiefOffer", "ChiefDead", "SwordTaken"};
    const auto item = [](const ItemSlot& i) {
        const char* name = i.kind == KindWeapon ? weaponTable[i.ref].name : i.kind == KindArmour ? armourTable[i.ref].name : i.kind == KindShield ? shieldTable[i.ref].name : nullptr;
        return name ? std::string(name) + " +" + std::to_string(i.bonus) : std::string("-");
    };
    std::ostringstream out;
    out << hero.name << " L" << hero.level << " xp " << hero.xp << "/" << hero.xpNext << " gold " << hero.gold << " Pw " << hero.hp << "/" << hero.maxHp << " BA "
        << hero.baseAttack << "/" << hero.attackPool << " attr";
    for (int a : hero.attributes) out << " " << a;
    out << " day " << world.day << "/" << world.year << " " << places[world.location + 1];
    if (world.location == LocationDungeon || world.location == LocationCrypt) out << " " << world.dungeonLevel + 1;
    out << (std::filesystem::exists(std::string("save_") + HeroName) ? " saved" : "") << " | flags";
    for (std::size_t b = 0; b < std::size(flags); ++b) out << ((world.storyFlags >> b) & 1 ? std::string(" ") + flags[b] : "");
    out << " | feats";
    for (const FeatDef& f : featTable) out << ((hero.feats & f.bit) ? std::string(" ") + f.name + "," : "");
    out << " masks " << std::hex << hero.weaponFocusMask << "/" << hero.weaponSpecMask << "/" << hero.improvedCritMask << std::dec << " tough "
        << hero.toughnessCount << " | " << item(hero.weapon) << ", " << item(hero.armour) << ", " << item(hero.shield) << ", elixirs " << elixirs();
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
    struct Step {
        std::string name;
        std::function<Reply()> play;
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

    // The key source of the scripted console: answers every key wait with
    // the current step's reply, moving on to the next step when one is over.
    int nextKey() {
        while (!stopped_ && pending_.empty()) {
            fresh_ = std::regex_replace(screen.transcript().substr(mark_), std::regex("\\{[0-9]+\\}"), "");  // without colour marks
            if (current_ == story_.size()) return atMainMenu() ? handOut('0') : stop("the story is over, but the main menu is not shown");
            Step& step = story_[current_];
            if (++answers_ > step.maxAnswers) return stop("no end in sight after " + std::to_string(step.maxAnswers) + " answers");
            const Reply reply = step.play();
            if (stopped_) break;
            if (!reply.over) {
                pending_.assign(reply.keys.begin(), reply.keys.end());
                continue;
            }
            const std::string text = std::regex_replace(screen.transcript().substr(stepStart_), std::regex("\\{[0-9]+\\}"), "");
            for (const std::string& part : step.said) EXPECT_NE(text.find(part), std::string::npos) << step.name << ": " << part;
            if (recording_) std::cout << step.name << ":\n    \"" << checkpoint() << "\"\n";
            else EXPECT_EQ(checkpoint(), step.recorded) << step.name;
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
        ADD_FAILURE() << "step \"" << currentStep() << "\": " << why << "\n--- printed since the last key:\n" << fresh_ << "\n--- screen:\n" << screen.screenText();
        stopped_ = true;
        pending_.clear();
        return KeyEnd;
    }
    std::string currentStep() const { return current_ < story_.size() ? story_[current_].name : "after the story"; }
    Reply unexpected(const std::string& why = "no answer for this screen") {
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

    // ---- what the bot sees --------------------------------------------------
    bool ends(std::string_view end) const { return std::string_view(fresh_).ends_with(end); }
    bool has(std::string_view part) const { return fresh_.find(part) != std::string::npos; }
    bool atMainMenu() const { return ends("1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n"); }
    bool atTown() const { return ends("w - wyjdź z miasta\n\n"); }
    bool atWorldMap() const { return ends("d - droga\np - podziemia\n"); }
    bool atForest() const { return has("Jesteś w lesie.") && ends("m - mapa\n\n"); }
    bool atGrove() const { return ends("a - zatakuj druida\nw - wyjdź\n"); }
    bool inDungeonView() const { return ends("Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście\n"); }
    bool sheetShown() const { return has("\n\nAtuty:\n") && !ends("(ok)"); }
    bool buying() const { return ends("Co chcesz kupić (0-nic)? "); }
    bool confirmBuy() const { return has("Na pewno chcesz kupić ") && ends("(t/n)\n"); }
    // The score shown for an attribute on the creation screen ("SIŁ: 15 (").
    int attributeShown(const std::string& shortName) const {
        std::smatch found;
        return std::regex_search(fresh_, found, std::regex(shortName + ": *([0-9]+) \\(")) ? std::stoi(found[1]) : 0;
    }
    // The numbered lines "N) text" of a list, by text.
    std::map<std::string, int> numberedLines() const {
        std::map<std::string, int> entries;
        static const std::regex line("^([0-9]+)\\) (.*)$");
        for (const std::string& text : linesOf(fresh_))
            if (std::smatch found; std::regex_match(text, found, line)) entries.emplace(found[2], std::stoi(found[1]));
        return entries;
    }
    // The best affordable offer of at least WantedBonus among the lines that
    // match `offer` (groups: the number, the bonus, the price), else "0".
    std::string bestOffer(const std::regex& offer) const {
        std::string best = "0";
        int bestBonus = WantedBonus - 1;
        for (const std::string& text : linesOf(fresh_)) {
            if (std::smatch found; std::regex_match(text, found, offer) && std::stoi(found[2]) > bestBonus && std::stoi(found[3]) <= hero.gold) {
                bestBonus = std::stoi(found[2]);
                best = found[1];
            }
        }
        return best + "\n";
    }

    // ---- answers every step shares --------------------------------------------
    // The screens that can come up anywhere: fights (an elixir below 60% of
    // the Pw, which does not use up the turn, else an attack), messages, the
    // loot (left behind: the backpack is kept for the elixirs), monsters seen.
    std::optional<Reply> common() {
        if (hero.hp < 1 && hero.level > 0) return unexpected("the hero died");
        if (ends("(ok)")) return press(" ");
        if (world.inCombat) return hero.hp * 10 < hero.maxHp * 6 && elixirSlot() >= 0 ? press("eu" + std::to_string(listNumber(elixirSlot())) + "\n x") : press("f");
        if (screen.readingLine() && has("Co chcesz zrobić (liczba - podnieś, e - ekwipunek")) return press("w\n");
        if (ends("Czy chcesz zaatakować? (t/n)\n")) return press("t");
        return std::nullopt;
    }
    Reply commonOrUnexpected() {
        if (auto reply = common()) return *reply;
        return unexpected();
    }

    // Feats, as a fighter with a long sword takes them; "Twardość" can always be taken again.
    std::optional<Reply> featChoice() {
        if (screen.readingLine() && (has("Wybierz nowy atut:\n") || has("Wybierz dodatkowy atut wojownika:\n"))) {
            const std::pair<const char*, bool> wanted[] = {
                {"Potężny atak", !(hero.feats & FeatPowerAttack)}, {"Rozszczepienie", !(hero.feats & FeatCleave)},
                {"Zogniskowanie broni", !(hero.weaponFocusMask & Sword)}, {"Specjalizacja w broni", !(hero.weaponSpecMask & Sword)},
                {"Poprawione trafienia krytyczne", !(hero.improvedCritMask & Sword)}, {"Wielkie rozszczepienie", !(hero.feats & FeatGreatCleave)},
                {"Poprawiona inicjatywa", !(hero.feats & FeatImprovedInitiative)}, {"Walka na ślepo", !(hero.feats & FeatBlindFight)}, {"Twardość", true}};
            const auto listed = numberedLines();
            for (const auto& [name, wants] : wanted)
                if (wants && listed.count(name)) return press(std::to_string(listed.at(name)) + "\n");
            return unexpected();
        }
        if (ends("w - wybierz, inny - anuluj")) return press("w");
        if (screen.readingLine() && has("Wybierz broń: \n")) {
            const auto listed = numberedLines();
            return listed.count("Długi miecz") ? press(std::to_string(listed.at("Długi miecz")) + "\n") : unexpected();
        }
        return std::nullopt;
    }

    // ---- underground -----------------------------------------------------------
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
    // The arrow of the first step on a shortest way to `goal`.
    Reply stepTowards(Spot goal) {
        const Spot at = heroCell();
        if (at == Spot{} || goal == at) return unexpected("no way to the goal");
        const auto cameBy = reachable(at, goal);
        if (!cameBy.count(goal)) return unexpected("no way to the goal");
        Spot cell = goal;
        while (!(cameBy.at(cell).from == at)) cell = cameBy.at(cell).from;
        return press(cameBy.at(cell).key);
    }
    Reply takeStairs(std::int32_t flag) {
        const Spot stairs = cellWith(flag);
        return heroCell() == stairs ? press("u") : stepTowards(stairs);
    }
    // Walks to and fro, each time to the cell farthest from the hero: that is how monsters are met.
    Reply wander() {
        const Spot at = heroCell();
        if (wanderGoal_ == Spot{} || wanderGoal_ == at || !levelMap.walkable(wanderGoal_.x, wanderGoal_.y)) {
            int farthest = 0;
            for (const auto& [cell, link] : reachable(at, Spot{}))
                if (link.steps > farthest) farthest = link.steps, wanderGoal_ = cell;
        }
        return stepTowards(wanderGoal_);
    }

    // ---- the steps of the story ----------------------------------------------
    Reply createHero() {
        if (atMainMenu()) return press("1");
        if (ends("Podaj swoje imię śmiałku: ")) return press(std::string(HeroName) + "\n");
        // Rolls again until the set suits a fighter, as players do.
        if (ends("r - przerzuć cechy, ? - informacje.\n")) return press(attributeShown("SIŁ") >= 15 && attributeShown("KON") >= 14 ? "t" : "r");
        if (ends("\nliczba - wybierz, n - anuluj, c - cofnij.\n")) return press("1");  // Człowiek
        if (ends("Czy chcesz grać jako Człowiek? (t/n)\n") || ends("Czy chcesz grać jako Wojownik? (t/n)")) return press("t");
        if (ends("\nliczba - wybór, n - anuluj, c - cofnij.\n")) return press("2\n");  // Wojownik
        if (auto reply = featChoice()) return *reply;
        return atTown() ? over() : commonOrUnexpected();
    }
    Reply trainToTheTop() {
        if (atTown()) return hero.level < MaxLevel ? press("b") : over();
        if (ends("t - trenuj\ns - oglądaj trofea\nw - wyjdź\n")) return press(hero.level < MaxLevel ? "t" : "w");
        if (ends(" punktów wytrzymałości.\n")) return press(" ");
        // Every fourth level one attribute: KON to an even score, else SIŁ.
        if (ends("Mądrość, Charyzma\n")) return press(hero.attributes[Con] % 2 != 0 ? "k" : "s");
        if (auto reply = featChoice()) return *reply;
        return commonOrUnexpected();
    }
    Reply buyASword() {
        static const std::regex sword("^([0-9]+)\\) (?:Celny )?(?:Ostry )?Długi miecz \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
        const bool done = carried(hero.weapon, KindWeapon, LongSwordRow);
        if (atTown()) return done ? over() : press("a");
        if (ends("k - kup, s - sprzedaj, u - ulepsz, w - wyjdź\n")) return press(done ? "w" : "k");
        if (buying()) return press(bestOffer(sword));  // nothing good enough: out, and in again for a new stock
        return confirmBuy() ? press("t") : commonOrUnexpected();
    }
    Reply buyArmourAndAShield() {
        static const std::regex armour("^([0-9]+)\\) (?:Migotający )?Zbroja płytowa(?: Odporności)? \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
        static const std::regex shield("^([0-9]+)\\) Tarcza \\+([0-9]+) \\(.*\\)_([0-9]+) sz$");
        const bool armourDone = carried(hero.armour, KindArmour, PlateArmourRow), shieldDone = carried(hero.shield, KindShield, LargeShieldRow);
        if (atTown()) return armourDone && shieldDone ? over() : press("d");
        if (ends("p - kup pancerz, t - kup tarcze, s - sprzedaj, u - ulepsz, w - wyjdź\n")) return press(!armourDone ? "p" : !shieldDone ? "t" : "w");
        if (buying()) return press(bestOffer(has("Oto pancerze") ? armour : shield));
        return confirmBuy() ? press("t") : commonOrUnexpected();
    }
    // The backpack slot of a bought piece still to be put on, or -1.
    static int gearToPutOn() {
        for (int i = 0; i < BackpackSlots; ++i) {
            const ItemSlot& item = hero.inventory[i];
            if ((item.kind == KindWeapon && item.ref == LongSwordRow && item.bonus > hero.weapon.bonus) ||
                (item.kind == KindArmour && item.ref == PlateArmourRow && (hero.armour.ref != PlateArmourRow || item.bonus > hero.armour.bonus)) ||
                (item.kind == KindShield && item.ref == LargeShieldRow && item.bonus > hero.shield.bonus))
                return i;
        }
        return -1;
    }
    Reply putOnTheGear() {
        if (atTown()) return gearToPutOn() >= 0 ? press("s") : over();
        if (sheetShown()) return press("e");
        if (ends("Komendy (bptuwx?): ")) return press(gearToPutOn() >= 0 ? "u" : "x");
        if (ends("Który przedmiot: ")) return press(std::to_string(listNumber(gearToPutOn())) + "\n");
        if (ends("Czy chcesz ją zdjąć? (t/n)\n") || ends("Czy chcesz ją schować? (t/n)\n")) return press("t");
        if (ends(" z plecaka.\n") || (has("Zakładasz ") && ends(".\n"))) return press(" ");
        return commonOrUnexpected();
    }
    Reply rescueTheDog() {
        if (atGrove() && world.has(GroveKnown)) return over();
        if (atTown()) return press("w");
        if (atWorldMap()) return press("l");
        if (atForest()) return press("e");
        return ends("Czy chcesz mu pomóc? (t/n)\n") || ends("Czy chcesz iść za nim? (t/n)\n") ? press("t") : commonOrUnexpected();
    }
    Reply buyElixirs() {
        if (atGrove()) return elixirs() < ElixirsToCarry ? press("k") : over();
        if (buying()) {
            if (elixirs() >= ElixirsToCarry) return press("0\n");
            for (const auto& [text, number] : numberedLines())
                if (text.starts_with("Eliksir uzdrowienia +0 ")) return press(std::to_string(number) + "\n");
            return unexpected();
        }
        return has("Na pewno chcesz kupić Eliksir uzdrowienia") && ends("(t/n)\n") ? press("t") : commonOrUnexpected();
    }
    Reply takeTheDruidsQuest() {
        if (atGrove()) return press("z");
        if (ends("Chcesz iść? (t/n)\n")) return press("t");
        return atForest() ? over() : commonOrUnexpected();
    }
    Reply exploreUntil(StoryFlag flag) {
        if (atForest()) return world.has(flag) ? over() : press("e");
        return commonOrUnexpected();
    }
    Reply intoTheDungeon() {
        if (atForest()) return press("m");
        if (atWorldMap()) return press("p");
        return inDungeonView() ? over() : commonOrUnexpected();
    }
    // Stairs after stairs until `done`.
    Reply stairsUntil(std::int32_t stairs, bool done) {
        if (!inDungeonView()) return commonOrUnexpected();
        return done ? over() : takeStairs(stairs);
    }
    Reply wanderUntil(StoryFlag flag) {
        // The paladin's farewell gives experience after its "(ok)".
        if (has("Dziękuje za pomoc w zwalczaniu tych plugawych potworów.") && ends("doświadczenia.\n")) return press(" ");
        if (!inDungeonView()) return commonOrUnexpected();
        return world.has(flag) ? over() : wander();
    }
    Reply downToTheHallsOfPain() {
        if (atWorldMap()) return press("m");
        if (atTown()) return press("s");
        if (sheetShown()) {
            // The game's way to the halls of pain is the world map's "p" and
            // twelve dungeon levels, walked as the first six were above; they
            // add nothing to the story. So the hero is put at the top of the
            // halls: when the town's pass ends (here after a look at the
            // sheet) the game loop enters the place world.location names.
            world.location = LocationHallsOfPain;
            world.dungeonLevel = 0;
            return press("x");
        }
        return inDungeonView() ? over() : commonOrUnexpected();
    }
    Reply killTerrasque() {
        if (inDungeonView()) return world.has(TerrasqueDead) ? over() : stepTowards(cellWith(LevelMap::SpecialPlace));
        if (ends("Czy chcesz go zaatakować? (t/n)\n")) return press("t");
        if (!world.inCombat && ends("w walce z potworem.\n")) return press(" ");  // the helpers are greeted before the fight
        return commonOrUnexpected();
    }
    // Leaves the dungeon view with `answer` to the save question, or comes back by the hero's name.
    Reply leave(const char* answer) {
        if (inDungeonView()) return press("q");
        if (ends("Czy chcesz zapisać grę? (tak/nie/anuluj)\n")) return press(answer);
        return atMainMenu() ? over() : commonOrUnexpected();
    }
    Reply loadTheHero() {
        if (atMainMenu()) return press("1");
        if (ends("Podaj swoje imię śmiałku: ")) return press(std::string(HeroName) + "\n");
        return inDungeonView() ? over() : commonOrUnexpected();
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
    story_ = {
        {"create a human fighter", [this] { return createHero(); }, {},
         "Borys L1 xp 0/1000 gold 50 Pw 14/14 BA 1/1 attr 15 13 14 9 13 8 day 1/113 town | flags | feats Potężny atak, Rozszczepienie, masks 80/0/0 tough 0 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"the experience and gold of a long game",
         [this] {
             // Hundreds of fights and quests would have earned this much
             // experience and gold; the levels themselves are trained below.
             if (!atTown()) return unexpected();
             hero.xp = xpForNextLevel(MaxLevel - 1);
             hero.gold = 1000000;
             return over();
         },
         {},
         "Borys L1 xp 435000/1000 gold 1000000 Pw 14/14 BA 1/1 attr 15 13 14 9 13 8 day 1/113 town | flags | feats Potężny atak, Rozszczepienie, masks 80/0/0 tough 0 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"train at the barracks up to the thirtieth level", [this] { return trainToTheTop(); }, {"Masz 435000/99999999 doświadczenia i 30 poziom.\n"},
         "Borys L30 xp 435000/99999999 gold 1000000 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0", 1500},
        {"buy a sword at the weapon smith", [this] { return buyASword(); }, {},
         "Borys L30 xp 435000/99999999 gold 851053 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"buy armour and a shield at the armour smith", [this] { return buyArmourAndAShield(); }, {"Oto tarcze które mam aktualnie na sprzedaż: \n"},
         "Borys L30 xp 435000/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +0, Zbroja łuskowa +0, Tarcza +0, elixirs 0"},
        {"put on the new gear", [this] { return putOnTheGear(); }, {"Zakładasz "},
         "Borys L30 xp 435000/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 town | flags | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 0"},
        {"rescue the dog from the wolves and follow it to the grove", [this] { return rescueTheDog(); },
         {"Wilk umiera.\n", "Dostrzegasz druida.\n-\"Czekałem na ciebie, podejdź tu.\"\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 574074 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 0", 400},
        {"buy the druid's elixirs of healing", [this] { return buyElixirs(); }, {},
         "Borys L30 xp 435083/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"take the druid's quest against the worgs", [this] { return takeTheDruidsQuest(); }, {"Powinniśmy je znaleźć gdzieś w lesie.\n\n(ok)"},
         "Borys L30 xp 435083/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown DruidCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"beat the worgs with the druid", [this] { return exploreUntil(WorgsBeaten); },
         {"stado worgów próbuje cię otoczyć.\n", "Worg umiera.\n", "Zdobyłeś 2000 doświadczenia.\n"},
         "Borys L30 xp 437586/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags MineFound GroveKnown WorgsBeaten DruidCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 400},
        {"stop the mad treant", [this] { return exploreUntil(DruidFriend); },
         {"To drzewiec!\n", "Drzewiec umiera.\n", "Dzięki tobie las jest znów bezpieczny", "Zdobyłeś 5000 doświadczenia.\n"},
         "Borys L30 xp 443341/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 forest | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 400},
        {"enter the dungeon from the world map", [this] { return intoTheDungeon(); }, {},
         "Borys L30 xp 443341/99999999 gold 564990 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 dungeon 1 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"walk down to the sixth level", [this] { return stairsUntil(LevelMap::StairsDown, world.dungeonLevel == 5); }, {},
         "Borys L30 xp 444816/99999999 gold 571281 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 dungeon 6 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 3000},
        {"enter the crypt", [this] { return stairsUntil(LevelMap::CryptEntrance, world.location == LocationCrypt); }, {"Jesteś w krypcie na 1 poziomie.\n"},
         "Borys L30 xp 445633/99999999 gold 576960 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 1000},
        {"meet the paladin", [this] { return wanderUntil(PaladinCompanion); }, {},
         "Borys L30 xp 445633/99999999 gold 576960 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags DruidFriend MineFound GroveKnown PaladinCompanion | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"fight beside the paladin until his farewell", [this] { return wanderUntil(PaladinFriend); }, {"Zdobyłeś 3000 doświadczenia.\n"},
         "Borys L30 xp 454829/99999999 gold 600235 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 crypt 1 | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 4000},
        {"climb back to the world map", [this] { return atWorldMap() ? over() : stairsUntil(LevelMap::StairsUp, false); }, {},
         "Borys L30 xp 457716/99999999 gold 614822 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 world map | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12", 4000},
        {"go down to the halls of pain", [this] { return downToTheHallsOfPain(); }, {"Jesteś w salach bólu.\n"},
         "Borys L30 xp 457716/99999999 gold 614822 Pw 325/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 12"},
        {"wake and kill Terrasque with the druid and the paladin",
         [&, this] {
             if (inDungeonView()) terrasque = cellWith(LevelMap::SpecialPlace);
             return killTerrasque();
         },
         {"Pojawia się poratl i wychodzi z niego druid, chce ci pomoć w walce z potworem.\n", "Druid zmienił się w Legendarny tygrys.\n", "Terrasque umiera.\n"},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11", 1000},
        {"save the game and leave to the main menu", [this] { return leave("t"); }, {},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain saved | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11"},
        {"load the hero again: Terrasque stays dead",
         [&, this] {
             const Reply reply = loadTheHero();
             EXPECT_TRUE(!reply.over || heroCell() == terrasque) << "back where he saved";
             return reply;
         },
         {"Borys Człowiek Wojownik, Poziom 30"},
         "Borys L30 xp 462125/99999999 gold 614822 Pw 290/325 BA 30/30 attr 22 13 14 9 13 8 day 199/115 halls of pain | flags PaladinFriend DruidFriend MineFound GroveKnown TerrasqueDead | feats Poprawiona inicjatywa, Potężny atak, Rozszczepienie, Wielkie rozszczepienie, Walka na ślepo, masks 80/80/80 tough 15 | Długi miecz +7, Zbroja płytowa +7, Tarcza +10, elixirs 11"},
        {"quit without saving", [this] { return leave("n"); }, {},
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
