// The program's windows made in the test process from a catalogue of the test's own, the
// message boxes they show read and answered by a hook, and the controls read back.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalogue.h"

struct ShownMessage {
    std::string caption, text;
    // When the box came up, in GetTickCount's milliseconds.
    DWORD shownAt = GetTickCount();
};

// A catalogue of two product names with brands and companies, used by most tests:
//   台式电脑 (group) -> 星河 (3 companies, the second listing expired), 华拓 (1 company)
//   打印机 (group)   -> 彩印 (1 company)
// Company 0 has four products (one expired), company 3 has none.
Catalogue sampleCatalogue();
inline constexpr const char* kValid = "991231";
inline constexpr const char* kExpired = "000101";

class ProgramTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Writes the catalogue behind a program image, runs the start-up on it with the message
    // boxes answered (IDYES, IDNO ...), and creates the main window.
    void start(const Catalogue& catalogue, std::vector<int> answers = {});
    void selectTreeItem(HTREEITEM item);
    // Sends the list's notification as the control would.
    LRESULT notifyFromList(UINT code, int item = -1, int subItem = 0);
    // A left click on a row's first cell (-1: below the last row), the row scrolled into view.
    void clickListRow(int row);

    // Pumps the test thread's messages until no update check runs or awaits its reply; false
    // when one still does after limitMs.
    bool settleUpdateCheck(DWORD limitMs = 20000);

    // Written as this test's search history and notebook before the main window is made.
    std::vector<uint8_t> historyFile;
    std::vector<uint8_t> notebookFile;
    // The notebook path that the start-up made, before this test's own replaced it.
    std::string startupNotebookPath;
    // The update host that the main window's start-up check asks. Nothing listens on port 80
    // of 127.0.0.2, so by default that check ends at once and silently.
    std::string updateHost = "127.0.0.2";

  public:
    static std::vector<ShownMessage> messages;
    static std::vector<int> answers;
    static std::vector<std::string> shellTargets;
    // Drives the notebook dialog once it is shown: called from a timer on the dialog, inside
    // its own message loop, so it can send it commands and read its controls. Dialogs that it
    // leaves open are ended by a later timer with the result kDialogLeftOpen.
    static std::function<void(HWND dialog)> dialogDriver;
    static constexpr INT_PTR kDialogLeftOpen = 99;

  protected:
    std::string scratch_, previous_;
};

// Reading the controls back.
// UTF-16 read from a control as GBK, the program's own bytes ("?" for a character GBK has not).
std::string gbkOf(const wchar_t* text);
std::string windowText(HWND window);
std::string dialogItemText(HWND dialog, int id);
// A window's text set from GBK, as the user would type it, whatever the test's code page.
void setWindowTextGbk(HWND window, const char* gbk);
std::string menuItemText(HMENU menu, UINT item, UINT flag);
std::vector<std::string> comboBoxItems(HWND box);
std::string treeItemText(HWND tree, HTREEITEM item);
int treeItemImage(HWND tree, HTREEITEM item, bool selected);
HTREEITEM treeChild(HWND tree, HTREEITEM parent, int index); // parent null: top level
std::vector<std::string> treeChildTexts(HWND tree, HTREEITEM parent);
int listRowCount(HWND list);
std::string listCell(HWND list, int row, int column);
std::vector<std::string> listColumn(HWND list, int column);
std::vector<std::string> listColumnTitles(HWND list);
int listColumnWidth(HWND list, int column);
std::string statusText(HWND statusBar, int part);
std::string addressText();
// The companies of the open detail windows.
std::vector<int> detailWindowCompanies();
// The background that custom draw gives a cell, and its text colour.
COLORREF cellBackground(int row, int column);
COLORREF cellTextColour(int row, int column);
// With KOVANTA_WINDOW_SHOTS set to a folder, saves the window as NAME.bmp there, for a person to
// look at; otherwise does nothing.
void saveWindowPicture(HWND window, const char* name);
// What the screen shows in a rectangle of screen coordinates: 24-bit rows, bottom row first.
struct ScreenPicture {
    int width = 0, height = 0;
    size_t stride = 0;
    BITMAPINFOHEADER header{};
    std::vector<uint8_t> bits;
};
ScreenPicture screenPicture(const RECT& area);
using Bytes = std::vector<uint8_t>;
// Paths are the program's own, UTF-8 (path_text.h); a Chinese literal of the tests is GBK,
// so it goes through utf8OfGbk first.
// A file's bytes (none when it cannot be read), and a file written with bytes.
Bytes fileBytes(const std::string& path);
void writeBytes(const std::string& path, const Bytes& bytes);
// A program file of 16 bytes, the catalogue's container and the trailer; empty if the
// catalogue does not fit its fields.
Bytes programFileOf(const Catalogue& catalogue);
// A path that the build gives as one of the machine that runs Wine, as a Windows path.
std::string winePath(const char* path);
// The names in a folder, sorted; a folder removed with all it holds.
std::vector<std::string> folderEntries(const std::string& folder);
void removeTree(const std::string& folder);
// Client rectangle of a child in its parent's client coordinates.
RECT childRect(HWND child);
