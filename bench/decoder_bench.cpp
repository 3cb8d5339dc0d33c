// decoder_bench: the project's container decoder beside giflib 5 on the large generated
// catalogue, in one run.
//
//   (a) ours:   extractContainer() on a program file (16 bytes + container + trailer):
//               stdio reads of the program file, readContainer, readImage's string-copying
//               decoder, the raster in memory (1078-byte header, rows bottom first); then the
//               same with the raster also written to a unique temporary file, the way a
//               start-up through a temporary file would go.
//   (a') ours, value decoder: the same with useValueDecoder set (the yardstick decoder).
//   (b) giflib: the same container bytes with "GIF89a" as signature, held in memory and read
//               through a memcpy read function; DGifOpen, DGifGetLine per row into one
//               image-sized buffer, then the same raster layout written with fwrite per row
//               (to /dev/null beside ours in memory, to a file beside ours with its file). The
//               file read is not in giflib's time, so the comparison favours it.
//   (c) start-up: a fresh process of this program runs extractContainer + loadDatabase from
//               memory, and in other runs through a unique temporary file (written, read back
//               and removed); its time, and its peak resident set (VmHWM, which starts afresh
//               at exec, unlike ru_maxrss after fork), beside the loaded database's own size.
// Rounds alternate between the decoders; each figure is the median of the rounds, in wall time
// and in CPU time of the process (the machine may be shared, so CPU time is the steadier one).
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include <sys/stat.h>

#include "appender.h"
#include "bench_support.h"
#include "catalogue_generator.h"
#include "container.h"
#include "container_writer.h"
#include "database.h"
#include "lzw.h"
#include "stream_writer.h"

namespace {

constexpr int kRounds = 5;
constexpr int kStartupRuns = 5;
const char* const kProgramName = "program.bin";
const char* const kGifOutput = "giflib.msg";

struct MemoryInput {
    const uint8_t* data;
    size_t size, pos;
};

int readFromMemory(GifFileType* gif, GifByteType* to, int length) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    size_t n = std::min(size_t(length), in->size - in->pos);
    std::memcpy(to, in->data + in->pos, n);
    in->pos += n;
    return int(n);
}

void putU32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// giflib's side: decode the first image and write the raster file ours writes.
bool decodeWithGiflib(const std::vector<uint8_t>& gifBytes, const char* outPath) {
    MemoryInput in{gifBytes.data(), gifBytes.size(), 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&in, readFromMemory, &error);
    if (!gif) {
        std::fprintf(stderr, "DGifOpen: %s\n", GifErrorString(error));
        return false;
    }
    bool ok = false;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR) break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* ext;
            if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR) break;
            while (ext && DGifGetExtensionNext(gif, &ext) != GIF_ERROR) {
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) break;
        if (DGifGetImageDesc(gif) == GIF_ERROR) break;
        int width = gif->Image.Width, height = gif->Image.Height;
        std::vector<uint8_t> pixels(size_t(width) * size_t(height));
        bool rowsOk = true;
        for (int r = 0; r < height && rowsOk; ++r)
            rowsOk = DGifGetLine(gif, pixels.data() + size_t(r) * size_t(width), width) != GIF_ERROR;
        if (!rowsOk) break;
        const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
        uint8_t red[256] = {};
        unsigned char header[kRasterHeaderSize] = {};
        for (int v = 0; map && v < map->ColorCount && v < 256; ++v) {
            red[v] = map->Colors[v].Red;
            header[54 + 4 * v] = map->Colors[v].Blue;
            header[54 + 4 * v + 1] = map->Colors[v].Green;
            header[54 + 4 * v + 2] = map->Colors[v].Red;
        }
        uint32_t stride = rowStride(8, width);
        header[0] = 'B';
        header[1] = 'M';
        putU32(header + 2, kRasterHeaderSize + stride * uint32_t(height));
        putU32(header + 10, kRasterHeaderSize);
        putU32(header + 14, 40);
        putU32(header + 18, uint32_t(width));
        putU32(header + 22, uint32_t(height));
        header[26] = 1;
        header[28] = 8;
        putU32(header + 34, stride * uint32_t(height));
        putU32(header + 46, 256);
        putU32(header + 50, 256);
        std::FILE* out = std::fopen(outPath, "wb");
        if (!out) break;
        std::fwrite(header, 1, sizeof header, out);
        std::vector<uint8_t> row(stride, 0);
        for (int r = height - 1; r >= 0; --r) {
            const uint8_t* from = pixels.data() + size_t(r) * size_t(width);
            for (int x = 0; x < width; ++x)
                row[size_t(x)] = red[from[x]];
            std::fwrite(row.data(), 1, stride, out);
        }
        ok = std::fclose(out) == 0;
        break;
    }
    DGifCloseFile(gif, &error);
    return ok;
}

