// ZLComp beside `bzip2 -1` (and -9) on the same input, in the same run,
// timed the same way on both sides:
//   - as fresh processes, file in, file out (this program runs itself as the
//     ZLComp tool), with each process's peak memory;
//   - in-process on buffers (bzip2 through libbz2).
// Rounds alternate the sides, so both meet the same load; the best of the
// rounds is printed. ZLComp runs with 1 thread and with several (blocks are
// independent); the threads at work compressing/decompressing stand beside
// each figure.
//
//   zlcomp_bench file...                  (the files are concatenated)
//   zlcomp_bench -c|-d THREADS IN OUT     (the tool the process rows run)
//   zlcomp_bench --run OUT COMMAND...     (runs and measures one process)
#include <bzlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "zlcomp_core.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// ---------------------------------------------------------------------------
// The tool: streams a file through the compressor.

class FileSource : public zlcomp::ByteSource {
public:
    explicit FileSource(FILE* f) : m_f(f) {}
    size_t read(uint8_t* buffer, size_t size) override { return std::fread(buffer, 1, size, m_f); }

private:
    FILE* m_f;
};

class FileSink : public zlcomp::ByteSink {
public:
    explicit FileSink(FILE* f) : m_f(f) {}
    void write(zlcomp::ByteView bytes) override
    {
        if (std::fwrite(bytes.data(), 1, bytes.size(), m_f) != bytes.size()) {
            std::perror("write");
            std::exit(1);
        }
    }

private:
    FILE* m_f;
};

int Tool(const char* mode, unsigned threads, const char* inPath, const char* outPath)
{
    FILE* in = std::fopen(inPath, "rb");
    FILE* out = std::fopen(outPath, "wb");
    if (!in || !out) {
        std::perror("open");
        return 1;
    }
    FileSource source(in);
    FileSink sink(out);
    bool ok = true;
    if (std::strcmp(mode, "-c") == 0)
        zlcomp::CompressStream(source, sink, threads);
    else
        ok = zlcomp::DecompressStream(source, sink, zlcomp::kNoLimit, threads);
    std::fclose(in);
    return std::fclose(out) == 0 && ok ? 0 : 1;
}

// ---------------------------------------------------------------------------
// Measuring.

struct Figure {
    double ms = 1e30;  // best wall time
    long peakKb = 0;   // peak resident memory of the process (largest seen)
    void add(double t, long kb)
    {
        ms = std::min(ms, t);
        peakKb = std::max(peakKb, kb);
    }
};

// The measuring wrapper: runs args[0] with stdout to `outPath` (unless "-")
// and prints its wall time and peak memory. A child forked from this small
// process, not from the benchmark holding the corpus, shows its own peak
// (the kernel counts the pages a child inherits at the fork).
int Wrapper(const char* outPath, char** args)
{
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (std::strcmp(outPath, "-") != 0 && !std::freopen(outPath, "wb", stdout))
            _exit(127);
        execvp(args[0], args);
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double ms = Ms(Clock::now() - t0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 1;
    std::fprintf(stderr, "%f %ld\n", ms, usage.ru_maxrss);
    return 0;
}

// Runs args as a process under the wrapper; its wall time and peak memory.
void RunProcess(const std::string& self, const std::vector<std::string>& args, const std::string& outPath,
                Figure& fig)
{
    std::string command = "'" + self + "' --run '" + (outPath.empty() ? "-" : outPath) + "'";
    for (const auto& a : args)
        command += " '" + a + "'";
    command += " 2>&1";
    FILE* p = popen(command.c_str(), "r");
    double ms = 0;
    long kb = 0;
    const bool read = p && std::fscanf(p, "%lf %ld", &ms, &kb) == 2;
    if (!p || pclose(p) != 0 || !read) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::exit(1);
    }
    fig.add(ms, kb);
}

long FileSize(const std::string& path)
{
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    return f ? static_cast<long>(f.tellg()) : -1;
}

zlcomp::Bytes ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return zlcomp::Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The threads at work for a thread count given to ZLComp, compressing and
// decompressing: compression sorts on that many workers beside the caller's
// thread, decompression caps them.
std::string ThreadsUsed(unsigned threads)
{
    const unsigned c = threads <= 1 ? 1 : threads + 1;
    return std::to_string(c) + "/" + std::to_string(zlcomp::DecompressionThreads(threads));
}

void PrintRow(const char* label, const std::string& threads, long size, size_t input, const Figure& c,
              const Figure& d, bool memory)
{
    const double mb = input / 1e6;
    std::printf("  %-10s %7s %11ld %7.3f %11.1f %8.1f %11.1f %8.1f", label, threads.c_str(), size, double(size) / input, c.ms,
                mb / (c.ms / 1e3), d.ms, mb / (d.ms / 1e3));
    if (memory)
        std::printf(" %9.1f %9.1f", c.peakKb / 1024.0, d.peakKb / 1024.0);
    std::printf("\n");
}

