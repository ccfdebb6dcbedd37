// How a file that is to go out compressed goes out: as the archive, not at
// all, or as it is.
#pragma once

#include "fx/fx.h"

enum class Compression {
    Archive,       // the archive goes out in the file's place
    Failed,        // the library is missing or made no archive: nothing goes out
    Uncompressed,  // the compression threw: the file goes out as it is
};

// Runs zip, which writes the archive and answers whether it did, and appends
// to log the line the outcome calls for.
template <typename Zip>
Compression CompressForMail(Zip&& zip, CString& log)
{
    try {
        if (zip())
            return Compression::Archive;
    } catch (...) {
        log += "Zip error. catch(...)\n";
        return Compression::Uncompressed;
    }
    log += "Error locating Zip DLL. Please re-install.\r\n";
    return Compression::Failed;
}
