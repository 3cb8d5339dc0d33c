// The notebook as the user meets it: the dialog's phrases and prefill, saving and closing, a
// save that fails, the seven-column view with its count and address, deleting one note (also
// after a sort) and deleting all.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app_state.h"
#include "list_rows.h"
#include "main_window.h"
#include "notebook.h"
#include "notebook_file.h"
#include "platform.h"
#include "program_fixture.h"
#include "resource.h"
#include "tree_model.h"

namespace {

using Texts = std::vector<std::string>;

void fixedTime(LocalTime* now) {
    *now = LocalTime{2003, 5, 7, 9, 5, 0, 0};
}

NotebookEntry note(const Texts& fields) {
    NotebookEntry entry{};
    for (size_t f = 0; f < fields.size(); ++f)
        setNoteField(entry, int(f), fields[f].c_str());
    return entry;
}

Bytes notesFile(const std::vector<Texts>& notes) {
    Bytes all;
    for (const Texts& n : notes) {
        Bytes one = encodeNotebookEntry(note(n));
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

const std::vector<Texts> kThreeNotes = {
    {"2024-3-1 8:0", "宁波智盛数码科技有限公司", "他向我询价", "印象很好", "明天再谈", "0574-1", "陈女士"},
    {"2024-3-2 9:30", "杭州信盈电脑有限公司", "催款", "言而无信", "", "0571-2", "吴女士"},
    {"2024-3-3 10:15", "合肥佳航科技有限公司", "商谈合同事宜", "继续联系", "报价单", "0551-3", "曹经理"},
};

bool fileExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::string controlText(HWND dialog, int id) {
    return dialogItemText(dialog, id);
}

Texts comboItems(HWND dialog, int id) {
    return comboBoxItems(GetDlgItem(dialog, id));
}

void press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, WPARAM(id), 0);
}

class NotebookWindowTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        start(sampleCatalogue(), {IDNO});
        messages.clear(); // the expiry notice
        platform.localTime = fixedTime;
        notebookFiles = defaultNotebookFiles();
    }
    void TearDown() override {
        notebookFiles = defaultNotebookFiles();
        ProgramTest::TearDown();
    }
    void command(int id) { SendMessageA(app.mainWindow, WM_COMMAND, WPARAM(id), 0); }
    void writeNotebook(const Bytes& bytes) {
        std::ofstream(settings.notebookPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    void selectRow(int row) {
        LVITEMA state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(app.list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&state));
        SendMessageA(app.list, LVM_SETSELECTIONMARK, 0, row);
    }
    // Makes the first company of 星河 the current company, as a click on its row does.
    void chooseFirstCompany() {
        selectTreeItem(treeChild(app.tree, treeChild(app.tree, nullptr, 0), 0));
        clickListRow(0);
        ASSERT_EQ(currentCompany, 0);
    }
};

TEST_F(NotebookWindowTest, DialogPhrasesPrefillAndEscapeWithoutSaving) {
    chooseFirstCompany();
    Texts matters, hints, prefill;
    dialogDriver = [&](HWND dialog) {
        matters = comboItems(dialog, IDC_NOTE_MATTER);
        hints = comboItems(dialog, IDC_NOTE_HINT);
        for (int id : {IDC_NOTE_COMPANY, IDC_NOTE_PHONE, IDC_NOTE_CONTACT, IDC_NOTE_MATTER, IDC_NOTE_REMARK})
            prefill.push_back(controlText(dialog, id));
        press(dialog, IDCANCEL); // Esc
    };
    EXPECT_EQ(openNotebookDialog(app.mainWindow), 1);
    EXPECT_EQ(matters, (Texts{"他向我询价", "我向他询价", "----------", "他向我下订单", "我向他下订单",
                              "------------", "他从我处采购", "我从他处采购", "------------", "商谈合同事宜",
                              "------------", "我电话拜访他", "------------", "催款", "收到款", "款付出"}));
    EXPECT_EQ(hints,
              (Texts{"诚实守信", "言而无信", "--------", "印象很好", "印象一般", "--------", "继续联系"}));
    EXPECT_EQ(prefill, (Texts{"宁波智盛数码科技有限公司", "0574-1", "陈女士", "", ""}));
    EXPECT_FALSE(fileExists(settings.notebookPath)) << "Esc saves nothing";

    // With no company current the boxes start empty; the close button saves nothing either.
    selectTreeItem(treeChild(app.tree, nullptr, 0));
    ASSERT_EQ(currentCompany, kNoCompany);
    prefill.clear();
    dialogDriver = [&](HWND dialog) {
        for (int id : {IDC_NOTE_COMPANY, IDC_NOTE_PHONE, IDC_NOTE_CONTACT})
            prefill.push_back(controlText(dialog, id));
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_REMARK), "不存");
        press(dialog, IDOK); // "关闭(&C)"
    };
    command(IDM_NOTE_WRITE);
    EXPECT_EQ(prefill, (Texts{"", "", ""}));
    EXPECT_FALSE(fileExists(settings.notebookPath));
    EXPECT_TRUE(messages.empty());
}

