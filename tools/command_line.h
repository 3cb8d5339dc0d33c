// The publisher's command lines: positional arguments and options that each take one value.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

struct CommandLine {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    // The option's value, or null when it was not given.
    const char* value(const std::string& name) const {
        auto at = options.find(name);
        return at == options.end() ? nullptr : at->second.c_str();
    }
};

// Parses argv[first..argc) against the names of the options, each of which takes a value.
// Refused, with the reason in error: an unknown option, an option given twice, an option
// without its value (at the end, or followed by something that starts with '-', which is the
// next option rather than a value), and more than maxPositional other arguments.
bool parseCommandLine(int argc, char** argv, int first, const std::vector<std::string>& optionNames,
                      size_t maxPositional, CommandLine& line, std::string& error);

// On Windows, replaces argv with the command line's arguments as UTF-8 (the form of every path
// inside the tools), taken from its UTF-16 form: the code page's argv turns a name it cannot
// spell into "?". Elsewhere argv is left as it is.
void useUtf8Arguments(int& argc, char**& argv);
