// One object of type T per thread, made on first use and destroyed when the
// thread ends.
//
// A C++ thread_local with a destructor is not safe in this DLL: MinGW keeps
// such variables in emulated storage that is freed at thread exit in no fixed
// order with the destructors, and a destructor that runs on freed storage
// corrupts the process heap (seen as a hang in the next heap call of another
// thread). A fiber-local slot's callback runs once, while the object is whole.
#pragma once

#include <windows.h>

#include <cstdlib>

namespace fx::win {

template <class T>
class PerThread {
public:
    T& Get()
    {
        const DWORD slot = Slot();
        void* p = ::FlsGetValue(slot);
        if (!p) {
            p = new T;
            ::FlsSetValue(slot, p);
        }
        return *static_cast<T*>(p);
    }

private:
    static void WINAPI Destroy(void* p) { delete static_cast<T*>(p); }
    static DWORD Slot()
    {
        static const DWORD slot = [] {
            DWORD s = ::FlsAlloc(&Destroy);
            if (s == FLS_OUT_OF_INDEXES)
                std::abort();  // no per-thread state means no windows at all
            return s;
        }();
        return slot;
    }
};

} // namespace fx::win
