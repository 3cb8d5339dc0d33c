// pack_bench: packing the large generated catalogue, beside giflib's encoder, in one run.
//
//   ours:   writeDatabaseStream + imageForStream + writeContainer (the LZW encoder inside),
//           timed in a fresh process of this program, with its peak resident set (VmHWM) over
//           the packing alone (reset through /proc/self/clear_refs once the catalogue is built).
//   kovanta-pack: the publisher's command on the large catalogue in its CSV source form (read,
//           checked, converted to GBK, packed and appended to a program image), as a child
//           process: wall time and its peak resident set (ru_maxrss from wait4).
//   giflib: EGifOpen to memory, one 8-bit image of the same width, height and pixels, a
//           256-entry colour map, EGifPutLine per row; the same container size compared in bytes.
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "catalogue_source.h"
#include "catalogue_generator.h"
#include "container_writer.h"
#include "stream_writer.h"

namespace {

int writeToMemory(GifFileType* gif, const GifByteType* from, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), from, from + length);
    return length;
}

std::vector<uint8_t> encodeWithGiflib(const ContainerImage& image) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToMemory, &error);
    if (!gif) return {};
    GifColorType colours[256];
    for (int v = 0; v < 256; ++v)
        colours[v] = {GifByteType(v), GifByteType(v), GifByteType(v)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) != GIF_ERROR &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) != GIF_ERROR;
    std::vector<GifPixelType> row(size_t(image.width));
    for (int r = 0; ok && r < image.height; ++r) {
        std::memcpy(row.data(), image.pixels.data() + size_t(r) * size_t(image.width), row.size());
        ok = EGifPutLine(gif, row.data(), image.width) != GIF_ERROR;
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR) ok = false;
    GifFreeMapObject(map);
    return ok ? out : std::vector<uint8_t>{};
}

// In a fresh process: "streamSeconds imageSeconds containerSeconds peakKiB baseKiB containerBytes".
int packChild() {
    Catalogue catalogue = generateLargeCatalogue();
    long baseKb = statusKb("VmRSS");
    bool reset = resetPeakResident();
    double t0 = nowSeconds();
    std::vector<uint8_t> stream;
    std::vector<FieldError> errors;
    if (!writeDatabaseStream(catalogue, stream, errors)) return 1;
    double t1 = nowSeconds();
    ContainerImage image = imageForStream(stream);
    double t2 = nowSeconds();
    std::vector<uint8_t> container = writeContainer({image});
    double t3 = nowSeconds();
    std::printf("%.4f %.4f %.4f %ld %ld %zu %d\n", t1 - t0, t2 - t1, t3 - t2, statusKb("VmHWM"), baseKb,
                container.size(), reset ? 1 : 0);
    return 0;
}

// Runs the program with its arguments; returns false when it fails. Fills seconds and peak KiB.
bool runCommand(const std::vector<std::string>& argv, double& seconds, long& peakKb) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    double start = nowSeconds();
    pid_t child = fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return false;
    seconds = nowSeconds() - start;
    peakKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The folder this benchmark's executable lies in.
