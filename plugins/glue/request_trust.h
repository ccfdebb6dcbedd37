// Whose say-so a plug-in may act on when the action reaches outside the mail
// box (running a program, sending a file). Desktop and web requests are the
// user's own; a mail's sender must be on the accepted-sender list, and an
// empty list accepts nobody here (the host answers everyone then, but a
// stranger must not run programs or fetch files).
#pragma once

#include "fx/fx.h"

#include <vector>

// True when the list is not empty and holds address (whole, letter case as
// written, as the host compares it).
bool IsOnAcceptedList(const std::vector<CString>& accepted, const CString& address);

// The host's accepted-sender list, from the program's settings; empty when
// the plug-in runs outside the program.
std::vector<CString> LoadAcceptedSenders();

// True when the request may be acted on: any desktop or web request, or a
// mail whose requester is on the accepted-sender list.
bool MayActForRequester(int interfaceMode, const CString* requester);

// The answer's text when a mail's request is refused.
#define PLUGIN_REFUSED_TEXT "Sorry, I can only do that for a sender on my list of accepted senders. Your request was refused.\r\n"
