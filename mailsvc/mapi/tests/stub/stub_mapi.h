// A stand-in Simple MAPI library for the session tests: it records what each
// call was handed and answers what the test set up. The test reaches its state
// through the exported GetStubMapiState().
#pragma once

#include <windows.h>
#include <mapi.h>

struct StubMapiState {
    // Answers
    ULONG result;              // returned by every call
    LHANDLE sessionOnFailure;  // written to the session handle even when failing
    char nextMessageID[700];   // FindNext / SaveMail write this (SaveMail: up to 512)
    int readWithOriginator;    // ReadMail: 1 gives a sender, 0 none
    int readFailWithBuffer;    // ReadMail: failing, yet hand out a buffer
    int addressMode;           // Address: 0 no array, 1 an array with count 0, 2 two entries
    // Records
    int calls;
    ULONG_PTR uiParam;
    char profile[64];
    int passwordNull;
    char password[64];
    ULONG flags;
    char seed[64];
    char messageType[64];
    char messageID[700];
    char detailsName[64];
    ULONG saveBufferLengthSeen;
    int buffersOut;  // handed out and not yet freed
};

extern "C" StubMapiState* WINAPI GetStubMapiState();
