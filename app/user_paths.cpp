// The user files' paths from the chosen folder.
#include "user_paths.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>

#include "app_state.h"
#include "path_text.h"
#include "user_folder.h"

std::string defaultSystemFolderOfUserFiles() {
    wchar_t directory[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    return length > 0 && length < MAX_PATH ? pathOfWide(directory) : std::string();
}

std::string defaultPerUserFolderOfUserFiles() {
    wchar_t directory[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                directory)))
        return {};
    return pathIn(pathOfWide(directory), "Kovanta");
}

std::string (*systemFolderOfUserFiles)() = defaultSystemFolderOfUserFiles;
std::string (*perUserFolderOfUserFiles)() = defaultPerUserFolderOfUserFiles;

void setUserFilePaths() {
    std::string system = systemFolderOfUserFiles(), perUser = perUserFolderOfUserFiles();
    // A folder whose paths would not fit the settings is not taken.
    if (pathIn(perUser, kNotebookFileName).size() >= sizeof settings.notebookPath) perUser.clear();
    std::string folder = userFileFolder(system, perUser);
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s",
                  pathIn(folder, kNotebookFileName).c_str());
    std::snprintf(settings.searchHistoryPath, sizeof settings.searchHistoryPath, "%s",
                  pathIn(folder, kSearchHistoryFileName).c_str());
}
