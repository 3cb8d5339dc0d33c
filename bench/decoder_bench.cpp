// decoder_bench: the project's container decoder beside giflib 5 on the large generated
// catalogue, in one run.
//
//   (a) ours:   extractContainer() on a program file (16 bytes + container + trailer) in a
//               temporary directory: stdio reads of the program file, readContainer,
//               readImage's string-copying decoder, and the raster file "5.msg" written
//               (1078-byte header, rows bottom first, fwrite per row).
//   (a') ours, value decoder: the same with useValueDecoder set (the yardstick decoder).
//   (b) giflib: the same container bytes with "GIF89a" as signature, held in memory and read
//               through a memcpy read function; DGifOpen, DGifGetLine per row into one
//               image-sized buffer, then the same raster file layout written with fwrite per
//               row. The file read is not in giflib's time, so the comparison favours it.
//   (c) start-up: a fresh process of this program runs extractContainer + loadDatabase (which
//               deletes "5.msg"); its time, and its peak resident set (VmHWM, which starts
//               afresh at exec, unlike ru_maxrss after fork).
// Rounds alternate between the decoders; each figure is the median of the rounds, in wall time
// and in CPU time of the process (the machine may be shared, so CPU time is the steadier one).
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

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

// Ours with the raster bytes going to sinkPath: the program file read and decoded as at
// start-up, through readContainer, without the raster file's page-cache writes when the sink
// is /dev/null.
void decodeOursTo(const char* sinkPath) {
    extractContainerFrom(programPath, sinkPath);
}

// The start-up path in this (fresh) process: prints "milliseconds peakKiB companies products".
int startupChild(const char* directory, const char* program) {
    if (chdir(directory) != 0) return 1;
    std::snprintf(programPath, sizeof programPath, "%s", program);
    double t0 = nowSeconds();
    extractContainer();
    int loaded = loadDatabase();
    double t1 = nowSeconds();
    std::printf("%.3f %ld %d %d %d\n", (t1 - t0) * 1000, statusKb("VmHWM"), loaded, dataStore.companyCount,
                dataStore.productCount);
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
        double b = nowSeconds();
        oursCpu.push_back(cpuSeconds() - c);
        ours.push_back(b - a);
        outputSize = fileSize(kRasterFileName);

        c = cpuSeconds();
        a = nowSeconds();
        if (!decodeWithGiflib(gifBytes, kGifOutput)) return 1;
        b = nowSeconds();
        giflibCpu.push_back(cpuSeconds() - c);
        giflib.push_back(b - a);

        c = cpuSeconds();
        a = nowSeconds();
        decodeOursTo("/dev/null");
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

        if (round == 0) { // both decoders give the same raster file, holding the stream
            std::vector<uint8_t> mine = readFile(kRasterFileName), theirs = readFile(kGifOutput);
            bool same = mine == theirs;
            bool holdsStream =
                mine.size() >= kRasterHeaderSize + stream.size() &&
                std::memcmp(mine.data() + kRasterHeaderSize, stream.data(), stream.size()) == 0;
            std::printf("check: raster files identical: %s; pixel area starts with the stream: %s\n",
                        same ? "yes" : "NO", holdsStream ? "yes" : "NO");
            if (!same || !holdsStream) return 1;
        }
    }

    std::vector<double> startupMs;
    std::vector<double> startupPeak;
    std::string startupLine;
    for (int run = 0; run < kStartupRuns; ++run) {
        startupLine = runSelf("--startup '" + dir + "' '" + programFile + "'");
        double ms = 0, peak = 0;
        int loaded = 0, companies = 0, products = 0;
        if (std::sscanf(startupLine.c_str(), "%lf %lf %d %d %d", &ms, &peak, &loaded, &companies,
                        &products) != 5 ||
            !loaded) {
            std::fprintf(stderr, "start-up run failed: %s\n", startupLine.c_str());
            return 1;
        }
        startupMs.push_back(ms);
        startupPeak.push_back(peak);
        if (run == 0) std::printf("start-up check: loaded %d companies, %d products\n", companies, products);
    }
    long idleKb = std::strtol(runSelf("--idle").c_str(), nullptr, 10);
    bool rasterLeft = fileSize(dir + "/" + kRasterFileName) >= 0;

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
    std::printf("decoding, the raster bytes written to /dev/null:\n");
    double mOursSink = median(oursSink), mGifSink = median(giflibSink);
    double cOursSink = median(oursSinkCpu), cGifSink = median(giflibSinkCpu);
    auto sinkRow = [&](const char* name, double wall, double cpu) {
        std::printf("%-42s %8.1f %8.1f %8.2fx | %8.1f %8.1f %8.2fx\n", name, wall * 1000, mb / wall,
                    mGifSink / wall, cpu * 1000, mb / cpu, cGifSink / cpu);
    };
    sinkRow("ours: readContainer, string copying", mOursSink, cOursSink);
    sinkRow("giflib 5: DGifGetLine per row from memory", mGifSink, cGifSink);
    std::printf("the whole extraction, the raster file \"5.msg\" written:\n");
    row("ours: extractContainer (string copying)", mOurs, cOurs);
    row("ours: extractContainer (value decoder)", mValue, cValue);
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

    std::printf(
        "\nstart-up path, program file -> extractContainer -> loadDatabase (fresh process, %d runs):\n",
        kStartupRuns);
    std::printf("  time: median %.1f ms (min %.1f, max %.1f)\n", median(startupMs),
                *std::min_element(startupMs.begin(), startupMs.end()),
                *std::max_element(startupMs.begin(), startupMs.end()));
    std::printf("  peak resident set (VmHWM): median %.1f MiB; the same program idle: %.1f MiB\n",
                median(startupPeak) / 1024, double(idleKb) / 1024);
    std::printf("  raster file left behind after loadDatabase: %s\n", rasterLeft ? "YES" : "no");

    if (chdir("/") != 0) return 1;
    removeTree(dir);
    return 0;
}
