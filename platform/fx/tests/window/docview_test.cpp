// Frames, documents, views and templates in real windows: a multiple-document
// frame with its MDI client, a single-document program, command routing,
// menus and status prompts, opening files.
#include "docview_ids.h"
#include "window_test_support.h"

#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

using fxtest::DrainQueue;
using fxtest::MessageBoxRecorder;
using fxtest::PumpUntil;

namespace {

// Who answered the last routed command.
std::string g_answer;
const void* g_answerObject = nullptr;

void Answer(const char* who, const void* obj)
{
    g_answer = who;
    g_answerObject = obj;
}

// ---- Multiple documents ------------------------------------------------------------------

class PaperDoc : public CDocument {
    DECLARE_DYNCREATE(PaperDoc)
public:
    static int live;
    static int reads;
    std::vector<std::string> lines;
    PaperDoc() { ++live; }
    ~PaperDoc() override { --live; }
    // A count, then that many strings.
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            return;
        ++reads;
        LONG n = 0;
        ar >> n;
        for (LONG i = 0; i < n; ++i) {
            CString s;
            ar >> s;
            lines.push_back((LPCTSTR)s);
        }
    }

protected:
    afx_msg void OnDoc() { Answer("doc", this); }
    DECLARE_MESSAGE_MAP()
};
int PaperDoc::live = 0;
int PaperDoc::reads = 0;
IMPLEMENT_DYNCREATE(PaperDoc, CDocument)
BEGIN_MESSAGE_MAP(PaperDoc, CDocument)
    ON_COMMAND(ID_CMD_DOC, OnDoc)
    ON_COMMAND(ID_CMD_EVERYONE, OnDoc)
    ON_COMMAND(ID_CMD_DOC_FRAME_APP, OnDoc)
END_MESSAGE_MAP()

class PaperView : public CView {
    DECLARE_DYNCREATE(PaperView)
public:
    static int live;
    int paints = 0;
    int initialUpdates = 0;
    int updates = 0;
    PaperView() { ++live; }
    ~PaperView() override { --live; }
    void OnDraw(CDC*) override { ++paints; }
    void OnInitialUpdate() override
    {
        ++initialUpdates;
        CView::OnInitialUpdate();
    }
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override
    {
        ++updates;
        CView::OnUpdate(pSender, lHint, pHint);
    }

protected:
    afx_msg void OnView() { Answer("view", this); }
    DECLARE_MESSAGE_MAP()
};
int PaperView::live = 0;
IMPLEMENT_DYNCREATE(PaperView, CView)
BEGIN_MESSAGE_MAP(PaperView, CView)
    ON_COMMAND(ID_CMD_VIEW, OnView)
    ON_COMMAND(ID_CMD_EVERYONE, OnView)
END_MESSAGE_MAP()

class PaperChild : public CMDIChildWnd {
    DECLARE_DYNCREATE(PaperChild)
public:
    static int live;
    PaperChild() { ++live; }
    ~PaperChild() override { --live; }

protected:
    afx_msg void OnChild() { Answer("child", this); }
    DECLARE_MESSAGE_MAP()
};
int PaperChild::live = 0;
IMPLEMENT_DYNCREATE(PaperChild, CMDIChildWnd)
BEGIN_MESSAGE_MAP(PaperChild, CMDIChildWnd)
    ON_COMMAND(ID_CMD_CHILD, OnChild)
    ON_COMMAND(ID_CMD_EVERYONE, OnChild)
    ON_COMMAND(ID_CMD_CHILD_APP, OnChild)
END_MESSAGE_MAP()

