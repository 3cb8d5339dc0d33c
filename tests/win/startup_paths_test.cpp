// Start-up paths as the user meets them in the program's own process: a program path that does
// not fit, and user files kept in a per-user folder when the system folder refuses writes.
#include <fstream>
#include <iterator>

#include "app_state.h"
#include "container.h"
#include "notebook.h"
#include "notebook_file.h"
#include "path_text.h"
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
    std::wstring wide(32768, L'\0');
    wide.resize(GetModuleFileNameW(nullptr, wide.data(), DWORD(wide.size())));
    const std::string expected = pathOfWide(wide.c_str());
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

// The per-user folder is named in a script outside GBK, as a user's name may be.
TEST_F(ProgramTest, UserFilesMoveToAPerUserFolderWhenTheSystemFolderRefusesWrites) {
    const std::string appData = scratch_ + pathOfWide(L"\\앱 데이터 Ünïcödé");
    testSystemFolder = scratch_ + "\\system";
    testPerUserFolder = appData + "\\Kovanta";
    CreateDirectoryW(widePath(testSystemFolder).c_str(), nullptr);
    CreateDirectoryW(widePath(appData).c_str(), nullptr);
    // A folder in the way of this process's temporary notebook: none of its saves could succeed.
    const std::string inTheWay = notebookTemporaryPath((testSystemFolder + "\\MyDocInf.wrk").c_str());
    CreateDirectoryW(widePath(inTheWay).c_str(), nullptr);
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
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_COMPANY), "杭州信盈电脑有限公司");
        SendMessageA(dialog, WM_COMMAND, IDC_NOTE_SAVE, 0);
    };
    openNotebookDialog(app.mainWindow);
    SendMessageA(app.mainWindow, WM_COMMAND, 119, 0);
    ASSERT_EQ(listRowCount(app.list), 2);
    EXPECT_EQ(listCell(app.list, 1, 1), "杭州信盈电脑有限公司");
    EXPECT_EQ(fileBytes(testSystemFolder + "\\MyDocInf.wrk"), notes) << "the system folder's file stays";

    systemFolderOfUserFiles = defaultSystemFolderOfUserFiles;
    perUserFolderOfUserFiles = defaultPerUserFolderOfUserFiles;
    for (const std::string& folder : {appData, testSystemFolder})
        removeTree(folder);
}

// First start-ups of two copies at once, where the system folder takes no file of either: in
// every round both files reach the per-user folder whole and nothing else is left there, also
// in the rounds that begin with a move cut short (the history moved, the notebook not).
TEST_F(ProgramTest, TwoFirstStartUpsAtOnceMoveBothUserFilesWhole) {
    Bytes notes, history = {3, 0, 0, 0, 'a', 'b', 'c'};
    for (int n = 0; n < 300; ++n) { // enough that a copy takes a while
        NotebookEntry entry{};
        setNoteField(entry, kNoteTime, "2024-3-1 8:0");
        setNoteField(entry, kNoteCompany, ("宁波智盛数码科技有限公司" + std::to_string(n)).c_str());
        Bytes bytes = encodeNotebookEntry(entry);
        notes.insert(notes.end(), bytes.begin(), bytes.end());
    }
    const std::string program = winePath(KOVANTA_USER_FOLDER_CHOICE);
    for (int round = 0; round < 25; ++round) {
        const std::string base = scratch_ + "\\round" + std::to_string(round), system = base + "\\system",
                          perUser = base + "\\appdata\\Kovanta";
        for (const std::string& folder : {base, system, base + "\\appdata"})
            CreateDirectoryA(folder.c_str(), nullptr);
        writeBytes(system + "\\MyDocInf.wrk", notes);
        writeBytes(system + "\\MySchInf.wrk", history);
        const bool cutShort = round % 5 == 4;
        if (cutShort) {
            CreateDirectoryA(perUser.c_str(), nullptr);
            writeBytes(perUser + "\\MySchInf.wrk", history);
        }
        PROCESS_INFORMATION copies[2] = {};
        for (PROCESS_INFORMATION& copy : copies) {
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            std::string commandLine = "\"" + program + "\" \"" + system + "\" \"" + perUser + "\"";
            ASSERT_TRUE(CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                       CREATE_SUSPENDED, nullptr, nullptr, &startup, &copy));
            std::string blocked =
                notebookTemporaryPath((system + "\\MyDocInf.wrk").c_str(), copy.dwProcessId);
            CreateDirectoryA(blocked.c_str(), nullptr);
        }
        for (PROCESS_INFORMATION& copy : copies)
            ResumeThread(copy.hThread);
        for (PROCESS_INFORMATION& copy : copies) {
            DWORD status = STILL_ACTIVE;
            if (WaitForSingleObject(copy.hProcess, 30000) == WAIT_OBJECT_0)
                GetExitCodeProcess(copy.hProcess, &status);
            EXPECT_EQ(status, 2u) << "round " << round << ": the per-user folder is chosen";
            CloseHandle(copy.hThread);
            CloseHandle(copy.hProcess);
        }
        EXPECT_EQ(fileBytes(perUser + "\\MyDocInf.wrk"), notes) << "round " << round;
        EXPECT_EQ(fileBytes(perUser + "\\MySchInf.wrk"), history) << "round " << round;
        EXPECT_EQ(folderEntries(perUser), (std::vector<std::string>{"MyDocInf.wrk", "MySchInf.wrk"}))
            << "round " << round;
        EXPECT_EQ(fileBytes(system + "\\MyDocInf.wrk"), notes) << "round " << round;
        removeTree(base);
        if (HasFailure()) break;
    }
}

