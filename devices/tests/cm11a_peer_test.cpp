// The CM11A interface against x10_peer.py, a simulated interface on a
// pseudo-terminal behind the COM port: the frames it receives, its checksums,
// polls of received traffic, status replies and the clock request.
#include "peer_control.h"  // winsock2.h must come before windows.h

#include <gtest/gtest.h>

#include <string>

#include "change_recorder.h"
#include "cm11a_interface.h"

namespace {

class CM11APeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PeerPort() || !m_peer.Connected())
            GTEST_SKIP() << "run by x10_peer.py";
        m_x10.SubscribeNotifyNormalDeviceChange(RecordNormal);
        m_x10.SubscribeNotifyExtendedDeviceChange(RecordExtended);
        m_x10.Init(PeerPort(), 'C');
        NormalChanges().Take();
        ExtendedChanges().Take();
        m_init = m_peer.Ask("frames");
    }
    void TearDown() override { m_x10.Unload(); }

    // Polls until count changes were told, within a generous deadline.
    std::vector<DeviceChange> PollFor(ChangeLog& log, size_t count)
    {
        DWORD start = GetTickCount();
        while (log.Size() < count && GetTickCount() - start < 120000) {
            m_x10.PollInterface();
            Sleep(20);
        }
        return log.Take();
    }

    PeerControl m_peer;
    CM11AInterface m_x10;
    std::string m_init;
};

} // namespace

TEST_F(CM11APeer, InitSetsTheClockForTheMonitoredHouse)
{
    // 0x9B, then six bytes; the last is house C's code (0x20) without the clear bit.
    ASSERT_EQ(14u, m_init.size()) << m_init;
    EXPECT_EQ("9B", m_init.substr(0, 2));
    EXPECT_EQ("20", m_init.substr(12, 2));
    EXPECT_EQ(2, m_x10.GetMonitoredHouse());
}

// Shut down, the interface is closed: a command after it fails at once
// instead of waiting through every read's retries on a port that is gone.
TEST_F(CM11APeer, AfterUnloadTheInterfaceIsClosedAndReadsDoNotWait)
{
    m_x10.Unload();
    EXPECT_FALSE(m_x10.m_bOpen);
    EXPECT_FALSE(m_x10.SendOn(0, 0));
    EXPECT_FALSE(m_x10.TimedOut()) << "a read after shut-down waited through its retries";
}

TEST_F(CM11APeer, CommandsSendAddressAndFunctionFramesAndKeepTheTable)
{
    struct Step {
        const char* name;
        bool (CM11AInterface::*send)(int, int, int);
        int percent;
        const char* frames;
        DeviceChange change;
    };
    // House B unit 10: address byte 0xE0 + 0x0F.
    EXPECT_TRUE(m_x10.SendOn(1, 9));
    EXPECT_EQ("04EF 06E2", m_peer.Ask("frames"));
    EXPECT_EQ(100, m_x10.GetState(1, 9, false));
    Step steps[] = {
        // 60 % is 13 dim steps: (13 << 3) | 6.
        {"dim 60", &CM11AInterface::SendDimRel, 60, "04EF 6EE4", {1, 9, 40, -60, 4}},
        {"dim -30 dims as 30", &CM11AInterface::SendDimRel, -30, "04EF 36E4", {1, 9, 10, -30, 4}},
        {"bright 30", &CM11AInterface::SendBrightRel, 30, "04EF 36E5", {1, 9, 40, 30, 5}},
        {"bright -30 brightens by 0", &CM11AInterface::SendBrightRel, -30, "04EF 06E5", {1, 9, 40, 0, 5}},
    };
    NormalChanges().Take();
    for (const Step& s : steps) {
        EXPECT_TRUE((m_x10.*s.send)(1, 9, s.percent)) << s.name;
        EXPECT_EQ(s.frames, m_peer.Ask("frames")) << s.name;
        EXPECT_EQ(std::vector<DeviceChange>{s.change}, NormalChanges().Take()) << s.name;
    }
    EXPECT_TRUE(m_x10.SendOn(1, 9));
    EXPECT_EQ((std::vector<DeviceChange>{{1, 9, 40, 100, 2}}), NormalChanges().Take()) << "a known level stays";
    EXPECT_TRUE(m_x10.SendOff(1, 9));
    EXPECT_EQ((std::vector<DeviceChange>{{1, 9, 0, -100, 3}}), NormalChanges().Take());
    m_peer.Ask("frames");
    // An unknown level brightened by a negative amount becomes 0.
    EXPECT_TRUE(m_x10.SendBrightRel(0, 0, -30));
    EXPECT_EQ(0, m_x10.GetState(0, 0, false));
    EXPECT_TRUE(m_x10.SendAllOff(2));
    EXPECT_EQ("0466 0665 0620", m_peer.Ask("frames"));
    EXPECT_EQ(0, m_x10.GetState(2, 15, false));
}

TEST_F(CM11APeer, SpoiledChecksumsAreRetriedAndSixFailuresChangeNothing)
{
    m_peer.Ask("badsum 1");
    EXPECT_TRUE(m_x10.SendOn(0, 0));
    EXPECT_EQ("0466 0466 0662", m_peer.Ask("frames")) << "the garbled address frame went again";
    NormalChanges().Take();
    m_peer.Ask("badsum 100");
    EXPECT_FALSE(m_x10.SendOff(0, 0));
    EXPECT_EQ(100, m_x10.GetState(0, 0, false));
    EXPECT_TRUE(NormalChanges().Take().empty());
    EXPECT_EQ("0466 0466 0466 0466 0466 0466", m_peer.Ask("frames"));
    m_peer.Ask("badsum 0");
}

