// The data path runs on a second thread while the start-up thread makes windows. The data store
// ends the process on a failure through the platform seam; on the loading thread the seam only
// notes why and ends that thread, and the start-up thread reports it once the thread is over,
// so the failure's message box and the process's end come from the thread that owns the windows.
#include "data_load.h"

#include <windows.h>

#include "boundary.h"
#include "container.h"
#include "database.h"
#include "fresh_pages.h"
#include "platform.h"
#include "tree_model.h"

namespace {

PlatformSeam ownSeam;
DWORD loadingThreadId = 0;
HANDLE loadingThread = nullptr;
// The loading thread ended the process's way: with a failure to show, or (out of memory below
// the boundary) with its message already shown there.
bool ended = false, failureNoted = false;
StartupFailure failure = StartupFailure::DamagedData;
int endStatus = 0;
LARGE_INTEGER loadStarted{}, loadEnded{};

bool onLoadingThread() {
    return loadingThread && GetCurrentThreadId() == loadingThreadId;
}

void noteFailure(StartupFailure why) {
    if (!onLoadingThread()) return ownSeam.showFailure(why);
    failureNoted = true;
    failure = why;
}

// The thread ends here, without unwinding: what it holds goes with the process, which the
// start-up thread ends at once. Where the start-up thread ends the process itself (out of
// memory while it makes the windows), the loader finishes first: the process's end frees what
// the loader still writes.
void endLoadingThread(int status) {
    if (!onLoadingThread()) {
        if (loadingThread) WaitForSingleObject(loadingThread, INFINITE);
        return ownSeam.exitProcess(status);
    }
    ended = true;
    endStatus = status;
    QueryPerformanceCounter(&loadEnded);
    ExitThread(DWORD(status));
}

DWORD WINAPI loadingThreadMain(void*) {
    return atBoundary(DWORD(0), [] {
        loadCatalogue();
        return DWORD(0);
    });
}

} // namespace

void loadCatalogue() {
    QueryPerformanceCounter(&loadStarted);
    extractContainer();
    loadDatabase();
    buildTreeModel(); // data only: the tree control is filled from it on the start-up thread
    QueryPerformanceCounter(&loadEnded);
}

void startDataLoad() {
    ownSeam = platform;
    ended = failureNoted = false;
    platform.showFailure = noteFailure;
    platform.exitProcess = endLoadingThread;
    loadingThread = CreateThread(nullptr, 0, loadingThreadMain, nullptr, CREATE_SUSPENDED, &loadingThreadId);
    if (loadingThread) {
        freshPages.setHelperPresent(true);
        ResumeThread(loadingThread);
        return;
    }
    platform = ownSeam;
    loadCatalogue();
}

void finishDataLoad() {
    if (loadingThread) {
        // While it waits, this thread takes the page faults of the loader's record arrays.
        while (WaitForSingleObject(loadingThread, freshPages.help() ? 0 : 1) == WAIT_TIMEOUT) {
        }
        freshPages.setHelperPresent(false);
        CloseHandle(loadingThread);
        loadingThread = nullptr;
        platform = ownSeam;
    }
    if (!ended) return;
    if (failureNoted) failStartup(failure, endStatus);
    endProcess(endStatus);
}

double dataLoadMilliseconds() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(loadEnded.QuadPart - loadStarted.QuadPart) * 1000.0 / double(frequency.QuadPart);
}