// What a failing start-up shows where the system makes none of its windows.
LRESULT CALLBACK refuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    char className[32] = {};
    if (code == HCBT_CREATEWND &&
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
        std::string(className) == "VListVwClass")
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ProgramTest, AStartUpWithoutItsWindowsSaysSo) {
    writeBytes(scratch_ + "\\program.bin", programFileOf(sampleCatalogue()));
    std::snprintf(programPath, sizeof programPath, "%s\\program.bin", scratch_.c_str());
    // Classes that cannot be registered: this process has their names taken already.
    EXPECT_EQ(startProgram(app.instance, SW_SHOWNORMAL), 0);
    // A main window that the system refuses.
    UnregisterClassA("VListVwClass", app.instance);
    UnregisterClassA("DetailClass", app.instance);
    HHOOK refusal = SetWindowsHookExA(WH_CBT, refuseMainWindow, nullptr, GetCurrentThreadId());
    EXPECT_EQ(startProgram(app.instance, SW_SHOWNORMAL), 0);
    UnhookWindowsHookEx(refusal);
    ASSERT_EQ(messages.size(), 2u) << "a box each, and no expiry notice for a program that does not start";
    for (const ShownMessage& shown : messages) {
        EXPECT_EQ(shown.text, startupFailureText(StartupFailure::NoWindow));
        EXPECT_EQ(shown.caption, "");
    }
}

TEST_F(ProgramTest, WithoutCodePage936TheUserIsToldInEnglishAndChineseAndNothingStarts) {
    EXPECT_TRUE(chineseTextSupported(true));
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(chineseTextSupported(false));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Kovanta");
    EXPECT_EQ(messages[0].text.rfind("Kovanta shows Chinese text and needs East Asian language support", 0),
              0u);
    EXPECT_NE(messages[0].text.find("本程序需要东亚语言支持"), std::string::npos);
}

// The message loop's ends: the quit message's code, or 1 where GetMessage fails.
int messagesGiven = 0;
BOOL WINAPI aMessageThenAnError(MSG* message, HWND, UINT, UINT) {
    if (messagesGiven++ > 0) return -1;
    *message = MSG{};
    message->message = WM_NULL;
    message->wParam = 7;
    return TRUE;
}

TEST_F(ProgramTest, AnErrorOfTheMessageLoopEndsTheProgramWithStatusOne) {
    EXPECT_EQ(runMessageLoop(aMessageThenAnError), 1);
    PostQuitMessage(3);
    EXPECT_EQ(runMessageLoop(), 3);
}

} // namespace
