// Start-up paths as the user meets them in the program's own process: a program path that does
// not fit, and user files kept in a per-user folder when the system folder refuses writes.
#include <fstream>
#include <iterator>

#include "app_state.h"
#include "container.h"
#include "notebook.h"
#include "notebook_file.h"
#include "platform.h"
#include "program_fixture.h"
#include "resource.h"
#include "startup.h"
#include "startup_failure.h"
#include "user_paths.h"

namespace {

struct Exit {
    int status;
};
void throwingExit(int status) {
    throw Exit{status};
}

TEST_F(ProgramTest, AProgramPathThatDoesNotFitIsShownAndNeverCut) {
    platform.exitProcess = throwingExit;
    int status = -1;
    try {
        readProgramPath(12);
    } catch (const Exit& exit) {
        status = exit.status;
    }
    platform.exitProcess = defaultPlatform().exitProcess;
    EXPECT_EQ(status, 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "");
    EXPECT_EQ(messages[0].text, startupFailureText(StartupFailure::PathTooLong));
    EXPECT_STREQ(programPath, "") << "no cut path is left to open";

    // The program's own buffer holds the whole path.
    std::string expected(32768, '\0');
    expected.resize(GetModuleFileNameA(nullptr, expected.data(), DWORD(expected.size())));
    readProgramPath();
    EXPECT_EQ(programPath, expected);
    EXPECT_EQ(messages.size(), 1u);
}

std::string testSystemFolder, testPerUserFolder;
std::string systemFolderOfTest() {
    return testSystemFolder;
}
std::string perUserFolderOfTest() {
    return testPerUserFolder;
}

TEST_F(ProgramTest, UserFilesMoveToAPerUserFolderWhenTheSystemFolderRefusesWrites) {
    testSystemFolder = scratch_ + "\\system";
    testPerUserFolder = scratch_ + "\\appdata\\Kovanta";
    CreateDirectoryA(testSystemFolder.c_str(), nullptr);
    CreateDirectoryA((scratch_ + "\\appdata").c_str(), nullptr);
    // A folder in the way of the notebook's replacement file: no note could be saved there.
    CreateDirectoryA((testSystemFolder + "\\MyDocInf.wrk.new").c_str(), nullptr);
    NotebookEntry entry{};
    setNoteField(entry, 0, "2024-3-1 8:0");
    setNoteField(entry, 1, "宁波智盛数码科技有限公司");
    Bytes notes = encodeNotebookEntry(entry), history = {3, 0, 0, 0, 'a', 'b', 'c'};
    writeBytes(testSystemFolder + "\\MyDocInf.wrk", notes);
    writeBytes(testSystemFolder + "\\MySchInf.wrk", history);
    systemFolderOfUserFiles = systemFolderOfTest;
    perUserFolderOfUserFiles = perUserFolderOfTest;

    start(sampleCatalogue(), {IDNO});
    std::string perUserNotes = testPerUserFolder + "\\MyDocInf.wrk";
    EXPECT_EQ(startupNotebookPath, perUserNotes);
    EXPECT_EQ(fileBytes(perUserNotes), notes) << "the notes are copied before they are used";
    EXPECT_EQ(fileBytes(testPerUserFolder + "\\MySchInf.wrk"), history);

    // The notebook works from there: the note is listed, and a new one is saved beside it.
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s", perUserNotes.c_str());
    SendMessageA(app.mainWindow, WM_COMMAND, 119, 0);
    ASSERT_EQ(listRowCount(app.list), 1);
    EXPECT_EQ(listCell(app.list, 0, 1), "宁波智盛数码科技有限公司");
    dialogDriver = [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NOTE_COMPANY, "杭州信盈电脑有限公司");
        SendMessageA(dialog, WM_COMMAND, IDC_NOTE_SAVE, 0);
    };
    openNotebookDialog(app.mainWindow);
    SendMessageA(app.mainWindow, WM_COMMAND, 119, 0);
    ASSERT_EQ(listRowCount(app.list), 2);
    EXPECT_EQ(listCell(app.list, 1, 1), "杭州信盈电脑有限公司");
    EXPECT_EQ(fileBytes(testSystemFolder + "\\MyDocInf.wrk"), notes) << "the system folder's file stays";

    systemFolderOfUserFiles = defaultSystemFolderOfUserFiles;
    perUserFolderOfUserFiles = defaultPerUserFolderOfUserFiles;
    for (const std::string& file : {perUserNotes, testPerUserFolder + "\\MySchInf.wrk",
                                    testSystemFolder + "\\MyDocInf.wrk", testSystemFolder + "\\MySchInf.wrk"})
        DeleteFileA(file.c_str());
    for (const std::string& folder : {testPerUserFolder, scratch_ + "\\appdata",
                                      testSystemFolder + "\\MyDocInf.wrk.new", testSystemFolder})
        RemoveDirectoryA(folder.c_str());
}

} // namespace
