// The sub-block reader shared by the container's block loop and the decoder's code reader.
#include "subblock.h"

bool zeroLengthSeen;

int readDataBlock(std::FILE* file, unsigned char* buffer) {
    int count = std::fgetc(file);
    if (count == EOF) {
        std::fprintf(stderr, "error in getting DataBlock size\n");
        return -1;
    }
    zeroLengthSeen = count == 0;
    if (count == 0) return 0;
    if (std::fread(buffer, 1, size_t(count), file) != size_t(count)) {
        std::fprintf(stderr, "error in reading DataBlock\n");
        return -1;
    }
    return count;
}
