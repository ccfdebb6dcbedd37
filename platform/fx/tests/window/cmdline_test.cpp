// The application's command line: splitting into arguments and what the
// standard record makes of them.
#include "fx/fxwin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CmdLineApp : public CWinApp {
public:
    CmdLineApp() : CWinApp("Fx Command Line") {}
    void SetCommandLine(const char* line)
    {
        m_line.assign(line, line + strlen(line) + 1);
        m_lpCmdLine = m_line.data();
    }

private:
    std::vector<char> m_line;
};

struct Arg {
    std::string param;
    bool flag;
    bool last;
    bool operator==(const Arg& o) const { return param == o.param && flag == o.flag && last == o.last; }
};

std::ostream& operator<<(std::ostream& os, const Arg& a)
{
    return os << "{" << a.param << (a.flag ? ",flag" : "") << (a.last ? ",last" : "") << "}";
}

class RecordingInfo : public CCommandLineInfo {
public:
    std::vector<Arg> args;
    void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) override
    {
        args.push_back({pszParam, bFlag != FALSE, bLast != FALSE});
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
    }
};

} // namespace

TEST(CommandLine, SplitsLikeTheCRuntime)
{
    struct Case {
        const char* line;
        std::vector<Arg> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"one", {{"one", false, true}}},
        {"  one   two\tthree ", {{"one", false, false}, {"two", false, false}, {"three", false, true}}},
        {"\"C:\\My Files\\a b.kvn\"", {{"C:\\My Files\\a b.kvn", false, true}}},
        {"pre\"quoted part\"post x", {{"prequoted partpost", false, false}, {"x", false, true}}},
        {"\"\"", {{"", false, true}}},
        {"a\\\\b", {{"a\\\\b", false, true}}},                   // backslashes alone stay
        {"a\\\"b", {{"a\"b", false, true}}},                      // \" is a quote
        {"\"a\\\\\" b", {{"a\\", false, false}, {"b", false, true}}},  // \\" ends the quotes
        {"\"a\\\\\\\"b\"", {{"a\\\"b", false, true}}},            // \\\" inside quotes
        {"\"say \"\"hi\"\"\"", {{"say \"hi\"", false, true}}},    // "" inside quotes
        {"C:\\dir\\ \"x\"", {{"C:\\dir\\", false, false}, {"x", false, true}}},
        {"/p -PT \"/x y\"", {{"p", true, false}, {"PT", true, false}, {"x y", true, true}}},
        {"-", {{"", true, true}}},
    };
    for (const Case& c : cases) {
        CmdLineApp app;
        app.SetCommandLine(c.line);
        RecordingInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.args, c.expected) << "command line: [" << c.line << "]";
    }
}

TEST(CommandLine, FlagsAndFileNamesSetTheShellCommand)
{
    using Info = CCommandLineInfo;
    struct Case {
        const char* line;
        int command;
        const char* file;
        bool splash;
        bool embedded;
        bool automated;
    };
    const Case cases[] = {
        {"", Info::FileNew, "", true, false, false},
        {"doc.kvn", Info::FileOpen, "doc.kvn", true, false, false},
        {"\"a b.kvn\" second.kvn", Info::FileOpen, "a b.kvn", true, false, false},
        {"/p doc.kvn", Info::FilePrint, "doc.kvn", true, false, false},
        {"-P doc.kvn", Info::FilePrint, "doc.kvn", true, false, false},
        {"/dde", Info::FileDDE, "", true, false, false},
        {"/DDE doc.kvn", Info::FileDDE, "doc.kvn", true, false, false},
        {"/Unregister", Info::AppUnregister, "", true, false, false},
        {"-unregserver", Info::AppUnregister, "", true, false, false},
        {"/Embedding", Info::FileNew, "", false, true, false},
        {"-automation doc.kvn", Info::FileOpen, "doc.kvn", false, false, true},
        {"/unknown", Info::FileNew, "", true, false, false},
    };
    for (const Case& c : cases) {
        CmdLineApp app;
        app.SetCommandLine(c.line);
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ((int)info.m_nShellCommand, c.command) << c.line;
        EXPECT_STREQ(info.m_strFileName, c.file) << c.line;
        EXPECT_EQ(info.m_bShowSplash != FALSE, c.splash) << c.line;
        EXPECT_EQ(info.m_bRunEmbedded != FALSE, c.embedded) << c.line;
        EXPECT_EQ(info.m_bRunAutomated != FALSE, c.automated) << c.line;
    }
}

TEST(CommandLine, PrintToTakesPrinterDriverAndPort)
{
    CmdLineApp app;
    app.SetCommandLine("/pt doc.kvn \"Laser Printer\" winspool LPT1:");
    CCommandLineInfo info;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_STREQ(info.m_strFileName, "doc.kvn");
    EXPECT_STREQ(info.m_strPrinterName, "Laser Printer");
    EXPECT_STREQ(info.m_strDriverName, "winspool");
    EXPECT_STREQ(info.m_strPortName, "LPT1:");
}

TEST(CommandLine, APresetCommandIsKeptWhenAFileIsNamed)
{
    CmdLineApp app;
    app.SetCommandLine("doc.kvn");
    CCommandLineInfo info;
    info.m_nShellCommand = CCommandLineInfo::FileNothing;
    app.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNothing);
    EXPECT_STREQ(info.m_strFileName, "doc.kvn");
    // Nothing to do is done successfully.
    EXPECT_TRUE(app.ProcessShellCommand(info));
}
