// The main frame's timer gate, driven by a scripted sequence of timer events
// in place of real time: a resize skips exactly the next two events of
// either timer; a deactivation and a running tick hold every event off.
#include "tick_gate.h"

#include <gtest/gtest.h>

#include <string>

TEST(TickGate, ResizeSkipsExactlyTheNextTwoEventsOfEitherTimer)
{
    CTickGate gate;
    std::string ran;
    auto mail = [&] { ran += "M"; };
    auto fast = [&] { ran += "F"; };
    gate.OnTimer(fast);
    gate.OnResize();
    gate.OnTimer(mail);  // skipped
    gate.OnTimer(fast);  // skipped
    gate.OnTimer(fast);
    gate.OnTimer(mail);
    EXPECT_EQ(ran, "FFM");
    // Two resizes in a row still skip two events, not four.
    gate.OnResize();
    gate.OnResize();
    gate.OnTimer(fast);
    gate.OnTimer(fast);
    gate.OnTimer(mail);
    EXPECT_EQ(ran, "FFMM");
    EXPECT_EQ(gate.SkipCount(), 0);
}

TEST(TickGate, DeactivationAndNestedTicksHoldEventsOff)
{
    CTickGate gate;
    int ticks = 0;
    gate.SetDeactivating(true);
    EXPECT_FALSE(gate.OnTimer([&] { ++ticks; }));
    gate.SetDeactivating(false);
    // A timer event that arrives inside a tick (a message box's loop) waits.
    EXPECT_TRUE(gate.OnTimer([&] {
        ++ticks;
        EXPECT_TRUE(gate.InTick());
        EXPECT_FALSE(gate.OnTimer([&] { ++ticks; }));
    }));
    EXPECT_FALSE(gate.InTick());
    EXPECT_EQ(ticks, 1);
    // A tick that throws leaves the gate open.
    try {
        gate.OnTimer([] { throw 1; });
    } catch (int) {
    }
    EXPECT_FALSE(gate.InTick());
}

TEST(TickGate, MailTickPeriodClampsARateOfZero)
{
    EXPECT_EQ(MailTickPeriodMs(60), 600u);
    EXPECT_EQ(MailTickPeriodMs(1), 10u);
    EXPECT_EQ(MailTickPeriodMs(0), 10u);
    EXPECT_EQ(MailTickPeriodMs(-5), 10u);
}
