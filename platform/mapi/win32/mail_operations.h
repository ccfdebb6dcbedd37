// The work behind the Simple MAPI entry points, on a session that the entry point
// has already checked. Each returns a Simple MAPI result code.
#pragma once
#include <windows.h>
#include <mapi.h>

#include <string>

#include "sessions.h"

namespace vxmail {

// Larger stored messages are not read whole: a full read gives their envelope
// and, as the note text, TooLargeNote. The bound keeps one read's memory (the
// file, its decoded parts, the copies handed over) within about four times it.
constexpr size_t kMaxMessageBytes = 32u << 20;
constexpr size_t kMaxOutgoingBytes = 64u << 20;   // the whole of one outgoing message's attachments
// The message type of mail that a machine sent on its own: given to stored
// mail whose header fields say so (Auto-Submitted, Precedence bulk/junk/list,
// X-Autoreply, X-Autorespond), so that callers that answer mail leave it
// unanswered; outgoing mail of this type is marked "Auto-Submitted:
// auto-replied". Other mail has no type.
constexpr char kAutomaticMessageType[] = "IPM.Note.Automatic";

// The journal of answers to named requests, in the outbox's folder.
constexpr char kAnswerJournal[] = "Answers.txt";

ULONG FindNextMessage(const Session& s, const char* messageType, const char* seed, ULONG flags, char* messageId);
ULONG ReadMessage(const Session& s, const char* messageId, ULONG flags, MapiMessage** out);
ULONG DeleteMessage(const Session& s, const char* messageId);
// Removes the attachment files that readers which no longer run left in the
// temporary folder (each file's name carries its writer's process id).
void RemoveAbandonedAttachmentFiles();
// With MAPI_DIALOG a mail program lets the user address the message; having no
// window, a message given no recipients then goes to the profile's own address.
ULONG SendMessage(const Session& s, const MapiMessage* message, FLAGS flags = 0);
ULONG SaveMessage(const Session& s, const MapiMessage* message, char* messageId);
ULONG SendDocuments(const Session& s, const char* delimiters, const char* paths, const char* names);
ULONG ResolveName(const Session& s, const char* name, MapiRecipDesc** out);

} // namespace vxmail
