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

// Runs jobs on up to `threads` threads of its own, each started only when a
// job finds every running one busy (a short stream starts few); with none,
// at once on the caller's. The destructor drops the jobs not started and
// waits for the running ones.
class Workers {
public:
    explicit Workers(unsigned threads) : m_threads(threads) {}

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
        if (m_threads == 0) {
            task();
            return done;
        }
        bool start = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.push_back(std::move(task));
            start = m_queue.size() > m_idle && m_pool.size() < m_threads;
        }
        if (start)
            m_pool.emplace_back([this] { serve(); });
        else
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
                ++m_idle;
                m_wake.wait(lock, [this] { return m_stop || !m_queue.empty(); });
                --m_idle;
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
    size_t m_idle = 0;  // threads waiting for a job
    bool m_stop = false;
};

// Blocks waiting for a worker or for their turn in the output: two per
// worker.
size_t MostQueued(const Workers& workers) { return 2 * size_t{workers.threads()}; }

// Unsorting jobs in flight: the caller's arithmetic decoding is the slow
// stage, so one running and one ready job per worker keep the workers fed;
// more would only hold memory.
size_t MostUnsorting(const Workers& workers) { return 2 * size_t{workers.threads()}; }

// A buffer of `size` bytes that are not zeroed: pages are only touched by
// what is read into them.
std::unique_ptr<uint8_t[]> RawBuffer(size_t size) { return std::unique_ptr<uint8_t[]>(new uint8_t[size]); }

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
    // With one thread the blocks are sorted on the caller's; with more, on
    // that many workers while the caller codes the sorted blocks in order.
    CompressPipeline(ByteSink& out, unsigned threads)
        : m_out(out), m_code(m_stream), m_workers(threads <= 1 ? 0 : threads)
    {}

    void run(ByteSource& in)
    {
        m_out.start(kMethodBlock);
        m_stream.assign(kSignature, kSignature + sizeof kSignature);
        m_stream.push_back(kMethodBlock);
        const auto piece = RawBuffer(kPiece);
        Bytes coded;  // run-length code not yet in a block
        for (;;) {
            const size_t got = in.read(piece.get(), kPiece);
            if (got == 0)
                break;
            m_runs.feed(ByteView(piece.get(), got), coded);
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
};

// The unsorting tables (about a megabyte each), one per job running, not
// one per job in flight.
class UnsortRooms {
public:
    std::unique_ptr<UnsortRoom> acquire()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_free.empty())
            return std::make_unique<UnsortRoom>();
        std::unique_ptr<UnsortRoom> room = std::move(m_free.back());
        m_free.pop_back();
        return room;
    }

    void release(std::unique_ptr<UnsortRoom> room)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_free.push_back(std::move(room));
    }

private:
    std::mutex m_mutex;
    std::vector<std::unique_ptr<UnsortRoom>> m_free;
};

// Takes whole blocks from the arithmetic decoder's window, `blocksPerJob`
// (1 or 2) at a time, unsorts them on `workers` threads (none: on the
// calling one) and run-length decodes them in order into the sink. Two
// blocks are unsorted faster together (more loads in flight), one alone
// needs half the tables.
class DecompressPipeline : public DecodedBytesTaker {
public:
    DecompressPipeline(ByteSink& out, size_t limit, unsigned workers, int blocksPerJob)
        : m_out(out), m_runs(m_plain, limit, kFirstPlain), m_workers(workers), m_blocksPerJob(blocksPerJob)
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
            if (++m_pendingBlocks == m_blocksPerJob)
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
    // Room of a job's unsorted output (it grows past it when needed).
    static constexpr size_t kFirstPlain = 4096;
    // Run-length code decoded at a time: it expands to at most 128 times
    // its size (two bytes and a count of 255 more after a full run).
    static constexpr size_t kRunSlice = 512;

