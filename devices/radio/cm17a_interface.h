// CM17AInterface: X10 modules switched over the CM17A radio transmitter, and
// infra-red sequences relayed to a UX17A module; send-only, so the table
// holds what was sent. The process-wide instance g_CM17AInterface opens nothing
// until Init. Houses 0-15 stand for A-P, units 0-15 for 1-16; anything else is refused.
#pragma once

#include "firecracker.h"
#include "x10_codes.h"

class CFirecrackerThread;

class CM17AInterface : public CX10Notifier {
public:
    CM17AInterface();
    explicit CM17AInterface(int port);
    ~CM17AInterface();
    CM17AInterface(const CM17AInterface&) = delete;
    CM17AInterface& operator=(const CM17AInterface&) = delete;

    void Init(int port);
    void Unload() {}
    bool VerifyConnection() { return true; }

    bool SendOn(int house, int unit);
    bool SendOff(int house, int unit);
    bool SendDimRel(int house, int unit, int percent);
    bool SendBrightRel(int house, int unit, int percent);
    void SendDimAbs(int house, int unit, int percent, bool reset);
    bool SendAllOff(int house);
    bool SendLightsOff(int house);
    bool SendLightsOn(int house);
    int GetState(int house, int unit, bool ask);
    void PollInterface() {}

    // Sends the sequence (two characters per code) on a worker thread, after
    // the thread of an earlier sequence has ended. False when that thread
    // could not be ended or the new one not started.
    bool SendIRSequenceToUX17A(const CString& sequence);
    // Waits up to timeoutMs for the sequence's thread to end; true when none runs.
    static bool WaitForSequence(DWORD timeoutMs);

private:
    static bool EndSequenceThread();

    x10::StateTable m_State;
    bool m_bInitialised;
    CFirecracker m_Transmitter;
    int m_nPort;
};

extern CM17AInterface g_CM17AInterface;
