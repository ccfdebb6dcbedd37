// The about box: product, version and build, the compression-code notice,
// free memory and free disk space over the shared background gradient.
#pragma once

#include "fx/fxwin.h"

#include "TransparentStatic.h"

// The address the web-site button opens.
extern const char kVindalexWebSite[];

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

    CString m_strNotice;   // the notice edit, given back whenever it is edited
    CString m_strVersion;  // "Version 3.0 (Build 129)"

    CTransparentStatic m_wndProduct;
    CTransparentStatic m_wndSubtitle;
    CTransparentStatic m_wndMemory;
    CTransparentStatic m_wndDisk;

    // A line of the memory or disk format with its "%lu" filled from a 64-bit
    // number: the stored texts name a 32-bit conversion, and free disk space
    // in KB exceeds 32 bits on today's disks.
    static CString FormatMemoryLine(const CString& format, unsigned long long kb);
    static CString FormatDiskLine(const CString& format, char drive, unsigned long long kb);
    // The memory and disk lines as shown now.
    static CString MemoryLine();
    static CString DiskLine();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnWebSite();
    afx_msg void OnNoticeChange();
    DECLARE_MESSAGE_MAP()

private:
    CFont m_fontProduct;
    CFont m_fontSubtitle;
    CFont m_fontLine;
};
