// Which timer events of the main frame run an engine tick. A resize sets a
// skip counter of two that the next two timer events (of either timer) count
// down without ticking; nothing ticks while a deactivation runs, and a tick
// never starts inside another (a message loop opened by a tick).
#pragma once

// The mail tick's period: kVRefreshRate x 10 ms. A rate of 0 (or a negative
// stored value) would make a timer that fires without pause, so it counts as 1.
inline unsigned MailTickPeriodMs(int refreshRate) { return static_cast<unsigned>(refreshRate < 1 ? 1 : refreshRate) * 10u; }

class CTickGate {
public:
    // A resize: the next two timer events do not tick.
    void OnResize() { m_nSkip = 2; }
    void SetDeactivating(bool on) { m_bDeactivating = on; }
    bool Deactivating() const { return m_bDeactivating; }
    bool InTick() const { return m_bInTick; }
    int SkipCount() const { return m_nSkip; }

    // One timer event of a ticking timer: runs tick() when allowed, then
    // counts the skip counter down. Returns whether tick() ran.
    template <class F>
    bool OnTimer(F&& tick)
    {
        bool ran = false;
        if (!m_bDeactivating && m_nSkip == 0 && !m_bInTick) {
            m_bInTick = true;
            struct Reset {
                bool& flag;
                ~Reset() { flag = false; }
            } reset{m_bInTick};
            tick();
            ran = true;
        }
        if (m_nSkip != 0)
            --m_nSkip;
        return ran;
    }

private:
    int m_nSkip = 0;
    bool m_bDeactivating = false;
    bool m_bInTick = false;
};
