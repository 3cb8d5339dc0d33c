// Where the two user files, the notebook "MyDocInf.wrk" and the search history "MySchInf.wrk",
// are kept: in the system folder as ever where the program may write there, otherwise in a
// per-user folder of the program's own (a 64-bit program, or one without file virtualization,
// may not write the Windows system directory).
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kNotebookFileName = "MyDocInf.wrk";
inline constexpr const char* kSearchHistoryFileName = "MySchInf.wrk";

// Whether the user files can be changed in folder: neither is read-only or something other than
// a file, and a new file can be made beside them. The new file is this process's own temporary
// file of the notebook, the one its saves write before they replace the notebook with it; the
// real files are never opened, since a file held open is one that another copy's save cannot
// replace.
bool userFilesWritable(const std::string& folder);

// The folder for the user files, chosen under the start-ups' lock, so that two copies starting
// at once see each other's move whole. The per-user folder once it holds the notebook, or the
// history while the system folder holds no notebook; otherwise the system folder when its files
// can be changed; otherwise the per-user folder, made when missing, after the files it lacks are
// copied into it from the system folder, the history first and the notebook last. A per-user
// folder with the history but without the notebook that the system folder holds is a move cut
// short: it is finished here. Each copy goes through this process's temporary file, which
// replaces its target in one step, and no file but that temporary one is ever removed. When the
// move cannot be done the system folder stays (its saves then fail as they always did, and the
// user is told at each).
std::string userFileFolder(const std::string& systemFolder, const std::string& perUserFolder);

// folder and name joined with the platform's separator.
std::string pathIn(const std::string& folder, const char* name);

enum class PathKind {
    kNone,         // nothing there
    kFile,         // a file that may be changed
    kReadOnlyFile, // a file that may not
    kOther,        // a folder, or what cannot be looked at
};

// What the choice asks of the system; tests replace parts of it.
struct UserFolderFiles {
    // The lock that one start-up at a time holds while it chooses the folder and moves the files
    // (a named mutex of the session on Windows), waiting up to kNotebookLockWaitMs for it; false
    // when it cannot be had.
    bool (*lock)(intptr_t* held);
    void (*unlock)(intptr_t held);
    // What is at path, found without opening it.
    PathKind (*look)(const char* path);
    // Makes the folder; whether it takes files is tested apart.
    void (*makeFolder)(const char* folder);
};
extern UserFolderFiles userFolderFiles;
UserFolderFiles defaultUserFolderFiles();
