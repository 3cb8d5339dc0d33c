// The notebook file "MyDocInf.wrk": the user's notes, read, added and removed. It is the user's
// own data, so every change is written to a temporary file beside it that replaces it only once
// complete; a failure at any step leaves the old file as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform.h"

inline constexpr int kNoteFieldCount = 7;
// A field's cell: at most 79 bytes of text and the terminator.
inline constexpr size_t kNoteFieldSize = 80;
inline constexpr size_t kNoteFieldLimit = kNoteFieldSize - 1;

// The fields in file order, which is also the column order of the notebook view.
enum NoteField : int {
    kNoteTime = 0,
    kNoteCompany = 1,
    kNoteMatter = 2,
    kNoteHint = 3,
    kNoteRemark = 4,
    kNotePhone = 5,
    kNoteContact = 6,
};

struct NotebookEntry {
    char fields[kNoteFieldCount][kNoteFieldSize];
};

// The time stamp field: "%d-%d-%d %d:%d" from year, month, day, hour and minute, so 2003-5-7 9:05
// is "2003-5-7 9:5".
void formatNoteTime(const LocalTime& time, char* text, size_t capacity);

// Puts text into a field, cut at 79 bytes without splitting a double-byte character.
void setNoteField(NotebookEntry& entry, int field, const char* text);

// The bytes of one entry: each field as a signed 32-bit little-endian length and that many
// bytes of text (no terminator; an empty field is the length 0 alone), then the end mark, a
// 32-bit 0.
std::vector<uint8_t> encodeNotebookEntry(const NotebookEntry& entry);

// Reads the entries of an open notebook file from its start, one after another. A length of 0
// or below is an empty field; a field longer than 79 bytes gives its first 79 (fewer when the
// 79th byte would be the first half of a character, and the text ends at a zero byte), the rest
// is stepped over unread. A length or end mark that the end of the file cuts short ends the
// entries: that entry is not given. Nothing is allocated by a stored length.
class NotebookReader {
  public:
    explicit NotebookReader(std::FILE* file);
    // The next complete entry into entry (null: stepped over); false at the end of the file,
    // at an entry that the end cuts short, or on a read error (failed()).
    bool next(NotebookEntry* entry);
    // Where the entry that next() gave last starts, and where it ends: the end of the last
    // complete entry, where a new entry goes.
    int64_t entryStart() const { return entryStart_; }
    int64_t completeEnd() const { return completeEnd_; }
    int64_t fileSize() const { return size_; }
    bool failed() const { return failed_; }

  private:
    // One field: its length, then what fits of its text into cell (null: only stepped over).
    bool readNotebookField(char* cell);
    bool readBytes(void* into, size_t count);
    bool skipTo(int64_t offset);

    std::FILE* file_;
    int64_t size_ = 0, at_ = 0, entryStart_ = 0, completeEnd_ = 0;
    bool failed_ = false;
};

enum class NoteResult {
    kDone,
    kCannotOpen,  // the notebook file could not be read, or the temporary file not be made
    kWriteFailed, // a write, the flush or the replacement failed; the old file is as it was
    kNoSuchEntry, // no entry at that place with those fields: the file changed since it was read
};

// Adds entry after the last complete entry of the file at path (made when missing). A
// remainder that the end of the file cuts short stays after it, byte for byte.
// Both changes hold the notebook's lock while they read the file and replace it, so that a
// change made at the same moment by another Kovanta is never lost: each applies to the file
// as the other left it. kCannotOpen when the lock cannot be had.
NoteResult saveNote(const char* path, const NotebookEntry& entry);

// Removes the entry at index (counted from 0 in file order) when its fields read as those of
// expected; every other byte of the file stays, in its order.
NoteResult removeNote(const char* path, int64_t index, const NotebookEntry& expected);

// Deletes the notebook file (a missing file is done too) under the same lock, so that a note
// another Kovanta is saving at that moment cannot bring the old notes back with it.
// kCannotOpen when the lock cannot be had, kWriteFailed when the file stays.
NoteResult removeAllNotes(const char* path);

// The temporary file of this process's changes: "PATH.PID.new", and that of another process.
std::string notebookTemporaryPath(const char* path);
std::string notebookTemporaryPath(const char* path, unsigned long processId);

// The notebook view's rows: sets listKind to the notebook and sortColumn to none, and writes
// every complete entry into the row table in file order, each
// row's cells 0..6 its fields and sourceIndex its entry's index in the file. False when the
// file cannot be opened: then there are no rows. With no row table it leaves no rows.
bool loadNotebookRows(const char* path);

// The file operations that the changes go through; tests replace them to make any of them fail.
struct NotebookFiles {
    // Writes all size bytes; false when they did not all go out.
    bool (*write)(std::FILE* file, const void* bytes, size_t size);
    // Flushes what was written and has the system put it on the disk.
    bool (*commit)(std::FILE* file);
    // Moves temporary over target, replacing it (MoveFileExW with MOVEFILE_REPLACE_EXISTING |
    // MOVEFILE_WRITE_THROUGH on Windows, rename elsewhere); false when target is as it was.
    // Windows replaces no file that is open: there it tries again for kNotebookReplaceWaitMs
    // while another copy reads the old file.
    bool (*replace)(const char* temporary, const char* target);
    // Takes the lock file lockPath, which one holder at a time has (another process, or another
    // thread of this one), waiting up to kNotebookLockWaitMs for it; the file goes again when
    // released, and the system releases it should the holder die. False when it cannot be had.
    bool (*lock)(const char* lockPath, intptr_t* held);
    void (*unlock)(const char* lockPath, intptr_t held);
    // What makes this process's temporary file its own: the process id.
    unsigned long (*processId)();
};
inline constexpr int kNotebookLockWaitMs = 5000;
inline constexpr int kNotebookReplaceWaitMs = 100;
extern NotebookFiles notebookFiles;
NotebookFiles defaultNotebookFiles();
