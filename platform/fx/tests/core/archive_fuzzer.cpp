// Loads archive records from arbitrary bytes: texts, counts, collections and
// object records with back-references. Any input must end in a result or a
// CArchiveException, never in a crash, an overrun or a leak.
#include "fx/fx.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

std::set<CObject*>& liveObjects()
{
    static std::set<CObject*> s;
    return s;
}

} // namespace

// Refers to another object without owning it; the harness frees every instance.
class CFuzzNode : public CObject {
    DECLARE_SERIAL(CFuzzNode)
public:
    CFuzzNode() { liveObjects().insert(this); }
    ~CFuzzNode() override { liveObjects().erase(this); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            return;
        ar >> m_value >> m_name;
        m_words.Serialize(ar);
        ar >> m_next;
    }
    LONG m_value = 0;
    CString m_name;
    CStringList m_words;
    CFuzzNode* m_next = nullptr;
};
IMPLEMENT_SERIAL(CFuzzNode, CObject, 1)

namespace {

// One way of reading the bytes; every input is read in each way.
void readAs(int mode, std::vector<BYTE>& bytes)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load, 128);
    try {
        switch (mode) {
        case 0: {
            CString s;
            ar >> s >> s;
            break;
        }
        case 1: {
            CStringArray a;
            a.Serialize(ar);
            break;
        }
        case 2: {
            CMapStringToString m;
            m.Serialize(ar);
            break;
        }
        case 3: {
            CDWordArray d;
            d.Serialize(ar);
            CWordArray w;
            w.Serialize(ar);
            break;
        }
        default:
            for (int i = 0; i < 8; ++i) {
                CFuzzNode* node = nullptr;
                ar >> node;
            }
            break;
        }
    } catch (CException* e) {
        e->Delete();
    }
    ar.Abort();
    while (!liveObjects().empty())
        delete *liveObjects().begin();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<BYTE> bytes(data, data + size);
    bytes.push_back(0);  // never an empty buffer; one byte more is harmless
    for (int mode = 0; mode < 5; ++mode)
        readAs(mode, bytes);
    return 0;
}
