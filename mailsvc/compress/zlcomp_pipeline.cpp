// The ZLComp stream read and written piece by piece, with the blocks sorted
// and unsorted on worker threads: the run-length and arithmetic stages run
// through the whole stream in order on the caller's thread, while the block
// sort, the costly stage of compression, and its inverse work block by block.
#include "zlcomp_core.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace zlcomp {

namespace {

constexpr char kSignature[6] = {'Z', 'L', 'C', 'o', 'm', 'p'};
constexpr size_t kHeaderSize = 7;
// Pieces read from the source, and the size at which output goes out.
constexpr size_t kPiece = 65536;
// Room of the decoder's window: two blocks and their headers fit.
constexpr size_t kWindow = 4 * kBlockSize;

// Runs jobs on a fixed set of threads (started with the second job, so a
// one-block stream starts none); with one thread, at once on the caller's.
// The destructor drops the jobs not started and waits for the running ones.
class Workers {
public:
    explicit Workers(unsigned threads) : m_threads(std::max(1u, threads)) {}

    ~Workers()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            m_queue.clear();
        }
        m_wake.notify_all();
        for (auto& t : m_pool)
            t.join();
    }

    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    unsigned threads() const { return m_threads; }

    std::future<void> run(std::function<void()> job)
    {
        std::packaged_task<void()> task(std::move(job));
        std::future<void> done = task.get_future();
        if (m_threads == 1) {
            task();
            return done;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.push_back(std::move(task));
        }
        if (m_pool.empty())
            for (unsigned i = 0; i < m_threads; ++i)
                m_pool.emplace_back([this] { serve(); });
        m_wake.notify_one();
        return done;
    }

private:
    void serve()
    {
        for (;;) {
            std::packaged_task<void()> task;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
                if (m_stop)
                    return;
                task = std::move(m_queue.front());
                m_queue.pop_front();
            }
            task();  // an exception goes to the job's future
        }
    }

    const unsigned m_threads;
    std::vector<std::thread> m_pool;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::packaged_task<void()>> m_queue;
    bool m_stop = false;
};

// Blocks waiting for a worker or for their turn in the output. One thread
// keeps two blocks ready; more keep two per thread.
size_t MostQueued(const Workers& workers) { return workers.threads() == 1 ? 0 : 2 * size_t{workers.threads()}; }