    // Jobs are used again, with the room their buffers and tables hold.
    Bytes& pending()
    {
        if (!m_pending) {
            if (m_spare.empty()) {
                m_pending = std::make_unique<UnsortJob>();
                // The blocks with their headers, without regrowing.
                m_pending->code.reserve(size_t(m_blocksPerJob) * (kBlockSize + 12));
                m_pending->plain.reserve(size_t(m_blocksPerJob) * kBlockSize);
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
        j->done = m_workers.run([this, j] {
            std::unique_ptr<UnsortRoom> room = m_rooms.acquire();
            j->ok = BWTDecode(j->code, j->plain, *room);
            m_rooms.release(std::move(room));
        });
        while (m_jobs.size() > MostUnsorting(m_workers))
            finishOldest();
    }

    void finishOldest()
    {
        std::unique_ptr<UnsortJob> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        job->done.get();
        if (!m_failed) {
            // The valid blocks before a broken one still go out. Runs can
            // expand a block a hundredfold, so it goes in slices and the
            // output goes out whenever a piece is ready: the room stays
            // that of a piece and a slice.
            const ByteView plain(job->plain);
            bool fed = true;
            for (size_t at = 0; at < plain.size() && fed; at += kRunSlice) {
                fed = m_runs.feed(plain.subspan(at, std::min(kRunSlice, plain.size() - at)));
                if (m_runs.written() >= kPiece)
                    m_runs.drain(m_out);
            }
            m_failed = !fed || !job->ok;
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
    // The jobs and rooms go before the workers, which are stopped first.
    UnsortRooms m_rooms;
    std::deque<std::unique_ptr<UnsortJob>> m_jobs;
    Workers m_workers;
    const int m_blocksPerJob;
};

// Decoding of a block-sort payload on two or three threads: the caller's
// thread decodes the arithmetic code, which every later stage waits for,
// and does nothing else but read the input and write the output; a block
// thread decodes the run-length and move-to-front codes of its bytes and
// runs the block pipeline, one block per job (unsorting on `workers` more
// threads, or on itself). Pieces pass between the two through two short queues, so memory
// stays bounded. The block thread starts with the second piece: a stream
// short enough for one piece is decoded on the caller's thread alone.
class TwoStageDecoder : private DecodedPieceTaker {
public:
    TwoStageDecoder(ByteSink& out, size_t limit, unsigned workers) : m_out(out), m_limit(limit), m_workers(workers) {}

    ~TwoStageDecoder()
    {
        // Reached early only by an exception of the input or the output.
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_abort = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    TwoStageDecoder(const TwoStageDecoder&) = delete;
    TwoStageDecoder& operator=(const TwoStageDecoder&) = delete;

    bool run(ByteSource& in)
    {
        const bool ok = ArithDecode(in, kSymbolPiece, *this);
        if (!m_thread.joinable()) {
            m_inputEnded = true;
            m_inline = true;
            blockStage();
            if (m_error)
                std::rethrow_exception(m_error);
            return ok && m_stageOk;
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_inputEnded = true;
        m_changed.notify_all();
        for (;;) {
            m_changed.wait(lock, [this] { return !m_output.empty() || m_stageDone; });
            if (m_output.empty())
                break;
            deliver(lock);
        }
        lock.unlock();
        m_thread.join();
        if (m_error)
            std::rethrow_exception(m_error);
        return ok && m_stageOk;
    }

private:
    // Pieces of the arithmetic decoder's bytes: small, so that the block
    // thread starts early and little memory waits.
    static constexpr size_t kSymbolPiece = 16384;
    // Pieces waiting in each direction. The output pieces are a block's
    // data each, and the caller's thread writes them out at every piece it
    // decodes, so few wait.
    static constexpr size_t kMostSymbolPieces = 4;
    static constexpr size_t kMostOutputPieces = 2;

    struct Aborted {};

    // The caller's side: a piece of the arithmetic decoder's bytes, handed
    // to the block thread once there is room; meanwhile the output waiting
    // goes out. False once the block thread stopped taking.
    bool take(ByteView piece) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] {
                return m_symbols.size() < kMostSymbolPieces || !m_output.empty() || m_stopped || m_stageDone;
            });
            if (m_output.empty())
                break;
            deliver(lock);
        }
        if (m_stopped || m_stageDone)
            return false;
        Bytes copy = spare(m_spareSymbols);
        copy.assign(piece.begin(), piece.end());
        m_symbols.push_back(std::move(copy));
        if (m_symbols.size() == 2 && !m_thread.joinable())
            m_thread = std::thread([this] { blockStage(); });
        m_changed.notify_all();
        return true;
    }

    // Writes the output pieces waiting, outside the lock.
    void deliver(std::unique_lock<std::mutex>& lock)
    {
        while (!m_output.empty()) {
            Bytes piece = std::move(m_output.front());
            m_output.pop_front();
            m_changed.notify_all();
            lock.unlock();
            m_out.write(piece);
            lock.lock();
            m_spareOutput.push_back(std::move(piece));
        }
    }

    static Bytes spare(std::vector<Bytes>& pool)
    {
        if (pool.empty())
            return Bytes();
        Bytes b = std::move(pool.back());
        pool.pop_back();
        return b;
    }

    // The block thread's output: queued for the caller's thread.
    class QueueSink : public ByteSink {
    public:
        explicit QueueSink(TwoStageDecoder& owner) : m_owner(owner) {}
        void write(ByteView bytes) override
        {
            TwoStageDecoder& o = m_owner;
            if (o.m_inline) {
                o.m_out.write(bytes);
                return;
            }
            std::unique_lock<std::mutex> lock(o.m_mutex);
            o.m_changed.wait(lock, [&o] { return o.m_output.size() < kMostOutputPieces || o.m_abort; });
            if (o.m_abort)
                throw Aborted{};
            Bytes copy = spare(o.m_spareOutput);
            copy.assign(bytes.begin(), bytes.end());
            o.m_output.push_back(std::move(copy));
            o.m_changed.notify_all();
        }

    private:
        TwoStageDecoder& m_owner;
    };

    // The next piece of the arithmetic decoder's bytes into `piece`; false
    // at the end of them.
    bool nextSymbols(Bytes& piece)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!piece.empty() || piece.capacity() > 0)
            m_spareSymbols.push_back(std::move(piece));
        m_changed.wait(lock, [this] { return !m_symbols.empty() || m_inputEnded || m_abort; });
        if (m_abort)
            throw Aborted{};
        if (m_symbols.empty())
            return false;
        piece = std::move(m_symbols.front());
        m_symbols.pop_front();
        m_changed.notify_all();
        return true;
    }

