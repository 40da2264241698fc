// Checks that the committed seed saves and graveyards (fuzz/corpus/) still
// load, so that every fuzz run starts from inputs deep inside the readers
// rather than from refused ones:  kelvrin_fuzz_seeds CORPUS_FOLDER
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "fuzz_support.h"

#include "character/graveyard.h"
#include "core/save_file.h"

using namespace kelvrin;

int main(int argc, char** argv) {
    if (argc != 2) return std::cerr << "usage: " << argv[0] << " CORPUS_FOLDER\n", 2;
    fuzz::FuzzGame game;
    int refused = 0, seen = 0;
    for (const char* reader : {"save_file", "graveyard"}) {
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(argv[1]) / reader)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
            ++seen;
            if (reader[0] == 's' ? !decodeSave(bytes, hero, world) : !decodeGraveyard(bytes))
                std::cerr << "seed no longer loads: " << entry.path() << "\n", ++refused;
        }
    }
    std::cout << "fuzz seeds: " << seen - refused << " of " << seen << " load\n";
    return refused == 0 && seen > 0 ? 0 : 1;
}
