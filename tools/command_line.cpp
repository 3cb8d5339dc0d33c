// Parsing the publisher's command lines.
#include "command_line.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "path_text.h"
#endif

void useUtf8Arguments([[maybe_unused]] int& argc, [[maybe_unused]] char**& argv) {
#ifdef _WIN32
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return;
    // Kept for the life of the process, as argv is.
    static std::vector<std::string> arguments;
    static std::vector<char*> pointers;
    for (int i = 0; i < count; ++i)
        arguments.push_back(pathOfWide(wide[i]));
    LocalFree(wide);
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
#endif
}

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