void PrintHeader(bool memory)
{
    std::printf("  %-10s %7s %11s %7s %11s %8s %11s %8s", "", "c/d thr", "output", "ratio", "compr ms", "MB/s",
                "decompr ms", "MB/s");
    if (memory)
        std::printf(" %9s %9s", "c peak MB", "d peak MB");
    std::printf("\n");
}

// Both sides as processes on files.
bool MeasureProcesses(const std::string& self, const zlcomp::Bytes& corpus, const std::string& dir,
                      const std::vector<unsigned>& threadCounts)
{
    const std::string raw = dir + "/corpus";
    const std::string packed = dir + "/corpus.z";
    const std::string back = dir + "/corpus.back";
    {
        std::ofstream f(raw, std::ios::binary);
        f.write(reinterpret_cast<const char*>(corpus.data()), static_cast<std::streamsize>(corpus.size()));
    }
    const std::vector<std::string> levels = {"-1", "-9"};
    std::vector<Figure> zc(threadCounts.size()), zd(threadCounts.size());
    std::vector<Figure> bc(levels.size()), bd(levels.size());
    std::vector<long> bzSize(levels.size());
    long zSize = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < threadCounts.size(); ++i) {
            const std::string t = std::to_string(threadCounts[i]);
            RunProcess(self, {self, "-c", t, raw, packed}, "", zc[i]);
            zSize = FileSize(packed);
            RunProcess(self, {self, "-d", t, packed, back}, "", zd[i]);
            if (ReadFile(back) != corpus) {
                std::fprintf(stderr, "ZLComp file round trip failed\n");
                return false;
            }
        }
        for (size_t i = 0; i < levels.size(); ++i) {
            RunProcess(self, {"bzip2", levels[i], "-c", raw}, packed, bc[i]);
            bzSize[i] = FileSize(packed);
            RunProcess(self, {"bzip2", "-d", "-c", packed}, back, bd[i]);
        }
    }
    std::printf("  as processes, file in, file out (best of %d; peak memory of the process)\n", kRounds);
    PrintHeader(true);
    for (size_t i = 0; i < threadCounts.size(); ++i)
        PrintRow("ZLComp", ThreadsUsed(threadCounts[i]), zSize, corpus.size(), zc[i], zd[i], true);
    for (size_t i = 0; i < levels.size(); ++i)
        PrintRow(("bzip2 " + levels[i]).c_str(), "1/1", bzSize[i], corpus.size(), bc[i], bd[i], true);
    for (size_t i = 0; i < threadCounts.size(); ++i)
        std::printf("  ZLComp (%s threads)/bzip2 -1: compress time %.2f, decompress time %.2f, peak memory %.2f/%.2f\n",
                    ThreadsUsed(threadCounts[i]).c_str(), zc[i].ms / bc[0].ms, zd[i].ms / bd[0].ms,
                    double(zc[i].peakKb) / bc[0].peakKb, double(zd[i].peakKb) / bd[0].peakKb);
    std::remove(raw.c_str());
    std::remove(packed.c_str());
    std::remove(back.c_str());
    return true;
}

class VectorSource : public zlcomp::ByteSource {
public:
    explicit VectorSource(zlcomp::ByteView data) : m_rest(data) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        const size_t n = std::min(size, m_rest.size());
        if (n > 0)
            std::memcpy(buffer, m_rest.data(), n);
        m_rest = m_rest.subspan(n);
        return n;
    }

private:
    zlcomp::ByteView m_rest;
};

class VectorSink : public zlcomp::ByteSink {
public:
    explicit VectorSink(zlcomp::Bytes& out) : m_out(out) {}
    void write(zlcomp::ByteView bytes) override { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }

private:
    zlcomp::Bytes& m_out;
};

double TimeMs(const std::function<void()>& f)
{
    const auto t0 = Clock::now();
    f();
    return Ms(Clock::now() - t0);
}

