// An allocation that fails inside a window procedure: the program's out-of-memory path, and
// nothing thrown into the system's code.
#include <cstdlib>
#include <new>

#include "app_state.h"
#include "platform.h"
#include "program_fixture.h"

namespace {

// Set by a test: the process's next allocation fails as it does when memory runs out.
bool failNextAllocation = false;
int exitStatus = -1;

void recordExit(int status) {
    exitStatus = status;
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
