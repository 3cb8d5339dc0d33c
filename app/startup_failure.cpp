// The start-up's failure messages. Standard error goes nowhere in a windowed program, so each
// failure that ends the start-up is also shown, in a few words the user can act on.
#include "startup_failure.h"

#include <windows.h>

#include "wide_text.h"

const char* startupFailureText(StartupFailure why) {
    switch (why) {
    case StartupFailure::ProgramUnreadable:
        return "无法读取本程序的文件，程序不能启动。\r\n请确认文件还在原处并且可以打开，或重新下载本程序。";
    case StartupFailure::NoData: return "本程序的文件中没有商情数据，程序不能启动。\r\n请重新下载本程序。";
    case StartupFailure::DamagedData:
        return "本程序文件中的商情数据不完整或已损坏，程序不能启动。\r\n请重新下载本程序。";
    case StartupFailure::OutOfMemory: return "内存不足，程序不能启动。\r\n请关闭其他程序后再试。";
    case StartupFailure::PathTooLong:
        return "本程序所在的路径太长，程序不能启动。\r\n请把本程序放到路径较短的文件夹中再运行。";
    case StartupFailure::NoWindow: return "无法创建本程序的窗口，程序不能启动。\r\n请关闭其他程序后再试。";
    }
    return "程序不能启动。\r\n请重新下载本程序。";
}

void showStartupFailure(StartupFailure why) {
    gbkMessageBox(nullptr, startupFailureText(why), "", MB_OK);
}

bool chineseTextSupported(bool codePageInstalled) {
    if (codePageInstalled) return true;
    // No GBK text can be shown, this one included: it is said in English first.
    MessageBoxW(
        nullptr,
        L"Kovanta shows Chinese text and needs East Asian language support, which this Windows "
        L"does not have.\r\nControl Panel \x2192 Regional and Language Options \x2192 Languages: "
        L"install files for East Asian languages, then start Kovanta again.\r\n\r\n"
        L"本程序需要东亚语言支持。请在“控制面板”\x2192“区域和语言选项”\x2192“语言”中安装东亚语言文件，"
        L"然后重新运行本程序。",
        L"Kovanta", MB_OK | MB_ICONERROR);
    return false;
}
