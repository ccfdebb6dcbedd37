// The plug-in state behind the exports GetActionsName and SetUserInfo.
#include "plugin_glue.h"

#include <cstdio>
#include <cstdlib>

CPlugIn::CPlugIn(const PlugInDescription& description, CPlugInServices& services)
    : m_Description(description), m_Services(services)
{
}

bool CPlugIn::IsInformationRow(int row) const
{
    if (row >= 0)
        return false;
    return m_Description.infoRows == PLUGIN_INFO_ROWS_ALL_NEGATIVE || row == -1;
}

const char* CPlugIn::Answer(const CString& text)
{
    m_strAnswer = text;
    return m_strAnswer;
}

const char* CPlugIn::GetActionsName(int row, int item)
{
    if (IsInformationRow(row))
        return Information(row, item);
    if (row < 0 || row >= m_Description.rowCount)
        return nullptr;
    const PlugInActionRow& r = m_Description.rows[row];
    switch (item) {
    case ACTION_ITEM_TRIGGER_WORD:
        return r.word;
    case ACTION_ITEM_LINK_LABEL:
        return r.label;
    case ACTION_ITEM_EXPORT_NAME:
        return r.exportName;
    default:
        return nullptr;
    }
}

const char* CPlugIn::Information(int row, int item)
{
    switch (item) {
    case PLUGIN_INFO_DESCRIPTION:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_DESCRIPTION));
    case PLUGIN_INFO_LONG_DESCRIPTION:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_LONG_DESCRIPTION));
    case PLUGIN_INFO_COMPANY:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_COMPANY));
    case PLUGIN_INFO_COPYRIGHT:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_COPYRIGHT));
    case PLUGIN_INFO_ACTIVE:
        m_Services.LoadSettings();
        return Answer(m_Services.IsActive() ? "Yes" : "No");
    case PLUGIN_INFO_EXAMPLE:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_EXAMPLE));
    case PLUGIN_INFO_VERSION:
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_VERSION));
    case PLUGIN_INFO_TEST_COUNT:
        m_bTestMode = TRUE;
        return Answer(m_Services.LoadString(m_hModule, IDS_PLUGIN_TEST_COUNT));
    case PLUGIN_INFO_TEST_SENTENCE: {
        // Row -n asks for sentence n; a number past the list answers an empty text
        // rather than reading beyond it.
        int n = -row;
        m_nTestIndex = n - 1;
        if (n > m_Description.testSentenceCount)
            return Answer(CString());
        return Answer(m_Services.LoadString(m_hModule, m_Description.testSentenceIds[n - 1]));
    }
    case PLUGIN_INFO_TEST_END:
        m_bTestMode = FALSE;
        return m_strAnswer;
    case PLUGIN_INFO_DICTIONARY:
        if (m_Description.hasDictionary)
            return DictionaryItem(row);
        return m_strAnswer;
    case PLUGIN_INFO_MACRO:
        // Rows -1 to -count only: any other row, the lowest one too, is no escape.
        if (row < 0 && row >= -m_Description.macroCount)
            return Answer(m_Description.macros[-row - 1]);
        return m_strAnswer;
    default:
        // Not served: the previous answer.
        return m_strAnswer;
    }
}

const char* CPlugIn::DictionaryItem(int row)
{
    if (row != -1 && row != -2)
        return m_strAnswer;
    if (!m_hModule)
        return Answer(PLUGIN_LOAD_ERROR_TEXT);
    if (!m_bDictionaryCopied) {
        m_Dictionary.clear();
        if (!m_Services.CopyDictionary(m_hModule, m_Dictionary))
            m_Dictionary.clear();
        m_bDictionaryCopied = true;
    }
    if (row == -1)
        return m_Dictionary.empty() ? nullptr : m_Dictionary.data();
    CString size;
    size.Format("%u", static_cast<unsigned>(m_Dictionary.size()));
    return Answer(size);
}

namespace {
CString TextOf(const void* value)
{
    return value ? *static_cast<const CString*>(value) : CString();
}
int NumberOf(const void* value)
{
    return value ? std::atoi(static_cast<const char*>(value)) : 0;
}
} // namespace

void CPlugIn::SetUserInfo(const void* value, int code)
{
    m_Services.LoadSettings();
    switch (code) {
    case USERINFO_UNLOAD:
        Unload();
        break;
    case USERINFO_MAIL_USER:
        m_strMailUser = TextOf(value);
        m_bLogonNameSet = TRUE;
        break;
    case USERINFO_MAIL_PASSWORD:
        m_strMailPassword = TextOf(value);
        m_bPasswordSet = TRUE;
        break;
    case USERINFO_MY_NAME:
        m_strMyName = TextOf(value);
        m_bPasswordSet = TRUE;
        break;
    case USERINFO_LOG:
        m_pLog = static_cast<CString*>(const_cast<void*>(value));
        break;
    case USERINFO_MODULE:
        m_hModule = const_cast<void*>(value);
        break;
    case USERINFO_WORD_LIST:
        m_pWordList = static_cast<const CStringList*>(value);
        break;
    case USERINFO_REQUEST_TEXT:
        m_strRequestText = TextOf(value);
        break;
    case USERINFO_SENTENCE_TEXT:
        m_strSentenceText = TextOf(value);
        break;
    case USERINFO_SUBJECT:
        m_strSubject = TextOf(value);
        break;
    case USERINFO_ZIP_PASSWORD:
        m_strZipPassword = TextOf(value);
        break;
    case USERINFO_UNZIP_PASSWORD:
        m_strUnZipPassword = TextOf(value);
        break;
    case USERINFO_INSTALL_DIR:
        m_strInstallDir = TextOf(value);
        break;
    case USERINFO_ATTACHMENTS:
        if (m_Description.keepsAttachments)
            m_pAttachments = value;
        break;
    case USERINFO_SENDER_NAME:
        if (m_Description.takesSenderName) {
            m_strSenderName = TextOf(value);
            m_bLogonNameSet = TRUE;
        }
        break;
    case USERINFO_INTERFACE_MODE:
        m_nInterfaceMode = NumberOf(value);
        break;
    case USERINFO_SHORT_REPLY_LENGTH:
        m_nShortReplyLength = NumberOf(value);
        break;
    case USERINFO_ZERO:
        m_nZero = NumberOf(value);
        break;
    case USERINFO_SHOW_DIALOG:
        m_Services.ShowDialog();
        break;
    default:
        break;
    }
}

void CPlugIn::Unload()
{
    m_Services.SaveSettings();
    std::vector<char>().swap(m_Dictionary);
    m_bDictionaryCopied = false;
    m_Services.LogOff();
}

bool CPlugIn::ActionGateOpen()
{
    m_Services.LoadSettings();
    return m_Services.IsActive() || m_bTestMode;
}

void CPlugIn::Log(const CString& text)
{
    if (m_pLog)
        *m_pLog += text;
}
