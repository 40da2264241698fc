// The command line: every option, and the usage text that --help prints.
// Long options in the GNU way ("--seed 7" or "--seed=7"); a usage error is
// told in one line with the usage after it, on the standard error, with
// exit status 2.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvrin {

struct CommandLine {
    bool help = false;
    bool version = false;
    std::optional<std::string> record;     // --record FILE
    std::optional<std::string> replay;     // --replay FILE
    std::optional<std::string> asciicast;  // --asciicast OUT, with --replay
    std::optional<std::string> screens;    // --screens OUT, with --replay
    std::optional<double> speed;           // --speed X, with --replay
    std::optional<std::uint32_t> seed;     // --seed N
    bool daily = false;                    // --daily
    bool screenReader = false;             // --screen-reader
};

// nullopt with the reason (one line, no program name) on a usage error.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments, std::string& error);

// What --help prints.
std::string usageText();
// What --version prints.
std::string versionText();

// The seed of --daily: today's UTC date as the number YYYYMMDD.
std::uint32_t dailySeed(std::int64_t secondsSinceEpoch);

}  // namespace kelvrin
