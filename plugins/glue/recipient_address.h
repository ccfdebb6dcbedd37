// The address an answer goes to when a request names someone ("... to Bob").
#pragma once

#include "fx/fx.h"

// A name the request or form sends to, as a mail address through the address
// books ("OutlookExpressExport.CDF" in the install folder, then the global
// list); "me" is ownAddress; empty when it is none, so the answer goes to the
// requester.
CString TranslateRecipient(const CString& name, const CString& ownAddress);
