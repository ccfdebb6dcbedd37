// The work behind the Simple MAPI entry points, on a session that the entry point
// has already checked. Each returns a Simple MAPI result code.
#pragma once
#include <windows.h>
#include <mapi.h>

#include "sessions.h"

namespace vxmail {

constexpr size_t kMaxMessageBytes = 32u << 20;    // larger stored messages are read up to this size
constexpr size_t kMaxOutgoingBytes = 64u << 20;   // the whole of one outgoing message's attachments

ULONG FindNextMessage(const Session& s, const char* messageType, const char* seed, ULONG flags, char* messageId);
ULONG ReadMessage(const Session& s, const char* messageId, ULONG flags, MapiMessage** out);
ULONG DeleteMessage(const Session& s, const char* messageId);
ULONG SendMessage(const Session& s, const MapiMessage* message);
ULONG SaveMessage(const Session& s, const MapiMessage* message, char* messageId);
ULONG SendDocuments(const Session& s, const char* delimiters, const char* paths, const char* names);
ULONG ResolveName(const Session& s, const char* name, MapiRecipDesc** out);

} // namespace vxmail