std::string ownFolder() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = '\0';
    std::string s = path;
    return s.substr(0, s.rfind('/'));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--pack") == 0) return packChild();
    int rounds = argc == 2 ? std::max(1, std::atoi(argv[1])) : 3;

    std::vector<uint8_t> stream;
    std::string sourceDir = makeTempDir("kovanta-pack-bench-");
    {
        CatalogueSource source;
        source.catalogue = generateLargeCatalogue();
        std::vector<FieldError> errors;
        if (!writeDatabaseStream(source.catalogue, stream, errors)) return 1;
        std::string error;
        if (!writeCatalogueSource(sourceDir + "/source", source, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    std::string tools = ownFolder();
    if (access((tools + "/kovanta-pack").c_str(), X_OK) != 0) tools += "/..";
    // A program image as the packer sees one: some bytes with the update-host slot inside.
    {
        std::string image(4096, '\0');
        image += std::string("KovantaHostSlot") + '\0' + std::string(1060, '\0');
        std::FILE* file = std::fopen((sourceDir + "/program-image").c_str(), "wb");
        if (!file || std::fwrite(image.data(), 1, image.size(), file) != image.size() || std::fclose(file) != 0)
            return 1;
    }
    std::vector<std::string> packCommand = {tools + "/kovanta-pack", sourceDir + "/source", "--program",
                                            sourceDir + "/program-image", "-o", sourceDir + "/packed.bin"};
    std::vector<double> packT, packPeak;
    ContainerImage image = imageForStream(stream);

    std::vector<double> streamT, imageT, containerT, totalT, giflibT, peak;
    long baseKb = 0;
    size_t ourSize = 0, gifSize = 0;
    bool resetWorked = true;
    for (int round = 0; round < rounds; ++round) {
        std::string line = runSelf("--pack");
        double s, i, c;
        long peakKb;
        int reset;
        size_t bytes;
        if (std::sscanf(line.c_str(), "%lf %lf %lf %ld %ld %zu %d", &s, &i, &c, &peakKb, &baseKb, &bytes,
                        &reset) != 7) {
            std::fprintf(stderr, "pack run failed: %s\n", line.c_str());
            return 1;
        }
        streamT.push_back(s);
        imageT.push_back(i);
        containerT.push_back(c);
        totalT.push_back(s + i + c);
        peak.push_back(double(peakKb));
        ourSize = bytes;
        resetWorked = resetWorked && reset;

        double seconds;
        long packKb;
        if (!runCommand(packCommand, seconds, packKb)) {
            std::fprintf(stderr, "kovanta-pack failed on the large catalogue\n");
            return 1;
        }
        packT.push_back(seconds);
        packPeak.push_back(double(packKb));

        double a = nowSeconds();
        std::vector<uint8_t> gif = encodeWithGiflib(image);
        giflibT.push_back(nowSeconds() - a);
        if (gif.empty()) {
            std::fprintf(stderr, "giflib encoding failed\n");
            return 1;
        }
        gifSize = gif.size();
    }

    std::printf("catalogue stream: %zu bytes; image %d x %d (%zu pixel bytes); %d rounds, medians\n\n",
                stream.size(), image.width, image.height, image.pixels.size(), rounds);
    std::printf("%-46s %10s\n", "step", "seconds");
    std::printf("%-46s %10.3f\n", "ours: writeDatabaseStream", median(streamT));
    std::printf("%-46s %10.3f\n", "ours: imageForStream", median(imageT));
    std::printf("%-46s %10.3f\n", "ours: writeContainer (LZW encoding)", median(containerT));
    std::printf("%-46s %10.3f\n", "ours: total", median(totalT));
    std::printf("%-46s %10.3f\n", "giflib 5: EGifPutLine per row to memory", median(giflibT));
    std::printf("encoding time ratio writeContainer/giflib: %.2f\n\n", median(containerT) / median(giflibT));
    std::printf(
        "peak resident set while packing (VmHWM%s): %.1f MiB (%.1f MiB with the catalogue already built)\n",
        resetWorked ? ", reset after building the catalogue" : ", NOT reset: whole process",
        median(peak) / 1024, double(baseKb) / 1024);
    std::printf("\nkovanta-pack on the large catalogue's CSV source (%lld bytes of program file): %.2f s, "
                "peak resident set %.1f MiB\n",
                fileSize(sourceDir + "/packed.bin"), median(packT), median(packPeak) / 1024);
    std::printf("\n%-46s %12s %8s\n", "container", "bytes", "ratio");
    std::printf("%-46s %12zu %8.4f\n", "ours (ums container)", ourSize, 1.0);
    std::printf("%-46s %12zu %8.4f\n", "giflib 5 (GIF file)", gifSize, double(gifSize) / double(ourSize));
    std::printf("ours/giflib size: %.4f; ours/stream: %.4f\n", double(ourSize) / double(gifSize),
                double(ourSize) / double(stream.size()));
    removeTree(sourceDir);
    return 0;
}
