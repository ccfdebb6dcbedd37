// ZLCompress / ZLDeCompress: the ZLComp compressor between two files of the
// class layer (disk or memory files).
#pragma once

class CFile;

// Compresses all of `in` (rewound first) into `out`, which is emptied and then
// receives the whole ZLComp stream. Both files stand at their first byte
// afterwards. Returns 1, or 0 when memory runs out (then `out` is left empty).
// Both functions stream the files in pieces: memory stays bounded by the
// blocks in flight, whatever the files' size.
int ZLCompress(CFile* in, CFile* out);

// Decodes the ZLComp stream that `in` holds from where it stands. The data is
// written at `out`'s current position, except for stored data (no ZLComp
// header), for which `out` is emptied first. Both files stand at their first
// byte afterwards. Returns 1 when the stream decoded completely; 0 when it is
// truncated or corrupt, has an unknown method byte or exhausts memory (what
// could be decoded before the fault is still written).
// File errors are thrown as CFileException*, as by the files themselves.
int ZLDeCompress(CFile* in, CFile* out);
