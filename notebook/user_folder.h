// Where the two user files, the notebook "MyDocInf.wrk" and the search history "MySchInf.wrk",
// are kept: in the system folder as ever where the program may write there, otherwise in a
// per-user folder of the program's own (a 64-bit program, or one without file virtualization,
// may not write the Windows system directory).
#pragma once

#include <string>

inline constexpr const char* kNotebookFileName = "MyDocInf.wrk";
inline constexpr const char* kSearchHistoryFileName = "MySchInf.wrk";

// Whether both user files can be written in folder: each opens for appending there (one that
// was missing is removed again) and a new file can be made beside them, as the notebook does
// when it replaces its file.
bool userFilesWritable(const std::string& folder);

// The folder for the user files. Once the per-user folder holds one of them, it is used from
// then on; otherwise the system folder when its files can be written; otherwise the per-user
// folder, made when missing, after the files that the system folder holds are copied into it
// so that no note is lost. When that cannot be done the system folder stays (its saves then
// fail as they always did, and the user is told at each).
std::string userFileFolder(const std::string& systemFolder, const std::string& perUserFolder);

// folder and name joined with the platform's separator.
std::string pathIn(const std::string& folder, const char* name);
