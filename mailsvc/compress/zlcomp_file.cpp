// The file-level entry points of the compressor: the files are streamed
// through in pieces, so memory does not grow with their size.
#include "zlcomp.h"

#include <algorithm>
#include <new>

#include "fx/file.h"
#include "zlcomp_core.h"

namespace {

// Files are read and written in pieces of at most this size.
constexpr size_t kPiece = 65535;

class FileSource : public zlcomp::ByteSource {
public:
    explicit FileSource(CFile* file) : m_file(file) {}
    size_t read(uint8_t* buffer, size_t size) override
    {
        return m_file->Read(buffer, static_cast<UINT>(std::min(size, kPiece)));
    }

private:
    CFile* m_file;
};

class FileSink : public zlcomp::ByteSink {
public:
    explicit FileSink(CFile* file) : m_file(file) {}
    // Stored data replaces the output's contents.
    void start(uint8_t method) override
    {
        if (method == zlcomp::kMethodStored) {
            m_file->SeekToBegin();
            m_file->SetLength(0);
        }
    }
    void write(zlcomp::ByteView bytes) override
    {
        for (size_t at = 0; at < bytes.size(); at += kPiece) {
            const size_t piece = std::min(kPiece, bytes.size() - at);
            m_file->Write(bytes.data() + at, static_cast<UINT>(piece));
        }
    }

private:
    CFile* m_file;
};

} // namespace

int ZLCompress(CFile* in, CFile* out)
{
    in->SeekToBegin();
    out->SeekToBegin();
    out->SetLength(0);
    int result = 1;
    try {
        FileSource source(in);
        FileSink sink(out);
        zlcomp::CompressStream(source, sink, zlcomp::DefaultThreads());
    } catch (const std::bad_alloc&) {
        out->SeekToBegin();
        out->SetLength(0);
        result = 0;
    }
    out->SeekToBegin();
    in->SeekToBegin();
    return result;
}

int ZLDeCompress(CFile* in, CFile* out)
{
    bool ok = false;
    try {
        FileSource source(in);
        FileSink sink(out);
        ok = zlcomp::DecompressStream(source, sink, zlcomp::kNoLimit, zlcomp::DefaultThreads());
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    in->SeekToBegin();
    out->SeekToBegin();
    return ok ? 1 : 0;
}
