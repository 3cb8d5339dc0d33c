// The real program started as its own process, where a user meets its start-up: a folder that
// holds a file of the user's named "5.msg", a current folder that takes no writes, two copies of
// the large catalogue started at once, a path longer than 255 bytes, a signed program file, and
// the message box of each start-up failure. The boxes, titles and trees are read back from the
// other process; nothing may be left in the folder it ran in.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "appender.h"
#include "catalogue_generator.h"
#include "container.h"
#include "container_writer.h"
#include "database.h"
#include "path_text.h"
#include "platform.h"
#include "program_fixture.h"
#include "startup_failure.h"
#include "stream_writer.h"
#include "wide_text.h"

namespace {

struct WindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (pid == search->pid && IsWindowVisible(window) && std::string(className) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND topWindow(DWORD pid, const char* className) {
    WindowSearch search{pid, className, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// One run of the program in a folder: its message boxes (read and answered "否" or "确定"), its
// main window once shown, its exit status, and what it wrote to standard error.
class ProgramRun {
  public:
    ProgramRun(const std::string& program, const std::string& folder, const std::string& errorFile) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        error_ = CreateFileW(widePath(errorFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        errorFile_ = errorFile;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = error_;
        // In UTF-16, as a user's double click starts it: the path need not fit any code page.
        std::wstring commandLine = L"\"" + widePath(program) + L"\"";
        started_ = CreateProcessW(widePath(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                  nullptr, widePath(folder).c_str(), &startup, &process_);
    }
    ~ProgramRun() {
        if (started_) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        if (error_ != INVALID_HANDLE_VALUE) CloseHandle(error_);
        DeleteFileW(widePath(errorFile_).c_str());
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return started_; }
    HANDLE process() const { return process_.hProcess; }

    // Answers message boxes until the main window shows or the process ends.
    HWND waitForMainWindow(DWORD limitMs = 60000) {
        DWORD begun = GetTickCount();
        while (GetTickCount() - begun < limitMs) {
            if (HWND box = topWindow(process_.dwProcessId, "#32770")) {
                if (boxes.empty() || boxes.back().first != box) {
                    boxes.push_back({box, dialogItemText(box, 0xFFFF)});
                    captions.push_back(windowText(box));
                }
                // Start-up's boxes come before the main window opens.
                if (topWindow(process_.dwProcessId, "VListVwClass")) boxOverMainWindow = true;
                PostMessageA(box, WM_COMMAND, IsWindow(GetDlgItem(box, IDNO)) ? IDNO : IDOK, 0);
            } else if (HWND main = topWindow(process_.dwProcessId, "VListVwClass")) {
                return main;
            }
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }

    // Closes the main window and waits for the end; the exit status.
    DWORD close(HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return exitStatus();
    }
    DWORD exitStatus() {
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD status = STILL_ACTIVE;
        GetExitCodeProcess(process_.hProcess, &status);
        return status;
    }
    std::string standardError() {
        CloseHandle(error_);
        error_ = INVALID_HANDLE_VALUE;
        Bytes bytes = fileBytes(errorFile_);
        return std::string(bytes.begin(), bytes.end());
    }

    std::vector<std::pair<HWND, std::string>> boxes;
    std::vector<std::string> captions;
    bool boxOverMainWindow = false;

  private:
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    HANDLE error_ = INVALID_HANDLE_VALUE;
    std::string errorFile_;
};

// The texts of the top-level items of the tree in another process, through a buffer there.
std::vector<std::string> topTreeTexts(HANDLE process, HWND tree) {
    std::vector<std::string> texts;
    const size_t capacity = 256;
    auto* remote = static_cast<char*>(VirtualAllocEx(
        process, nullptr, sizeof(TVITEMW) + capacity * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return texts;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        TVITEMW request{};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(TVITEMW));
        request.cchTextMax = int(capacity);
        wchar_t text[capacity] = {};
        WriteProcessMemory(process, remote, &request, sizeof request, nullptr);
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote + sizeof(TVITEMW), text, (capacity - 1) * sizeof(wchar_t), nullptr);
        texts.push_back(gbkOf(text));
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return texts;
}

HWND treeOf(HWND main) {
    return FindWindowExA(main, nullptr, "SysTreeView32", nullptr);
}

int treeCount(HWND main) {
    return int(SendMessageA(treeOf(main), TVM_GETCOUNT, 0, 0));
}

// What the program file's catalogue should show: its title and its top-level tree labels,
// from the program's own data path run in this process.
struct Expected {
    std::string title;
    std::vector<std::string> topLabels;
    int expiredCount;
    int treeNodeCount;
};
Expected expectedOf(const std::string& programFile) {
    Expected e;
    extractContainerFrom(programFile.c_str());
    loadDatabase();
    char title[100];
    std::snprintf(title, sizeof title, "%s→%s→Kovanta 更新日期：%s", dataStore.titlePart1,
                  dataStore.titlePart2, dataStore.updateDate);
    e.title = title;
    e.expiredCount = dataStore.expiredCount;
    e.treeNodeCount = dataStore.treeNodeCount;
    for (int32_t n = 0; n < dataStore.treeNodeCount; ++n)
        if (dataStore.treeNodes[n].parent == kNoIndex && categoryAt(dataStore.treeNodes[n].category))
            e.topLabels.push_back(categoryAt(dataStore.treeNodes[n].category)->name);
    freeDatabase();
    return e;
}

Bytes programImage() {
    return fileBytes(winePath(KOVANTA_PROGRAM_IMAGE));
}

Bytes containerOf(const Catalogue& catalogue) {
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    writeDatabaseStream(catalogue, stream, errors);
    return writeContainer({imageForStream(stream)});
}

Bytes packed(const Catalogue& catalogue) {
    return appendContainer(programImage(), containerOf(catalogue));
}

Catalogue smallCatalogue() {
    Catalogue c;
    c.dataName = "real";
    c.titlePart1 = "华东";
    c.titlePart2 = "电脑商情";
    c.updateDate = "2026-12-01";
    c.categories = {{"台式电脑", true}, {"星河", false}, {"打印机", true}, {"彩印", false}};
    c.treeNodes = {{-1, 0}, {0, 1}, {-1, 2}, {2, 3}};
    CompanySource company;
    company.name = "宁波智盛数码科技有限公司";
    c.companies = {company};
    c.links = {{1, 0, "", "991231"}, {3, 0, "", "991231"}};
    return c;
}

class RealProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        root_ = pathOfWide(temp) + "kovanta-real-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        folder_ = root_ + "\\folder";
        CreateDirectoryW(widePath(root_).c_str(), nullptr);
        CreateDirectoryW(widePath(folder_).c_str(), nullptr);
        platform = defaultPlatform();
    }
    void TearDown() override { removeTree(root_); }
    std::string errorFile(int n = 0) const { return root_ + "\\stderr" + std::to_string(n) + ".txt"; }

    // Starts program in folder, checks its title and top-level tree against its catalogue, and
    // closes it: exit status 0.
    void startsAndShowsItsCatalogue(const std::string& program, const std::string& folder) {
        Expected expected = expectedOf(program);
        ProgramRun run(program, folder, errorFile());
        ASSERT_TRUE(run.started()) << program;
        HWND main = run.waitForMainWindow();
        ASSERT_NE(main, nullptr) << "no main window; exit status " << run.exitStatus();
        EXPECT_EQ(windowText(main), expected.title);
        EXPECT_EQ(topTreeTexts(run.process(), treeOf(main)), expected.topLabels);
        EXPECT_EQ(run.close(main), 0u);
    }

    std::string root_, folder_;
};

TEST_F(RealProgramTest, AUsersOwnFiveMsgInTheProgramsFolderIsKeptByteForByte) {
    std::string program = folder_ + "\\Kovanta.exe";
    writeBytes(program, packed(smallCatalogue()));
    Bytes mail = {'F', 'r', 'o', 'm', ':', ' ', 'a', '\r', '\n', 0, 0xFF};
    writeBytes(folder_ + "\\5.msg", mail);
    startsAndShowsItsCatalogue(program, folder_);
    EXPECT_EQ(fileBytes(folder_ + "\\5.msg"), mail);
    EXPECT_EQ(folderEntries(folder_), (std::vector<std::string>{"5.msg", "Kovanta.exe"}));
}

TEST_F(RealProgramTest, ACurrentFolderThatTakesNoWritesDoesNotMatter) {
    // Nothing, not even the administrator, makes a file in the kernel's process folder.
    const std::string readOnly = "Z:\\proc";
    HANDLE probe = CreateFileA((readOnly + "\\kovanta-probe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        DeleteFileA((readOnly + "\\kovanta-probe").c_str());
        GTEST_SKIP() << readOnly << " takes writes here";
    }
    std::string program = folder_ + "\\Kovanta.exe";
    writeBytes(program, packed(smallCatalogue()));
    startsAndShowsItsCatalogue(program, readOnly);
}

TEST_F(RealProgramTest, TwoStartUpsAtOnceBothLoadTheWholeLargeCatalogue) {
    std::string program = folder_ + "\\Kovanta.exe";
    writeBytes(program, packed(generateLargeCatalogue()));
    // The expiry notice counts expired listings and products, which lie all through the data
    // up to its last product: a copy that read less would count fewer.
    Expected expected = expectedOf(program);
    ASSERT_GT(expected.expiredCount, 0);
    char notice[256];
    std::snprintf(
        notice, sizeof notice,
        "已经有%d条过时信息。过时信息将不被显示。\r\n\r\n    建议你下载最新的商情。\r\n      现在下载吗？",
        expected.expiredCount);
    ProgramRun first(program, folder_, errorFile(1));
    Sleep(100); // the second copy starts while the first is still reading its data
    ProgramRun second(program, folder_, errorFile(2));
    for (ProgramRun* run : {&first, &second}) {
        HWND main = run->waitForMainWindow();
        ASSERT_NE(main, nullptr);
        ASSERT_EQ(run->boxes.size(), 1u);
        EXPECT_EQ(run->boxes[0].second, notice);
        EXPECT_FALSE(run->boxOverMainWindow);
        EXPECT_EQ(windowText(main), expected.title);
        EXPECT_EQ(treeCount(main), expected.treeNodeCount);
        EXPECT_EQ(topTreeTexts(run->process(), treeOf(main)), expected.topLabels);
    }
    EXPECT_EQ(first.close(topWindow(GetProcessId(first.process()), "VListVwClass")), 0u);
    EXPECT_EQ(second.close(topWindow(GetProcessId(second.process()), "VListVwClass")), 0u);
    EXPECT_EQ(folderEntries(folder_), std::vector<std::string>{"Kovanta.exe"});
}

TEST_F(RealProgramTest, APathLongerThan255BytesStarts) {
    // Five folders of 25 Chinese characters: about 160 characters in all, under the system's
    // limit, but well over 255 bytes in GBK or UTF-8.
    std::string folder = folder_;
    for (int i = 0; i < 5; ++i) {
        folder += "\\";
        for (int c = 0; c < 25; ++c)
            folder += utf8OfGbk("商");
        ASSERT_TRUE(CreateDirectoryW(widePath(folder).c_str(), nullptr)) << GetLastError();
    }
    std::string program = folder + "\\Kovanta.exe";
    ASSERT_GT(program.size(), 255u);
    ASSERT_LT(widePath(program).size(), size_t(MAX_PATH));
    writeBytes(program, packed(smallCatalogue()));
    startsAndShowsItsCatalogue(program, folder);
    EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"Kovanta.exe"});
}

// Folders named in scripts that a code page may not spell: Hangul is outside GBK, and neither
// is in code page 1252 or 932 whole.
TEST_F(RealProgramTest, StartsFromFoldersNamedInAnyScript) {
    for (const wchar_t* name : {L"\\한국어 자료", L"\\Ünïcödé", L"\\张伟 Ünïcödé 한국어"}) {
        std::string folder = folder_ + pathOfWide(name);
        ASSERT_TRUE(CreateDirectoryW(widePath(folder).c_str(), nullptr)) << GetLastError();
        std::string program = folder + "\\Kovanta.exe";
        writeBytes(program, packed(smallCatalogue()));
        startsAndShowsItsCatalogue(program, folder);
        EXPECT_EQ(folderEntries(folder), std::vector<std::string>{"Kovanta.exe"});
    }
}

// The signed program that tests/signing_test.sh makes with osslsigncode; this test runs there.
TEST_F(RealProgramTest, ASignedProgramStartsWithItsCatalogue) {
    const char* signedProgram = std::getenv("KOVANTA_SIGNED_PROGRAM");
    if (!signedProgram) GTEST_SKIP() << "run by tests/signing_test.sh";
    std::string program = folder_ + "\\Kovanta.exe";
    writeBytes(program, fileBytes(winePath(signedProgram)));
    Expected expected = expectedOf(program);
    EXPECT_FALSE(expected.topLabels.empty());
    startsAndShowsItsCatalogue(program, folder_);
}

TEST_F(RealProgramTest, EveryStartUpFailureIsShownAndLeavesNothingBehind) {
    Bytes image = programImage(), container = containerOf(smallCatalogue());
    // A container cut in the middle of its image data (after the header, the 768-byte colour
    // table and the image descriptor), its trailer kept; a version the program does not know.
    ASSERT_GT(container.size(), 900u);
    Bytes cut = image;
    cut.insert(cut.end(), container.begin(), container.begin() + long(800 + (container.size() - 800) / 2));
    for (int i = 0; i < 4; ++i)
        cut.push_back(uint8_t(image.size() >> (8 * i)));
    Bytes unknown = container;
    unknown[5] = '1';
    Bytes version = appendContainer(image, unknown);
    struct Case {
        const char* what;
        Bytes file;
        StartupFailure shown;
        DWORD status;
        std::string lastDiagnostic;
    } cases[] = {
        {"no container", image, StartupFailure::NoData, 5, "error reading magic number"},
        {"cut short", cut, StartupFailure::DamagedData, 5, "EOF / read error on data"},
        {"unknown version", version, StartupFailure::DamagedData, 5, "版本不是 'Ver39' 或 'Ver40',无法识别!"},
    };
    for (const Case& c : cases) {
        std::string program = folder_ + "\\Kovanta.exe";
        writeBytes(program, c.file);
        ProgramRun run(program, folder_, errorFile());
        ASSERT_TRUE(run.started());
        EXPECT_EQ(run.waitForMainWindow(), nullptr) << c.what;
        EXPECT_EQ(run.exitStatus(), c.status) << c.what;
        ASSERT_EQ(run.boxes.size(), 1u) << c.what;
        EXPECT_EQ(run.boxes[0].second, startupFailureText(c.shown)) << c.what;
        EXPECT_EQ(run.captions[0], "") << c.what;
        EXPECT_FALSE(run.boxOverMainWindow) << c.what;
        std::string diagnostics = run.standardError();
        EXPECT_NE(diagnostics.find(c.lastDiagnostic), std::string::npos) << c.what << ": " << diagnostics;
        EXPECT_EQ(folderEntries(folder_), std::vector<std::string>{"Kovanta.exe"}) << c.what;
    }
}

} // namespace
