// Parsing the publisher's command lines.
#include "command_line.h"

#include <algorithm>

bool parseCommandLine(int argc, char** argv, int first, const std::vector<std::string>& optionNames,
                      size_t maxPositional, CommandLine& line, std::string& error) {
    line = CommandLine{};
    for (int i = first; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.empty() || argument[0] != '-') {
            if (line.positional.size() == maxPositional) {
                error = "unexpected argument \"" + argument + "\"";
                return false;
            }
            line.positional.push_back(argument);
            continue;
        }
        if (std::find(optionNames.begin(), optionNames.end(), argument) == optionNames.end()) {
            error = "unknown option \"" + argument + "\"";
            return false;
        }
        if (line.options.count(argument)) {
            error = "the option " + argument + " is given twice";
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '-' || argv[i + 1][0] == '\0') {
            error = "the option " + argument + " needs a value";
            return false;
        }
        line.options[argument] = argv[++i];
    }
    return true;
}
