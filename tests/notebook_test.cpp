// The notebook file: its bytes, reading damaged and oversized entries, adding and removing notes
// without losing any other, failures at every write, and the rows of the notebook view.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "database.h"
#include "fileio.h"
#include "list_rows.h"
#include "list_sort.h"
#include "notebook_file.h"
#include "test_support.h"
#include "user_folder.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kPath = "MyDocInf.wrk";

NotebookEntry note(std::vector<std::string> fields) {
    NotebookEntry entry{};
    for (size_t f = 0; f < fields.size(); ++f)
        setNoteField(entry, int(f), fields[f].c_str());
    return entry;
}

// A note whose fields name it, so that file order can be read back.
NotebookEntry numbered(int n) {
    std::string k = std::to_string(n);
    return note({"2024-1-" + k + " 8:0", "单位" + k, "他向我询价", "印象很好", "备注" + k, "0571-" + k,
                 "联系人" + k});
}

void put32(Bytes& bytes, int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.push_back(uint8_t(uint32_t(value) >> (8 * i)));
}

// One field as stored: the length, then the text.
void putField(Bytes& bytes, const std::string& text) {
    put32(bytes, int32_t(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
}

Bytes entryBytes(const std::vector<std::string>& fields) {
    Bytes bytes;
    for (const std::string& f : fields)
        putField(bytes, f);
    put32(bytes, 0);
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<std::vector<std::string>> readAll(const char* path) {
    std::vector<std::vector<std::string>> entries;
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return entries;
    NotebookReader reader(file);
    NotebookEntry entry;
    while (reader.next(&entry)) {
        entries.emplace_back();
        for (const char* f : entry.fields)
            entries.back().push_back(f);
    }
    std::fclose(file);
    return entries;
}

std::string times(const std::string& text, int count) {
    std::string all;
    for (int i = 0; i < count; ++i)
        all += text;
    return all;
}

class NotebookTest : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        notebookFiles = defaultNotebookFiles();
    }
    void TearDown() override {
        notebookFiles = defaultNotebookFiles();
        ScratchDirTest::TearDown();
    }
    bool onlyTheNotebookIsLeft() const {
        for (const auto& e : fs::directory_iterator(dir_))
            if (e.path().filename() != kPath) return false;
        return true;
    }
};

TEST_F(NotebookTest, SavedEntriesAreLengthPrefixedFieldsInFileOrder) {
    char stamp[32];
    formatNoteTime(LocalTime{2003, 5, 7, 9, 5, 30, 0}, stamp, sizeof stamp);
    EXPECT_STREQ(stamp, "2003-5-7 9:5");

    // An all-empty note is the time stamp field and 28 bytes: six zero lengths and the end mark.
    ASSERT_EQ(saveNote(kPath, note({stamp})), NoteResult::kDone);
    Bytes expected = concat({hexBytes("0c000000"), Bytes(stamp, stamp + 12), Bytes(28, 0)});
    EXPECT_EQ(readWholeFile(kPath), expected);

    // A second note goes after the first, its texts as GBK bytes without terminators.
    ASSERT_EQ(saveNote(kPath, note({"2003-5-7 9:6", "宁波智盛", "----------", "", "", "0574-1", "陈女士"})),
              NoteResult::kDone);
    expected = concat(
        {expected, entryBytes({"2003-5-7 9:6", "宁波智盛", "----------", "", "", "0574-1", "陈女士"})});
    EXPECT_EQ(readWholeFile(kPath), expected);
    EXPECT_TRUE(onlyTheNotebookIsLeft()) << "no temporary file stays behind";
}

TEST_F(NotebookTest, LongTextsAreCutAt79BytesOnACharacterBoundary) {
    // 40 characters are 80 bytes: the 40th does not fit whole, so 39 (78 bytes) are kept.
    std::string forty = times("汉", 40);
    NotebookEntry entry = note({"t", forty, "a" + forty});
    EXPECT_EQ(std::string(entry.fields[kNoteCompany]), times("汉", 39));
    EXPECT_EQ(std::string(entry.fields[kNoteMatter]), "a" + times("汉", 39))
        << "79 bytes when they end whole";
    ASSERT_EQ(saveNote(kPath, entry), NoteResult::kDone);
    Bytes bytes = readWholeFile(kPath);
    EXPECT_EQ(bytes[4 + 1], 78) << "the stored length of the cut company";
}

TEST_F(NotebookTest, OversizedNegativeAndCutShortFieldsNeverOverrunACell) {
    std::string hundred = times("汉", 50); // 100 bytes: the 79th byte starts a character
    Bytes file = concat({
        entryBytes({"t1", hundred, std::string("x\0y", 3), "a" + hundred, "", "", ""}),
        // A negative length is an empty field; the entry goes on after it.
        [] {
            Bytes b;
            putField(b, "t2");
            put32(b, -5);
            for (int f = 0; f < 5; ++f)
                putField(b, "f");
            put32(b, 0);
            return b;
        }(),
        // A length that runs past the end of the file: the entry is cut short and not shown.
        [] {
            Bytes b;
            putField(b, "t3");
            put32(b, 0x7fffffff);
            b.insert(b.end(), 20, 'z');
            return b;
        }(),
    });
    writeWholeFile(kPath, file);
    auto entries = readAll(kPath);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0][1], times("汉", 39)) << "78 bytes: the half character is left out";
    EXPECT_EQ(entries[0][2], "x") << "the text ends at a zero byte";
    EXPECT_EQ(entries[0][3], "a" + times("汉", 39)) << "79 bytes that end on a whole character";
    EXPECT_EQ(entries[1], (std::vector<std::string>{"t2", "", "f", "f", "f", "f", "f"}));

    // Every way the end of the file can cut the last entry short leaves only the entries before.
    Bytes whole =
        concat({entryBytes({"a", "b", "c", "d", "e", "f", "g"}), entryBytes({"h", "i", "", "", "", "", ""})});
    size_t firstSize = whole.size() - entryBytes({"h", "i", "", "", "", "", ""}).size();
    for (size_t cut = firstSize; cut < whole.size(); ++cut) {
        writeWholeFile(kPath, Bytes(whole.begin(), whole.begin() + long(cut)));
        EXPECT_EQ(readAll(kPath).size(), 1u) << "cut at " << cut;
    }
}