// Reads until `size` bytes came or the source ended; the number read.
size_t ReadFully(ByteSource& in, uint8_t* buffer, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const size_t n = in.read(buffer + got, size - got);
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

bool IsHeader(const uint8_t* bytes, size_t size)
{
    return size >= kHeaderSize && std::memcmp(bytes, kSignature, sizeof kSignature) == 0;
}

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// ---------------------------------------------------------------------------

struct SortJob {
    Bytes block;
    Bytes code;
    std::vector<int32_t> sa;
    std::future<void> done;
};

class CompressPipeline {
public:
    CompressPipeline(ByteSink& out, unsigned threads) : m_out(out), m_code(m_stream), m_workers(threads) {}

    void run(ByteSource& in)
    {
        m_out.start(kMethodBlock);
        m_stream.assign(kSignature, kSignature + sizeof kSignature);
        m_stream.push_back(kMethodBlock);
        Bytes piece(kPiece);
        Bytes coded;  // run-length code not yet in a block
        for (;;) {
            const size_t got = in.read(piece.data(), piece.size());
            if (got == 0)
                break;
            m_runs.feed(ByteView(piece.data(), got), coded);
            coded = submitWhole(coded);
        }
        m_runs.finish(coded);
        coded = submitWhole(coded);
        if (!coded.empty())
            submit(coded);
        while (!m_jobs.empty())
            finishOldest();
        m_code.finish();
        flush(0);
    }

private:
    // Submits the whole blocks at the front of `coded`; returns the rest.
    Bytes submitWhole(Bytes& coded)
    {
        size_t at = 0;
        for (; coded.size() - at >= kBlockSize; at += kBlockSize)
            submit(ByteView(coded).subspan(at, kBlockSize));
        if (at == 0)
            return std::move(coded);
        Bytes rest(coded.begin() + static_cast<std::ptrdiff_t>(at), coded.end());
        return rest;
    }

    void submit(ByteView block)
    {
        // Jobs are used again, with the room their buffers hold.
        std::unique_ptr<SortJob> job;
        if (m_spare.empty()) {
            job = std::make_unique<SortJob>();
        } else {
            job = std::move(m_spare.back());
            m_spare.pop_back();
        }
        job->block.assign(block.begin(), block.end());
        job->code.clear();
        SortJob* j = job.get();
        m_jobs.push_back(std::move(job));
        j->done = m_workers.run([j] { BWTEncodeBlock(j->block, j->sa, j->code); });
        while (m_jobs.size() > MostQueued(m_workers))
            finishOldest();
    }

    void finishOldest()
    {
        std::unique_ptr<SortJob> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        job->done.get();
        m_code.feed(job->code);
        m_spare.push_back(std::move(job));
        flush(kPiece);
    }

    void flush(size_t atLeast)
    {
        if (m_stream.size() >= atLeast && !m_stream.empty()) {
            m_out.write(m_stream);
            m_stream.clear();
        }
    }

    ByteSink& m_out;
    Bytes m_stream;  // settled bytes not yet written
    RunLengthEncoder m_runs;
    BlockCodeEncoder m_code;
    // The jobs go before the workers, which are stopped first.
    std::deque<std::unique_ptr<SortJob>> m_jobs;
    std::vector<std::unique_ptr<SortJob>> m_spare;
    Workers m_workers;
};

// ---------------------------------------------------------------------------

struct UnsortJob {
    Bytes code;  // one or two whole blocks, maybe followed by a broken one
    Bytes plain;
    bool ok = false;
    std::future<void> done;
    UnsortRoom room;
};

// Takes whole blocks from the arithmetic decoder's window, two at a time (as
// the one-buffer decoder pairs them), unsorts them on the workers and
// run-length decodes them in order into the sink.
class DecompressPipeline : public DecodedBytesTaker {
public:
    DecompressPipeline(ByteSink& out, size_t limit, unsigned threads)
        : m_out(out), m_runs(m_plain, limit, 2 * kBlockSize), m_workers(threads)
    {}

    bool take(ByteView bytes, size_t& taken) override
    {
        size_t pos = 0;
        while (bytes.size() - pos >= 4) {
            const uint32_t rows = GetU32(&bytes[pos]);
            if (rows < 2 || rows > kBlockSize + 1) {
                // No encoder writes it: nothing after it can decode, so
                // decoding stops; finish() hands it on to fail there.
                taken = pos;
                return false;
            }
            const size_t size = 4 + size_t{rows} + 8;
            if (bytes.size() - pos < size)
                break;
            pending().insert(pending().end(), bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                             bytes.begin() + static_cast<std::ptrdiff_t>(pos + size));
            pos += size;
            if (++m_pendingBlocks == 2)
                submit();
        }
        taken = pos;
        return !m_failed;
    }

    // The bytes the decoder left (a broken block, if any) go with the last
    // job; true when every block decoded.
    bool finish(ByteView rest)
    {
        if (!rest.empty())
            pending().insert(pending().end(), rest.begin(), rest.end());
        if (m_pending)
            submit();
        while (!m_jobs.empty())
            finishOldest();
        return !m_failed;
    }

private:
    // Jobs are used again, with the room their buffers and tables hold.
    Bytes& pending()
    {
        if (!m_pending) {
            if (m_spare.empty()) {
                m_pending = std::make_unique<UnsortJob>();
            } else {
                m_pending = std::move(m_spare.back());
                m_spare.pop_back();
            }
            m_pending->code.clear();
            m_pending->plain.clear();
        }
        return m_pending->code;
    }

    void submit()
    {
        UnsortJob* j = m_pending.get();
        m_jobs.push_back(std::move(m_pending));
        m_pendingBlocks = 0;
        j->done = m_workers.run([j] { j->ok = BWTDecode(j->code, j->plain, j->room); });
        while (m_jobs.size() > MostQueued(m_workers))
            finishOldest();
    }

    void finishOldest()
    {
        std::unique_ptr<UnsortJob> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        job->done.get();
        if (!m_failed) {
            // The valid blocks before a broken one still go out.
            if (!m_runs.feed(job->plain) || !job->ok)
                m_failed = true;
            m_runs.drain(m_out);
        }
        m_spare.push_back(std::move(job));
    }

    ByteSink& m_out;
    Bytes m_plain;
    RunLengthDecoder m_runs;
    bool m_failed = false;
    std::unique_ptr<UnsortJob> m_pending;
    int m_pendingBlocks = 0;
    std::vector<std::unique_ptr<UnsortJob>> m_spare;
    // The jobs go before the workers, which are stopped first.
    std::deque<std::unique_ptr<UnsortJob>> m_jobs;
    Workers m_workers;
};

// Copies the rest of `in` to `out` (stored data), after `head`. With a limit,
// the data is gathered first: stored data over the bound is not written at all.
bool CopyStored(ByteSource& in, ByteView head, ByteSink& out, size_t limit)
{
    Bytes piece(kPiece);
    if (limit == kNoLimit) {
        if (!head.empty())
            out.write(head);
        for (size_t got; (got = in.read(piece.data(), piece.size())) > 0;)
            out.write(ByteView(piece.data(), got));
        return true;
    }
    Bytes all(head.begin(), head.end());
    for (size_t got; (got = in.read(piece.data(), piece.size())) > 0;) {
        if (got > limit || all.size() > limit - got)
            return false;
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
    }
    if (all.size() > limit)
        return false;
    if (!all.empty())
        out.write(all);
    return true;
}

} // namespace