TEST_F(NotebookWindowTest, SavingWritesTheNoteInFileOrderAndTheViewShowsIt) {
    chooseFirstCompany();
    std::string longRemark(100, '\0');
    for (size_t i = 0; i < 50; ++i)
        std::memcpy(&longRemark[2 * i], "长", 2); // 50 characters: 39 fit in a field
    dialogDriver = [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_NOTE_MATTER, CB_SETCURSEL, 2, 0); // a hyphen line is a phrase too
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_HINT), "自己写的提示");
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_REMARK), longRemark.c_str());
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_CONTACT), "陈经理");
        // Enter in a box presses the default button, which saves and closes.
        HWND company = GetDlgItem(dialog, IDC_NOTE_COMPANY);
        SetFocus(company);
        PostMessageA(company, WM_KEYDOWN, VK_RETURN, 0);
    };
    EXPECT_EQ(openNotebookDialog(app.mainWindow), 1);
    EXPECT_TRUE(messages.empty());
    Texts saved = {"2003-5-7 9:5", "宁波智盛数码科技有限公司", "----------",
                   "自己写的提示", longRemark.substr(0, 78),   "0574-1",
                   "陈经理"};
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile({saved}));

    command(IDM_NOTE_VIEW);
    EXPECT_EQ(listColumnTitles(app.list),
              (Texts{"时间", "单位", "洽谈事宜", "提示", "备注", "电话", "联系人"}));
    std::vector<int> widths;
    for (int c = 0; c < 7; ++c)
        widths.push_back(listColumnWidth(app.list, c));
    EXPECT_EQ(widths, (std::vector<int>{120, 150, 120, 100, 70, 130, 60}));
    ASSERT_EQ(listRowCount(app.list), 1);
    Texts row;
    for (int c = 0; c < 7; ++c)
        row.push_back(listCell(app.list, 0, c));
    EXPECT_EQ(row, saved);
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 1 条信息");
    EXPECT_EQ(addressText(), "→“我的记事本”");
}

