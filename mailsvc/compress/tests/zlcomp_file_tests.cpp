// ZLCompress / ZLDeCompress on memory and disk files: positions, emptying,
// results.
#include <gtest/gtest.h>

#include <string>

#include "fx/fx.h"
#include "fx/file.h"
#include "testsupport/testsupport.h"
#include "zlcomp.h"
#include "zlcomp_core.h"
#include "zlcomp_test_data.h"

using namespace zlcomp_test;

namespace {

void Put(CFile& f, const zlcomp::Bytes& b)
{
    f.SeekToBegin();
    f.SetLength(0);
    if (!b.empty())
        f.Write(b.data(), static_cast<UINT>(b.size()));
}

zlcomp::Bytes All(CFile& f)
{
    const DWORD pos = f.GetPosition();
    zlcomp::Bytes b(f.GetLength());
    f.SeekToBegin();
    const UINT got = b.empty() ? 0 : f.Read(b.data(), static_cast<UINT>(b.size()));
    b.resize(got);
    f.Seek(static_cast<LONG>(pos), CFile::begin);
    return b;
}

} // namespace

TEST(ZLCompFiles, CompressRewindsAndReplaces)
{
    const zlcomp::Bytes data = WordText(100000, 51);
    CMemFile in, out;
    Put(in, data);
    in.Seek(500, CFile::begin);  // compression takes the whole file regardless
    Put(out, FromString("old contents that must go, old contents that must go"));
    EXPECT_EQ(ZLCompress(&in, &out), 1);
    EXPECT_EQ(in.GetPosition(), 0u);
    EXPECT_EQ(out.GetPosition(), 0u);
    EXPECT_EQ(All(out), zlcomp::Compress(data));

    CMemFile back;
    EXPECT_EQ(ZLDeCompress(&out, &back), 1);
    EXPECT_EQ(All(back), data);
    EXPECT_EQ(out.GetPosition(), 0u);
    EXPECT_EQ(back.GetPosition(), 0u);
}

TEST(ZLCompFiles, EmptyInputGivesNineBytes)
{
    CMemFile in, out, back;
    EXPECT_EQ(ZLCompress(&in, &out), 1);
    EXPECT_EQ(All(out), Concat(FromString("ZLCompB"), {0x00, 0x02}));
    EXPECT_EQ(ZLDeCompress(&out, &back), 1);
    EXPECT_EQ(back.GetLength(), 0u);
}

TEST(ZLCompFiles, DecompressReadsFromWhereTheInputStands)
{
    CMemFile in, out;
    Put(in, Concat(FromString("skip me:"), zlcomp::Compress(FromString("payload"))));
    in.Seek(8, CFile::begin);
    EXPECT_EQ(ZLDeCompress(&in, &out), 1);
    EXPECT_EQ(All(out), FromString("payload"));
    EXPECT_EQ(in.GetPosition(), 0u);
}

TEST(ZLCompFiles, WhereTheDecodedBytesGo)
{
    struct Case {
        const char* name;
        zlcomp::Bytes stream;
        int result;
        const char* out;
    } cases[] = {
        // Decoded data is written where the output stands; the rest stays.
        {"compressed", zlcomp::Compress(FromString("abc")), 1, "012abc6789"},
        {"run-length", Concat(FromString("ZLCompR"), FromString("xyz")), 1, "012xyz6789"},
        // Stored data empties the output first.
        {"stored", FromString("plain"), 1, "plain"},
        {"stored with header", Concat(FromString("ZLComp"), Concat({0x00}, FromString("kept"))), 1, "kept"},
        // Faults: nothing decodable, the output keeps what it had.
        {"unknown method", FromString("ZLCompZ payload"), 0, "0123456789"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemFile in, out;
        Put(in, c.stream);
        in.SeekToBegin();
        Put(out, FromString("0123456789"));
        out.Seek(3, CFile::begin);
        EXPECT_EQ(ZLDeCompress(&in, &out), c.result);
        EXPECT_EQ(All(out), FromString(c.out));
        EXPECT_EQ(out.GetPosition(), 0u);
    }
}

TEST(ZLCompFiles, TruncatedStreamReportsFailure)
{
    const zlcomp::Bytes data = WordText(50000, 52);
    zlcomp::Bytes stream = zlcomp::Compress(data);
    stream.resize(stream.size() / 2);
    CMemFile in, out;
    Put(in, stream);
    in.SeekToBegin();
    EXPECT_EQ(ZLDeCompress(&in, &out), 0);
    EXPECT_LT(out.GetLength(), data.size());
}

TEST(ZLCompFiles, DiskFilesAndDecompressingInPlace)
{
    testsupport::TempDir dir;
    const std::string plain = dir.file("words.txt");
    const std::string packed = dir.file("words.tx_");
    const zlcomp::Bytes data = Concat(WordText(150000, 53), RandomBytes(20000, 54));
    ASSERT_TRUE(testsupport::WriteFile(plain, std::string(data.begin(), data.end())));
    {
        CFile in(plain.c_str(), CFile::modeRead | CFile::typeBinary);
        CFile out(packed.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        EXPECT_EQ(ZLCompress(&in, &out), 1);
    }
    const std::string stream = testsupport::ReadFile(packed);
    EXPECT_EQ(zlcomp::Bytes(stream.begin(), stream.end()), zlcomp::Compress(data));

    // As an update is unpacked: into memory, then back over the same file.
    {
        CFile local(packed.c_str(), CFile::modeReadWrite | CFile::modeNoTruncate | CFile::typeBinary);
        CMemFile mem(1024);
        EXPECT_EQ(ZLDeCompress(&local, &mem), 1);
        local.SetLength(0);
        BYTE piece[65535];
        for (;;) {
            const UINT got = mem.Read(piece, sizeof piece);
            local.Write(piece, got);
            if (got < sizeof piece)
                break;
        }
    }
    EXPECT_EQ(testsupport::ReadFile(packed), std::string(data.begin(), data.end()));
}

TEST(ZLCompFiles, EdgeInputsRoundTripThroughTheFiles)
{
    // Both ways through the file functions (all their threads), with the
    // stream byte for byte what the buffer compressor writes.
    const zlcomp::Bytes words = WordText(3 * zlcomp::kBlockSize, 52);
    const struct {
        const char* name;
        zlcomp::Bytes data;
    } cases[] = {
        {"empty", {}},
        {"one byte", FromString("q")},
        {"a block less one", zlcomp::Bytes(words.begin(), words.begin() + zlcomp::kBlockSize - 1)},
        {"a block", zlcomp::Bytes(words.begin(), words.begin() + zlcomp::kBlockSize)},
        {"a block and one", zlcomp::Bytes(words.begin(), words.begin() + zlcomp::kBlockSize + 1)},
        {"three blocks of words", words},
        {"incompressible", RandomBytes(5 * zlcomp::kBlockSize + 3, 53)},
        {"long runs", Concat(Repeat(400000, 'z'), Concat(Repeat(1, 'y'), Repeat(300000, 0)))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMemFile in, packed, back;
        Put(in, c.data);
        ASSERT_EQ(ZLCompress(&in, &packed), 1);
        EXPECT_EQ(All(packed), zlcomp::Compress(c.data));
        ASSERT_EQ(ZLDeCompress(&packed, &back), 1);
        EXPECT_EQ(All(back), c.data);
    }
}
