#include "core/command_line.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace kelvrin {

namespace {

bool parseSeed(std::string_view text, std::uint32_t& seed) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
    return !text.empty() && ec == std::errc{} && end == text.data() + text.size();
}

bool parseSpeed(const std::string& text, double& speed) {
    // Digits and at most one point: no sign, no exponent, no "inf".
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
    if (text.find('.') != text.rfind('.') || text == ".") return false;
    // Before any locale is chosen: the point is the decimal point.
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value > 1e6) return false;
    speed = value;
    return true;
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments, std::string& error) {
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::optional<std::string> value;
        if (const std::size_t equals = option.find('='); option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
        }
        const auto takesValue = option == "--record" || option == "--replay" || option == "--asciicast" ||
                                option == "--screens" || option == "--speed" || option == "--seed";
        if (takesValue && !value) {
            if (i + 1 == arguments.size()) {
                error = "option '" + option + "' needs a value";
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (!takesValue && value) {
            error = "option '" + option + "' takes no value";
            return std::nullopt;
        }
        const auto once = [&](auto& field) {
            if (field) {
                error = "option '" + option + "' given twice";
                return false;
            }
            return true;
        };
        if (option == "--help") {
            line.help = true;
        } else if (option == "--version") {
            line.version = true;
        } else if (option == "--record" || option == "--replay" || option == "--asciicast" || option == "--screens") {
            auto& field = option == "--record"      ? line.record
                          : option == "--replay"    ? line.replay
                          : option == "--asciicast" ? line.asciicast
                                                    : line.screens;
            if (!once(field)) return std::nullopt;
            if (value->empty()) {
                error = "option '" + option + "' needs a file name";
                return std::nullopt;
            }
            field = *value;
        } else if (option == "--speed") {
            double speed = 0;
            if (!once(line.speed)) return std::nullopt;
            if (!parseSpeed(*value, speed)) {
                error = "--speed takes a number from 0 to 1000000 (0: at once), not '" + *value + "'";
                return std::nullopt;
            }
            line.speed = speed;
        } else if (option == "--seed") {
            std::uint32_t seed = 0;
            if (!once(line.seed)) return std::nullopt;
            if (!parseSeed(*value, seed)) {
                error = "--seed takes a whole number from 0 to 4294967295, not '" + *value + "'";
                return std::nullopt;
            }
            line.seed = seed;
        } else if (option == "--daily") {
            line.daily = true;
        } else if (option == "--screen-reader") {
            line.screenReader = true;
        } else if (option.rfind("-", 0) == 0) {
            error = "unknown option '" + option + "'";
            return std::nullopt;
        } else {
            error = "unexpected argument '" + option + "'";
            return std::nullopt;
        }
    }
    if (line.help || line.version) return line;
    if (line.seed && line.daily) {
        error = "--seed and --daily cannot be given together";
    } else if (line.replay && (line.seed || line.daily)) {
        error = "a replay plays the recording's own game: no --seed or --daily";
    } else if (line.replay && line.screenReader) {
        error = "a replay plays in the recording's own mode: no --screen-reader";
    } else if (!line.replay && (line.asciicast || line.screens || line.speed)) {
        error = line.asciicast ? "--asciicast needs --replay"
                : line.screens ? "--screens needs --replay"
                               : "--speed needs --replay";
    } else if ((line.asciicast || line.screens) && line.record) {
        error = line.asciicast ? "--asciicast and --record cannot be given together"
                               : "--screens and --record cannot be given together";
    } else if (line.asciicast && line.screens) {
        error = "--asciicast and --screens cannot be given together";
    } else if (line.replay && line.record && *line.replay == *line.record) {
        error = "--record must name another file than --replay";
    } else if (line.replay && line.asciicast && *line.replay == *line.asciicast) {
        error = "--asciicast must name another file than --replay";
    } else if (line.replay && line.screens && *line.replay == *line.screens) {
        error = "--screens must name another file than --replay";
    } else {
        return line;
    }
    return std::nullopt;
}

std::string usageText() {
    return "Usage: kelvrin [OPTION]...\n"
           "A turn-based text role-playing game in Polish, in a terminal of 80x25.\n"
           "\n"
           "  --record FILE     record the game in FILE (a new file) as it is played\n"
           "  --replay FILE     play the recorded game in FILE back, checking every screen\n"
           "  --speed X         replay X times as fast as recorded (0: at once; default 1)\n"
           "  --asciicast OUT   with --replay: write the game to OUT as an asciicast (v2)\n"
           "  --screens OUT     with --replay: write each screen, as text, to OUT\n"
           "  --seed N          play the game of seed N (0 to 4294967295)\n"
           "  --daily           play the seed of today's date (UTC), YYYYMMDD\n"
           "  --screen-reader   plain lines for a screen reader: no redrawn screen, the\n"
           "                    dungeon told in words, status on the keys j and h\n"
           "  --help            show this help and exit\n"
           "  --version         show the version and exit\n"
           "\n"
           "With --replay and --record, the game is recorded anew from the replay, with\n"
           "fresh check values. A replay exits with 0 when every check matched.\n";
}

std::string versionText() { return std::string("kelvrin ") + KELVRIN_VERSION + "\n"; }

std::uint32_t dailySeed(std::int64_t secondsSinceEpoch) {
    // The civil date of a day number (Howard Hinnant's algorithm): no
    // time zone or locale of the machine enters.
    const std::int64_t days = (secondsSinceEpoch >= 0 ? secondsSinceEpoch : secondsSinceEpoch - 86399) / 86400;
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    return static_cast<std::uint32_t>(year * 10000 + month * 100 + day);
}

}  // namespace kelvrin
