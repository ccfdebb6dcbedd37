// The settings in the application's registry profile.
#include "assistant_settings.h"

#include "fx/fxwin.h"

namespace {

const char kSection[] = "Korvaneant1";

class CAppProfileStore : public CSettingsStore {
public:
    explicit CAppProfileStore(CWinApp* app) : m_app(app) {}
    int GetInt(LPCTSTR entry, int defaultValue) override
    {
        return static_cast<int>(m_app->GetProfileInt(kSection, entry, defaultValue));
    }
    CString GetString(LPCTSTR entry, LPCTSTR defaultValue) override
    {
        return m_app->GetProfileString(kSection, entry, defaultValue);
    }
    void WriteInt(LPCTSTR entry, int value) override { m_app->WriteProfileInt(kSection, entry, value); }
    void WriteString(LPCTSTR entry, LPCTSTR value) override { m_app->WriteProfileString(kSection, entry, value); }

private:
    CWinApp* m_app;
};

} // namespace

void CAssistantSettings::Load()
{
    if (CWinApp* app = AfxGetApp()) {
        CAppProfileStore store(app);
        Load(store);
    }
}

void CAssistantSettings::Save()
{
    if (CWinApp* app = AfxGetApp()) {
        CAppProfileStore store(app);
        Save(store);
    }
}