TEST_F(NotebookTest, ViewRowsAreEveryCompleteEntryInFileOrder) {
    ASSERT_TRUE(ensureRowTable());
    EXPECT_FALSE(loadNotebookRows(kPath)) << "no file";
    EXPECT_EQ(listState.rowCount, 0);
    EXPECT_EQ(listState.listKind, kNotebook);

    Bytes file;
    for (int n = 0; n < 600; ++n)
        file = concat({file, encodeNotebookEntry(numbered(n))});
    Bytes tail = {0x05, 0, 0, 0, 'c'}; // a last entry cut short
    writeWholeFile(kPath, concat({file, tail}));
    listState.sortColumn = 3;
    ASSERT_TRUE(loadNotebookRows(kPath));
    ASSERT_EQ(listState.rowCount, 600);
    EXPECT_EQ(listState.sortColumn, kNoSortColumn);
    const ListRow* rows = rowTable();
    EXPECT_STREQ(rows[0].cells[kNoteCompany], "单位0");
    EXPECT_EQ(rows[0].sourceIndex, 0);
    EXPECT_STREQ(rows[599].cells[kNoteContact], "联系人599");
    EXPECT_EQ(rows[599].sourceIndex, 599);
    EXPECT_STREQ(rows[599].cells[7], "") << "cells beyond the seventh stay empty";
}

