// "Plug-ins": one row per loaded plug-in (description, active state, maker);
// a double click opens the plug-in's own settings.
#pragma once

#include "fx/fxwin.h"

#include <vector>

// A loaded plug-in as the page talks to it.
struct PluginPageEntry {
    const char* (*getActionsName)(int row, int item);
    void (*setUserInfo)(const void* value, int code);
};

class CPluginProp : public CPropertyPage {
public:
    CPluginProp();
    // The plug-ins to list, in table order (given before the sheet opens).
    std::vector<PluginPageEntry> m_Plugins;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnDblClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    // A plug-in's text, copied at once: a plug-in may answer every call
    // through the same buffer.
    static CString Text(const PluginPageEntry& plugin, int item);
    CListCtrl m_List;
};
