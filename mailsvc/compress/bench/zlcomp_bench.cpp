// Compression and decompression time and output size of ZLComp beside
// `bzip2 -1` and `bzip2 -9` on the same input, in the same run.
//
//   zlcomp_bench file...     (the files are concatenated into one corpus)
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "zlcomp_core.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Best of kRounds wall times of a shell command, in milliseconds.
double TimeCommand(const std::string& command)
{
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        const auto t0 = Clock::now();
        const int rc = std::system(command.c_str());
        const auto t1 = Clock::now();
        if (rc != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
        best = std::min(best, Ms(t1 - t0));
    }
    return best;
}

long FileSize(const std::string& path)
{
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    return f ? static_cast<long>(f.tellg()) : -1;
}

// Times ZLComp and bzip2 (-1 and -9) on the same bytes and prints the rows.
bool Measure(const char* name, const zlcomp::Bytes& corpus, const std::string& dir)
{
    double compressMs = 1e30, decompressMs = 1e30;
    zlcomp::Bytes stream;
    for (int i = 0; i < kRounds; ++i) {
        const auto t0 = Clock::now();
        stream = zlcomp::Compress(corpus);
        const auto t1 = Clock::now();
        compressMs = std::min(compressMs, Ms(t1 - t0));
    }
    for (int i = 0; i < kRounds; ++i) {
        zlcomp::Bytes back;
        const auto t0 = Clock::now();
        const bool ok = zlcomp::Decompress(stream, back);
        const auto t1 = Clock::now();
        decompressMs = std::min(decompressMs, Ms(t1 - t0));
        if (!ok || back != corpus) {
            std::fprintf(stderr, "%s: round trip failed\n", name);
            return false;
        }
    }

    const double mb = corpus.size() / 1e6;
    std::printf("\n%s: %zu bytes (best of %d rounds)\n", name, corpus.size(), kRounds);
    std::printf("  %-10s %12s %8s %14s %10s %14s %10s\n", "", "output", "ratio", "compress ms", "MB/s",
                "decompress ms", "MB/s");
    std::printf("  %-10s %12zu %8.3f %14.1f %10.1f %14.1f %10.1f\n", "ZLComp", stream.size(),
                double(stream.size()) / corpus.size(), compressMs, mb / (compressMs / 1e3), decompressMs,
                mb / (decompressMs / 1e3));

    // bzip2 on the same bytes, at its fastest and its strongest level; its times
    // include starting the process (about a millisecond).
    const std::string raw = dir + "/corpus";
    const std::string bz = raw + ".bz2";
    {
        std::ofstream f(raw, std::ios::binary);
        f.write(reinterpret_cast<const char*>(corpus.data()), static_cast<std::streamsize>(corpus.size()));
    }
    for (const char* level : {"-1", "-9"}) {
        const double bzCompressMs = TimeCommand(std::string("bzip2 ") + level + " -c '" + raw + "' > '" + bz + "'");
        const double bzDecompressMs = TimeCommand("bzip2 -d -c '" + bz + "' > /dev/null");
        const long bzSize = FileSize(bz);
        std::remove(bz.c_str());
        const std::string label = std::string("bzip2 ") + level;
        std::printf("  %-10s %12ld %8.3f %14.1f %10.1f %14.1f %10.1f\n", label.c_str(), bzSize,
                    double(bzSize) / corpus.size(), bzCompressMs, mb / (bzCompressMs / 1e3), bzDecompressMs,
                    mb / (bzDecompressMs / 1e3));
        std::printf("  ZLComp/%s: size %.3f, compress time %.2f, decompress time %.2f\n", label.c_str(),
                    double(stream.size()) / bzSize, compressMs / bzCompressMs, decompressMs / bzDecompressMs);
    }
    std::remove(raw.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s file...\n", argv[0]);
        return 2;
    }
    zlcomp::Bytes corpus;
    for (int i = 1; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        if (!f) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        corpus.insert(corpus.end(), std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    char dir[] = "/tmp/zlcomp_bench.XXXXXX";
    if (!mkdtemp(dir)) {
        std::perror("mkdtemp");
        return 1;
    }

    // Repetitive data, where a comparison sort of the suffixes would be slow.
    zlcomp::Bytes periodic(1 << 20);
    for (size_t i = 0; i < periodic.size(); ++i)
        periodic[i] = static_cast<uint8_t>("abcdefg"[i % 7]);
    zlcomp::Bytes alternating(1 << 20);
    for (size_t i = 0; i < alternating.size(); ++i)
        alternating[i] = static_cast<uint8_t>(i % 2 ? 'b' : 'a');

    bool ok = Measure("corpus (the files given)", corpus, dir);
    ok = Measure("one byte repeated, 1 MiB", zlcomp::Bytes(1 << 20, 'x'), dir) && ok;
    ok = Measure("period of 7 bytes, 1 MiB", periodic, dir) && ok;
    ok = Measure("two bytes alternating, 1 MiB", alternating, dir) && ok;
    rmdir(dir);
    return ok ? 0 : 1;
}
