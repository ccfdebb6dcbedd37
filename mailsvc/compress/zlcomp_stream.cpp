// The ZLComp container: header, the compressor's stage chain and the
// decompressor's dispatch on the method byte.
#include "zlcomp_core.h"

#include <algorithm>
#include <cstring>

namespace zlcomp {

namespace {

constexpr char kSignature[6] = {'Z', 'L', 'C', 'o', 'm', 'p'};
constexpr size_t kHeaderSize = 7;

} // namespace

uint8_t SplitStream(ByteView stream, ByteView& payload)
{
    if (stream.size() >= kHeaderSize &&
        std::memcmp(stream.data(), kSignature, sizeof kSignature) == 0) {
        payload = stream.subspan(kHeaderSize);
        return stream[6];
    }
    payload = stream;
    return kMethodStored;
}

namespace {

class ViewSource : public ByteSource {
public:
    explicit ViewSource(ByteView data) : m_rest(data) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        const size_t n = std::min(size, m_rest.size());
        if (n > 0)
            std::memcpy(buffer, m_rest.data(), n);
        m_rest = m_rest.subspan(n);
        return n;
    }

private:
    ByteView m_rest;
};

class AppendSink : public ByteSink {
public:
    explicit AppendSink(Bytes& out) : m_out(out) {}
    void write(ByteView bytes) override { m_out.insert(m_out.end(), bytes.begin(), bytes.end()); }

private:
    Bytes& m_out;
};

} // namespace

Bytes Compress(ByteView data)
{
    Bytes stream;
    stream.reserve(data.size() / 2 + 16);
    ViewSource in(data);
    AppendSink out(stream);
    CompressStream(in, out, DefaultThreads());
    return stream;
}

bool Decompress(ByteView stream, Bytes& out, size_t limit)
{
    ByteView payload;
    const uint8_t method = SplitStream(stream, payload);
    switch (method) {
    case kMethodStored: {
        // A header with method 0 holds stored data, which goes through the
        // header check once more: stored data that itself begins with a
        // complete header loses it.
        ByteView data;
        SplitStream(payload, data);
        if (data.size() > limit)
            return false;
        out.insert(out.end(), data.begin(), data.end());
        return true;
    }
    case kMethodArith:
        return ArithDecode(payload, out, limit);
    case kMethodMTF:
        if (payload.size() > limit)
            return false;
        MTFDecode(payload, out);
        return true;
    case kMethodRLE:
        return RLEDecode(payload, out, limit);
    case kMethodBlock: {
        // A fault in one stage stops that stage; what it decoded still goes
        // through the remaining stages, and the result reports the fault.
        Bytes w1;
        // Text streams expand about 3.5 times here; the hint stays modest so a
        // crafted stream cannot claim memory before it decodes anything.
        w1.reserve(std::min({payload.size() * 4, limit, size_t{16} << 20}));
        const bool ok = ArithRLEMTFDecode(payload, w1, limit);
        return BWTRLEDecode(w1, out, limit) && ok;
    }
    default:
        // An unknown method: nothing to decode, and the caller must know.
        return false;
    }
}

} // namespace zlcomp
