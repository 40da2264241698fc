#include "character/program.h"

#include "character/creation.h"
#include "core/console.h"
#include "core/game_state.h"
#include "dungeon/dungeon_view.h"
#include "world/town.h"
#include "world/world_map.h"

namespace kelvrin {

namespace {

constexpr const char* InformationText =
    "Kelvrin\nTekstowa gra rpg\nWersja: 0.2\nAutor: Brannok52\n"
    "Cel gry: Pokonaj mitycznego potwora Terrasque który znajduje się głeboko w podziemiach\n"
    "Zmiany:\n*** WERSJA 0.2 (12.03.11)\n- tarcze,eliksiry,kamienie\n- atuty\n- barbażyńca\n"
    "- las,droga,kopalnia\n- mapy podziemi\n- walka z kilkoma przeciwnikami\n- sojusznicy\n"
    "*** WERSJA 0.1 (17.02.11)\n- pierwsza wersja";

// Writing the save file comes with the save-file support; until then every
// attempt reports the failure of a save that could not be written, and the
// player stays in the game (a failed save must never drop the hero).
bool saveCurrentGame() {
    clearScreen();
    print("Nie mozna zapisac gry!");
    return false;
}

// Loading a saved hero comes with the save file; until then a name that
// has a save file gets the message of a file that cannot be read.
bool loadSavedGame() {
    clearScreen();
    print("Nie mozna wczytac gry!\n");
    getKey();
    return false;
}

void play() {
    switch (createCharacter()) {
        case 1:
            runLocationLoop();
            break;
        case 2:
            if (loadSavedGame()) runLocationLoop();
            break;
        default:
            break;
    }
}

}  // namespace

void saveAndQuitPrompt() {
    print("Czy chcesz zapisać grę? (tak/nie/anuluj)\n");
    switch (askKey("tna")) {
        case 't':
            if (saveCurrentGame()) {
                world.leaveLoop = true;
            } else {
                pauseOk();
            }
            break;
        case 'n':
            world.leaveLoop = true;
            break;
        default:
            break;
    }
}

void runLocationLoop() {
    world.leaveLoop = false;
    for (;;) {
        clearScreen();
        if (hero.hp < 1) return;
        switch (world.location) {
            case LocationWorldMap:
                worldMap();
                break;
            case LocationTown:
                townScreen();
                break;
            case LocationForest:
            case LocationRoad:
                // The forest and the road have no screen of their own yet:
                // the hero is sent back to the world map, so the loop never
                // runs without reading a key.
                world.location = LocationWorldMap;
                break;
            default:
                // Underground. After a load the hero resumes where he saved;
                // otherwise (never by the game's own ways) he starts on the
                // level's stairs up rather than the loop spinning.
                enterDungeon(world.resumeDungeon);
                break;
        }
        if (world.leaveLoop) return;
    }
}

int runProgram() {
    for (;;) {
        clearScreen();
        print("Kelvrin v 0.2\n\n1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n");
        switch (getKey()) {
            case '1':
                play();
                break;
            case '3':
                clearScreen();
                printText(InformationText);
                getKey();
                break;
            case '0':
                return 0;
            default:
                break;
        }
    }
}

}  // namespace kelvrin
