// CM11AInterface: the X10 CM11A two-way power-line interface on a COM port
// (4800 baud, 8 data bits, no parity), and the process-wide instance
// g_CM11AInterface, built closed with no timer. Houses 0-15 stand for A-P,
// units 0-15 for 1-16; operations given anything else do nothing (a send
// returns false, GetState -1).
#pragma once

#include <atomic>

#include "serial_channel.h"
#include "x10_codes.h"

class CM11AInterface : public CX10Notifier {
public:
    // Alive while a command is on the wire; the polling timer skips its poll
    // meanwhile, and a guard taken while the timer polls waits for it.
    class CM11ABusy {
    public:
        CM11ABusy();
        ~CM11ABusy();
        CM11ABusy(const CM11ABusy&) = delete;
        CM11ABusy& operator=(const CM11ABusy&) = delete;

        static bool IsBusy() { return m_nBusy > 0; }
        static bool IsInTimer() { return m_bInTimer; }
        static void TimerLock(bool set) { m_bInTimer = set; }
        static void ForceSend(bool set) { m_bForceSend = set; }
        static void ForceBusy(bool set);

        static std::atomic<int> m_nBusy;
        static std::atomic<bool> m_bInTimer;
        static std::atomic<bool> m_bForceSend;
    };

    CM11AInterface();
    CM11AInterface(int port, int house);
    ~CM11AInterface();
    CM11AInterface(const CM11AInterface&) = delete;
    CM11AInterface& operator=(const CM11AInterface&) = delete;

    // Opens the port, sets the clock and starts the polling timer; house is
    // 0-15 or a letter. An interface open on the same port stays as it is.
    void Init(int port, int house);
    // Stops the multimedia timer and closes the channel; safe whether or not the
    // interface was ever opened. The interface is then closed (the open flag
    // cleared); the port number stays.
    void Unload();

    bool SendOn(int house, int unit);
    bool SendOff(int house, int unit);
    bool SendDimRel(int house, int unit, int percent);
    bool SendBrightRel(int house, int unit, int percent);
    void SendDimAbs(int house, int unit, int percent, bool reset);
    bool SendAllOff(int house);
    bool SendLightsOff(int house);
    bool SendLightsOn(int house);
    bool SendHail(int house);
    bool SendHail(int house, int unit);
    bool SendMacro();
    bool SendGetStatus(int house);
    bool VerifyConnection();
    int GetState(int house, int unit, bool ask);
    void ConfigAll2WayModules(int house);
    bool SendGetDimFrom2Way(int house, int unit);
    bool SendGetCurrentTemperature(int house, int unit);
    bool SendGetAverageTemperature(int house, int unit);
    bool SendGetCurrentLight(int house, int unit);
    bool SendGetAverageLight(int house, int unit);

    // Serves one poll of the interface: received X10 traffic, the clock request.
    void PollInterface();

    int GetMonitoredHouse() const { return m_nMonitoredHouse; }
    int GetBatteryTimer() const { return m_nBatteryTimer; }
    bool TimedOut() const { return m_bTimeOut; }

    static const BYTE* cZoneByte;
    static const BYTE* cUnitByte;
    // The polling timer's identifier, 0 when none runs.
    static UINT wTimerID;
    // Timer ticks left until the clock is set again (every 15 minutes).
    static int nKeepCOMAlive;

    BOOL m_bOpen;
    int m_nPort;

private:
    bool SendStandardMessage(int house, int unit, int dims, int function);
    bool SendExtendedMessage(int house, int unit, int command, int data);
    bool SendWholeHouse(int house, int function);
    bool SendData(const BYTE* frame, int length);
    void SendTime(bool clear, int house);
    bool SendGetStatusI();
    bool GetStatus();
    void ProcessExtendedDataPoll();
    void ServeInput();
    void ReceiveFunction(int house, int function, const BYTE* extra);

    static void CreateMMTimer();
    static void DestroyMMTimer();
    static void CALLBACK MMTimerRoutine(UINT id, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    BYTE GetSerialByte();
    void SetSerialByte(BYTE byte);
    bool IsSerialEmpty();

    x10::StateTable m_State;
    int m_nMonitoredHouse;
    int m_nBatteryTimer;
    CPendingAddresses m_Pending;
    BYTE m_Frame[44];
    bool m_bTimeOut;
    CSerialChannel m_Channel;

public:
    // The whole table, for callers that show it.
    const x10::StateTable& States() const { return m_State; }
};

extern CM11AInterface g_CM11AInterface;
