// The paths of the user files, chosen at start-up (user_folder.h): the system directory, or
// the per-user folder "%APPDATA%\Kovanta" where the system directory refuses writes.
#pragma once

#include <string>

// Where the folders are looked for; tests point them at folders of their own.
extern std::string (*systemFolderOfUserFiles)();
extern std::string (*perUserFolderOfUserFiles)();
// The Windows system directory, and the application data folder + "\Kovanta".
std::string defaultSystemFolderOfUserFiles();
std::string defaultPerUserFolderOfUserFiles();

// Fills settings.notebookPath and settings.searchHistoryPath.
void setUserFilePaths();
