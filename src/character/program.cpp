#include "character/program.h"

#include "character/creation.h"
#include "character/graveyard.h"
#include "character/reader_status.h"
#include "core/console.h"
#include "core/crash_save.h"
#include "core/game_state.h"
#include "core/hero_lock.h"
#include "core/save_file.h"
#include "dungeon/dungeon_view.h"
#include "world/forest.h"
#include "world/road.h"
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

void playHero() {
    switch (createCharacter()) {
        case CreationDone:
            runLocationLoop();
            break;
        case CreationSaveExists:
            if (!loadGame()) return;
            runLocationLoop();
            break;
        default:
            return;
    }
    if (hero.hp < 1) recordDeath();
}

void play() {
    playHero();
    // The hero is out of play (dead, saved, left, or never begun): another
    // copy of the game may take him now. The end of the input unwinds past
    // this and keeps the lock until the crash save is written and the
    // program ends.
    releaseHeroLock();
}

}  // namespace

void saveAndQuitPrompt() {
    print("Czy chcesz zapisać grę? (tak/nie/anuluj)\n");
    switch (askKey("tna")) {
        case 't':
            if (saveGame(false)) {
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
    // From here until the loop ends, whatever ends the program keeps the
    // game in the crash save. The end of the input unwinds past the loop
    // and leaves it armed, for the program's entry point to save.
    beginGameInProgress();
    for (;;) {
        clearScreen();
        if (hero.hp < 1) break;
        switch (world.location) {
            case LocationWorldMap:
                worldMap();
                break;
            case LocationTown:
                townScreen();
                break;
            case LocationForest:
                forestScreen();
                break;
            case LocationRoad:
                roadScreen();
                break;
            default:
                // Underground. After a load the hero resumes where he saved;
                // otherwise (never by the game's own ways) he starts on the
                // level's stairs up rather than the loop spinning.
                enterDungeon(world.resumeDungeon);
                break;
        }
        if (world.leaveLoop) break;
    }
    endGameInProgress();
}

int runProgram() {
    const ReaderTellerScope status(ReaderStatusKey, heroStatusForReader);
    for (;;) {
        clearScreen();
        print("Kelvrin v 0.2\n\n1. Graj\n2. Cmentarz\n3. Info\n0. Wyjście\n");
        switch (getKey("1230")) {
            case '1':
                play();
                break;
            case '2':
                showGraveyard();
                break;
            case '3':
                clearScreen();
                printText(InformationText);
                if (screenReader()) printText(ReaderKeysText);
                pauseOk();
                break;
            case '0':
                return 0;
            default:
                break;
        }
    }
}

}  // namespace kelvrin