unsigned DefaultThreads()
{
    const unsigned n = std::thread::hardware_concurrency();
    return std::clamp(n, 1u, 4u);
}

void CompressStream(ByteSource& in, ByteSink& out, unsigned threads)
{
    CompressPipeline(out, threads).run(in);
}

bool DecompressStream(ByteSource& in, ByteSink& out, size_t limit, unsigned threads)
{
    uint8_t head[kHeaderSize];
    const size_t got = ReadFully(in, head, sizeof head);
    if (!IsHeader(head, got)) {
        out.start(kMethodStored);
        return CopyStored(in, ByteView(head, got), out, limit);
    }
    const uint8_t method = head[6];
    out.start(method);
    switch (method) {
    case kMethodStored: {
        // Stored data behind a header goes through the header check once
        // more: stored data that itself begins with a complete header loses it.
        uint8_t next[kHeaderSize];
        const size_t more = ReadFully(in, next, sizeof next);
        return CopyStored(in, IsHeader(next, more) ? ByteView() : ByteView(next, more), out, limit);
    }
    case kMethodBlock: {
        Bytes window;
        window.reserve(kWindow);
        DecompressPipeline pipeline(out, limit, threads);
        const bool ok = ArithRLEMTFDecode(in, window, limit, pipeline);
        return pipeline.finish(window) && ok;
    }
    case kMethodArith:
    case kMethodMTF:
    case kMethodRLE: {
        // Methods the compressor never writes: decoded whole.
        Bytes stream(head, head + sizeof head);
        Bytes piece(kPiece);
        for (size_t n; (n = in.read(piece.data(), piece.size())) > 0;)
            stream.insert(stream.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(n));
        Bytes data;
        const bool ok = Decompress(stream, data, limit);
        if (!data.empty())
            out.write(data);
        return ok;
    }
    default:
        return false;
    }
}

} // namespace zlcomp
