#include "plugin_prop.h"

#include "options_ids.h"

namespace {
enum { kItemDescription = 0, kItemCompany = 2, kItemActive = 4 };
}

BEGIN_MESSAGE_MAP(CPluginProp, CPropertyPage)
    ON_NOTIFY(NM_DBLCLK, IDC_PLUGIN_LIST, OnDblClick)
END_MESSAGE_MAP()

CPluginProp::CPluginProp() : CPropertyPage(IDD_PLUGIN_PROP) {}

CString CPluginProp::Text(const PluginPageEntry& plugin, int item)
{
    const char* text = plugin.getActionsName ? plugin.getActionsName(-1, item) : nullptr;
    return CString(text ? text : "");
}

BOOL CPluginProp::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    m_List.SubclassDlgItem(IDC_PLUGIN_LIST, this);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    m_List.InsertColumn(0, "Description");
    m_List.InsertColumn(1, "Use");
    m_List.InsertColumn(2, "Company");
    for (size_t i = 0; i < m_Plugins.size(); ++i) {
        const CString description = Text(m_Plugins[i], kItemDescription);
        const CString company = Text(m_Plugins[i], kItemCompany);
        const CString active = Text(m_Plugins[i], kItemActive);
        const int row = m_List.InsertItem(static_cast<int>(i), description);
        m_List.SetItemText(row, 1, active);
        m_List.SetItemText(row, 2, company);
    }
    m_List.SetColumnWidth(0, LVSCW_AUTOSIZE);
    m_List.SetColumnWidth(1, LVSCW_AUTOSIZE);
    m_List.SetColumnWidth(2, LVSCW_AUTOSIZE_USEHEADER);
    return TRUE;
}

void CPluginProp::OnDblClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    // The list reports where it was clicked; the row is found there.
    const CPoint pt = reinterpret_cast<NMITEMACTIVATE*>(pNMHDR)->ptAction;
    const int row = m_List.HitTest(pt);
    if (row < 0 || row >= static_cast<int>(m_Plugins.size()) || row >= m_List.GetItemCount())
        return;
    const PluginPageEntry& plugin = m_Plugins[row];
    if (plugin.setUserInfo)
        plugin.setUserInfo(nullptr, 255);
    m_List.SetItemText(row, 1, Text(plugin, kItemActive));
}