TEST_F(NotebookWindowTest, ASaveThatFailsTellsTheUserAndKeepsTheDialogAndItsTexts) {
    const std::string notebookPath = settings.notebookPath;
    writeNotebook(notesFile({kThreeNotes[0]}));
    Bytes before = fileBytes(settings.notebookPath);
    Texts kept;
    bool stillOpen = false;
    notebookFiles.replace = [](const char*, const char*) { return false; };
    dialogDriver = [&](HWND dialog) {
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_COMPANY), "杭州信盈电脑有限公司");
        setWindowTextGbk(GetDlgItem(dialog, IDC_NOTE_REMARK), "要紧的事");
        press(dialog, IDC_NOTE_SAVE);
        stillOpen = IsWindowVisible(dialog);
        kept = {controlText(dialog, IDC_NOTE_COMPANY), controlText(dialog, IDC_NOTE_REMARK)};
        // Once the disk takes it again, the same texts are saved.
        notebookFiles = defaultNotebookFiles();
        press(dialog, IDC_NOTE_SAVE);
    };
    EXPECT_EQ(openNotebookDialog(app.mainWindow), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "写记事本文件时出错，这条记录没有存盘!");
    EXPECT_EQ(messages[0].caption, "");
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(kept, (Texts{"杭州信盈电脑有限公司", "要紧的事"}));
    Bytes after = fileBytes(settings.notebookPath);
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(after,
              notesFile({kThreeNotes[0], {"2003-5-7 9:5", "杭州信盈电脑有限公司", "", "", "要紧的事"}}));

    // A notebook that cannot be opened (here a folder stands in its place).
    messages.clear();
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s", scratch_.c_str());
    dialogDriver = [&](HWND dialog) {
        press(dialog, IDC_NOTE_SAVE);
        stillOpen = IsWindowVisible(dialog);
        press(dialog, IDCANCEL);
    };
    EXPECT_EQ(openNotebookDialog(app.mainWindow), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "打开记事本文件时出错，这条记录没有存盘!");
    EXPECT_TRUE(stillOpen);

    // A typed character the GBK file cannot hold (Hangul): the user is told which, the dialog
    // and its texts stay, nothing is written.
    messages.clear();
    std::snprintf(settings.notebookPath, sizeof settings.notebookPath, "%s", notebookPath.c_str());
    writeNotebook(notesFile({kThreeNotes[0]}));
    before = fileBytes(settings.notebookPath);
    std::wstring remark;
    dialogDriver = [&](HWND dialog) {
        SetDlgItemTextW(dialog, IDC_NOTE_REMARK, L"要\xD55C紧");
        press(dialog, IDC_NOTE_SAVE);
        stillOpen = IsWindowVisible(dialog);
        wchar_t text[16] = {};
        GetDlgItemTextW(dialog, IDC_NOTE_REMARK, text, 16);
        remark = text;
        press(dialog, IDCANCEL);
    };
    EXPECT_EQ(openNotebookDialog(app.mainWindow), 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "记事本不能保存字符“?”，请改写后再存盘。") << "the box reads the Hangul as ?";
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(remark, L"要\xD55C紧");
    EXPECT_EQ(fileBytes(settings.notebookPath), before);
}

TEST_F(NotebookWindowTest, TheViewShowsEveryCompleteEntryWithItsCountAndAddress) {
    Bytes file = notesFile(kThreeNotes);
    file.insert(file.end(), {0x40, 0, 0, 0, 'x'}); // a last entry cut short
    writeNotebook(file);
    command(IDM_NOTE_VIEW);
    EXPECT_EQ(listState.listKind, kNotebook);
    EXPECT_EQ(listColumn(app.list, 1), (Texts{kThreeNotes[0][1], kThreeNotes[1][1], kThreeNotes[2][1]}));
    EXPECT_EQ(listColumn(app.list, 6), (Texts{"陈女士", "吴女士", "曹经理"}));
    EXPECT_EQ(listCell(app.list, 2, 0), "2024-3-3 10:15");
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 3 条信息");
    EXPECT_EQ(addressText(), "→“我的记事本”");

    // Every note, however many.
    std::vector<Texts> many(600, kThreeNotes[1]);
    many.back() = kThreeNotes[2];
    writeNotebook(notesFile(many));
    command(IDM_NOTE_VIEW);
    EXPECT_EQ(listRowCount(app.list), 600);
    EXPECT_EQ(listCell(app.list, 599, 1), kThreeNotes[2][1]);
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 600 条信息");

    // No file: an empty notebook, said so.
    DeleteFileA(settings.notebookPath);
    selectTreeItem(treeChild(app.tree, nullptr, 0));
    EXPECT_EQ(showNotebook(), 0);
    EXPECT_EQ(listRowCount(app.list), 0);
    EXPECT_EQ(listColumnTitles(app.list).size(), 7u);
    EXPECT_EQ(addressText(), "→“我的记事本”");
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 0 条信息");
    EXPECT_TRUE(messages.empty());
}

