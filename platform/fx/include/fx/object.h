// CObject and run-time class information.
//
// Every class declared with DECLARE_DYNAMIC / DYNCREATE / SERIAL has one
// CRuntimeClass record. Records of IMPLEMENT_* classes register themselves by
// name at start-up, so an archive can find the class that a stored object
// names. The registry lives in the class layer, one for the whole process.
#pragma once

#include "fx/types.h"

class CObject;
class CArchive;
class CDumpContext;

// Schema flag: the class accepts every stored schema and reads it back with
// CArchive::GetObjectSchema.
#define VERSIONABLE_SCHEMA (0x80000000)

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                   // 0xFFFF when the class is not serialisable
    CObject* (*m_pfnCreateObject)();  // null when the class has no dynamic creation
    CRuntimeClass* m_pBaseClass;
    CRuntimeClass* m_pNextClass;      // registry chain

    // A new object of the class, or null when it cannot be created dynamically.
    CObject* CreateObject();
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;

    // The registered class of that name (exact, case-sensitive), or null.
    static CRuntimeClass* FromName(LPCSTR className);

    // Stored form: schema WORD, name length WORD, name bytes.
    void Store(CArchive& ar) const;
    // Reads a stored class reference; null when the class is unknown here.
    // The stored schema is returned in *schema; the name in *className when given.
    static CRuntimeClass* Load(CArchive& ar, UINT* schema, char* className = nullptr,
                               UINT classNameSize = 0);
};

// Adds a record to the registry (done by the IMPLEMENT_* macros at start-up)
// and takes it out again when its module goes away (a plug-in DLL unloaded).
void AfxClassInit(CRuntimeClass* cls);
void AfxClassTerm(CRuntimeClass* cls);

struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* cls) : m_cls(cls) { AfxClassInit(cls); }
    ~AFX_CLASSINIT() { AfxClassTerm(m_cls); }
    AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
    AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
    CRuntimeClass* m_cls;
};

class CObject {
public:
    // Slot order: GetRuntimeClass, destructor, Serialize, AssertValid, Dump.
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    BOOL IsSerializable() const;
    BOOL IsKindOf(const CRuntimeClass* cls) const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

private:
    // Objects are handled by pointer; copying one is a mistake the compiler reports.
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                  \
public:                                              \
    static CRuntimeClass class##class_name;          \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name)   \
    DECLARE_DYNCREATE(class_name)    \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define FX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)          \
    CRuntimeClass class_name::class##class_name = {                                    \
        #class_name, sizeof(class_name), wSchema, pfnNew, RUNTIME_CLASS(base_class_name), \
        nullptr};                                                                      \
    static AFX_CLASSINIT _init_##class_name(&class_name::class##class_name);           \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    FX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                 \
    CObject* class_name::CreateObject() { return new class_name; }       \
    FX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                              \
    CObject* class_name::CreateObject() { return new class_name; }                          \
    FX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    CArchive& operator>>(CArchive& ar, class_name*& pOb)                                    \
    {                                                                                       \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));           \
        return ar;                                                                          \
    }

// Checked downcast: null when the object is not of that class.
#define DYNAMIC_DOWNCAST(class_name, object) \
    (static_cast<class_name*>(AfxDynamicDownCast(RUNTIME_CLASS(class_name), object)))
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
CObject* AfxDynamicDownCast(CRuntimeClass* cls, CObject* object);