TEST_F(CM11APeer, ReceivedOnAndDimChangeTheTableAndNotify)
{
    // Mask 0b0110: A1 address, A On, A Dim with amount 105 (50 %).
    m_peer.Ask("poll 050666626469");
    auto changes = PollFor(NormalChanges(), 2);
    EXPECT_EQ((std::vector<DeviceChange>{{0, 0, 100, 100, 2}, {0, 0, 50, -50, 4}}), changes);
    // A Dim of 210 takes the full 100 %.
    m_peer.Ask("poll 040266 64D2");
    EXPECT_EQ((std::vector<DeviceChange>{{0, 0, 0, -100, 4}}), PollFor(NormalChanges(), 1));
    EXPECT_NE(std::string::npos, m_peer.Ask("frames").find("C3"));
}

TEST_F(CM11APeer, PollBuffersLongerThanEightAreDropped)
{
    m_peer.Ask("poll 090266620000000000000000");
    DWORD start = GetTickCount();
    while (m_peer.Ask("frames").find("C3") == std::string::npos && GetTickCount() - start < 120000) {
        m_x10.PollInterface();
        Sleep(20);
    }
    for (int i = 0; i < 20; ++i)
        m_x10.PollInterface();
    EXPECT_TRUE(NormalChanges().Take().empty());
    EXPECT_EQ(-1, m_x10.GetState(0, 0, false));
}

TEST_F(CM11APeer, ExtendedRepliesStoreSensorReadings)
{
    // B3 address, B Extended Code; then the four extended bytes: B3, data 0x85, command 0x1C.
    m_peer.Ask("poll 0302E2E7 00E2851C");
    EXPECT_EQ((std::vector<DeviceChange>{{1, 2, 0x1C, 0x85, 0}}), PollFor(ExtendedChanges(), 1));
    EXPECT_EQ(-133, m_x10.GetState(1, 2, false));
}

TEST_F(CM11APeer, StatusReplyUpdatesOnlyTheHouseItNames)
{
    // Battery 0x1234; byte 7 names house C; unit code 6 (unit 1) on, code 14
    // (unit 2) on and dimmed, the rest off.
    m_peer.Ask("status 3412000000000020000040400040");
    m_peer.Ask("frames");
    EXPECT_TRUE(m_x10.SendGetStatus(-1));
    EXPECT_EQ("8B", m_peer.Ask("frames"));
    EXPECT_EQ(0x1234, m_x10.GetBatteryTimer());
    EXPECT_EQ(100, m_x10.GetState(2, 0, false));
    EXPECT_EQ(50, m_x10.GetState(2, 1, false));
    EXPECT_EQ(0, m_x10.GetState(2, 2, false));
    EXPECT_EQ(-1, m_x10.GetState(0, 0, false)) << "house A's row stays";
}

TEST_F(CM11APeer, ClockRequestIsAnsweredWithTheClearFlag)
{
    m_peer.Ask("send A5");
    EXPECT_EQ((std::vector<DeviceChange>{{-1, -1, -1, -1, 0xA5}}), PollFor(NormalChanges(), 1));
    std::string frames = m_peer.Ask("frames");
    ASSERT_EQ(14u, frames.size()) << frames;
    EXPECT_EQ("9B", frames.substr(0, 2));
    EXPECT_EQ("21", frames.substr(12, 2)) << "house C with the monitored-status clear bit";
}

// The process-wide interface is polled by its multimedia timer: the clock
// request is answered from the timer's own thread, whose sends must not wait
// for the timer's own busy flag.
TEST(CM11APeerTimer, TimerAnswersTheClockRequestFromItsOwnThread)
{
    PeerControl peer;
    if (!PeerPort() || !peer.Connected())
        GTEST_SKIP() << "run by x10_peer.py";
    g_CM11AInterface.SubscribeNotifyNormalDeviceChange(RecordNormal);
    g_CM11AInterface.Init(PeerPort(), 0);
    ASSERT_NE(0u, CM11AInterface::wTimerID);
    peer.Ask("frames");
    NormalChanges().Take();
    peer.Ask("send A5");
    DWORD start = GetTickCount();
    while (NormalChanges().Size() < 1 && GetTickCount() - start < 120000)
        Sleep(20);
    EXPECT_EQ((std::vector<DeviceChange>{{-1, -1, -1, -1, 0xA5}}), NormalChanges().Take());
    std::string frames = peer.Ask("frames");
    EXPECT_EQ("9B", frames.substr(0, 2));
    EXPECT_EQ("61", frames.substr(12, 2)) << "house A with the clear bit";
    // A command from this thread meanwhile goes through whole.
    EXPECT_TRUE(g_CM11AInterface.SendOn(0, 0));
    g_CM11AInterface.Unload();
    EXPECT_EQ(0u, CM11AInterface::wTimerID);
    EXPECT_FALSE(CM11AInterface::CM11ABusy::IsBusy());
    g_CM11AInterface.UnSubscribeNotifyNormalDeviceChange(RecordNormal);
}