TEST_F(NotebookTest, RemovingOneKeepsEveryOtherByteInOrder) {
    // Entry 1 has a field longer than a cell: it has to survive byte for byte, not cut.
    Bytes first = encodeNotebookEntry(numbered(0));
    Bytes oversized = entryBytes({"t", times("长", 60), "", "", "", "", ""});
    Bytes third = encodeNotebookEntry(numbered(2));
    Bytes tail = {0x09, 0, 0, 0, 'c', 'u', 't'};
    writeWholeFile(kPath, concat({first, oversized, third, tail}));

    ASSERT_EQ(removeNote(kPath, 2, numbered(2)), NoteResult::kDone);
    EXPECT_EQ(readWholeFile(kPath), concat({first, oversized, tail}));
    ASSERT_EQ(removeNote(kPath, 0, numbered(0)), NoteResult::kDone);
    EXPECT_EQ(readWholeFile(kPath), concat({oversized, tail}));

    // The entry at that place is not the one the row shows: the file changed since; nothing goes.
    EXPECT_EQ(removeNote(kPath, 0, numbered(0)), NoteResult::kNoSuchEntry);
    EXPECT_EQ(removeNote(kPath, 5, numbered(5)), NoteResult::kNoSuchEntry);
    EXPECT_EQ(readWholeFile(kPath), concat({oversized, tail}));

    // Removing the last entry leaves an empty file.
    writeWholeFile(kPath, first);
    ASSERT_EQ(removeNote(kPath, 0, numbered(0)), NoteResult::kDone);
    EXPECT_TRUE(fs::exists(kPath));
    EXPECT_EQ(fs::file_size(kPath), 0u);
    EXPECT_TRUE(onlyTheNotebookIsLeft());
}

TEST_F(NotebookTest, RemovingAfterASortTakesTheRowsOwnEntry) {
    ASSERT_TRUE(ensureRowTable());
    std::vector<Bytes> entries;
    for (int n = 0; n < 620; ++n)
        entries.push_back(encodeNotebookEntry(numbered(n)));
    auto fileWithout = [&](int left) {
        Bytes all;
        for (int n = 0; n < int(entries.size()); ++n)
            if (n != left) all = concat({all, entries[size_t(n)]});
        return all;
    };
    writeWholeFile(kPath, fileWithout(-1));
    ASSERT_TRUE(loadNotebookRows(kPath));
    // The view holds all 620 entries; sorted by the remark, descending, the row of entry 300
    // is far from where it was read.
    sortRowTable(kNoteRemark, false);
    int at = 0;
    while (at < listState.rowCount && std::strcmp(rowTable()[at].cells[kNoteRemark], "备注300") != 0)
        ++at;
    ASSERT_EQ(at, 394);
    const ListRow& row = rowTable()[at];
    NotebookEntry shown{};
    for (int f = 0; f < kNoteFieldCount; ++f)
        std::memcpy(shown.fields[f], row.cells[f], kNoteFieldSize);
    ASSERT_EQ(removeNote(kPath, row.sourceIndex, shown), NoteResult::kDone);
    EXPECT_EQ(readWholeFile(kPath), fileWithout(300));
}

TEST_F(NotebookTest, ANoteSavedAfterACutShortEntryGoesBeforeIt) {
    Bytes first = encodeNotebookEntry(numbered(0));
    Bytes tail = concat({entryBytes({"half"}), Bytes{0x30, 0, 0, 0}}); // no more fields follow
    writeWholeFile(kPath, concat({first, tail}));
    ASSERT_EQ(saveNote(kPath, numbered(1)), NoteResult::kDone);
    EXPECT_EQ(readWholeFile(kPath), concat({first, encodeNotebookEntry(numbered(1)), tail}));
    EXPECT_EQ(readAll(kPath).size(), 2u) << "the new note is shown";
}

// Makes the n-th write (counted from 1) fail, or the commit or the replacement.
int writesLeft = -1;
bool failingWrite(std::FILE* file, const void* bytes, size_t size) {
    if (writesLeft == 0) {
        // Half of it reaches the file, as on a full disk.
        std::fwrite(bytes, 1, size / 2, file);
        return false;
    }
    --writesLeft;
    return std::fwrite(bytes, 1, size, file) == size;
}
bool failingCommit(std::FILE*) {
    return false;
}
bool failingReplace(const char*, const char*) {
    return false;
}

