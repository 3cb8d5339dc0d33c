// The notebook file: its entries read with every length checked against the file, and the
// changes written through a temporary file that replaces the old one once complete.
#include "notebook_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "fileio.h"
#include "gbktext.h"
#include "list_rows.h"

NotebookFiles notebookFiles = defaultNotebookFiles();

void formatNoteTime(const LocalTime& t, char* text, size_t capacity) {
    std::snprintf(text, capacity, "%d-%d-%d %d:%d", t.year, t.month, t.day, t.hour, t.minute);
}

void setNoteField(NotebookEntry& entry, int field, const char* text) {
    copyToField(entry.fields[field], kNoteFieldSize, text, std::strlen(text));
}

std::vector<uint8_t> encodeNotebookEntry(const NotebookEntry& entry) {
    std::vector<uint8_t> bytes;
    auto put32 = [&](uint32_t value) {
        unsigned char word[4];
        writeU32LE(word, value);
        bytes.insert(bytes.end(), word, word + 4);
    };
    for (const char* field : entry.fields) {
        // A cell that was filled some other way is cut here all the same.
        size_t length = gbkFitLength(field, fieldTextLength(field, kNoteFieldSize), kNoteFieldLimit);
        put32(uint32_t(length));
        bytes.insert(bytes.end(), field, field + length);
    }
    put32(0);
    return bytes;
}

NotebookReader::NotebookReader(std::FILE* file) : file_(file) {
    size_ = ::fileSize(file);
    if (size_ < 0 || seekTo(file, 0) != 0) {
        size_ = 0;
        failed_ = true;
    }
}

bool NotebookReader::readBytes(void* into, size_t count) {
    if (std::fread(into, 1, count, file_) != count) {
        failed_ = true;
        return false;
    }
    at_ += int64_t(count);
    return true;
}

bool NotebookReader::readNotebookField(char* cell) {
    unsigned char word[4];
    if (size_ - at_ < 4 || !readBytes(word, 4)) return false;
    int32_t length = int32_t(readU32LE(word));
    if (cell) cell[0] = '\0';
    if (length <= 0) return true;
    if (int64_t(length) > size_ - at_) return false;
    const int64_t fieldEnd = at_ + length;
    if (cell) {
        // One byte more than a cell holds tells whether the 79th byte starts a character.
        char text[kNoteFieldSize];
        size_t taken = std::min(size_t(length), sizeof text);
        if (!readBytes(text, taken)) return false;
        const void* zero = std::memchr(text, '\0', taken);
        size_t available = zero ? size_t(static_cast<const char*>(zero) - text) : taken;
        copyToField(cell, kNoteFieldSize, text, available);
    }
    return skipTo(fieldEnd);
}

bool NotebookReader::skipTo(int64_t offset) {
    // A short way is read through the stream's buffer: a seek would drop the buffer and ask
    // the system again for every field.
    char scratch[1024];
    while (offset - at_ > 0 && offset - at_ <= int64_t(sizeof scratch) * 4) {
        size_t step = size_t(std::min<int64_t>(offset - at_, int64_t(sizeof scratch)));
        if (!readBytes(scratch, step)) return false;
    }
    if (at_ == offset) return true;
    if (seekTo(file_, uint64_t(offset)) != 0) {
        failed_ = true;
        return false;
    }
    at_ = offset;
    return true;
}

bool NotebookReader::next(NotebookEntry* entry) {
    if (failed_) return false;
    int64_t start = at_;
    for (int f = 0; f < kNoteFieldCount; ++f)
        if (!readNotebookField(entry ? entry->fields[f] : nullptr)) return false;
    unsigned char endMark[4];
    if (size_ - at_ < 4 || !readBytes(endMark, 4)) return false; // its value is not looked at
    entryStart_ = start;
    completeEnd_ = at_;
    return true;
}

