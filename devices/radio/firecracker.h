// CFirecracker: the CM17A radio transmitter, clocked bit by bit on the port's
// RTS and DTR lines, and the infra-red codes it relays to a UX17A module. All
// its state is process-wide; every frame and every sequence holds the
// transmitter mutex, so callers on any thread serialise.
#pragma once

#include <windows.h>

#include "fx/fx.h"

struct IRCode {
    const char* name;
    const char* bits;  // null for the one-second delay
};

class CFirecracker {
public:
    enum Command { kOn = 0, kOff = 1, kDimStep = 2, kBrightStep = 3 };
    static constexpr int kIRCodes = 44;
    static constexpr int kIRDelay = 43;
    static const IRCode cIRCodes[kIRCodes];
    static const BYTE cHouseByte[16];
    static const BYTE cUnitByte[16];

    CFirecracker();
    ~CFirecracker();
    CFirecracker(const CFirecracker&) = delete;
    CFirecracker& operator=(const CFirecracker&) = delete;

    // Opens COM<port> for its control lines (no settings changed), once the
    // transmitter is free; nothing changes when it stays busy.
    static void OpenPort(int port);
    // One use less; the last closes the port.
    void Release();

    // False when the house or unit is outside its table or the transmitter stayed busy.
    bool SendFrame(int command, int house, int unit);
    // An address such as "B12": a house letter A-P and a unit 1-16.
    static bool IsValidAddress(const CString& address);
    bool SendCommand(int command, const CString& address);
    void SendIRCode(int index);
    bool SendIRCodeLocked(int index);
    // Sends the pending sequence, holding the transmitter throughout.
    bool SendSequence();
    static void QueueSequence(const CString& sequence);
    static CString PendingSequence();
    // The names of a sequence's codes joined by single blanks.
    static CString SequenceToNames(const CString& sequence);
    // The code index of the pair at position 2 x pair, or -1 when it names none.
    static int PairIndex(const CString& sequence, int pair);

    static int UseCount();

private:
    void SendByte(BYTE byte);
    void SendBits(const char* bits);
    void Idle();
    void Reset();
    bool Lock();
    void Unlock();
    bool m_released = false;
};
