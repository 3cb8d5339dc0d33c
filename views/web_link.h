// What the shell is handed for a web address of the catalogue.
#pragma once

#include <string>

// An address with a scheme ("http://…", "https://…", "mailto:…") as it is; any other gets
// "http://" before it, so that the shell does not first look for a file of that name (and
// "www.example.com" is not taken for a program, ".com" being a program's extension).
std::string webLinkTarget(const char* address);
