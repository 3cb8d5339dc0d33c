// The start-up's choice of the user files' folder as a process of its own, for tests that start
// several at once: kovanta_user_folder_choice SYSTEM PER-USER exits with 1 when it chose the
// system folder, 2 the per-user one.
#include <string>

#include "user_folder.h"

int main(int argc, char** argv) {
    if (argc != 3) return 3;
    std::string chosen = userFileFolder(argv[1], argv[2]);
    return chosen == argv[1] ? 1 : chosen == argv[2] ? 2 : 3;
}
