// The program's calls into comctl32, comdlg32 and shell32, bound at their first call, and the
// runtime's call of a kernel32 function that Windows XP lacks, looked up at run time. Imported
// the usual way these libraries are loaded before the program's first instruction, and under
// Wine comctl32 alone takes about 45 ms to load; bound here, they load on the start-up thread
// while the data thread decodes the catalogue.
//
// The system headers declare these functions as imported, so a call goes through the import
// pointer "__imp_NAME" ("__imp__NAME@ARGBYTES" in the 32-bit build, whose calls are stdcall).
// This file defines those pointers: each first points at a stub that looks the function up,
// puts it in the pointer and calls it. Two threads binding one function at once both store the
// same address. A function called elsewhere but missing here is a link error (comctl32,
// comdlg32) or, for shell32, which the compiler links by default, a usual import again.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>

#include "tick_count.h"
#include "wide_text.h"

namespace {

FARPROC bind(const char* library, const char* function) {
    HMODULE module = LoadLibraryA(library);
    FARPROC address = module ? GetProcAddress(module, function) : nullptr;
    if (!address) {
        // What the system's loader would have said before the program started.
        char text[160];
        std::snprintf(text, sizeof text, "系统文件 %s 缺少 %s，程序不能运行。", library, function);
        gbkMessageBox(nullptr, text, "", MB_OK | MB_ICONERROR);
        ExitProcess(1);
    }
    return address;
}

} // namespace

#ifdef _WIN64
#define KOVANTA_IMPORT_SYMBOL(name, argumentBytes) "__imp_" #name
#else
#define KOVANTA_IMPORT_SYMBOL(name, argumentBytes) "__imp__" #name "@" #argumentBytes
#endif

#define KOVANTA_BOUND_AT_FIRST_CALL(library, argumentBytes, result, name, parameters, arguments)             \
    extern decltype(&::name) name##Pointer asm(KOVANTA_IMPORT_SYMBOL(name, argumentBytes));                  \
    namespace {                                                                                              \
    result WINAPI name##FirstCall parameters {                                                               \
        name##Pointer = reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(bind(library, #name)));  \
        return name##Pointer arguments;                                                                      \
    }                                                                                                        \
    }                                                                                                        \
    decltype(&::name) name##Pointer = name##FirstCall;

KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 0, void, InitCommonControls, (), ())
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 4, BOOL, InitCommonControlsEx,
                            (const INITCOMMONCONTROLSEX* controls), (controls))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 16, HWND, CreateStatusWindowA,
                            (LONG style, LPCSTR text, HWND parent, UINT id), (style, text, parent, id))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 52, HWND, CreateToolbarEx,
                            (HWND parent, DWORD style, UINT id, int bitmaps, HINSTANCE bitmapInstance,
                             UINT_PTR bitmapId, LPCTBBUTTON buttons, int buttonCount, int buttonWidth,
                             int buttonHeight, int bitmapWidth, int bitmapHeight, UINT buttonSize),
                            (parent, style, id, bitmaps, bitmapInstance, bitmapId, buttons, buttonCount,
                             buttonWidth, buttonHeight, bitmapWidth, bitmapHeight, buttonSize))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 20, HIMAGELIST, ImageList_Create,
                            (int width, int height, UINT flags, int initial, int grow),
                            (width, height, flags, initial, grow))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 12, int, ImageList_Add,
                            (HIMAGELIST list, HBITMAP image, HBITMAP mask), (list, image, mask))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 4, BOOL, ImageList_Destroy, (HIMAGELIST list), (list))
KOVANTA_BOUND_AT_FIRST_CALL("comctl32.dll", 12, int, ImageList_ReplaceIcon,
                            (HIMAGELIST list, int index, HICON icon), (list, index, icon))
KOVANTA_BOUND_AT_FIRST_CALL("comdlg32.dll", 4, BOOL, GetSaveFileNameW, (LPOPENFILENAMEW dialog), (dialog))
KOVANTA_BOUND_AT_FIRST_CALL("shell32.dll", 20, HRESULT, SHGetFolderPathW,
                            (HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path),
                            (owner, folder, token, flags, path))
KOVANTA_BOUND_AT_FIRST_CALL("shell32.dll", 24, HINSTANCE, ShellExecuteW,
                            (HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR folder,
                             INT show),
                            (owner, verb, file, parameters, folder, show))

// libstdc++'s thread runtime (winpthreads) calls GetTickCount64, which Windows XP lacks: imported,
// it would stop the program there before its first instruction. Its import pointer is answered
// here instead: the system's function where there is one, else the 32-bit count widened.
extern decltype(&::GetTickCount64) GetTickCount64Pointer asm(KOVANTA_IMPORT_SYMBOL(GetTickCount64, 0));
namespace {
std::atomic<uint64_t> lastTickCount{0};
ULONGLONG WINAPI widenedTickCount() {
    return widenTickCount(GetTickCount(), lastTickCount);
}
ULONGLONG WINAPI GetTickCount64FirstCall() {
    FARPROC system = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64");
    GetTickCount64Pointer =
        system ? reinterpret_cast<decltype(&::GetTickCount64)>(reinterpret_cast<void*>(system))
               : widenedTickCount;
    return GetTickCount64Pointer();
}
} // namespace
decltype(&::GetTickCount64) GetTickCount64Pointer = GetTickCount64FirstCall;
