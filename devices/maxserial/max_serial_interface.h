// MAXSerialInterface: the serial control board on a COM port (9600 baud, DTR
// handshake, commands and replies ended by a carriage return), and the
// process-wide instance g_MAXSerialInterface, built closed with no timer.
// Houses 0-15 are X10 houses passed through the board; house 16 is the
// board's ten digital channels, house 17 its five analog channels.
#pragma once

#include <atomic>

#include "serial_channel.h"
#include "x10_codes.h"

class MAXSerialInterface : public CX10Notifier {
public:
    class MAXSerialBusy {
    public:
        MAXSerialBusy();
        ~MAXSerialBusy();
        MAXSerialBusy(const MAXSerialBusy&) = delete;
        MAXSerialBusy& operator=(const MAXSerialBusy&) = delete;

        static bool IsBusy() { return m_nBusy > 0; }
        static bool IsInTimer() { return m_bInTimer; }
        static void TimerLock(bool set) { m_bInTimer = set; }
        static void ForceSend(bool set) { m_bForceSend = set; }
        static void ForceBusy(bool set);

        static std::atomic<int> m_nBusy;
        static std::atomic<bool> m_bInTimer;
        static std::atomic<bool> m_bForceSend;
    };

    static constexpr int kDigitalHouse = 16;
    static constexpr int kAnalogHouse = 17;
    static constexpr int kDigitalChannels = 10;
    static constexpr int kAnalogChannels = 5;

    MAXSerialInterface();
    MAXSerialInterface(int port, bool x10);
    ~MAXSerialInterface();
    MAXSerialInterface(const MAXSerialInterface&) = delete;
    MAXSerialInterface& operator=(const MAXSerialInterface&) = delete;

    // Opens the port, runs the handshake and, when the board answers, starts
    // the polling timer. A board open on the same port stays as it is.
    void Init(int port, bool x10);
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
    bool SendGetStatus(int house);
    bool VerifyConnection();
    int GetState(int house, int unit, bool ask);
    void ConfigAll2WayModules(int house);
    bool SendGetDimFrom2Way(int house, int unit);
    bool SendGetCurrentTemperature(int house, int unit);
    bool SendGetAverageTemperature(int house, int unit);
    bool SendGetCurrentLight(int house, int unit);
    bool SendGetAverageLight(int house, int unit);

    // The board's own channels; a channel outside the board's is refused (false).
    bool RequestAnalog(int channel);
    bool RequestDigital(int channel);
    bool SetDigital(int channel, bool on);

    // Takes one reply line of the board and acts on it.
    void PollInterface();

    bool GetX10() const { return m_bX10; }

    // The X10 function words, indexed by function code.
    static const char* const cFunctionWords[16];
    // The polling timer's identifier, 0 when none runs.
    static UINT wTimerID;
    static int nKeepCOMAlive;

    BOOL m_bOpen;
    int m_nPort;

private:
    bool SendStandardMessage(int house, int unit, int dims, int function);
    bool SendExtendedMessage(int house, int unit, int command, int data);
    bool SendWholeHouse(int house, const char* word);
    bool SendData(const char* text);
    // Formats one command line into the shared buffer and sends it, holding
    // the busy guard and the buffer's lock throughout.
    bool SendCommand(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    CString AwaitReply();
    void ServeInput();
    bool ReadLine(CString& line);
    void ChannelValue(const CString& line);
    bool X10Event(const CString& line, int& statusHouse);

    static void CreateMMTimer();
    static void DestroyMMTimer();
    static void CALLBACK MMTimerRoutine(UINT id, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    BYTE GetSerialByte();
    void SetSerialByte(BYTE byte);
    bool IsSerialEmpty();

    x10::StateTable m_State;
    signed char m_Digital[kDigitalChannels];
    int m_Analog[kAnalogChannels];
    bool m_bX10;
    CPendingAddresses m_Pending;
    char m_Command[128];
    bool m_bTimeOut;
    CSerialChannel m_Channel;
};

extern MAXSerialInterface g_MAXSerialInterface;