namespace {

// The old file for a change; a missing file is an empty notebook, any other failure to open
// it stops the change.
bool openOld(const char* path, File& old) {
    errno = 0;
    old = openFile(path, "rb");
    return old || errno == ENOENT;
}

bool copyRange(std::FILE* from, int64_t begin, int64_t end, std::FILE* to, bool& readFailed) {
    if (begin >= end) return true;
    if (seekTo(from, uint64_t(begin)) != 0) return readFailed = true, false;
    std::vector<unsigned char> chunk(size_t(std::min<int64_t>(end - begin, 64 << 10)));
    for (int64_t at = begin; at < end;) {
        size_t count = size_t(std::min<int64_t>(end - at, int64_t(chunk.size())));
        if (std::fread(chunk.data(), 1, count, from) != count) return readFailed = true, false;
        if (!notebookFiles.write(to, chunk.data(), count)) return false;
        at += int64_t(count);
    }
    return true;
}

// Writes old[0, keepTo) + inserted + old[resumeAt, oldEnd) to a temporary file beside path,
// which then replaces path. On any failure the temporary file goes and path stays as it was.
NoteResult rewrite(const char* path, File& old, int64_t keepTo, const std::vector<uint8_t>& inserted,
                   int64_t resumeAt, int64_t oldEnd) {
    std::string temporary = notebookTemporaryPath(path);
    File out = openFile(temporary.c_str(), "wb");
    if (!out) return NoteResult::kCannotOpen;
    bool readFailed = false;
    bool written = !old || copyRange(old.get(), 0, keepTo, out.get(), readFailed);
    written =
        written && (inserted.empty() || notebookFiles.write(out.get(), inserted.data(), inserted.size()));
    written = written && (!old || copyRange(old.get(), resumeAt, oldEnd, out.get(), readFailed));
    written = written && notebookFiles.commit(out.get());
    written = out.close() && written;
    old = File(); // closed before it is replaced: Windows replaces no open file
    if (written && notebookFiles.replace(temporary.c_str(), path)) return NoteResult::kDone;
    std::remove(temporary.c_str());
    return readFailed ? NoteResult::kCannotOpen : NoteResult::kWriteFailed;
}

// The notebook's lock, held for one change: from the reading of the file to its replacement.
class NotebookLock {
  public:
    explicit NotebookLock(const char* path) : path_(std::string(path) + ".lock") {
        held_ = notebookFiles.lock(path_.c_str(), &handle_);
    }
    ~NotebookLock() {
        if (held_) notebookFiles.unlock(path_.c_str(), handle_);
    }
    NotebookLock(const NotebookLock&) = delete;
    NotebookLock& operator=(const NotebookLock&) = delete;
    bool held() const { return held_; }

  private:
    std::string path_;
    intptr_t handle_ = 0;
    bool held_ = false;
};

bool sameFields(const NotebookEntry& a, const NotebookEntry& b) {
    for (int f = 0; f < kNoteFieldCount; ++f)
        if (strncmp(a.fields[f], b.fields[f], kNoteFieldSize) != 0) return false;
    return true;
}

} // namespace

std::string notebookTemporaryPath(const char* path) {
    return notebookTemporaryPath(path, notebookFiles.processId());
}

std::string notebookTemporaryPath(const char* path, unsigned long processId) {
    return std::string(path) + "." + std::to_string(processId) + ".new";
}

NoteResult saveNote(const char* path, const NotebookEntry& entry) {
    NotebookLock lock(path);
    if (!lock.held()) return NoteResult::kCannotOpen;
    File old;
    if (!openOld(path, old)) return NoteResult::kCannotOpen;
    int64_t keepTo = 0, size = 0;
    if (old) {
        NotebookReader reader(old.get());
        while (reader.next(nullptr)) {
        }
        if (reader.failed()) return NoteResult::kCannotOpen;
        keepTo = reader.completeEnd();
        size = reader.fileSize();
    }
    return rewrite(path, old, keepTo, encodeNotebookEntry(entry), keepTo, size);
}

NoteResult removeNote(const char* path, int64_t index, const NotebookEntry& expected) {
    NotebookLock lock(path);
    if (!lock.held()) return NoteResult::kCannotOpen;
    File old;
    if (!openOld(path, old)) return NoteResult::kCannotOpen;
    if (!old || index < 0) return NoteResult::kNoSuchEntry;
    NotebookReader reader(old.get());
    NotebookEntry entry;
    for (int64_t i = 0; i <= index; ++i) {
        if (reader.next(i == index ? &entry : nullptr)) continue;
        return reader.failed() ? NoteResult::kCannotOpen : NoteResult::kNoSuchEntry;
    }
    if (!sameFields(entry, expected)) return NoteResult::kNoSuchEntry;
    return rewrite(path, old, reader.entryStart(), {}, reader.completeEnd(), reader.fileSize());
}

// The notebook is emptied, not removed: a per-user folder holding the history without the
// notebook is read at the next start-up as a move cut short, which would bring back the notes
// the system folder still holds. An empty file is an empty notebook.
NoteResult removeAllNotes(const char* path) {
    NotebookLock lock(path);
    if (!lock.held()) return NoteResult::kCannotOpen;
    const std::string temporary = notebookTemporaryPath(path);
    File empty = openFile(temporary.c_str(), "wb");
    if (!empty) return NoteResult::kWriteFailed;
    if (!empty.close() || !notebookFiles.replace(temporary.c_str(), path)) {
        std::remove(temporary.c_str());
        return NoteResult::kWriteFailed;
    }
    return NoteResult::kDone;
}

bool loadNotebookRows(const char* path) {
    listState.listKind = kNotebook;
    listState.sortColumn = kNoSortColumn;
    listState.rowCount = 0;
    File file = openFile(path, "rb");
    if (!file) return false;
    if (!rowTable()) return true;
    NotebookReader reader(file.get());
    NotebookEntry entry;
    for (int32_t index = 0; index < INT32_MAX && reader.next(&entry); ++index) {
        ListRow* row = appendRow();
        if (!row) break;
        for (int f = 0; f < kNoteFieldCount; ++f)
            std::memcpy(row->cells[f], entry.fields[f], kNoteFieldSize);
        row->bandColour = kPlainBand;
        row->sourceIndex = index;
    }
    return true;
}
