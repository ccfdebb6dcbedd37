// The serial control board against board_peer.py, a simulated board on a
// pseudo-terminal behind the COM port: the handshake, the digital and analog
// channels, X10 commands passed through and the X10 traffic the board reports.
#include "peer_control.h"  // winsock2.h must come before windows.h

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "change_recorder.h"
#include "max_serial_interface.h"

namespace {

class BoardPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PeerPort() || !m_peer.Connected())
            GTEST_SKIP() << "run by board_peer.py";
        m_board.SubscribeNotifyNormalDeviceChange(RecordNormal);
        m_board.Init(PeerPort(), true);
        m_init = m_peer.Ask("lines 30");
        NormalChanges().Take();
    }
    void TearDown() override { m_board.Unload(); }

    std::vector<DeviceChange> PollFor(size_t count)
    {
        DWORD start = GetTickCount();
        while (NormalChanges().Size() < count && GetTickCount() - start < 120000) {
            m_board.PollInterface();
            Sleep(20);
        }
        return NormalChanges().Take();
    }
    // Polls until the board has been quiet for a while, for lines that must be dropped.
    void PollQuiet()
    {
        for (int i = 0; i < 30; ++i) {
            m_board.PollInterface();
            Sleep(20);
        }
    }

    PeerControl m_peer;
    MAXSerialInterface m_board;
    std::string m_init;
};

} // namespace

TEST_F(BoardPeer, HandshakeMonitorsTheChannelsAndAsksHouseAForItsStatus)
{
    std::string expected = "RESET|ECHO=1|LF=1|X10=1";
    for (int x = 0; x < 10; ++x)
        expected += "|DIG" + std::to_string(x) + "M";
    for (int u = 1; u <= 16; ++u)
        expected += "|X10 A " + std::to_string(u) + " STR";
    EXPECT_EQ(expected, m_init);
    EXPECT_NE(0u, MAXSerialInterface::wTimerID) << "the board answered: the timer polls";
    EXPECT_TRUE(m_board.GetX10());
    // The plug-in host's shut-down: the timer stops and the port closes, twice over safely.
    m_board.Unload();
    m_board.Unload();
    EXPECT_FALSE(m_board.m_bOpen) << "shut down, the board stays marked open";
    EXPECT_EQ(0u, MAXSerialInterface::wTimerID);
    EXPECT_FALSE(MAXSerialInterface::MAXSerialBusy::IsBusy());
}

TEST_F(BoardPeer, DigitalChannelsAreSetAndReportedBack)
{
    EXPECT_TRUE(m_board.SendOn(16, 4));
    EXPECT_EQ("DIG4=1", m_peer.Ask("lines 1"));
    EXPECT_EQ((std::vector<DeviceChange>{{16, 4, 1, 1, 2}}), PollFor(1));
    EXPECT_EQ(1, m_board.GetState(16, 4, false));
    EXPECT_TRUE(m_board.SendOff(16, 4));
    EXPECT_EQ((std::vector<DeviceChange>{{16, 4, 0, -1, 3}}), PollFor(1));
    // The same value twice: a change the first time, none the second.
    m_peer.Ask("send DIG3=001 DIG3=001");
    EXPECT_EQ((std::vector<DeviceChange>{{16, 3, 1, 1, 2}, {16, 3, 1, 0, 2}}), PollFor(2));
    EXPECT_FALSE(m_board.SetDigital(10, true)) << "the board has ten channels";
    EXPECT_FALSE(m_board.SendOn(16, 12));
    EXPECT_EQ("DIG4=0", m_peer.Ask("lines 1"));
}

// While the timer polls, a caller's request waits before it touches the shared
// command buffer: two callers that wait meanwhile each get their own command
// onto the wire, whole, once the poll is over.
TEST_F(BoardPeer, RequestsWaitingForAPollKeepTheirOwnCommands)
{
    auto waitBusy = [](int count) {
        for (int i = 0; i < 12000 && MAXSerialInterface::MAXSerialBusy::m_nBusy.load() < count; ++i)
            Sleep(5);
        return MAXSerialInterface::MAXSerialBusy::m_nBusy.load() >= count;
    };
    // A guard held by hand keeps the real timer's ticks out meanwhile, so the
    // poll stands until the test ends it.
    MAXSerialInterface::MAXSerialBusy::ForceBusy(true);
    MAXSerialInterface::MAXSerialBusy::TimerLock(true);  // a poll of the timer is running
    std::thread analog([this] { m_board.RequestAnalog(2); });
    const bool first = waitBusy(2);
    std::thread digital([this] { m_board.RequestDigital(3); });
    const bool second = waitBusy(3);
    MAXSerialInterface::MAXSerialBusy::TimerLock(false);  // the poll ends
    analog.join();
    digital.join();
    MAXSerialInterface::MAXSerialBusy::ForceBusy(false);
    ASSERT_TRUE(first && second) << "waited for both requests to wait for the poll";
    std::string lines = m_peer.Ask("lines 2");
    EXPECT_TRUE(lines == "ANA2?|DIG3?" || lines == "DIG3?|ANA2?") << lines;
}

