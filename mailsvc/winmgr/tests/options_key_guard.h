// The appearance options create their registry key when first loaded. Tests
// of the windows that load them run in the test session's shared prefix
// beside the options' own tests, which expect to find the key as they left
// it: a test program that created the key removes it again when it ends.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

namespace trellanetest {

class OptionsKeyGuard : public ::testing::Environment {
public:
    void SetUp() override
    {
        HKEY key;
        m_existed = ::RegOpenKeyExA(HKEY_CURRENT_USER, "Korvaneant1", 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_existed)
            ::RegCloseKey(key);
    }
    void TearDown() override
    {
        if (!m_existed)
            ::RegDeleteTreeA(HKEY_CURRENT_USER, "Korvaneant1"), ::RegDeleteKeyA(HKEY_CURRENT_USER, "Korvaneant1");
    }

private:
    bool m_existed = true;
};

// One per test program.
inline ::testing::Environment* const g_optionsKeyGuard = ::testing::AddGlobalTestEnvironment(new OptionsKeyGuard);

} // namespace trellanetest
