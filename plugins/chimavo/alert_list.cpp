#include "alert_list.h"

namespace {

CString Lower(CString text)
{
    text.MakeLower();
    return text;
}

CString ValueName(const char* prefix, const char* what, int index)
{
    CString name;
    name.Format("%s%s%d", prefix, what, index);
    return name;
}

} // namespace

bool CAlertList::Add(const AlertEntry& entry)
{
    for (const AlertEntry& kept : m_Entries)
        if (kept.m_strSender == entry.m_strSender && kept.m_strText == entry.m_strText &&
            kept.m_nMethod == entry.m_nMethod)
            return true;
    if (static_cast<int>(m_Entries.size()) >= MAX_ALERTS)
        return false;
    m_Entries.push_back(entry);
    return true;
}

int CAlertList::Remove(const CString* sender, const CString* text)
{
    int removed = 0;
    for (size_t i = m_Entries.size(); i-- > 0;) {
        const AlertEntry& entry = m_Entries[i];
        if (sender && entry.m_strSender != *sender)
            continue;
        if (text && entry.m_strText != *text)
            continue;
        m_Entries.erase(m_Entries.begin() + static_cast<long>(i));
        ++removed;
    }
    return removed;
}

unsigned CAlertList::Match(const CString& senderKey, const CString& text, const CString& subject) const
{
    CString key = Lower(senderKey);
    CString body = Lower(text);
    CString title = Lower(subject);
    unsigned methods = 0;
    for (size_t i = m_Entries.size(); i-- > 0;) {
        const AlertEntry& entry = m_Entries[i];
        CString sender = Lower(entry.m_strSender);
        CString contained = Lower(entry.m_strText);
        if (!sender.IsEmpty() && key.Find(sender) < 0)
            continue;
        if (!contained.IsEmpty() && body.Find(contained) < 0 && title.Find(contained) < 0)
            continue;
        methods |= entry.m_nMethod == 1 ? 2u : 1u;
    }
    return methods;
}

void CAlertList::Load(AlertStore& store, const char* prefix)
{
    m_Entries.clear();
    int count = 0;
    if (!store.ReadNumber(CString(prefix) + "NumAlerts", count) || count <= 0)
        return;
    if (count > MAX_ALERTS)
        count = MAX_ALERTS;
    for (int i = count - 1; i >= 0; --i) {
        AlertEntry entry;
        bool who = store.ReadText(ValueName(prefix, "AlertWho", i), entry.m_strSender);
        bool ctn = store.ReadText(ValueName(prefix, "AlertCtn", i), entry.m_strText);
        bool mth = store.ReadNumber(ValueName(prefix, "AlertMth", i), entry.m_nMethod);
        // Without a sender or a text to look for, an alert would match every
        // mail: it is skipped (stored texts that are empty count as none).
        if ((!who || entry.m_strSender.IsEmpty()) && (!ctn || entry.m_strText.IsEmpty()))
            continue;
        if (!mth)
            entry.m_nMethod = 0;
        entry.m_strSender = Lower(entry.m_strSender);
        entry.m_strText = Lower(entry.m_strText);
        if (entry.m_nMethod != 1)
            entry.m_nMethod = 0;
        m_Entries.push_back(entry);
    }
}

void CAlertList::Save(AlertStore& store, const char* prefix) const
{
    int count = static_cast<int>(m_Entries.size());
    store.WriteNumber(CString(prefix) + "NumAlerts", count);
    for (int i = count - 1; i >= 0; --i) {
        const AlertEntry& entry = m_Entries[static_cast<size_t>(i)];
        store.WriteText(ValueName(prefix, "AlertWho", i), entry.m_strSender);
        store.WriteText(ValueName(prefix, "AlertCtn", i), entry.m_strText);
        store.WriteNumber(ValueName(prefix, "AlertMth", i), entry.m_nMethod);
    }
}
