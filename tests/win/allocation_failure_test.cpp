// An allocation that fails inside a window procedure: the program's out-of-memory path, and
// nothing thrown into the system's code. A failure on the data's loading thread, shown and
// ended from the start-up thread; one on the start-up thread, ended once the loader is done.
#include <cstdlib>
#include <new>

#include "app_state.h"
#include "boundary.h"
#include "container.h"
#include "data_load.h"
#include "platform.h"
#include "program_fixture.h"

namespace {

// Set by a test: the process's next allocation fails as it does when memory runs out.
bool failNextAllocation = false;
int exitStatus = -1;

void recordExit(int status) {
    exitStatus = status;
}

// The process's end, as a test sees it: thrown back to the test from where it would end.
struct ProcessEnded {
    int status;
};
std::vector<std::pair<StartupFailure, DWORD>> failuresShown; // and the thread that showed each
std::vector<std::string> textsShown;

void recordFailure(StartupFailure why) {
    failuresShown.push_back({why, GetCurrentThreadId()});
}

void recordText(const char* text) {
    textsShown.push_back(text);
}

} // namespace

// The replacements pair malloc with free; the compiler cannot see that they belong together.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

TEST_F(ProgramTest, AnAllocationFailingInTheMainWindowsProcedureShowsOutOfMemoryAndEnds) {
    start(sampleCatalogue());
    selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0));
    ASSERT_EQ(listRowCount(app.list), 2);
    size_t shownBefore = messages.size(); // the expiry notice
    platform.exitProcess = recordExit;
    exitStatus = -1;
    failNextAllocation = true; // the column sort's first allocation
    LRESULT result = notifyFromList(LVN_COLUMNCLICK, -1, 2);
    bool failed = !failNextAllocation;
    failNextAllocation = false;
    platform.exitProcess = defaultPlatform().exitProcess;

    ASSERT_TRUE(failed) << "the sort made no allocation";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(exitStatus, 0);
    ASSERT_EQ(messages.size(), shownBefore + 1);
    EXPECT_EQ(messages.back().caption, "");
    EXPECT_EQ(messages.back().text, "内存不足!");
}

TEST_F(ProgramTest, AFailureOnTheLoadingThreadIsShownAndEndsTheProcessFromTheStartUpThread) {
    writeBytes("program.bin", Bytes(4096, 'M')); // a program file without a container
    std::snprintf(programPath, sizeof programPath, "%s", "program.bin");
    PlatformSeam before = platform;
    platform.showFailure = recordFailure;
    platform.showMessage = recordText;
    platform.exitProcess = [](int status) { throw ProcessEnded{status}; };
    const PlatformSeam testSeam = platform;
    failuresShown.clear();
    exitStatus = -1;
    try {
        startDataLoad();
        finishDataLoad();
    } catch (const ProcessEnded& ended) {
        exitStatus = ended.status;
    }
    EXPECT_EQ(exitStatus, 5);
    ASSERT_EQ(failuresShown.size(), 1u);
    EXPECT_EQ(failuresShown[0].first, StartupFailure::NoData);
    EXPECT_EQ(failuresShown[0].second, GetCurrentThreadId());
    EXPECT_EQ(platform.showFailure, testSeam.showFailure); // the seam is the start-up thread's again

    // Out of memory on the loading thread: its message there, the end here, no failure to show.
    writeBytes("program.bin", programFileOf(sampleCatalogue()));
    failuresShown.clear();
    textsShown.clear();
    exitStatus = -1;
    failNextAllocation = true;
    try {
        startDataLoad();
        finishDataLoad();
    } catch (const ProcessEnded& ended) {
        exitStatus = ended.status;
    }
    bool failed = !failNextAllocation;
    failNextAllocation = false;
    platform = before;
    ASSERT_TRUE(failed) << "the data path made no allocation";
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(failuresShown.empty());
    EXPECT_EQ(textsShown, std::vector<std::string>{"内存不足!"});
    DeleteFileA("program.bin");
}

namespace {

DWORD loaderThreadId = 0;
bool loaderOverAtTheEnd = false;

void noteLoaderThread(LocalTime* now) {
    loaderThreadId = GetCurrentThreadId();
    defaultPlatform().localTime(now);
}

void endAfterLookingAtTheLoader(int status) {
    exitStatus = status;
    HANDLE loader = loaderThreadId ? OpenThread(SYNCHRONIZE, FALSE, loaderThreadId) : nullptr;
    loaderOverAtTheEnd = loader && WaitForSingleObject(loader, 0) == WAIT_OBJECT_0;
    if (loader) CloseHandle(loader);
}

} // namespace

TEST_F(ProgramTest, OutOfMemoryOnTheStartUpThreadEndsTheProcessOnlyOnceTheLoaderIsDone) {
    writeBytes("program.bin", programFileOf(sampleCatalogue()));
    std::snprintf(programPath, sizeof programPath, "%s", "program.bin");
    PlatformSeam before = platform;
    platform.localTime = noteLoaderThread;
    platform.showMessage = recordText;
    platform.exitProcess = endAfterLookingAtTheLoader;
    loaderThreadId = 0;
    loaderOverAtTheEnd = false;
    textsShown.clear();
    exitStatus = -1;
    startDataLoad();
    // A window procedure of the start-up thread runs out of memory while the data loads.
    atBoundary(0, []() -> int { throw std::bad_alloc(); });
    finishDataLoad();
    platform = before;
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(loaderOverAtTheEnd) << "the process ended while the loader still ran";
    EXPECT_EQ(textsShown, std::vector<std::string>{"内存不足!"});
    DeleteFileA("program.bin");
}