TEST_F(NotebookTest, AFailureAtAnyWriteLeavesTheOldFileAsItWas) {
    Bytes old;
    for (int n = 0; n < 3; ++n)
        old = concat({old, encodeNotebookEntry(numbered(n))});
    // A large old file is copied in several writes.
    old = concat({old, entryBytes({"t", times("长", 70000), "", "", "", "", ""})});
    using Change = NoteResult (*)();
    const std::pair<const char*, Change> changes[] = {
        {"save", [] { return saveNote(kPath, numbered(9)); }},
        {"remove the first", [] { return removeNote(kPath, 0, numbered(0)); }},
        {"remove the second", [] { return removeNote(kPath, 1, numbered(1)); }},
    };
    for (const auto& [what, change] : changes) {
        int failures = 0;
        for (int failAt = 0;; ++failAt) {
            writeWholeFile(kPath, old);
            notebookFiles.write = failingWrite;
            writesLeft = failAt;
            NoteResult result = change();
            notebookFiles = defaultNotebookFiles();
            if (result == NoteResult::kDone) break;
            ++failures;
            EXPECT_EQ(result, NoteResult::kWriteFailed) << what << ", write " << failAt + 1;
            EXPECT_EQ(readWholeFile(kPath), old) << what << ", write " << failAt + 1;
            EXPECT_TRUE(onlyTheNotebookIsLeft()) << what << ", write " << failAt + 1;
        }
        EXPECT_GE(failures, 3) << what << ": the old file's parts and the new entry are separate writes";
        for (bool failCommit : {true, false}) {
            writeWholeFile(kPath, old);
            if (failCommit)
                notebookFiles.commit = failingCommit;
            else
                notebookFiles.replace = failingReplace;
            EXPECT_EQ(change(), NoteResult::kWriteFailed) << what;
            notebookFiles = defaultNotebookFiles();
            EXPECT_EQ(readWholeFile(kPath), old) << what;
            EXPECT_TRUE(onlyTheNotebookIsLeft()) << what;
        }
    }
    // A missing file is an empty notebook for a save; the failed save makes none.
    fs::remove(kPath);
    notebookFiles.replace = failingReplace;
    EXPECT_EQ(saveNote(kPath, numbered(1)), NoteResult::kWriteFailed);
    EXPECT_FALSE(fs::exists(kPath));
}

TEST_F(NotebookTest, ANotebookThatCannotBeReadIsNeitherSavedOverNorRemovedFrom) {
    fs::create_directory(kPath); // something that opens but cannot be read as a file
    EXPECT_NE(saveNote(kPath, numbered(1)), NoteResult::kDone);
    EXPECT_NE(removeNote(kPath, 0, numbered(1)), NoteResult::kDone);
    EXPECT_TRUE(fs::is_directory(kPath));
    fs::remove(kPath);
    // The temporary file's place is taken: the old file stays.
    writeWholeFile(kPath, encodeNotebookEntry(numbered(0)));
    fs::create_directory(notebookTemporaryPath(kPath));
    EXPECT_EQ(saveNote(kPath, numbered(1)), NoteResult::kCannotOpen);
    EXPECT_EQ(readWholeFile(kPath), encodeNotebookEntry(numbered(0)));
}

// Deleting all notes holds the lock that saves take, so a save cannot put back the old notes it
// read before the file went.
bool notebookWhenLocked = false, notebookWhenUnlocked = true;

