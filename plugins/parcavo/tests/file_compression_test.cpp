// The three ways a file that is to be compressed can go out, after the
// compression's answer: the archive, nothing, or the file as it is.
#include "file_compression.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(FileCompression, TheCompressionsAnswerDecidesWhatGoesOut)
{
    struct Case {
        const char* what;
        int zip;  // 1 writes the archive, 0 makes none, -1 throws
        Compression outcome;
        const char* log;
    } cases[] = {
        {"archive written", 1, Compression::Archive, ""},
        // No archive (no library, or one that failed): logged, nothing is sent
        // and the request counts as not handled.
        {"no archive", 0, Compression::Failed, "Error locating Zip DLL. Please re-install.\r\n"},
        // Thrown inside the compression: the file goes out uncompressed.
        {"thrown", -1, Compression::Uncompressed, "Zip error. catch(...)\n"},
    };
    for (const Case& c : cases) {
        CString log = "before\r\n";
        int calls = 0;
        Compression got = CompressForMail(
            [&] {
                ++calls;
                if (c.zip < 0)
                    throw std::runtime_error("zip");
                return c.zip == 1;
            },
            log);
        EXPECT_EQ(got, c.outcome) << c.what;
        EXPECT_EQ(std::string((const char*)log), std::string("before\r\n") + c.log) << c.what;
        EXPECT_EQ(calls, 1) << c.what;
    }
}
