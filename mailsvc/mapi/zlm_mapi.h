// The shared library's mail classes in one include.
#pragma once

#include "simple_mapi.h"
#include "mapi_exception.h"
#include "mapi_lists.h"
#include "mapi_session.h"
#include "mapi_logon.h"
#include "text_scramble.h"
