// The signature table of a signed program file. Authenticode signing appends a certificate
// table behind everything in the file and records it in the PE optional header's security
// directory (data directory 4: the table's file offset and size), so the container's trailer
// then lies just before that table instead of at the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct CertificateTable {
    uint64_t offset;
    uint64_t size;
};

// The bytes read at the start of a program file to find its headers; PE headers lie well inside.
inline constexpr size_t kProgramHeadSize = 4096;

// The certificate table recorded in the PE headers found in head (the file's first bytes,
// available of them) of a file of fileSize bytes; none for a file that is not a PE image, has
// no security directory, or names a table that does not lie inside the file.
std::optional<CertificateTable> findCertificateTable(const uint8_t* head, size_t available,
                                                     uint64_t fileSize);
