// The serial channel: closed channels and missing ports, and (driven by
// serial_peer.py, with a pseudo-terminal behind the COM port) bytes both ways,
// queue counts and reads limited below what is waiting.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "serial_channel.h"

TEST(SerialChannel, ClosedChannelsAndMissingPortsTouchNothing)
{
    CSerialChannel channel;
    EXPECT_FALSE(channel.Open(37, 4800, -1)) << "no such port";
    EXPECT_FALSE(channel.IsOpen());
    BYTE bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, channel.Write(bytes, 4));
    EXPECT_EQ(0, channel.BytesWaiting());
    EXPECT_EQ(0, channel.Read(bytes, 4));
    EXPECT_TRUE(channel.Close());
    EXPECT_TRUE(channel.Close());
}

TEST(SerialPeer, BytesGoBothWaysAndReadsStopAtTheirLimit)
{
    const char* port = std::getenv("VX_SERIAL_PEER_PORT");
    if (!port || !*port)
        GTEST_SKIP() << "run by serial_peer.py";
    CSerialChannel channel;
    ASSERT_TRUE(channel.Open(std::atoi(port), 4800, -1));
    EXPECT_TRUE(channel.Open(std::atoi(port) + 1, 9600, 2)) << "an open channel stays open";
    const BYTE hello[3] = {0x5A, 0x5B, 0x5C};
    EXPECT_EQ(3, channel.Write(hello, 3));
    // The peer answers five bytes once it has the three.
    DWORD start = GetTickCount();
    while (channel.BytesWaiting() < 5 && GetTickCount() - start < 60000)
        Sleep(20);
    ASSERT_EQ(5, channel.BytesWaiting());
    BYTE in[16] = {};
    EXPECT_EQ(2, channel.Read(in, 2));
    EXPECT_EQ(1, in[0]);
    EXPECT_EQ(2, in[1]);
    EXPECT_EQ(3, channel.BytesWaiting()) << "the rest stays queued";
    EXPECT_EQ(3, channel.Read(in, 16));
    EXPECT_EQ(std::string("\x03\x04\x05"), std::string(reinterpret_cast<char*>(in), 3));
    start = GetTickCount();
    EXPECT_EQ(0, channel.Read(in, 16));
    EXPECT_LT(GetTickCount() - start, 1000u) << "nothing waiting: no read is issued";
    EXPECT_TRUE(channel.Close());
    ASSERT_TRUE(channel.Open(std::atoi(port), 9600, 2)) << "reopened with the DTR handshake";
    channel.Close();
}
