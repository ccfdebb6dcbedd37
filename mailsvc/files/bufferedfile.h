// A file read into memory whole when it is opened and, when it was opened for
// writing, written back whole when it is closed; in between every read, write
// and seek works on the memory copy.
#pragma once
#include "fx/fx.h"
#include "fx/file.h"

class CBufferedFile : public CMemFile {
public:
    CBufferedFile();
    CBufferedFile(const char* name, UINT flags, CFileException* error);
    explicit CBufferedFile(int handle);  // unopened; the handle is not used
    ~CBufferedFile() override;

    void SetFilePath(LPCTSTR newName) override;
    BOOL Open(LPCTSTR name, UINT flags, CFileException* error = nullptr) override;
    void Close() override;

private:
    bool writing() const { return (m_nOpenFlags & (modeWrite | modeReadWrite)) != 0; }

    CFile m_file;
    UINT m_nOpenFlags = 0;
    bool m_bOpen = false;
};
