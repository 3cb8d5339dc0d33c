// The in-memory database: record layouts, the loader of the database stream and its release.
#pragma once

#include <cstdint>
#include <cstdio>

// A tree-view item handle (HTREEITEM in the Windows program).
using TreeItemHandle = void*;

struct CompanyRecord {
    char name[60];
    char phone[45];
    char contact[20];
    char fax[15];
    char website[30];
    char email[30];
    char address[50];
    char postcode[7];
    char bank[30];
    char account[30];
    char taxNumber[30];
    char busRoutes[30];
    char* introduction; // owned, zero-terminated; null when the stream gives none
};

struct CategoryRecord {
    char name[32];
    int32_t isGroup;
};

enum NodeKind : uint8_t { kNodeUnset = 0, kGroupNode = 1, kLeafNode = 2 };

struct TreeNodeRecord {
    int32_t parent; // -1 at the top level
    int32_t category;
    uint8_t kind;            // set when the tree is built
    TreeItemHandle treeItem; // set when the tree is built
};

struct CompanyLink {
    int32_t node;
    int32_t company;
    char linkText[20];
    int32_t valid;
};

struct ProductRecord {
    int32_t node;
    int32_t company;
    char model[30];
    char configuration[102];
    float price; // yuan; 0 or less means no price
    char unit[6];
    char origin[8];
    char remarks[22];
    int32_t valid;
};

struct CompanyTreeEntry {
    int32_t node;
    int32_t company;
    TreeItemHandle treeItem;
};

struct DataStore {
    char dataName[32];
    char titlePart1[20];
    char titlePart2[20];
    char updateDate[12];
    CompanyRecord* companies;
    int32_t companyCount;
    CategoryRecord* categories;
    int32_t categoryCount;
    TreeNodeRecord* treeNodes;
    int32_t treeNodeCount;
    CompanyLink* companyLinks;
    int32_t companyLinkCount;
    ProductRecord* products;
    int32_t productCount;
    CompanyTreeEntry* companyTree;
    int32_t companyTreeCount;
    int32_t expiredCount;
    void* listRowBuffer; // the list view's row table, allocated on demand by the list
};

extern DataStore dataStore;

// Company indexes run from 0 to 29999; 30000 stands for no company. A stream with more
// companies is read past the last one that fits.
inline constexpr int32_t kMaxCompanyCount = 30000;
inline constexpr int32_t kNoCompanyIndex = 30000;
// A node or category index that refers to nothing; as a node's parent, the top level.
inline constexpr int32_t kNoIndex = -1;

// The checked way to a record by its index: null for an index outside its array, which
// includes the "none" values. After loading, every index that a record holds (a node's parent
// and category, a link's or product's node and company) is in range or its "none" value: the
// loader replaces an index that refers to no record with kNoIndex or kNoCompanyIndex.
CompanyRecord* companyAt(int32_t company);
CategoryRecord* categoryAt(int32_t category);
TreeNodeRecord* treeNodeAt(int32_t node);
CompanyLink* companyLinkAt(int32_t link);
ProductRecord* productAt(int32_t product);

inline constexpr int kExpiryFieldCapacity = 7;

// Reports each entry's expiry text as it is read; the program itself keeps none of them.
enum class ExpiryOf { CompanyLink, Product };
extern void (*expiryTextSink)(ExpiryOf section, int32_t index, const char* text);

// Loads the raster that extractContainer decoded (raster_file.h) and empties it: 1, or 0 when
// there is none.
int loadDatabase();
// Returns 1 when the entry is valid at loadTicks, 0 (and counts it) when it has expired.
int checkExpiry(uint64_t loadTicks, const char* expiryText);
void freeDatabase();
// The loaded database's own bytes: its record arrays and introductions (what the benchmarks set
// the data path's peak memory beside).
uint64_t loadedDatabaseBytes();

// Fails the way the loader does when memory runs out; replaced by tests.
extern void* (*allocateZeroed)(size_t count, size_t size);
