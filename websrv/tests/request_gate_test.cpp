#include "request_gate.h"

#include <gtest/gtest.h>

#include <thread>

TEST(RequestGate, OneHolderAtATimeAndAStopEndsTheWait)
{
    CRequestGate gate;
    std::atomic<int> stop{0};
    ASSERT_TRUE(gate.Enter(&stop));
    bool other = true, otherTry = true;
    std::atomic<int> otherStop{1};
    // Another thread: the gate is held, and its stop is already asked for.
    std::thread t([&] {
        otherTry = gate.TryEnter();
        other = gate.Enter(&otherStop);
    });
    t.join();
    EXPECT_FALSE(otherTry);
    EXPECT_FALSE(other);
    gate.Leave();
    {
        CRequestGateHold hold(gate, &stop);
        EXPECT_TRUE(hold.Held());
        std::thread u([&] { otherTry = gate.TryEnter(); });
        u.join();
        EXPECT_FALSE(otherTry);
    }
    EXPECT_TRUE(gate.TryEnter());
    gate.Leave();
}
