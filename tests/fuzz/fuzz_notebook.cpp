// Fuzz target for the notebook file reader: the input is the notebook file. Every entry read
// has seven terminated fields of at most 79 bytes that end on a character boundary, and the
// entries follow one another from the file's start; the view's rows are all of them;
// removing one leaves exactly the file's other bytes, and a saved note goes right after the last
// complete entry with everything else kept.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "gbktext.h"
#include "list_rows.h"
#include "notebook_file.h"

namespace {

constexpr const char* kPath = "MyDocInf.wrk";

struct Read {
    std::vector<NotebookEntry> entries;
    std::vector<int64_t> starts, ends;
    int64_t completeEnd = 0;
};

Read readEntries() {
    Read read;
    std::FILE* file = std::fopen(kPath, "rb");
    if (!file) fuzz::fail("the notebook file does not open");
    NotebookReader reader(file);
    NotebookEntry entry;
    while (reader.next(&entry)) {
        read.entries.push_back(entry);
        read.starts.push_back(reader.entryStart());
        read.ends.push_back(reader.completeEnd());
    }
    read.completeEnd = reader.completeEnd();
    if (reader.failed()) fuzz::fail("a read error on a whole file");
    std::fclose(file);
    return read;
}

void checkField(const char* field) {
    const void* end = std::memchr(field, '\0', kNoteFieldSize);
    if (!end) fuzz::fail("a field without its terminator");
    size_t length = size_t(static_cast<const char*>(end) - field);
    if (length > kNoteFieldLimit) fuzz::fail("a field longer than 79 bytes");
}

bool flushOnly(std::FILE* file) {
    return std::fflush(file) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::setUpProcess();
    if (!ensureRowTable()) fuzz::fail("no row table");
    // The disk is not what is fuzzed.
    notebookFiles.commit = flushOnly;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InScratchDirectory inScratch;
    const std::vector<uint8_t> original(data, data + size);
    fuzz::writeFile(kPath, original);

    Read read = readEntries();
    int64_t previousEnd = 0;
    for (size_t i = 0; i < read.entries.size(); ++i) {
        for (const char* field : read.entries[i].fields)
            checkField(field);
        if (read.starts[i] != previousEnd || read.ends[i] <= read.starts[i] || read.ends[i] > int64_t(size))
            fuzz::fail("entries that do not follow one another inside the file");
        previousEnd = read.ends[i];
    }
    if (read.completeEnd != previousEnd) fuzz::fail("the complete entries end somewhere else");

    if (!loadNotebookRows(kPath)) fuzz::fail("the view does not open the file");
    const int count = int(read.entries.size());
    if (listState.rowCount != count) fuzz::fail("the view holds the wrong number of rows");
    for (int r = 0; r < listState.rowCount; ++r) {
        const ListRow& row = rowTable()[r];
        if (row.sourceIndex != r) fuzz::fail("a row that does not know its entry");
        for (int f = 0; f < kNoteFieldCount; ++f)
            if (std::strcmp(row.cells[f], read.entries[size_t(r)].fields[f]) != 0)
                fuzz::fail("a row that differs from its entry");
    }

    if (count > 0) {
        size_t k = (size + (size ? data[0] : 0)) % size_t(count);
        if (removeNote(kPath, int64_t(k), read.entries[k]) != NoteResult::kDone)
            fuzz::fail("a removal failed");
        std::vector<uint8_t> expected(original.begin(), original.begin() + read.starts[k]);
        expected.insert(expected.end(), original.begin() + read.ends[k], original.end());
        if (fuzz::readFile(kPath) != expected) fuzz::fail("a removal changed other bytes");
        fuzz::writeFile(kPath, original);
    }

    NotebookEntry added{};
    setNoteField(added, kNoteTime, "2003-5-7 9:5");
    setNoteField(added, kNoteCompany, "单位");
    if (saveNote(kPath, added) != NoteResult::kDone) fuzz::fail("a save failed");
    std::vector<uint8_t> expected(original.begin(), original.begin() + read.completeEnd);
    std::vector<uint8_t> entry = encodeNotebookEntry(added);
    expected.insert(expected.end(), entry.begin(), entry.end());
    expected.insert(expected.end(), original.begin() + read.completeEnd, original.end());
    if (fuzz::readFile(kPath) != expected) fuzz::fail("a save changed other bytes");
    if (readEntries().entries.size() != read.entries.size() + 1)
        fuzz::fail("the saved note is not read back");
    return 0;
}
