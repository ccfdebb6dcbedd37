// Records the changes an interface tells its subscribers, for the tests.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

struct DeviceChange {
    int house, unit, state, change, function;
    bool operator==(const DeviceChange& o) const
    {
        return house == o.house && unit == o.unit && state == o.state && change == o.change &&
               function == o.function;
    }
};

inline std::ostream& operator<<(std::ostream& out, const DeviceChange& c)
{
    return out << "(" << c.house << ", " << c.unit << ", " << c.state << ", " << c.change << ", " << c.function
               << ")";
}

struct ChangeLog {
    std::mutex lock;
    std::vector<DeviceChange> changes;
    void Add(const DeviceChange& change)
    {
        std::lock_guard<std::mutex> hold(lock);
        changes.push_back(change);
    }
    std::vector<DeviceChange> Take()
    {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<DeviceChange> out;
        out.swap(changes);
        return out;
    }
    size_t Size()
    {
        std::lock_guard<std::mutex> hold(lock);
        return changes.size();
    }
};

inline ChangeLog& NormalChanges()
{
    static ChangeLog log;
    return log;
}
inline ChangeLog& ExtendedChanges()
{
    static ChangeLog log;
    return log;
}
inline void RecordNormal(int h, int u, int s, int c, int f) { NormalChanges().Add({h, u, s, c, f}); }
inline void RecordExtended(int h, int u, int s, int c, int f) { ExtendedChanges().Add({h, u, s, c, f}); }
