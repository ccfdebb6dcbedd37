// The class layer: everything the modules use, in one include.
#pragma once

#include "fx/types.h"
#include "fx/string.h"
#include "fx/object.h"
#include "fx/exceptions.h"
#include "fx/time.h"
#include "fx/file.h"
#include "fx/archive.h"
#include "fx/collections.h"