// The alternative to the raster in memory: the raster written to a uniquely named file made
// exclusively in the temporary folder, read back for the loader and removed.
bool throughTemporaryFile(long long* written = nullptr) {
    char name[] = "/tmp/kovanta-raster-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) return false;
    std::FILE* file = fdopen(fd, "w+b");
    static const uint8_t zeros[Raster::kPieceSize] = {};
    bool ok = file != nullptr;
    for (size_t k = 0; ok && k < raster.pieceCount(); ++k)
        ok = std::fwrite(raster.piece(k) ? raster.piece(k) : zeros, 1, raster.pieceLength(k), file) ==
             raster.pieceLength(k);
    ok = ok && std::fflush(file) == 0;
    uint64_t size = raster.size();
    if (written) *written = (long long)size;
    raster.reset(size);
    std::rewind(file);
    std::vector<uint8_t> piece(Raster::kPieceSize);
    for (uint64_t at = 0; ok && at < size; at += Raster::kPieceSize) {
        size_t n = size_t(size - at < Raster::kPieceSize ? size - at : Raster::kPieceSize);
        ok = std::fread(piece.data(), 1, n, file) == n && raster.write(at, piece.data(), n);
    }
    if (file) std::fclose(file);
    unlink(name);
    return ok;
}

// The loaded database's own bytes: its arrays and introductions.
double databaseMiB() {
    return double(loadedDatabaseBytes()) / (1024.0 * 1024.0);
}

