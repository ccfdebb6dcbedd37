// The radio transmitter: its control-line changes are recorded through the
// line seam and decoded back into radio frames (reset, then 40 bits, each bit
// between idles) and pauses, for X10 commands and infra-red sequences.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "change_recorder.h"
#include "cm17a_interface.h"
#include "firecracker_lines.h"
#include "fx/msgbox.h"

namespace {

struct LineEvent {
    bool pause;
    bool rts, dtr;
    DWORD ms;
};

class LineRecorder : public CFirecrackerLines {
public:
    LineRecorder() { m_previous = SetFirecrackerLines(this); }
    ~LineRecorder() override { SetFirecrackerLines(m_previous); }

    void Signal(HANDLE, bool rts, bool dtr, DWORD holdMs) override
    {
        if (m_exitThread && GetCurrentThreadId() == m_exitThread)
            ExitThread(0);  // dies holding the transmitter
        std::lock_guard<std::mutex> hold(m_lock);
        m_events.push_back({false, rts, dtr, holdMs});
    }
    void Pause(DWORD ms) override
    {
        if (m_gate && GetCurrentThreadId() != m_mainThread)
            WaitForSingleObject(m_gate, 60000);
        std::lock_guard<std::mutex> hold(m_lock);
        m_events.push_back({true, false, false, ms});
    }

    // Frames as hex ("D5AA7410AD"), pauses as "pause <ms>"; a line change out
    // of order gives "bad".
    std::vector<std::string> Decode()
    {
        std::lock_guard<std::mutex> hold(m_lock);
        std::vector<std::string> out;
        std::string bits;
        bool lastWasBit = false;
        auto flush = [&] {
            if (bits.empty())
                return;
            if (bits.size() % 40 != 0) {
                out.push_back("bad: " + bits);
            } else {
                for (size_t f = 0; f < bits.size(); f += 40) {
                    std::string hex;
                    for (size_t b = f; b < f + 40; b += 8) {
                        char text[3];
                        snprintf(text, sizeof text, "%02X", std::stoi(bits.substr(b, 8), nullptr, 2));
                        hex += text;
                    }
                    out.push_back(hex);
                }
            }
            bits.clear();
        };
        for (const LineEvent& e : m_events) {
            if (e.pause) {
                flush();
                out.push_back("pause " + std::to_string(e.ms));
            } else if (!e.rts && !e.dtr) {
                flush();
                if (e.ms != 50)
                    out.push_back("bad reset");
            } else if (e.rts && e.dtr) {
                lastWasBit = false;
                if (e.ms != 4)
                    out.push_back("bad idle");
            } else {
                if (lastWasBit || e.ms != 4)
                    out.push_back("bad bit");
                bits += e.rts ? '1' : '0';
                lastWasBit = true;
            }
        }
        flush();
        m_events.clear();
        return out;
    }

    DWORD m_exitThread = 0;
    HANDLE m_gate = nullptr;
    DWORD m_mainThread = GetCurrentThreadId();

private:
    CFirecrackerLines* m_previous;
    std::mutex m_lock;
    std::vector<LineEvent> m_events;
};

using Frames = std::vector<std::string>;

// Answers the message boxes with OK and keeps their texts.
struct MessageBoxAnswers {
    std::vector<std::string> texts;
    AfxMessageBoxHook previous;
    MessageBoxAnswers()
    {
        previous = AfxSetMessageBoxHook([this](HWND, LPCTSTR text, LPCTSTR, UINT) {
            texts.push_back(text);
            return IDOK;
        });
    }
    ~MessageBoxAnswers() { AfxSetMessageBoxHook(std::move(previous)); }
};

} // namespace