    void blockStage()
    {
        bool ok = false;
        std::exception_ptr error;
        try {
            QueueSink sink(*this);
            Bytes window;
            window.reserve(kWindow);
            DecompressPipeline pipeline(sink, m_limit, m_workers, 1);
            bool fed = true;
            {
                BlockCodeDecoder decoder(window, m_limit, pipeline);
                Bytes piece;
                while (nextSymbols(piece)) {
                    if (fed && !decoder.feed(piece)) {
                        // The rest of the arithmetic decoder's bytes is
                        // not wanted: tell it to stop.
                        fed = false;
                        std::lock_guard<std::mutex> lock(m_mutex);
                        m_stopped = true;
                        m_changed.notify_all();
                    }
                }
            }
            ok = pipeline.finish(window) && fed;
        } catch (const Aborted&) {
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stageOk = ok;
        m_error = error;
        m_stageDone = true;
        m_changed.notify_all();
    }

    ByteSink& m_out;
    const size_t m_limit;
    const unsigned m_workers;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Bytes> m_symbols;  // arithmetic decoder's bytes for the block thread
    std::vector<Bytes> m_spareSymbols;
    std::deque<Bytes> m_output;  // decoded data for the caller's thread
    std::vector<Bytes> m_spareOutput;
    bool m_inputEnded = false;  // the arithmetic decoder is done
    bool m_stopped = false;     // the block thread takes no more bytes
    bool m_stageDone = false;   // the block thread is done
    bool m_stageOk = false;
    bool m_abort = false;  // the caller's thread is leaving
    bool m_inline = false;  // the block stage runs on the caller's thread
    std::exception_ptr m_error;
    std::thread m_thread;
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

unsigned DecompressionThreads(unsigned threads) { return std::clamp(threads, 1u, 3u); }

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
        if (DecompressionThreads(threads) >= 2)
            return TwoStageDecoder(out, limit, DecompressionThreads(threads) - 2).run(in);
        Bytes window;
        window.reserve(kWindow);
        DecompressPipeline pipeline(out, limit, 0, 2);
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
