// Whose say-so a plug-in may act on when the action hands out the owner's mail,
// files, listings or address book, runs a program or sets an alert. Desktop
// requests are the user's own, web requests only as the web server marks
// them (the owner's address or a password login); a mail's sender must be on the
// accepted-sender list, and while that list is empty only the owner's own
// address is (the host answers everyone then, but a stranger must not get the
// owner's mail).
#pragma once

#include "fx/fx.h"

#include <vector>

// True when the list is not empty and holds address (whole, letter case as
// written, as the host compares it).
bool IsOnAcceptedList(const std::vector<CString>& accepted, const CString& address);

// The plain address of a sender as mail gives it: "Name <a@host>" and
// "SMTP:a@host" both give "a@host".
CString PlainMailAddress(const CString& address);

// The decision for a mail's requester: on a non-empty list, the list decides;
// on an empty one only owner does (plain addresses, any letter case). An empty
// owner accepts nobody.
bool IsTrustedRequester(const std::vector<CString>& accepted, const CString& owner, const CString& requester);

// The host's accepted-sender list, from the program's settings; empty when
// the plug-in runs outside the program.
std::vector<CString> LoadAcceptedSenders();

// The owner's address: the sender address ("From") of the mail profile the
// plug-in logs on with (profile as the host hands it, scrambled; empty means
// the mail client's default profile). Empty when there is none.
CString LoadOwnerAddress(const CString& scrambledProfile);

// True when the request may be acted on: any desktop request, a web request
// that the web server marked as the owner's (WebRequestActsForOwner), or a
// mail whose requester IsTrustedRequester with this plug-in's profile's owner.
bool MayActForRequester(int interfaceMode, const CString* requester);

class CPlugIn;

// The check at the point a plug-in would act: true when the request is
// refused, after the refusal went to the requester (subject "Request
// refused.", the refusal text and what was asked) and the log says why.
bool RefuseUntrustedRequester(CPlugIn& plugIn, const CString* requester, const CString& what);

// The answer's text when a mail's request is refused.
#define PLUGIN_REFUSED_TEXT "Sorry, I can only do that for a sender on my list of accepted senders. Your request was refused.\r\n"
