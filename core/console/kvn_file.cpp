#include "kvn_file.h"

void ReadKvnStrings(CArchive& ar, CStringList& list)
{
    BYTE unused[8];
    if (ar.Read(unused, sizeof unused) != sizeof unused)
        AfxThrowArchiveException(CArchiveException::endOfFile, nullptr);
    LONG count = 0;
    ar >> count;
    for (LONG i = 0; i < count; ++i) {
        CString text;
        ar >> text;
        list.AddTail(text);
    }
}
