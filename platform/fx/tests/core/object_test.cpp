// Run-time class records, dynamic creation and the exception classes.
#include "fx/fx.h"

#include <gtest/gtest.h>

#include <cstring>

class CTestBase : public CObject {
    DECLARE_DYNAMIC(CTestBase)
};
IMPLEMENT_DYNAMIC(CTestBase, CObject)

class CTestMade : public CTestBase {
    DECLARE_DYNCREATE(CTestMade)
};
IMPLEMENT_DYNCREATE(CTestMade, CTestBase)

namespace {

TEST(CObject, RuntimeClasses)
{
    CTestMade made;
    CObject* o = &made;
    EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, "CTestMade");
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CTestMade)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CTestBase)));
    EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(o->IsKindOf(RUNTIME_CLASS(CFile)));
    EXPECT_FALSE(o->IsSerializable());
    EXPECT_EQ(DYNAMIC_DOWNCAST(CTestBase, o), &made);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CStringList, o), nullptr);
    EXPECT_TRUE(CStringList().IsSerializable());

    EXPECT_EQ(CRuntimeClass::FromName("CTestMade"), RUNTIME_CLASS(CTestMade));
    EXPECT_EQ(CRuntimeClass::FromName("CObList"), RUNTIME_CLASS(CObList));
    EXPECT_EQ(CRuntimeClass::FromName("CTestNothing"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

    CObject* created = RUNTIME_CLASS(CTestMade)->CreateObject();
    ASSERT_NE(created, nullptr);
    EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CTestMade)));
    delete created;
    EXPECT_EQ(RUNTIME_CLASS(CTestBase)->CreateObject(), nullptr);  // no dynamic creation

    // A record taken out of the registry (its module unloaded) is no longer found.
    static CRuntimeClass temporary = {"CTestTemporary", 0, 1, nullptr, RUNTIME_CLASS(CObject), nullptr};
    {
        AFX_CLASSINIT init(&temporary);
        EXPECT_EQ(CRuntimeClass::FromName("CTestTemporary"), &temporary);
    }
    EXPECT_EQ(CRuntimeClass::FromName("CTestTemporary"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CTestMade"), RUNTIME_CLASS(CTestMade));
}

TEST(CException, ThrownAsPointers)
{
    struct Case {
        void (*thrower)();
        CRuntimeClass* cls;
    } cases[] = {
        {[] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException)},
        {[] { AfxThrowNotSupportedException(); }, RUNTIME_CLASS(CNotSupportedException)},
        {[] { AfxThrowInvalidArgException(); }, RUNTIME_CLASS(CInvalidArgException)},
        {[] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException)},
        {[] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException)},
        {[] { AfxThrowFileException(CFileException::diskFull, 5, "f"); }, RUNTIME_CLASS(CFileException)},
        {[] { AfxThrowArchiveException(CArchiveException::badSchema, "a"); }, RUNTIME_CLASS(CArchiveException)},
    };
    for (auto& c : cases) {
        bool caught = false;
        try {
            c.thrower();
        } catch (CException* e) {
            caught = true;
            EXPECT_TRUE(e->IsKindOf(c.cls)) << c.cls->m_lpszClassName;
            char text[128] = "x";
            e->GetErrorMessage(text, sizeof text);
            e->Delete();
        }
        EXPECT_TRUE(caught) << c.cls->m_lpszClassName;
    }
    // The memory exception is a static object: deleting it twice is harmless.
    for (int i = 0; i < 2; ++i) {
        try {
            AfxThrowMemoryException();
        } catch (CException* e) {
            EXPECT_FALSE(e->m_bAutoDelete);
            e->Delete();
        }
    }
}

TEST(CException, CatchMacros)
{
    int route = 0;
    TRY
    {
        AfxThrowArchiveException(CArchiveException::endOfFile);
    }
    CATCH(CFileException, e)
    {
        route = 1;
    }
    AND_CATCH(CArchiveException, e)
    {
        route = e->m_cause == CArchiveException::endOfFile ? 2 : 3;
    }
    END_CATCH
    EXPECT_EQ(route, 2);

    // THROW_LAST passes the same exception on, still alive.
    CException* outer = nullptr;
    try {
        TRY
        {
            AfxThrowUserException();
        }
        CATCH_ALL(e)
        {
            THROW_LAST();
        }
        END_CATCH_ALL
    } catch (CException* e) {
        outer = e;
    }
    ASSERT_NE(outer, nullptr);
    EXPECT_TRUE(outer->IsKindOf(RUNTIME_CLASS(CUserException)));
    outer->Delete();
}

} // namespace