TEST_F(NotebookTest, DeletingAllTakesTheSavesLockAndAMissingFileIsNoError) {
    writeWholeFile(kPath, encodeNotebookEntry(numbered(0)));
    notebookFiles.lock = [](const char* lockPath, intptr_t* held) {
        notebookWhenLocked = !readWholeFile(kPath).empty();
        return defaultNotebookFiles().lock(lockPath, held);
    };
    notebookFiles.unlock = [](const char* lockPath, intptr_t held) {
        notebookWhenUnlocked = !readWholeFile(kPath).empty();
        defaultNotebookFiles().unlock(lockPath, held);
    };
    EXPECT_EQ(removeAllNotes(kPath), NoteResult::kDone);
    EXPECT_TRUE(notebookWhenLocked);
    EXPECT_FALSE(notebookWhenUnlocked) << "the notes go while the lock is held";
    EXPECT_EQ(readWholeFile(kPath), Bytes{}) << "emptied, not removed";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no lock or temporary file stays behind";
    fs::remove(kPath);
    EXPECT_EQ(removeAllNotes(kPath), NoteResult::kDone) << "no file: nothing to delete";

    // The lock held elsewhere past the wait: the notes stay.
    writeWholeFile(kPath, encodeNotebookEntry(numbered(1)));
    notebookFiles.lock = [](const char*, intptr_t*) { return false; };
    EXPECT_EQ(removeAllNotes(kPath), NoteResult::kCannotOpen);
    EXPECT_EQ(readWholeFile(kPath), encodeNotebookEntry(numbered(1)));
}

// Two Kovanta programs saving notes at the same moment: processes here, threads where there is
// no fork (the lock is the same for both).
TEST_F(NotebookTest, NotesSavedAtTheSameMomentByTwoProgramsAreAllKept) {
    constexpr int kWriters = 2, kNotesEach = 25;
    auto write = [](int writer) {
        int saved = 0;
        for (int i = 0; i < kNotesEach; ++i)
            saved += saveNote(kPath, numbered((writer + 1) * 100 + i)) == NoteResult::kDone;
        return saved;
    };
#ifdef _WIN32
    std::atomic<bool> go{false};
    std::atomic<int> saved{0};
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            while (!go)
                std::this_thread::yield();
            saved += write(w);
        });
    go = true;
    for (std::thread& t : writers)
        t.join();
    EXPECT_EQ(saved, kWriters * kNotesEach);
#else
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) { // waits until the gate closes, so that both start together
            close(gate[1]);
            char byte;
            (void)!read(gate[0], &byte, 1);
            _exit(write(w) == kNotesEach ? 0 : 1);
        }
        writers.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    for (pid_t pid : writers) {
        int status = -1;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
    }
#endif
    std::vector<std::vector<std::string>> entries = readAll(kPath);
    ASSERT_EQ(entries.size(), size_t(kWriters * kNotesEach));
    // Each program's notes are all there, in the order it saved them.
    for (int w = 0; w < kWriters; ++w) {
        std::vector<std::string> own, expected;
        for (const auto& e : entries)
            if (e[kNoteCompany].size() > 6 && e[kNoteCompany][4] - '1' == w) own.push_back(e[kNoteCompany]);
        for (int i = 0; i < kNotesEach; ++i)
            expected.push_back(numbered((w + 1) * 100 + i).fields[kNoteCompany]);
        EXPECT_EQ(own, expected) << "writer " << w;
    }
    EXPECT_TRUE(onlyTheNotebookIsLeft()) << "no temporary or lock file stays behind";
}

// Another copy showing its notebook holds the file while it reads it, and Windows replaces no
// open file: a save meanwhile waits for the reader instead of failing.
std::atomic<bool> replacing{false};

TEST_F(NotebookTest, ACopyReadingTheNotebookMakesNoSaveFail) {
    notebookFiles.replace = [](const char* temporary, const char* target) {
        replacing = true;
        return defaultNotebookFiles().replace(temporary, target);
    };
    writeWholeFile(kPath, encodeNotebookEntry(numbered(0)));
    constexpr int kRounds = 20;
    for (int round = 1; round <= kRounds; ++round) {
        File held = openFile(kPath, "rb"); // as the notebook view opens it
        ASSERT_TRUE(held);
        replacing = false;
        std::thread reader([&held] {
            while (!replacing)
                std::this_thread::yield();
            held = File(); // read through while the save goes on
        });
        EXPECT_EQ(saveNote(kPath, numbered(round)), NoteResult::kDone) << "round " << round;
        reader.join();
    }
    EXPECT_EQ(readAll(kPath).size(), size_t(kRounds + 1));
}

} // namespace