class PaperTemplate : public CMultiDocTemplate {
public:
    PaperTemplate()
        : CMultiDocTemplate(IDR_PAPER, RUNTIME_CLASS(PaperDoc), RUNTIME_CLASS(PaperChild), RUNTIME_CLASS(PaperView))
    {
    }

protected:
    afx_msg void OnTemplate() { Answer("template", this); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PaperTemplate, CMultiDocTemplate)
    ON_COMMAND(ID_CMD_TEMPLATE, OnTemplate)
    ON_COMMAND(ID_CMD_EVERYONE, OnTemplate)
END_MESSAGE_MAP()

// The MDI client subclassed by a member, as a program does to paint its background.
class ClientWnd : public CWnd {
public:
    int erases = 0;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC)
    {
        ++erases;
        CRect r;
        GetClientRect(&r);
        pDC->FillSolidRect(&r, RGB(0, 0, 128));
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ClientWnd, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

class MainFrame : public CMDIFrameWnd {
public:
    static int live;
    ClientWnd m_client;
    MainFrame() { ++live; }
    ~MainFrame() override { --live; }

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override
    {
        if (!CMDIFrameWnd::OnCreateClient(lpcs, pContext))
            return FALSE;
        return m_client.SubclassWindow(m_hWndMDIClient);
    }
    afx_msg void OnFrame() { Answer("frame", this); }
    DECLARE_MESSAGE_MAP()
};
int MainFrame::live = 0;
BEGIN_MESSAGE_MAP(MainFrame, CMDIFrameWnd)
    ON_COMMAND(ID_CMD_FRAME, OnFrame)
    ON_COMMAND(ID_CMD_EVERYONE, OnFrame)
    ON_COMMAND(ID_CMD_DOC_FRAME_APP, OnFrame)
    ON_COMMAND(ID_CMD_FRAME_APP, OnFrame)
END_MESSAGE_MAP()

class DocApp : public CWinApp {
public:
    DocApp() : CWinApp("Fx Documents") {}

protected:
    afx_msg void OnApp() { Answer("app", this); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DocApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
    ON_COMMAND(ID_APP_EXIT, CWinApp::OnAppExit)
    ON_COMMAND(ID_CMD_APP, OnApp)
    ON_COMMAND(ID_CMD_EVERYONE, OnApp)
    ON_COMMAND(ID_CMD_DOC_FRAME_APP, OnApp)
    ON_COMMAND(ID_CMD_FRAME_APP, OnApp)
    ON_COMMAND(ID_CMD_CHILD_APP, OnApp)
END_MESSAGE_MAP()

MSG KeyDown(HWND hWnd, UINT vk)
{
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1;
    return msg;
}

std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> out;
    for (HWND h = ::GetWindow(parent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        out.push_back(h);
    return out;
}

CString TextOf(HWND h)
{
    char buf[256] = {};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// One MDI program: the application, its template and the main frame.
class MdiTest : public ::testing::Test {
protected:
    DocApp app;
    PaperTemplate* tmpl = nullptr;
    MainFrame* frame = nullptr;
    HWND hFrame = nullptr;

    void SetUp() override
    {
        PaperDoc::live = PaperView::live = PaperChild::live = MainFrame::live = 0;
        PaperDoc::reads = 0;
        g_answer.clear();
        tmpl = new PaperTemplate;
        app.AddDocTemplate(tmpl);
        frame = new MainFrame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MDIFRAME));
        hFrame = frame->m_hWnd;
        app.m_pMainWnd = frame;
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
    }

    void TearDown() override
    {
        if (::IsWindow(hFrame) && CWnd::FromHandlePermanent(hFrame) == frame)
            frame->DestroyWindow();
        DrainQueue();
        EXPECT_EQ(MainFrame::live, 0);
        EXPECT_EQ(PaperChild::live, 0);
        EXPECT_EQ(PaperView::live, 0);
        EXPECT_EQ(PaperDoc::live, 0);
    }

    void Command(UINT id) { ::SendMessageA(hFrame, WM_COMMAND, id, 0); }

    PaperChild* ActiveChild() { return static_cast<PaperChild*>(frame->MDIGetActive()); }
};

TEST_F(MdiTest, NewTwiceMakesTwoChildrenUnderTheRealClient)
{
    char cls[32] = {};
    ::GetClassNameA(frame->m_hWndMDIClient, cls, sizeof cls);
    EXPECT_STREQ(cls, "MDIClient") << "the system's own MDI client";
    EXPECT_EQ(::GetDlgCtrlID(frame->m_hWndMDIClient), AFX_IDW_PANE_FIRST);
    EXPECT_STREQ(TextOf(hFrame), "Docview MDI");

    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    std::vector<HWND> children = ChildrenOf(frame->m_hWndMDIClient);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(PaperDoc::live, 2);
    EXPECT_EQ(PaperView::live, 2);
    EXPECT_EQ(PaperChild::live, 2);

    // Numbered default titles, the newest child active, each with its own view and document.
    PaperChild* active = ActiveChild();
    ASSERT_NE(active, nullptr);
    EXPECT_STREQ(TextOf(active->m_hWnd), "Paper2");
    std::vector<std::string> titles;
    for (HWND h : children)
        titles.push_back((LPCTSTR)TextOf(h));
    EXPECT_NE(std::find(titles.begin(), titles.end(), "Paper1"), titles.end());
    PaperView* view = static_cast<PaperView*>(active->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(::GetParent(view->m_hWnd), active->m_hWnd);
    EXPECT_EQ(view->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(view->initialUpdates, 1);
    ASSERT_NE(view->GetDocument(), nullptr);
    EXPECT_STREQ(view->GetDocument()->GetTitle(), "Paper2");
    EXPECT_EQ(view->GetDocument()->GetDocTemplate(), tmpl);
    EXPECT_EQ(frame->GetActiveFrame(), active);
    EXPECT_EQ(view->GetParentFrame(), active);
    EXPECT_EQ(view->GetTopLevelFrame(), frame);
    // The frame's caption names the active child's document once the queue is idle.
    app.OnIdle(0);
    EXPECT_STREQ(TextOf(hFrame), "Paper2 - Docview MDI");
}

TEST_F(MdiTest, CommandsGoToTheActiveViewThenDocumentTemplateChildFrameAndApplication)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    PaperChild* active = ActiveChild();
    ASSERT_NE(active, nullptr);
    CView* view = active->GetActiveView();
    ASSERT_NE(view, nullptr);
    CDocument* doc = view->GetDocument();
    struct Case {
        UINT id;
        const char* who;
        const void* obj;
    };
    const Case cases[] = {
        {ID_CMD_VIEW, "view", view},
        {ID_CMD_EVERYONE, "view", view},
        {ID_CMD_DOC, "doc", doc},
        {ID_CMD_DOC_FRAME_APP, "doc", doc},
        {ID_CMD_TEMPLATE, "template", tmpl},
        {ID_CMD_CHILD, "child", active},
        {ID_CMD_CHILD_APP, "child", active},
        {ID_CMD_FRAME, "frame", frame},
        {ID_CMD_FRAME_APP, "frame", frame},
        {ID_CMD_APP, "app", &app},
        {ID_CMD_NOBODY, "", nullptr},
    };
    for (const Case& c : cases) {
        g_answer.clear();
        g_answerObject = nullptr;
        Command(c.id);
        EXPECT_EQ(g_answer, c.who) << "command " << c.id;
        EXPECT_EQ(g_answerObject, c.obj) << "command " << c.id;
    }
    // With no child active the frame and the application still answer.
    active->MDIDestroy();
    ActiveChild()->MDIDestroy();
    ASSERT_EQ(ActiveChild(), nullptr);
    for (UINT id : {ID_CMD_VIEW, ID_CMD_FRAME_APP, ID_CMD_CHILD_APP}) {
        g_answer.clear();
        Command(id);
        EXPECT_EQ(g_answer, id == ID_CMD_VIEW ? "" : id == ID_CMD_FRAME_APP ? "frame" : "app") << id;
    }
}

TEST_F(MdiTest, FileCloseClosesOnlyTheActiveDocumentAndTheSharedMenuFollowsTheChildren)
{
    HMENU frameMenu = ::GetMenu(hFrame);
    ASSERT_NE(frameMenu, nullptr);
    ASSERT_NE(tmpl->m_hMenuShared, nullptr);

    Command(ID_FILE_NEW);
    EXPECT_EQ(::GetMenu(hFrame), tmpl->m_hMenuShared);
    Command(ID_FILE_NEW);
    EXPECT_EQ(::GetMenu(hFrame), tmpl->m_hMenuShared);

    PaperChild* active = ActiveChild();
    ASSERT_NE(active, nullptr);
    HWND hClosing = active->m_hWnd;
    CDocument* closing = active->GetActiveDocument();
    Command(ID_FILE_CLOSE);
    EXPECT_FALSE(::IsWindow(hClosing));
    EXPECT_EQ(PaperDoc::live, 1);
    EXPECT_EQ(PaperView::live, 1);
    EXPECT_EQ(PaperChild::live, 1);
    POSITION pos = tmpl->GetFirstDocPosition();
    ASSERT_NE(pos, nullptr);
    CDocument* left = tmpl->GetNextDoc(pos);
    EXPECT_NE(left, closing);
    EXPECT_STREQ(left->GetTitle(), "Paper1");
    // The other child is active now and still shows the template's menu.
    ASSERT_NE(ActiveChild(), nullptr);
    EXPECT_EQ(::GetMenu(hFrame), tmpl->m_hMenuShared);

    Command(ID_FILE_CLOSE);
    EXPECT_TRUE(ChildrenOf(frame->m_hWndMDIClient).empty());
    EXPECT_EQ(PaperDoc::live, 0);
    EXPECT_EQ(PaperView::live, 0);
    EXPECT_EQ(PaperChild::live, 0);
    EXPECT_EQ(::GetMenu(hFrame), frameMenu) << "the frame's own menu returns with the last child";
    EXPECT_EQ(tmpl->GetFirstDocPosition(), nullptr);
}

TEST_F(MdiTest, ASecondWindowOnADocumentIsNumberedSharesUpdatesAndClosesAlone)
{
    Command(ID_FILE_NEW);
    PaperChild* first = ActiveChild();
    ASSERT_NE(first, nullptr);
    Command(ID_WINDOW_NEW);
    PaperChild* second = ActiveChild();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    EXPECT_EQ(PaperDoc::live, 1);
    EXPECT_EQ(PaperView::live, 2);
    EXPECT_STREQ(TextOf(first->m_hWnd), "Paper1:1");
    EXPECT_STREQ(TextOf(second->m_hWnd), "Paper1:2");

    auto* v1 = static_cast<PaperView*>(first->GetActiveView());
    auto* v2 = static_cast<PaperView*>(second->GetActiveView());
    ASSERT_EQ(v1->GetDocument(), v2->GetDocument());
    int before1 = v1->updates, before2 = v2->updates;
    v1->GetDocument()->UpdateAllViews(v1);
    EXPECT_EQ(v1->updates, before1) << "the sender is not told";
    EXPECT_EQ(v2->updates, before2 + 1);

    // Closing one of the two windows leaves the document open.
    ::SendMessageA(second->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(PaperChild::live, 1);
    EXPECT_EQ(PaperView::live, 1);
    EXPECT_EQ(PaperDoc::live, 1);
    EXPECT_STREQ(TextOf(first->m_hWnd), "Paper1");
    // Closing the last one closes it.
    ::SendMessageA(first->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(PaperChild::live, 0);
    EXPECT_EQ(PaperDoc::live, 0);
}

TEST_F(MdiTest, ClosingTheMainFrameClosesEveryDocument)
{
    Command(ID_FILE_NEW);
    Command(ID_FILE_NEW);
    ::SendMessageA(hFrame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(MainFrame::live, 0);
    EXPECT_EQ(PaperDoc::live, 0);
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the loop is told to end";
}

TEST_F(MdiTest, TheTemplatesAcceleratorsApplyWhileOneOfItsChildrenIsActive)
{
    MSG f6 = KeyDown(hFrame, VK_F6);
    EXPECT_FALSE(app.PreTranslateMessage(&f6));
    Command(ID_FILE_NEW);
    PaperChild* child = ActiveChild();
    ASSERT_NE(child, nullptr);
    g_answer.clear();
    f6 = KeyDown(child->GetActiveView()->m_hWnd, VK_F6);
    EXPECT_TRUE(app.PreTranslateMessage(&f6));
    EXPECT_EQ(g_answer, "view");
    EXPECT_EQ(g_answerObject, child->GetActiveView());
}

TEST_F(MdiTest, TheSubclassedClientStillMakesAndPaintsChildren)
{
    EXPECT_EQ(frame->m_client.m_hWnd, frame->m_hWndMDIClient);
    frame->m_client.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_GT(frame->m_client.erases, 0);
    Command(ID_FILE_NEW);
    PaperChild* child = ActiveChild();
    ASSERT_NE(child, nullptr);
    PaperView* view = static_cast<PaperView*>(child->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(::IsWindowVisible(child->m_hWnd));
    view->Invalidate();
    EXPECT_TRUE(PumpUntil([&] { return view->paints > 0; }));
    // The frame's layout gives the client the whole client area (no bars here).
    CRect frameClient, clientRect;
    frame->GetClientRect(&frameClient);
    ::GetWindowRect(frame->m_hWndMDIClient, &clientRect);
    frame->ScreenToClient(&clientRect);
    EXPECT_EQ(clientRect, frameClient);
}

// A file of count + strings in the archive's own form.
void WritePaper(const std::string& path, LONG count, const std::vector<std::string>& strings)
{
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    ar << count;
    for (const std::string& s : strings)
        ar << CString(s.c_str());
    ar.Close();
    file.Close();
}

TEST_F(MdiTest, OpenDocumentFileReadsOnceAndActivatesAnOpenDocument)
{
    testsupport::TempDir dir;
    std::string a = dir.path() + "\\first.ppr";
    std::string b = dir.path() + "\\second.ppr";
    WritePaper(a, 2, {"one", "two"});
    WritePaper(b, 1, {"three"});

    CDocument* docA = app.OpenDocumentFile(a.c_str());
    ASSERT_NE(docA, nullptr);
    EXPECT_EQ(static_cast<PaperDoc*>(docA)->lines, (std::vector<std::string>{"one", "two"}));
    EXPECT_STREQ(docA->GetTitle(), "first.ppr");
    EXPECT_EQ(docA->GetPathName().CompareNoCase(a.c_str()), 0);
    EXPECT_FALSE(docA->IsModified());
    CDocument* docB = app.OpenDocumentFile(b.c_str());
    ASSERT_NE(docB, nullptr);
    EXPECT_EQ(PaperDoc::reads, 2);
    EXPECT_EQ(ActiveChild()->GetActiveDocument(), docB);

    // The same path again (written differently): the open document comes forward, unread.
    std::string again = dir.path() + "\\.\\FIRST.PPR";
    CDocTemplate* found = nullptr;
    CDocument* match = nullptr;
    POSITION pos = app.GetFirstDocTemplatePosition();
    found = app.GetNextDocTemplate(pos);
    EXPECT_EQ(found->MatchDocType(again.c_str(), match), CDocTemplate::yesAlreadyOpen);
    EXPECT_EQ(match, docA);
    EXPECT_EQ(app.OpenDocumentFile(again.c_str()), docA);
    EXPECT_EQ(PaperDoc::reads, 2);
    EXPECT_EQ(PaperDoc::live, 2);
    EXPECT_EQ(ActiveChild()->GetActiveDocument(), docA);

    // Extensions decide between native and foreign files.
    EXPECT_EQ(found->MatchDocType((dir.path() + "\\x.PPR").c_str(), match), CDocTemplate::yesAttemptNative);
    EXPECT_EQ(found->MatchDocType((dir.path() + "\\x.txt").c_str(), match), CDocTemplate::yesAttemptForeign);
    EXPECT_EQ(found->MatchDocType((dir.path() + "\\dir.ppr\\x").c_str(), match), CDocTemplate::yesAttemptForeign);
}

TEST_F(MdiTest, AFileThatCannotBeReadIsReportedAndLeavesNothingBehind)
{
    testsupport::TempDir dir;
    std::string good = dir.path() + "\\good.ppr";
    std::string truncated = dir.path() + "\\truncated.ppr";
    std::string missing = dir.path() + "\\missing.ppr";
    WritePaper(good, 1, {"kept"});
    WritePaper(truncated, 5, {"only one"});
    ASSERT_NE(app.OpenDocumentFile(good.c_str()), nullptr);

    struct Case {
        std::string path;
        std::vector<std::string> expectedInText;
    };
    const Case cases[] = {
        {truncated, {"Unexpected file format."}},
        {missing, {"missing.ppr", "Failed to open document."}},
    };
    for (const Case& c : cases) {
        MessageBoxRecorder boxes(IDOK);
        EXPECT_EQ(app.OpenDocumentFile(c.path.c_str()), nullptr) << c.path;
        ASSERT_EQ(boxes.boxes.size(), 1u) << c.path;
        for (const std::string& part : c.expectedInText)
            EXPECT_NE(boxes.boxes[0].text.find(part), std::string::npos) << boxes.boxes[0].text;
        EXPECT_EQ(PaperDoc::live, 1) << c.path;
        EXPECT_EQ(PaperView::live, 1) << c.path;
        EXPECT_EQ(PaperChild::live, 1) << c.path;
        EXPECT_EQ(ChildrenOf(frame->m_hWndMDIClient).size(), 1u) << c.path;
    }
}

TEST_F(MdiTest, FilesDroppedOnTheFrameAreOpened)
{
    testsupport::TempDir dir;
    std::string a = dir.path() + "\\dropped one.ppr";
    std::string b = dir.path() + "\\dropped two.ppr";
    WritePaper(a, 1, {"a"});
    WritePaper(b, 1, {"b"});
    // A drop list as the shell makes it: DROPFILES, then the names, then an empty one.
    std::string names = a + '\0' + b + '\0' + '\0';
    HGLOBAL hDrop = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    ASSERT_NE(hDrop, nullptr);
    auto* df = static_cast<DROPFILES*>(::GlobalLock(hDrop));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), names.data(), names.size());
    ::GlobalUnlock(hDrop);

    ::SendMessageA(hFrame, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    EXPECT_EQ(PaperDoc::live, 2);
    EXPECT_EQ(PaperDoc::reads, 2);
    std::vector<std::string> titles;
    POSITION pos = tmpl->GetFirstDocPosition();
    while (pos)
        titles.push_back((LPCTSTR)tmpl->GetNextDoc(pos)->GetTitle());
    EXPECT_EQ(titles, (std::vector<std::string>{"dropped one.ppr", "dropped two.ppr"}));
}

TEST_F(MdiTest, ShellCommandOpensANamedFileOnlyWithoutAPresetCommand)
{
    testsupport::TempDir dir;
    std::string path = dir.path() + "\\named.ppr";
    WritePaper(path, 1, {"x"});
    std::string line = "\"" + path + "\"";
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    app.m_lpCmdLine = buf.data();

    CCommandLineInfo nothing;
    nothing.m_nShellCommand = CCommandLineInfo::FileNothing;
    app.ParseCommandLine(nothing);
    EXPECT_TRUE(app.ProcessShellCommand(nothing));
    EXPECT_EQ(PaperDoc::live, 0);

    CCommandLineInfo standard;
    app.ParseCommandLine(standard);
    EXPECT_EQ(standard.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_TRUE(app.ProcessShellCommand(standard));
    EXPECT_EQ(PaperDoc::live, 1);
    EXPECT_EQ(PaperDoc::reads, 1);

    // A file that cannot be opened fails the command (the program then ends).
    MessageBoxRecorder boxes(IDOK);
    CCommandLineInfo bad;
    bad.m_nShellCommand = CCommandLineInfo::FileOpen;
    bad.m_strFileName = (dir.path() + "\\absent.ppr").c_str();
    EXPECT_FALSE(app.ProcessShellCommand(bad));
    EXPECT_EQ(boxes.boxes.size(), 1u);
    app.m_lpCmdLine = nullptr;
}

// ---- Single document ------------------------------------------------------------------------

class SheetDoc : public CDocument {
    DECLARE_DYNCREATE(SheetDoc)
public:
    static int live;
    static int news;
    SheetDoc() { ++live; }
    ~SheetDoc() override { --live; }
    BOOL OnNewDocument() override
    {
        ++news;
        return CDocument::OnNewDocument();
    }

protected:
    afx_msg void OnDisabled() {}
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};
int SheetDoc::live = 0;
int SheetDoc::news = 0;
IMPLEMENT_DYNCREATE(SheetDoc, CDocument)
BEGIN_MESSAGE_MAP(SheetDoc, CDocument)
    ON_COMMAND(ID_TEST_DISABLED, OnDisabled)
    ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, OnUpdateDisabled)
END_MESSAGE_MAP()

class SheetView : public CView {
    DECLARE_DYNCREATE(SheetView)
public:
    static int live;
    SheetView() { ++live; }
    ~SheetView() override { --live; }

protected:
    afx_msg void OnChecked() {}
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    afx_msg void OnUpdateRenamed(CCmdUI* pCmdUI) { pCmdUI->SetText("New name"); }
    DECLARE_MESSAGE_MAP()
};
int SheetView::live = 0;
IMPLEMENT_DYNCREATE(SheetView, CView)
BEGIN_MESSAGE_MAP(SheetView, CView)
    ON_COMMAND(ID_TEST_CHECKED, OnChecked)
    ON_UPDATE_COMMAND_UI(ID_TEST_CHECKED, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(ID_TEST_RENAMED, OnUpdateRenamed)
END_MESSAGE_MAP()

class SheetFrame : public CFrameWnd {
    DECLARE_DYNCREATE(SheetFrame)
public:
    static int live;
    CStatusBar m_status;
    SheetFrame() { ++live; }
    ~SheetFrame() override { --live; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_SHEET, ID_INDICATOR_OFF};
        if (!m_status.Create(this) || !m_status.SetIndicators(indicators, 3))
            return -1;
        return 0;
    }
    afx_msg void OnFrameCmd() { Answer("sheet frame", this); }
    afx_msg void OnUpdateSheetPane(CCmdUI* pCmdUI) { pCmdUI->SetText("Pane text"); }
    DECLARE_MESSAGE_MAP()
};
int SheetFrame::live = 0;
IMPLEMENT_DYNCREATE(SheetFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(SheetFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_TEST_FRAME, OnFrameCmd)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_SHEET, OnUpdateSheetPane)
END_MESSAGE_MAP()

class SdiTest : public ::testing::Test {
protected:
    DocApp app;
    CSingleDocTemplate* tmpl = nullptr;

    void SetUp() override
    {
        SheetDoc::live = SheetView::live = SheetFrame::live = 0;
        SheetDoc::news = 0;
        tmpl = new CSingleDocTemplate(IDR_SHEET, RUNTIME_CLASS(SheetDoc), RUNTIME_CLASS(SheetFrame),
                                      RUNTIME_CLASS(SheetView));
        app.AddDocTemplate(tmpl);
        app.m_nCmdShow = SW_SHOWNORMAL;
    }

    void TearDown() override
    {
        if (app.m_pMainWnd)
            app.m_pMainWnd->DestroyWindow();
        DrainQueue();
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_EQ(SheetFrame::live, 0);
        EXPECT_EQ(SheetView::live, 0);
        EXPECT_EQ(SheetDoc::live, 0);
    }

    SheetFrame* Frame() { return static_cast<SheetFrame*>(app.m_pMainWnd); }
};

TEST_F(SdiTest, NewTwiceReusesTheOneFrameAndDocument)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    HWND hFrame = frame->m_hWnd;
    CDocument* doc = frame->GetActiveDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_STREQ(TextOf(hFrame), "Untitled - Docview SDI");

    app.OnFileNew();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(frame->m_hWnd, hFrame);
    EXPECT_EQ(frame->GetActiveDocument(), doc);
    EXPECT_EQ(SheetFrame::live, 1);
    EXPECT_EQ(SheetView::live, 1);
    EXPECT_EQ(SheetDoc::live, 1);
    EXPECT_EQ(SheetDoc::news, 2);
}

TEST_F(SdiTest, TheDocumentsTitleNamesTheFrameAndTheViewFillsWhatTheBarsLeave)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    frame->GetActiveDocument()->SetTitle("Renamed");
    EXPECT_STREQ(TextOf(frame->m_hWnd), "Renamed - Docview SDI");

    CView* view = frame->GetActiveView();
    ASSERT_NE(view, nullptr);
    auto rectIn = [&](CWnd* w) {
        CRect r;
        w->GetWindowRect(&r);
        frame->ScreenToClient(&r);
        return r;
    };
    CRect client;
    frame->GetClientRect(&client);
    CRect bar = rectIn(&frame->m_status);
    EXPECT_EQ(bar.bottom, client.bottom);
    EXPECT_EQ(rectIn(view).bottom, bar.top);
    EXPECT_EQ(rectIn(view).top, client.top);
    // Hidden bars leave their room to the view.
    EXPECT_EQ(frame->GetControlBar(AFX_IDW_STATUS_BAR), &frame->m_status);
    frame->ShowControlBar(&frame->m_status, FALSE, FALSE);
    EXPECT_EQ(rectIn(view).bottom, client.bottom);
    // The standard View command toggles it back, and its menu item is checked.
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(frame->m_status.IsWindowVisible());
    EXPECT_EQ(rectIn(view).bottom, bar.top);
    // Docked on the top edge, the bar moves there.
    frame->DockControlBar(&frame->m_status, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(rectIn(&frame->m_status).top, client.top);
    EXPECT_EQ(rectIn(view).top, rectIn(&frame->m_status).bottom);
    EXPECT_EQ(rectIn(view).bottom, client.bottom);
}

TEST_F(SdiTest, TheFramesAcceleratorsTurnKeysIntoCommands)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    g_answer.clear();
    MSG f5 = KeyDown(frame->GetActiveView()->m_hWnd, VK_F5);
    EXPECT_TRUE(app.PreTranslateMessage(&f5));
    EXPECT_EQ(g_answer, "sheet frame");
    MSG f6 = KeyDown(frame->GetActiveView()->m_hWnd, VK_F6);
    EXPECT_FALSE(app.PreTranslateMessage(&f6));
}

TEST_F(SdiTest, ClosingAsksToSaveAModifiedDocumentAndCancelKeepsEverything)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    HWND hFrame = frame->m_hWnd;
    {
        MessageBoxRecorder boxes(IDNO);
        ::SendMessageA(hFrame, WM_CLOSE, 0, 0);  // not modified: no question
        EXPECT_TRUE(boxes.boxes.empty());
    }
    EXPECT_FALSE(::IsWindow(hFrame));
    DrainQueue();

    app.OnFileNew();
    frame = Frame();
    ASSERT_NE(frame, nullptr);
    hFrame = frame->m_hWnd;
    frame->GetActiveDocument()->SetModifiedFlag();
    {
        MessageBoxRecorder boxes(IDCANCEL);
        ::SendMessageA(hFrame, WM_CLOSE, 0, 0);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text, "Save changes to Untitled?");
        EXPECT_EQ(boxes.boxes[0].type & MB_TYPEMASK, (UINT)MB_YESNOCANCEL);
    }
    EXPECT_TRUE(::IsWindow(hFrame));
    EXPECT_EQ(SheetDoc::live, 1);
    {
        MessageBoxRecorder boxes(IDNO);
        ::SendMessageA(hFrame, WM_CLOSE, 0, 0);
        EXPECT_EQ(boxes.boxes.size(), 1u);
    }
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(SheetDoc::live, 0);
    EXPECT_EQ(SheetFrame::live, 0);
}

TEST_F(SdiTest, LoadFrameTakesTitleMenuAndIconOfItsResource)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_STREQ(frame->GetTitle(), "Docview SDI");
    HMENU menu = ::GetMenu(frame->m_hWnd);
    ASSERT_NE(menu, nullptr);
    HMENU popup = ::GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(::GetMenuItemID(popup, 0), (UINT)ID_TEST_CHECKED);
    EXPECT_NE(::GetClassLongPtrA(frame->m_hWnd, GCLP_HICON), 0u);
    EXPECT_NE(::SendMessageA(frame->m_hWnd, WM_GETICON, ICON_BIG, 0), 0);
    // A frame of a resource id without menu or icon is made all the same.
    CFrameWnd* bare = new CFrameWnd;
    ASSERT_TRUE(bare->LoadFrame(IDR_BARE));
    EXPECT_EQ(::GetMenu(bare->m_hWnd), nullptr);
    bare->DestroyWindow();
}

TEST_F(SdiTest, MenuItemsAreUpdatedThroughRouting)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    HMENU popup = ::GetSubMenu(::GetMenu(frame->m_hWnd), 0);
    ASSERT_NE(popup, nullptr);
    ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));