TEST(Radio, CommandsGoOutAsFramesAndKeepTheTable)
{
    LineRecorder lines;
    CM17AInterface radio;
    radio.Init(0);  // no such port: the lines are only recorded
    radio.SubscribeNotifyNormalDeviceChange(RecordNormal);
    NormalChanges().Take();
    struct Case {
        const char* name;
        bool (CM17AInterface::*send)(int, int);
        int house, unit;
        Frames frames;
        DeviceChange change;
    } cases[] = {
        {"house B unit 10 on", &CM17AInterface::SendOn, 1, 9, {"D5AA7410AD", "pause 750"}, {1, 9, 100, 100, 2}},
        {"house A unit 1 off", &CM17AInterface::SendOff, 0, 0, {"D5AA6020AD", "pause 750"}, {0, 0, 0, -100, 3}},
        {"house P unit 8 on", &CM17AInterface::SendOn, 15, 7, {"D5AA3058AD", "pause 750"}, {15, 7, 100, 100, 2}},
        {"house M unit 16 off", &CM17AInterface::SendOff, 12, 15, {"D5AA0478AD", "pause 750"}, {12, 15, 0, -100, 3}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE((radio.*c.send)(c.house, c.unit)) << c.name;
        EXPECT_EQ(c.frames, lines.Decode()) << c.name;
        EXPECT_EQ(std::vector<DeviceChange>{c.change}, NormalChanges().Take()) << c.name;
    }
    EXPECT_TRUE(radio.SendOn(0, 0));
    lines.Decode();
    NormalChanges().Take();
    // 12 % is two dim steps (12 / 5) and lowers the table by 12.
    EXPECT_TRUE(radio.SendDimRel(0, 0, 12));
    EXPECT_EQ((Frames{"D5AA6098AD", "pause 750", "D5AA6098AD", "pause 750"}), lines.Decode());
    EXPECT_EQ(88, radio.GetState(0, 0, false));
    EXPECT_TRUE(radio.SendBrightRel(0, 8, 10));
    EXPECT_EQ((Frames{"D5AA6488AD", "pause 750", "D5AA6488AD", "pause 750"}), lines.Decode());
    EXPECT_EQ((std::vector<DeviceChange>{{0, 0, 88, -12, 4}, {0, 8, 10, 10, 5}}), NormalChanges().Take());
    EXPECT_EQ(-1, radio.GetState(0, 0, true));
    // Outside the tables: refused, nothing on the lines.
    EXPECT_FALSE(radio.SendOn(16, 0));
    EXPECT_FALSE(radio.SendOff(0, 16));
    EXPECT_FALSE(radio.SendDimRel(-1, 0, 50));
    EXPECT_TRUE(lines.Decode().empty());
    radio.UnSubscribeNotifyNormalDeviceChange(RecordNormal);
}

TEST(Radio, AddressTextsAndSequencePairs)
{
    struct Address {
        const char* text;
        bool valid;
    } addresses[] = {{"B12", true}, {"b12", true}, {"P16", true}, {"A1", true}, {"Q1", false},
                     {"A0", false}, {"A17", false}, {"A", false}, {"A1x", false}, {"@1", false}};
    for (const Address& a : addresses)
        EXPECT_EQ(a.valid, CFirecracker::IsValidAddress(a.text)) << a.text;
    struct Pair {
        const char* sequence;
        int pair, index;
    } pairs[] = {{"IR", 0, 0}, {"IS", 0, 1}, {"JR", 0, 16}, {"K]", 0, 43}, {"IRIX", 1, 6},
                 {"K^", 0, -1}, {"ZZ", 0, -1}, {"HR", 0, -1}, {"IRI", 1, -1}, {"", 0, -1}};
    for (const Pair& p : pairs)
        EXPECT_EQ(p.index, CFirecracker::PairIndex(p.sequence, p.pair)) << p.sequence;
    EXPECT_STREQ("TV POWER 1 SECOND DELAY", CFirecracker::SequenceToNames("IRIXK]"));
    EXPECT_STREQ("TV", CFirecracker::SequenceToNames("IRK^ZZI")) << "pairs naming no code are skipped";
}

TEST(Radio, InfraRedSequencesRunOnTheirThread)
{
    LineRecorder lines;
    CM17AInterface radio;
    // TV, then POWER (the pair IX is index 6), each as its code and the closing string.
    ASSERT_TRUE(radio.SendIRSequenceToUX17A("IRIX"));
    ASSERT_TRUE(CM17AInterface::WaitForSequence(60000));
    EXPECT_EQ((Frames{"D5AA8276AD", "D5AA837FAD", "pause 750", "D5AA827AAD", "D5AA837FAD", "pause 750"}),
              lines.Decode());
    // K] only waits one second; a pair naming nothing sends nothing.
    ASSERT_TRUE(radio.SendIRSequenceToUX17A("K]ZZ"));
    ASSERT_TRUE(CM17AInterface::WaitForSequence(60000));
    EXPECT_EQ((Frames{"pause 1000", "pause 750"}), lines.Decode());
}

TEST(Radio, NewSequenceWaitsForTheOldThreadBeforeReplacingIt)
{
    LineRecorder lines;
    lines.m_gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CM17AInterface radio;
    ASSERT_TRUE(radio.SendIRSequenceToUX17A("IRIR"));
    std::thread second([&] { EXPECT_TRUE(radio.SendIRSequenceToUX17A("ISIS")); });
    // While the first thread is held inside its sequence, the text it reads stays.
    for (int i = 0; i < 20; ++i) {
        EXPECT_STREQ("IRIR", CFirecracker::PendingSequence());
        Sleep(50);
    }
    SetEvent(lines.m_gate);
    second.join();
    ASSERT_TRUE(CM17AInterface::WaitForSequence(60000));
    EXPECT_EQ((Frames{"D5AA8276AD", "D5AA837FAD", "pause 750", "D5AA8276AD", "D5AA837FAD", "pause 750",
                      "D5AA8272AD", "D5AA837FAD", "pause 750", "D5AA8272AD", "D5AA837FAD", "pause 750"}),
              lines.Decode());
    CloseHandle(lines.m_gate);
}

namespace {
DWORD WINAPI SendAndDie(LPVOID)
{
    CFirecracker transmitter;
    transmitter.SendIRCodeLocked(0);
    return 0;
}
} // namespace

TEST(Radio, TransmitterAbandonedByADeadThreadIsTakenOver)
{
    LineRecorder lines;
    DWORD id = 0;
    HANDLE victim = CreateThread(nullptr, 0, SendAndDie, nullptr, CREATE_SUSPENDED, &id);
    lines.m_exitThread = id;
    ResumeThread(victim);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(victim, 60000));
    CloseHandle(victim);
    lines.m_exitThread = 0;
    // Taken as a failure to lock, the abandoned transmitter would skip every frame from now on.
    CFirecracker transmitter;
    EXPECT_TRUE(transmitter.SendFrame(CFirecracker::kOn, 1, 9));
    EXPECT_EQ((Frames{"D5AA7410AD", "pause 750"}), lines.Decode());
    transmitter.Release();
}

