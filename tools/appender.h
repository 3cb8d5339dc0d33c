// Puts a container behind a program image, with the 4-byte trailer that locates it.
#pragma once

#include <cstdint>
#include <vector>

// The program image without a container that an earlier run appended, if it carries one.
std::vector<uint8_t> stripContainer(const std::vector<uint8_t>& programFile);

// image + container + zero bytes up to a multiple of 8 + the container's offset as 32-bit
// little-endian; an existing container on the image is replaced.
std::vector<uint8_t> appendContainer(const std::vector<uint8_t>& programImage,
                                     const std::vector<uint8_t>& container);