    struct Case {
        UINT id;
        bool enabled;
        bool checked;
    };
    const Case cases[] = {
        {ID_TEST_CHECKED, true, true},     // view's handler checks it
        {ID_TEST_DISABLED, false, false},  // document's update handler disables it
        {ID_TEST_UNHANDLED, false, false}, // nobody handles it
        {ID_TEST_FRAME, true, false},      // the frame has a command handler
    };
    for (const Case& c : cases) {
        UINT state = ::GetMenuState(popup, c.id, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_GRAYED) == 0, c.enabled) << c.id;
        EXPECT_EQ((state & MF_CHECKED) != 0, c.checked) << c.id;
    }
    char text[64] = {};
    ::GetMenuStringA(popup, ID_TEST_RENAMED, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "New name");
    // The popup item itself is left alone.
    UINT popupState = ::GetMenuState(popup, 6, MF_BYPOSITION);
    EXPECT_EQ(popupState & MF_GRAYED, 0u);

    // Without automatic disabling an unhandled item keeps its state.
    ::EnableMenuItem(popup, ID_TEST_UNHANDLED, MF_BYCOMMAND | MF_ENABLED);
    frame->m_bAutoMenuEnable = FALSE;
    ::SendMessageA(frame->m_hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
    EXPECT_EQ(::GetMenuState(popup, ID_TEST_UNHANDLED, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(SdiTest, StatusPanesFollowUpdateHandlersAndMenuPrompts)
{
    app.OnFileNew();
    SheetFrame* frame = Frame();
    ASSERT_NE(frame, nullptr);
    CStatusBar& bar = frame->m_status;
    // The idle pass: handled panes get their text, unhandled ones go blank
    // (disabled), the message pane says "Ready".
    app.OnIdle(0);
    EXPECT_STREQ(bar.GetPaneText(1), "Pane text");
    EXPECT_NE(bar.GetPaneStyle(2) & SBPS_DISABLED, 0u);
    EXPECT_STREQ(bar.GetPaneText(0), "Ready");
    char shown[64] = {};
    ::SendMessageA(bar.m_hWnd, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, "");

    HMENU popup = ::GetSubMenu(::GetMenu(frame->m_hWnd), 0);
    struct Case {
        WPARAM wParam;
        LPARAM lParam;
        const char* text;
    };
    const Case cases[] = {
        {MAKEWPARAM(ID_TEST_CHECKED, MF_STRING), reinterpret_cast<LPARAM>(popup), "Prompt of the checked command"},
        {MAKEWPARAM(ID_TEST_FRAME, MF_STRING), reinterpret_cast<LPARAM>(popup), "Prompt of the frame command"},
        {MAKEWPARAM(ID_TEST_UNHANDLED, MF_STRING), reinterpret_cast<LPARAM>(popup), ""},
        {MAKEWPARAM(0, 0xFFFF), 0, "Ready"},  // the menu closed
    };
    for (const Case& c : cases) {
        ::SendMessageA(frame->m_hWnd, WM_MENUSELECT, c.wParam, c.lParam);
        EXPECT_STREQ(bar.GetPaneText(0), c.text);
    }
    frame->SetMessageText("Custom");
    EXPECT_STREQ(bar.GetPaneText(0), "Custom");
    app.OnIdle(0);
    EXPECT_STREQ(bar.GetPaneText(0), "Custom") << "idle passes keep a text that was set";
    frame->SetMessageText(ID_TEST_FRAME);
    EXPECT_STREQ(bar.GetPaneText(0), "Prompt of the frame command");
}

TEST_F(SdiTest, ClosingTheMainFrameEndsTheMessageLoopAndDeletesTheFrame)
{
    app.OnFileNew();
    ASSERT_NE(Frame(), nullptr);
    HWND hFrame = Frame()->m_hWnd;
    // Exit through the application's command, as a menu would.
    ::PostMessageA(hFrame, WM_COMMAND, ID_APP_EXIT, 0);
    // A stuck loop is ended from inside by the watchdog, and the test fails.
    {
        testsupport::ModalWatchdog watchdog("the application's loop to end after Exit", testsupport::kModalLoopMs,
                                            [] { ::PostQuitMessage(1); });
        app.Run();
    }
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(SheetFrame::live, 0);
    EXPECT_EQ(SheetView::live, 0);
    EXPECT_EQ(SheetDoc::live, 0);
}

class SheetForm : public CFormView {
    DECLARE_DYNCREATE(SheetForm)
public:
    static int live;
    CString m_strText = "from the form";
    SheetForm() : CFormView(IDD_SHEET_FORM) { ++live; }
    ~SheetForm() override { --live; }

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_FORM_EDIT, m_strText); }
};
int SheetForm::live = 0;
IMPLEMENT_DYNCREATE(SheetForm, CFormView)

// A form view made by a template joins the document and goes with its frame.
TEST(FormViewInAFrame, JoinsTheDocumentAndIsDeletedWithTheFrame)
{
    DocApp app;
    SheetForm::live = SheetDoc::live = 0;
    app.AddDocTemplate(
        new CSingleDocTemplate(IDR_BARE, RUNTIME_CLASS(SheetDoc), RUNTIME_CLASS(CFrameWnd), RUNTIME_CLASS(SheetForm)));
    app.OnFileNew();
    auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    auto* form = dynamic_cast<SheetForm*>(frame->GetActiveView());
    ASSERT_NE(form, nullptr);
    EXPECT_NE(form->GetDocument(), nullptr);
    EXPECT_EQ(form->GetDocument(), frame->GetActiveDocument());
    EXPECT_EQ(form->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    char text[64] = {};
    ::GetDlgItemTextA(form->m_hWnd, IDC_FORM_EDIT, text, sizeof text);
    EXPECT_STREQ(text, "from the form");
    EXPECT_STREQ(TextOf(frame->m_hWnd), "Untitled");
    frame->DestroyWindow();
    DrainQueue();
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(SheetForm::live, 0);
    EXPECT_EQ(SheetDoc::live, 0);
}

// A view made without a frame or document works and stays its owner's.
TEST(ViewWithoutDocument, IsNotDeletedByTheFrameworkAndPaints)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                                nullptr));
    {
        SheetView::live = 0;
        SheetView view;
        ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), &parent, 1));
        EXPECT_EQ(view.GetDocument(), nullptr);
        EXPECT_EQ(view.GetParentFrame(), nullptr);
        view.SendMessage(WM_INITIALUPDATE);
        view.DestroyWindow();
        EXPECT_EQ(SheetView::live, 1) << "a member or stack view is its owner's to delete";
    }
    EXPECT_EQ(SheetView::live, 0);
    parent.DestroyWindow();
    DrainQueue();
}

} // namespace