TEST_F(NotebookWindowTest, DeletingOneTakesTheSelectedRowsOwnNoteAlsoAfterASort) {
    writeNotebook(notesFile(kThreeNotes));
    command(IDM_NOTE_VIEW);
    command(IDM_NOTE_DELETE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "请先点击您想删除的记录!");
    EXPECT_EQ(messages[0].caption, "提示");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile(kThreeNotes));
    // The highlight taken away (a click on empty space): the selection mark stays, nothing goes.
    selectRow(2);
    LVITEMA none{};
    none.stateMask = LVIS_SELECTED;
    SendMessageA(app.list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
    ASSERT_EQ(SendMessageA(app.list, LVM_GETSELECTIONMARK, 0, 0), 2);
    command(IDM_NOTE_DELETE);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "请先点击您想删除的记录!");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile(kThreeNotes));
    messages.resize(1);

    // Sorted by the company column: the rows change places.
    notifyFromList(LVN_COLUMNCLICK, -1, 1);
    Texts sorted = listColumn(app.list, 1);
    int row = int(std::find(sorted.begin(), sorted.end(), kThreeNotes[1][1]) - sorted.begin());
    ASSERT_LT(row, 3);
    ASSERT_NE(row, 1) << "the sort moved the note away from its place in the file";
    selectRow(row);
    command(IDM_NOTE_DELETE);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile({kThreeNotes[0], kThreeNotes[2]}));
    EXPECT_EQ(listColumn(app.list, 1), (Texts{kThreeNotes[0][1], kThreeNotes[2][1]}));
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 2 条信息");

    // The last row, then the only one: an empty file and no rows.
    selectRow(1);
    command(IDM_NOTE_DELETE);
    selectRow(0);
    command(IDM_NOTE_DELETE);
    EXPECT_TRUE(fileExists(settings.notebookPath));
    EXPECT_EQ(fileBytes(settings.notebookPath), Bytes{});
    EXPECT_EQ(listRowCount(app.list), 0);
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 0 条信息");
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(NotebookWindowTest, ADeletionThatCannotRewriteTellsTheUserAndChangesNothing) {
    writeNotebook(notesFile(kThreeNotes));
    command(IDM_NOTE_VIEW);
    // The temporary file's place is taken by a folder.
    std::string temporary = notebookTemporaryPath(settings.notebookPath);
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    selectRow(0);
    command(IDM_NOTE_DELETE);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "打开文件时出错!");
    EXPECT_EQ(messages[0].caption, "");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile(kThreeNotes));
    EXPECT_EQ(listRowCount(app.list), 3);
    RemoveDirectoryA(temporary.c_str());

    // A write that fails.
    notebookFiles.write = [](std::FILE*, const void*, size_t) { return false; };
    command(IDM_NOTE_DELETE);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "写文件时出错，记事本没有改动!");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile(kThreeNotes));
    notebookFiles = defaultNotebookFiles();

    // The file changed since the view was shown: the row's note is not where it was.
    writeNotebook(notesFile({kThreeNotes[1], kThreeNotes[2]}));
    command(IDM_NOTE_DELETE);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2].caption, "提示");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile({kThreeNotes[1], kThreeNotes[2]}));
    EXPECT_EQ(listRowCount(app.list), 2) << "the view is shown again from the file";

    // Outside the notebook view the command deletes nothing.
    selectTreeItem(treeChild(app.tree, nullptr, 0));
    selectRow(0);
    command(IDM_NOTE_DELETE);
    EXPECT_EQ(messages.size(), 3u);
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile({kThreeNotes[1], kThreeNotes[2]}));
}

TEST_F(NotebookWindowTest, DeletingAllAsksFirstAndShowsTheViewWhateverTheAnswer) {
    writeNotebook(notesFile(kThreeNotes));
    selectTreeItem(treeChild(app.tree, nullptr, 0));
    answers = {IDNO};
    command(IDM_NOTE_DELETE_ALL);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "你确定要删除“我的记事本”中的所有记录吗？");
    EXPECT_EQ(messages[0].caption, "提示");
    EXPECT_EQ(fileBytes(settings.notebookPath), notesFile(kThreeNotes));
    EXPECT_EQ(listState.listKind, kNotebook);
    EXPECT_EQ(listRowCount(app.list), 3);

    answers = {IDYES};
    selectTreeItem(treeChild(app.tree, nullptr, 0));
    command(IDM_NOTE_DELETE_ALL);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_TRUE(fileExists(settings.notebookPath)) << "emptied, not removed";
    EXPECT_EQ(fileBytes(settings.notebookPath), Bytes{});
    EXPECT_EQ(listRowCount(app.list), 0);
    EXPECT_EQ(listColumnTitles(app.list).size(), 7u);
    EXPECT_EQ(statusText(app.statusBar, 2), "共有： 0 条信息");
    EXPECT_EQ(addressText(), "→“我的记事本”");
}

} // namespace