TEST_F(BoardPeer, AnalogChannelsReportTheirChange)
{
    EXPECT_TRUE(m_board.RequestAnalog(2));
    EXPECT_EQ((std::vector<DeviceChange>{{17, 2, 30, 31, 5}}), PollFor(1));
    m_peer.Ask("analog 2 50");
    EXPECT_EQ(30, m_board.GetState(17, 2, true)) << "the new value comes with a later poll";
    EXPECT_EQ((std::vector<DeviceChange>{{17, 2, 50, 20, 5}}), PollFor(1));
    m_peer.Ask("lines");
    EXPECT_FALSE(m_board.SendOff(17, 0)) << "analog channels cannot be switched";
    EXPECT_FALSE(m_board.RequestAnalog(5));
    EXPECT_EQ("-", m_peer.Ask("lines")) << "nothing was sent";
}

TEST_F(BoardPeer, X10CommandsPassThroughTheBoard)
{
    // 50 % is 11 dim steps, one line each.
    EXPECT_TRUE(m_board.SendDimRel(2, 0, 50));
    std::string expected = "X10 C 1 DIM";
    for (int i = 1; i < 11; ++i)
        expected += "|X10 C 1 DIM";
    EXPECT_EQ(expected, m_peer.Ask("lines 11"));
    EXPECT_EQ(0, m_board.GetState(2, 0, false));
    EXPECT_TRUE(m_board.SendAllOff(15));
    EXPECT_EQ("X10 P AUF", m_peer.Ask("lines 1"));
    EXPECT_FALSE(m_board.SendOn(18, 0));
    EXPECT_FALSE(m_board.SendAllOff(16));
    EXPECT_EQ("-", m_peer.Ask("lines"));
}

TEST_F(BoardPeer, X10TrafficTheBoardHearsNotifies)
{
    m_peer.Ask("send A_01 A_02 AONN");
    EXPECT_EQ((std::vector<DeviceChange>{{0, 0, 100, 100, 2}, {0, 1, 100, 100, 2}}), PollFor(2));
    // A dim carries no amount: the level stays and the change is 0.
    m_peer.Ask("send A_02 ADIM");
    EXPECT_EQ((std::vector<DeviceChange>{{0, 1, 100, 0, 4}}), PollFor(1));
    // Too short, a unit outside 1-16, a letter past P, channels outside the board's: all dropped.
    m_peer.Ask("send P16 A_17 Q_01 AONN ANA7=001 DIG:=001");
    EXPECT_EQ((std::vector<DeviceChange>{{0, 1, 100, 100, 2}}), PollFor(1)) << "only the earlier A2 is on";
    PollQuiet();
    EXPECT_TRUE(NormalChanges().Take().empty());
    m_peer.Ask("send X10=0");
    PollQuiet();
    EXPECT_FALSE(m_board.GetX10());
    m_peer.Ask("send A_03 AONN");
    PollQuiet();
    EXPECT_TRUE(NormalChanges().Take().empty()) << "without X10 the events are not read";
    m_peer.Ask("send X10=1");
    PollQuiet();
    EXPECT_TRUE(m_board.GetX10());
}

TEST_F(BoardPeer, OverlongLinesAreDropped)
{
    m_peer.Ask("send DIG1=001" + std::string(300, '0') + " DIG2=001");
    EXPECT_EQ((std::vector<DeviceChange>{{16, 2, 1, 1, 2}}), PollFor(1));
}

TEST_F(BoardPeer, HandshakeFailsWhenTheBoardDoesNotAnswerReady)
{
    m_peer.Ask("refuse RESET");
    EXPECT_FALSE(m_board.VerifyConnection());
    m_peer.Ask("refuse -");
    EXPECT_TRUE(m_board.VerifyConnection());
}
