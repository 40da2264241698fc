// Checks that the committed seed saves and graveyards (fuzz/corpus/) are
// still files the game accepts, so that every fuzz run starts from inputs
// deep inside the readers rather than from refused ones:
//   kelvrin_fuzz_seeds CORPUS_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "fuzz_support.h"

#include "character/graveyard.h"
#include "core/save_file.h"

using namespace kelvrin;
namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER\n";
        return 2;
    }
    fuzz::FuzzGame game;
    int refused = 0;
    int seen = 0;
    for (const char* reader : {"save_file", "graveyard"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(argv[1]) / reader)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            const bool loads = reader[0] == 's' ? decodeSave(bytes, hero, world).has_value() : decodeGraveyard(bytes).has_value();
            ++seen;
            if (!loads) {
                std::cerr << "seed no longer loads: " << entry.path() << "\n";
                ++refused;
            }
        }
    }
    std::cout << "fuzz seeds: " << seen - refused << " of " << seen << " load\n";
    return refused == 0 && seen > 0 ? 0 : 1;
}
