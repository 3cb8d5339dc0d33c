// What the shell is handed for the catalogue's web and e-mail addresses: only what a browser or
// a mail program opens, never a text that makes the shell open a file, a folder, a search or
// another program.
#pragma once

#include <string>

// A web address: "http:", "https:" and "ftp:" ones as they are (any case); one without a scheme
// with "http://" before it, so that the shell does not first look for a file of that name
// ("www.example.com" would be a program: ".com"); a host with a port ("www.example.com:8080")
// has no scheme. Empty (not a link) for an empty address, any other scheme ("file:",
// "search-ms:", "mailto:", a drive "C:", another program's protocol), a quote or a control
// character.
std::string webLinkTarget(const char* address);
// An e-mail address: "mailto:" and the address (one that begins "mailto:" is not given a second
// one); empty for an empty address, a quote or a control character.
std::string mailLinkTarget(const char* address);