namespace {

using UserFolderTest = ScratchDirTest;

TEST_F(UserFolderTest, UserFilesMoveToThePerUserFolderOnlyWhenTheSystemFolderRefusesWrites) {
    namespace fs = std::filesystem;
    fs::create_directory("system");
    EXPECT_EQ(userFileFolder("system", "user"), "system");
    EXPECT_FALSE(fs::exists("user"));
    EXPECT_TRUE(fs::is_empty("system")) << "the test of the folder leaves nothing behind";

    // A folder in the way of this process's temporary notebook: none of its saves could succeed.
    const Bytes notes = {1, 0, 0, 0, 'n', 0, 0, 0, 0}, history = {3, 0, 0, 0, 'a', 'b', 'c'};
    writeWholeFile("system/MyDocInf.wrk", notes);
    writeWholeFile("system/MySchInf.wrk", history);
    const std::string inTheWay = notebookTemporaryPath("system/MyDocInf.wrk");
    fs::create_directory(inTheWay);
    EXPECT_EQ(userFileFolder("system", "user"), "user");
    EXPECT_EQ(readWholeFile("user/MyDocInf.wrk"), notes);
    EXPECT_EQ(readWholeFile("user/MySchInf.wrk"), history);
    EXPECT_EQ(readWholeFile("system/MyDocInf.wrk"), notes);
    EXPECT_EQ(std::distance(fs::directory_iterator("user"), fs::directory_iterator()), 2)
        << "no temporary file stays behind";

    // From then on the per-user folder holds the notes, also where the system folder would do.
    fs::remove(inTheWay);
    writeWholeFile("user/MyDocInf.wrk", Bytes{9});
    EXPECT_EQ(userFileFolder("system", "user"), "user");
    EXPECT_EQ(readWholeFile("user/MyDocInf.wrk"), Bytes{9}) << "nothing is copied over it again";

    // The history moved and the notebook not: the move is finished, wherever saves would go.
    fs::remove("user/MyDocInf.wrk");
    EXPECT_EQ(userFileFolder("system", "user"), "user");
    EXPECT_EQ(readWholeFile("user/MyDocInf.wrk"), notes);
    EXPECT_EQ(readWholeFile("user/MySchInf.wrk"), history);
    // Every note deleted there: the system folder's old notes do not come back.
    EXPECT_EQ(removeAllNotes("user/MyDocInf.wrk"), NoteResult::kDone);
    EXPECT_EQ(userFileFolder("system", "user"), "user");
    EXPECT_EQ(readWholeFile("user/MyDocInf.wrk"), Bytes{});
    writeWholeFile("user/MyDocInf.wrk", notes);
    // It cannot be finished: the notes stay where they can be read, and nothing is removed.
    fs::remove("user/MyDocInf.wrk");
    fs::create_directory(notebookTemporaryPath("user/MyDocInf.wrk"));
    EXPECT_EQ(userFileFolder("system", "user"), "system");
    EXPECT_EQ(readWholeFile("user/MySchInf.wrk"), history);
    EXPECT_EQ(readWholeFile("system/MyDocInf.wrk"), notes);

    // No per-user folder can be made: the system folder stays, its files untouched.
    fs::create_directory("refusing");
    fs::create_directory(notebookTemporaryPath("refusing/MyDocInf.wrk"));
    writeWholeFile("refusing/MyDocInf.wrk", notes);
    writeWholeFile("not-a-folder", Bytes{0});
    EXPECT_EQ(userFileFolder("refusing", "not-a-folder/Kovanta"), "refusing");
    EXPECT_EQ(readWholeFile("refusing/MyDocInf.wrk"), notes);
}

} // namespace
