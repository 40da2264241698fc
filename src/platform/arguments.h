// The command line's words in UTF-8, whatever letters they hold: on
// Windows the wide command line (the narrow one loses every letter outside
// the console's code page), elsewhere the words as given.
#pragma once

#include <string>
#include <vector>

namespace kelvrin {

// The words after the program's name.
std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace kelvrin