// The start-up path in this (fresh) process: prints "milliseconds peakKiB loaded companies
// products databaseMiB".
int startupChild(const char* way, const char* program) {
    std::snprintf(programPath, sizeof programPath, "%s", program);
    double t0 = nowSeconds();
    extractContainer();
    if (std::strcmp(way, "file") == 0 && !throughTemporaryFile()) return 1;
    int loaded = loadDatabase();
    double t1 = nowSeconds();
    std::printf("%.3f %ld %d %d %d %.3f\n", (t1 - t0) * 1000, statusKb("VmHWM"), loaded,
                dataStore.companyCount, dataStore.productCount, databaseMiB());
    freeDatabase();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--startup") == 0) return startupChild(argv[2], argv[3]);
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0) {
        std::printf("%ld\n", statusKb("VmHWM"));
        return 0;
    }

    double t0 = nowSeconds();
    std::vector<uint8_t> stream;
    {
        Catalogue catalogue = generateLargeCatalogue();
        std::vector<FieldError> errors;
        if (!writeDatabaseStream(catalogue, stream, errors)) {
            std::fprintf(stderr, "the generated catalogue does not fit its fields\n");
            return 1;
        }
    }
    double t1 = nowSeconds();
    std::vector<uint8_t> container;
    int width, height;
    {
        ContainerImage image = imageForStream(stream);
        width = image.width;
        height = image.height;
        container = writeContainer({image});
    }
    double t2 = nowSeconds();

    std::string dir = makeTempDir("kovanta-bench-");
    if (chdir(dir.c_str()) != 0) return 1;
    std::string programFile = dir + "/" + kProgramName;
    writeFile(programFile, appendContainer(std::vector<uint8_t>(16, 'P'), container));
    std::snprintf(programPath, sizeof programPath, "%s", programFile.c_str());
    std::vector<uint8_t> gifBytes = container;
    std::memcpy(gifBytes.data(), "GIF89a", 6);

    std::printf("catalogue stream: %zu bytes (generated in %.2f s); image %d x %d; container %zu bytes "
                "(%.1f%% of the stream, encoded in %.2f s)\n",
                stream.size(), t1 - t0, width, height, container.size(),
                100.0 * double(container.size()) / double(stream.size()), t2 - t1);

    std::vector<double> ours, oursValue, giflib, oursCpu, oursValueCpu, giflibCpu;
    std::vector<double> oursSink, giflibSink, oursSinkCpu, giflibSinkCpu;
    long long outputSize = 0;
    for (int round = 0; round < kRounds; ++round) {
        useValueDecoder = false;
        double c = cpuSeconds();
        double a = nowSeconds();
        extractContainer();
        if (!throughTemporaryFile(&outputSize)) return 1;
        double b = nowSeconds();
        oursCpu.push_back(cpuSeconds() - c);
        ours.push_back(b - a);

        c = cpuSeconds();
        a = nowSeconds();
        if (!decodeWithGiflib(gifBytes, kGifOutput)) return 1;
        b = nowSeconds();
        giflibCpu.push_back(cpuSeconds() - c);
        giflib.push_back(b - a);

        c = cpuSeconds();
        a = nowSeconds();
        extractContainer();
        b = nowSeconds();
        oursSinkCpu.push_back(cpuSeconds() - c);
        oursSink.push_back(b - a);

        c = cpuSeconds();
        a = nowSeconds();
        if (!decodeWithGiflib(gifBytes, "/dev/null")) return 1;
        b = nowSeconds();
        giflibSinkCpu.push_back(cpuSeconds() - c);
        giflibSink.push_back(b - a);

        useValueDecoder = true;
        c = cpuSeconds();
        a = nowSeconds();
        extractContainer();
        b = nowSeconds();
        oursValueCpu.push_back(cpuSeconds() - c);
        oursValue.push_back(b - a);
        useValueDecoder = false;

        if (round == 0) { // both decoders give the same raster, holding the stream
            std::vector<uint8_t> mine = raster.bytes(), theirs = readFile(kGifOutput);
            bool same = mine == theirs;
            bool holdsStream =
                mine.size() >= kRasterHeaderSize + stream.size() &&
                std::memcmp(mine.data() + kRasterHeaderSize, stream.data(), stream.size()) == 0;
            std::printf("check: raster files identical: %s; pixel area starts with the stream: %s\n",
                        same ? "yes" : "NO", holdsStream ? "yes" : "NO");
            if (!same || !holdsStream) return 1;
        }
    }

    // Fresh processes, by turns: the raster in memory, and through a temporary file.
    std::vector<double> startupMs[2], startupPeak[2];
    double loadedMiB = 0;
    const char* ways[2] = {"memory", "file"};
    for (int run = 0; run < 2 * kStartupRuns; ++run) {
        int way = run % 2;
        std::string startupLine = runSelf(std::string("--startup ") + ways[way] + " '" + programFile + "'");
        double ms = 0, peak = 0;
        int loaded = 0, companies = 0, products = 0;
        if (std::sscanf(startupLine.c_str(), "%lf %lf %d %d %d %lf", &ms, &peak, &loaded, &companies,
                        &products, &loadedMiB) != 6 ||
            !loaded) {
            std::fprintf(stderr, "start-up run failed: %s\n", startupLine.c_str());
            return 1;
        }
        startupMs[way].push_back(ms);
        startupPeak[way].push_back(peak);
        if (run == 0) std::printf("start-up check: loaded %d companies, %d products\n", companies, products);
    }
    long idleKb = std::strtol(runSelf("--idle").c_str(), nullptr, 10);
    // The folder holds the program file and giflib's raster file, nothing of the start-ups.
    bool leftBehind = std::distance(std::filesystem::directory_iterator(dir), {}) != 2;

    double mb = double(outputSize) / 1e6;
    double mOurs = median(ours), mValue = median(oursValue), mGif = median(giflib);
    std::printf(
        "\ndecoded output per run: %lld bytes (raster file: 1078-byte header + %d rows of %u bytes)\n",
        outputSize, height, rowStride(8, width));
    std::printf("%d rounds, alternating; medians\n\n", kRounds);
    double cOurs = median(oursCpu), cValue = median(oursValueCpu), cGif = median(giflibCpu);
    std::printf("%-42s %8s %8s %9s | %8s %8s %9s\n", "decoder", "wall ms", "MB/s", "vs giflib", "CPU ms",
                "MB/s", "vs giflib");
    auto row = [&](const char* name, double wall, double cpu) {
        std::printf("%-42s %8.1f %8.1f %8.2fx | %8.1f %8.1f %8.2fx\n", name, wall * 1000, mb / wall,
                    mGif / wall, cpu * 1000, mb / cpu, cGif / cpu);
    };
    std::printf("decoding; ours into memory, giflib's raster bytes written to /dev/null:\n");
    double mOursSink = median(oursSink), mGifSink = median(giflibSink);
    double cOursSink = median(oursSinkCpu), cGifSink = median(giflibSinkCpu);
    auto sinkRow = [&](const char* name, double wall, double cpu) {
        std::printf("%-42s %8.1f %8.1f %8.2fx | %8.1f %8.1f %8.2fx\n", name, wall * 1000, mb / wall,
                    mGifSink / wall, cpu * 1000, mb / cpu, cGifSink / cpu);
    };
    sinkRow("ours: extractContainer, string copying", mOursSink, cOursSink);
    sinkRow("giflib 5: DGifGetLine per row from memory", mGifSink, cGifSink);
    std::printf("with a raster file written (ours: a unique temporary file, read back):\n");
    row("ours: extractContainer + temporary file", mOurs, cOurs);
    row("ours: value decoder, into memory", mValue, cValue);
    row("giflib 5: DGifGetLine per row from memory", mGif, cGif);
    auto spread = [](const char* name, const std::vector<double>& t) {
        std::printf("  %s wall ms:", name);
        for (double v : t)
            std::printf(" %.1f", v * 1000);
        std::printf("\n");
    };
    std::printf("\nrounds:\n");
    spread("ours   ", ours);
    spread("value  ", oursValue);
    spread("giflib ", giflib);
    std::printf(
        "\nthroughput ratio ours/giflib, decoding: %.2f wall, %.2f CPU; with the raster file: %.2f wall, "
        "%.2f CPU (target: at least 3.00)\n",
        mGifSink / mOursSink, cGifSink / cOursSink, mGif / mOurs, cGif / cOurs);

    std::printf("\nstart-up path, program file -> extractContainer -> loadDatabase (fresh processes, %d runs "
                "each, by turns); loaded database %.1f MiB, the program idle %.1f MiB:\n",
                kStartupRuns, loadedMiB, double(idleKb) / 1024);
    for (int way = 0; way < 2; ++way) {
        double peak = median(startupPeak[way]) / 1024;
        std::printf("  %-28s median %6.1f ms (min %.1f, max %.1f); peak resident %.1f MiB, above idle "
                    "%.2fx the database\n",
                    way == 0 ? "raster in memory:" : "through a temporary file:", median(startupMs[way]),
                    *std::min_element(startupMs[way].begin(), startupMs[way].end()),
                    *std::max_element(startupMs[way].begin(), startupMs[way].end()), peak,
                    (peak - double(idleKb) / 1024) / loadedMiB);
    }
    std::printf("  time ratio file/memory: %.2f\n", median(startupMs[1]) / median(startupMs[0]));
    std::printf("  files left in the current folder: %s\n", leftBehind ? "YES" : "none");

    if (chdir("/") != 0) return 1;
    removeTree(dir);
    return 0;
}
