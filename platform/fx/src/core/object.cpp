// CObject, run-time class records and their registry.
#include "fx/object.h"

#include <cstring>
#include <mutex>

namespace {

struct Registry {
    std::mutex lock;
    CRuntimeClass* head = nullptr;
};

// Function-local so that records of other modules' static initialisers find it ready.
Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr, nullptr};
static AFX_CLASSINIT _init_CObject(&CObject::classCObject);

void AfxClassInit(CRuntimeClass* cls)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (CRuntimeClass* p = r.head; p; p = p->m_pNextClass)
        if (p == cls)
            return;
    cls->m_pNextClass = r.head;
    r.head = cls;
}

void AfxClassTerm(CRuntimeClass* cls)
{
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (CRuntimeClass** pp = &r.head; *pp; pp = &(*pp)->m_pNextClass) {
        if (*pp == cls) {
            *pp = cls->m_pNextClass;
            cls->m_pNextClass = nullptr;
            return;
        }
    }
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className)
{
    if (!className)
        return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (CRuntimeClass* p = r.head; p; p = p->m_pNextClass)
        if (std::strcmp(p->m_lpszClassName, className) == 0)
            return p;
    return nullptr;
}

CObject* CRuntimeClass::CreateObject()
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == base)
            return TRUE;
    return FALSE;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }
CObject::~CObject() = default;
void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}
void CObject::Dump(CDumpContext&) const {}

BOOL CObject::IsSerializable() const
{
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}

BOOL CObject::IsKindOf(const CRuntimeClass* cls) const
{
    return GetRuntimeClass()->IsDerivedFrom(cls);
}

CObject* AfxDynamicDownCast(CRuntimeClass* cls, CObject* object)
{
    return object && object->IsKindOf(cls) ? object : nullptr;
}
