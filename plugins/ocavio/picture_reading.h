// What a picture request asks for, read from the links of its parse: whether
// it asks to see a place or for a picture, and the name it sends to.
// Portable: it needs only the links.
#pragma once

#include "place_request.h"

// True when an "O" link joins a viewing verb to a place, or a sending verb to
// a picture word; recipient gets the name after "to" (an "Ox" link), without
// brackets or quotes and not yet translated, or stays empty.
bool ReadPictureRequest(const std::vector<WordLinkage>* links, CString& recipient);

// The action rows, all naming the export "Ocavio": the module's table and the
// reader's are expanded from this one list.
#define OCAVIO_ACTION_ROWS(ROW) \
    ROW("see", "Op") ROW("show", "Op") ROW("show", "O*n") ROW("send", "O*n") ROW("send", "Op") ROW("take", "O*n")

extern const PluginRequestReader kOcavioReader;
