// A set of connectors from one dictionary entry, for membership tests.
#pragma once
#include <vector>

struct Connector;
struct Exp;
class ParserArena;

class ConnectorSet {
public:
    ConnectorSet(ParserArena& arena, const Exp* e);
    // A connector is in the set when a member of its slot has the same direction
    // and matches it.
    bool Contains(const Connector* c, char dir) const;

private:
    static unsigned Hash(const char* text, char dir);
    struct Entry {
        Connector* c;
        char dir;
    };
    void Add(ParserArena& arena, const Exp* e);
    std::vector<std::vector<Entry>> m_slots;
};