// Both sides in this process on buffers.
bool MeasureInProcess(const zlcomp::Bytes& corpus, const std::vector<unsigned>& threadCounts)
{
    std::vector<Figure> zc(threadCounts.size()), zd(threadCounts.size());
    Figure bc[2], bd[2];
    const int levels[2] = {1, 9};
    unsigned bzSize[2] = {};
    size_t zSize = 0;
    zlcomp::Bytes stream, back;
    std::vector<char> bz(corpus.size() + corpus.size() / 100 + 600);
    std::vector<char> plain(corpus.size() + 1);
    for (int round = 0; round < kRounds; ++round) {
        for (size_t i = 0; i < threadCounts.size(); ++i) {
            stream.clear();
            stream.reserve(corpus.size() / 2);
            zc[i].add(TimeMs([&] {
                          VectorSource in(corpus);
                          VectorSink out(stream);
                          zlcomp::CompressStream(in, out, threadCounts[i]);
                      }),
                      0);
            zSize = stream.size();
            back.clear();
            back.reserve(corpus.size());
            bool ok = false;
            zd[i].add(TimeMs([&] {
                          VectorSource in(stream);
                          VectorSink out(back);
                          ok = zlcomp::DecompressStream(in, out, zlcomp::kNoLimit, threadCounts[i]);
                      }),
                      0);
            if (!ok || back != corpus) {
                std::fprintf(stderr, "ZLComp buffer round trip failed\n");
                return false;
            }
        }
        for (int l = 0; l < 2; ++l) {
            bzSize[l] = static_cast<unsigned>(bz.size());
            int rc = 0;
            bc[l].add(TimeMs([&] {
                          rc = BZ2_bzBuffToBuffCompress(bz.data(), &bzSize[l],
                                                        const_cast<char*>(reinterpret_cast<const char*>(corpus.data())),
                                                        static_cast<unsigned>(corpus.size()), levels[l], 0, 0);
                      }),
                      0);
            unsigned plainSize = static_cast<unsigned>(plain.size());
            int rd = 0;
            bd[l].add(TimeMs([&] {
                          rd = BZ2_bzBuffToBuffDecompress(plain.data(), &plainSize, bz.data(), bzSize[l], 0, 0);
                      }),
                      0);
            if (rc != BZ_OK || rd != BZ_OK || plainSize != corpus.size()) {
                std::fprintf(stderr, "libbz2 round trip failed\n");
                return false;
            }
        }
    }
    std::printf("  in-process on buffers (best of %d)\n", kRounds);
    PrintHeader(false);
    for (size_t i = 0; i < threadCounts.size(); ++i)
        PrintRow("ZLComp", ThreadsUsed(threadCounts[i]), static_cast<long>(zSize), corpus.size(), zc[i], zd[i], false);
    for (int l = 0; l < 2; ++l)
        PrintRow(levels[l] == 1 ? "bzip2 -1" : "bzip2 -9", "1/1", bzSize[l], corpus.size(), bc[l], bd[l], false);
    for (size_t i = 0; i < threadCounts.size(); ++i)
        std::printf("  ZLComp (%s threads)/bzip2 -1: compress time %.2f, decompress time %.2f\n",
                    ThreadsUsed(threadCounts[i]).c_str(), zc[i].ms / bc[0].ms, zd[i].ms / bd[0].ms);
    return true;
}

bool Measure(const std::string& self, const char* name, const zlcomp::Bytes& corpus, const std::string& dir,
             const std::vector<unsigned>& threadCounts)
{
    std::printf("\n%s: %zu bytes\n", name, corpus.size());
    return MeasureProcesses(self, corpus, dir, threadCounts) && MeasureInProcess(corpus, threadCounts);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "--run") == 0)
        return Wrapper(argv[2], argv + 3);
    if (argc == 5 && (std::strcmp(argv[1], "-c") == 0 || std::strcmp(argv[1], "-d") == 0))
        return Tool(argv[1], static_cast<unsigned>(std::atoi(argv[2])), argv[3], argv[4]);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s file...\n", argv[0]);
        return 2;
    }
    char selfPath[4096];
    const ssize_t len = readlink("/proc/self/exe", selfPath, sizeof selfPath - 1);
    if (len <= 0) {
        std::perror("readlink");
        return 1;
    }
    selfPath[len] = 0;
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
    const std::vector<unsigned> threadCounts = {1, zlcomp::DefaultThreads()};
    std::printf("machine: %ld processors online; the load of other programs shows in every row alike\n",
                sysconf(_SC_NPROCESSORS_ONLN));

    // Repetitive data, where a comparison sort of the suffixes would be slow.
    zlcomp::Bytes periodic(1 << 20);
    for (size_t i = 0; i < periodic.size(); ++i)
        periodic[i] = static_cast<uint8_t>("abcdefg"[i % 7]);

    bool ok = Measure(selfPath, "corpus (the files given)", corpus, dir, threadCounts);
    ok = ok && Measure(selfPath, "one byte repeated, 1 MiB", zlcomp::Bytes(1 << 20, 'x'), dir, threadCounts);
    ok = ok && Measure(selfPath, "period of 7 bytes, 1 MiB", periodic, dir, threadCounts);
    rmdir(dir);
    return ok ? 0 : 1;
}
