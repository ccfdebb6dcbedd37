// The mail whose request a plug-in is answering. While the host answers a
// mail it keeps a note naming it ("Answering.txt" beside the program: the
// identifier, then its subject and sender). A plug-in that forwards, lists or
// watches mail leaves that one out: the request is no message for its own
// answer.
#pragma once

#include "fx/fx.h"

// The identifier at the start of the note's text; empty for an empty note.
CString RequestIDFromNote(const CString& note);

// The identifier of the mail being answered; empty for a desktop or web
// request (interfaceMode not 0) or when the host keeps no note.
CString AnsweredRequestID(int interfaceMode);
