// Keyword search over the catalogue's tree, without a control: the folding of the word, the
// match on character boundaries, the hits in the order the tree is opened to them, and the
// history record that a new word adds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr int kMaxSearchMatches = 1024;
inline constexpr size_t kSearchTextLimit = 49;

// Capitals become small letters as the system lowers them in code page 936: Latin A-Z, and the
// full-width Latin, Greek, Cyrillic and Roman-numeral capitals of GBK. A trail byte that equals
// a capital is not a letter; a character stays as long as it was.
void foldSearchText(char* text);
// Whether the folded word occurs in text (of at most capacity bytes), starting on a character
// boundary of text, with text folded the same way. An empty word matches nothing.
bool containsWord(const char* text, size_t capacity, const char* foldedWord);

struct SearchHit {
    bool listing; // a company's listing (companyTree index), else a tree node
    int32_t index;
};
// The companies' listings shown in the tree from the last to the first, then the nodes from
// the last to the first, whose name contains the word; at most kMaxSearchMatches.
std::vector<SearchHit> findSearchHits(const char* foldedWord);

// Appends the word's record (its 32-bit little-endian length, then its bytes) to the history
// file; false when the file cannot be opened or written.
bool appendSearchHistory(const char* path, const char* word);