TEST(Radio, WholeHouseCommandsAreRefusedWithAMessage)
{
    MessageBoxAnswers answers;
    CM17AInterface radio;
    EXPECT_FALSE(radio.SendAllOff(0));
    EXPECT_FALSE(radio.SendLightsOff(0));
    EXPECT_FALSE(radio.SendLightsOn(0));
    EXPECT_EQ((std::vector<std::string>{"CM17A does not support All Units Off", "CM17A does not support All Lights Off",
                                        "CM17A does not support All Lights On"}),
              answers.texts);
}

namespace {
// Records the port handle of every line change; the first change of the
// sending thread holds until the gate opens.
class PortRecorder : public CFirecrackerLines {
public:
    PortRecorder() { m_previous = SetFirecrackerLines(this); }
    ~PortRecorder() override
    {
        SetFirecrackerLines(m_previous);
        CloseHandle(started);
        CloseHandle(gate);
    }
    void Signal(HANDLE port, bool, bool, DWORD) override
    {
        bool hold = false;
        {
            std::lock_guard<std::mutex> lock(m_lock);
            ports.push_back(port);
            hold = ports.size() == 1 && GetCurrentThreadId() == sender.load();
        }
        if (hold) {
            SetEvent(started);
            WaitForSingleObject(gate, 60000);
        }
    }
    void Pause(DWORD) override {}

    std::atomic<DWORD> sender{0};
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<HANDLE> ports;

private:
    CFirecrackerLines* m_previous;
    std::mutex m_lock;
};
} // namespace

// The port changes between frames, never under one: a frame on the wire
// clocks every bit on the port it began on.
TEST(Radio, PortChangeWaitsForTheFrameOnTheWire)
{
    PortRecorder lines;
    CFirecracker transmitter;
    std::thread frame([&] {
        lines.sender = GetCurrentThreadId();
        transmitter.SendFrame(CFirecracker::kOn, 1, 9);
    });
    const bool started = WaitForSingleObject(lines.started, 60000) == WAIT_OBJECT_0;
    std::atomic<bool> opened{false};
    std::thread open([&] {
        CFirecracker::OpenPort(250);  // no such port: its handle is the invalid one
        opened = true;
    });
    // Long enough for a change that did not wait to have happened.
    for (int i = 0; i < 200 && !opened; ++i)
        Sleep(10);
    const bool openedDuringTheFrame = opened;
    SetEvent(lines.gate);
    frame.join();
    open.join();
    ASSERT_TRUE(started) << "waited for the frame to start";
    EXPECT_FALSE(openedDuringTheFrame) << "the port changed while a frame was on the wire";
    ASSERT_FALSE(lines.ports.empty());
    for (HANDLE port : lines.ports)
        EXPECT_EQ(port, lines.ports.front());
    transmitter.Release();
}
