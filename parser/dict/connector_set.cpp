#include "parser/dict/connector_set.h"

#include "parser/core/random_table.h"
#include "parser/count/match.h"
#include "parser/dict/expression.h"
#include "parser/disjunct/connector.h"

ConnectorSet::ConnectorSet(ParserArena& arena, const Exp* e)
{
    m_slots.resize(NextPowerOfTwo(static_cast<unsigned>(CountConnectors(e))));
    Add(arena, e);
}

unsigned ConnectorSet::Hash(const char* text, char dir)
{
    const uint32_t* R = RandomTable();
    uint32_t h = static_cast<unsigned char>(dir);
    for (const char* p = text; IsUpper(*p); ++p)
        h = 3 * h + R[(static_cast<unsigned char>(*p) + h) & 255u];
    return h;
}

void ConnectorSet::Add(ParserArena& arena, const Exp* e)
{
    if (!e)
        return;
    if (e->type == CONNECTOR_TYPE) {
        Connector* c = NewConnector(arena, e->label, e->multi);
        m_slots[Hash(e->label, e->dir) & (m_slots.size() - 1)].push_back({c, e->dir});
        return;
    }
    for (const ExpCell* cell = e->list; cell; cell = cell->next)
        Add(arena, cell->exp);
}

bool ConnectorSet::Contains(const Connector* c, char dir) const
{
    for (const Entry& entry : m_slots[Hash(c->text, dir) & (m_slots.size() - 1)])
        if (entry.dir == dir && MatchConnectors(entry.c, c))
            return true;
    return false;
}
