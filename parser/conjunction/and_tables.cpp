#include "parser/conjunction/and_tables.h"

#include "parser/core/parser_error.h"
#include "parser/core/random_table.h"
#include "parser/core/string_set.h"
#include "parser/count/region.h"
#include "parser/dict/dictionary.h"
#include "parser/options/parse_options.h"
#include "parser/prepare/pruning.h"
#include "parser/sentence/sentence.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

const char* SubscriptOf(const char* s)
{
    while (IsUpper(*s))
        ++s;
    return s;
}

std::vector<Connector*> ListOf(Connector* c)
{
    std::vector<Connector*> v;
    for (; c; c = c->next)
        v.push_back(c);
    return v;
}

// A fresh list of copies of v[from, to).
Connector* CopyRange(ParserArena& arena, const std::vector<Connector*>& v, size_t from, size_t to)
{
    Connector* head = nullptr;
    Connector** link = &head;
    for (size_t i = from; i < to; ++i) {
        Connector* c = NewConnector(arena, v[i]->text, v[i]->multi != 0);
        uint32_t id = c->id; // a copy is a connector of its own for the count's tables
        *c = *v[i];
        c->id = id;
        c->next = nullptr;
        *link = c;
        link = &c->next;
    }
    return head;
}

Connector* Append(Connector* list, Connector* c)
{
    if (!list)
        return c;
    Connector* t = list;
    while (t->next)
        t = t->next;
    t->next = c;
    return list;
}

uint32_t HashStep(uint32_t h, const Connector* c)
{
    const uint32_t* R = RandomTable();
    h = 3 * h + R[(static_cast<uint32_t>(static_cast<int32_t>(c->label)) + h) & 255u];
    for (const char* p = c->text; IsUpper(*p); ++p)
        h = 3 * h + R[(static_cast<unsigned char>(*p) + h) & 255u];
    return h;
}

uint32_t DisjunctHash(const Disjunct* d)
{
    const uint32_t* R = RandomTable();
    uint32_t h = 0;
    for (const Connector* c = d->left; c; c = c->next)
        h = HashStep(h, c);
    h = 3 * h + R[h & 255u];
    for (const Connector* c = d->right; c; c = c->next)
        h = HashStep(h, c);
    return h & 1023u;
}

bool SameConnectorType(const Connector* a, const Connector* b)
{
    if (a->label != b->label)
        return false;
    size_t na = static_cast<size_t>(SubscriptOf(a->text) - a->text);
    size_t nb = static_cast<size_t>(SubscriptOf(b->text) - b->text);
    return na == nb && std::strncmp(a->text, b->text, na) == 0;
}

template <class Same> bool SameLists(const Connector* a, const Connector* b, Same same)
{
    for (; a && b; a = a->next, b = b->next)
        if (!same(a, b))
            return false;
    return !a && !b;
}

bool SameConnector(const Connector* a, const Connector* b)
{
    return a->label == b->label && a->multi == b->multi && std::strcmp(a->text, b->text) == 0;
}

Disjunct* Merge(CSentence* s, const Disjunct* a, const Disjunct* b)
{
    Disjunct* m = CopyDisjunct(s->disjunctArena, a);
    for (int side = 0; side < 2; ++side) {
        Connector* x = side ? m->right : m->left;
        const Connector* y = side ? b->right : b->left;
        for (; x && y; x = x->next, y = y->next) {
            x->text = IntersectTexts(s, x->text, y->text);
            x->multi = x->multi && y->multi;
        }
    }
    return m;
}

bool AllAndable(const CGrammarDictionary* dict, const Disjunct* d)
{
    for (const Connector* c = d->left; c; c = c->next)
        if (!dict->IsAndable(c, '-'))
            return false;
    for (const Connector* c = d->right; c; c = c->next)
        if (!dict->IsAndable(c, '+'))
            return false;
    return true;
}

// A cut of a disjunct: the first `nl` connectors of its left list and the first
// `nr` of its right list, as a disjunct of its own.
struct Cut {
    size_t nl, nr;
};

std::vector<Cut> CutsOf(const Disjunct* d)
{
    size_t L = 0, R = 0;
    for (const Connector* c = d->left; c; c = c->next)
        ++L;
    for (const Connector* c = d->right; c; c = c->next)
        ++R;
    std::vector<Cut> cuts;
    for (size_t k = 1; k <= R; ++k)
        cuts.push_back({0, k});
    for (size_t k = 1; k <= L; ++k)
        cuts.push_back({k, 0});
    for (size_t i = 1; i <= L; ++i)
        for (size_t j = 1; j <= R; ++j)
            cuts.push_back({i, j});
    return cuts;
}

Disjunct* MakeCut(CSentence* s, const Disjunct* d, Cut cut)
{
    std::vector<Connector*> left = ListOf(d->left), right = ListOf(d->right);
    Disjunct* c = s->disjunctArena.New<Disjunct>();
    *c = *d;
    c->next = nullptr;
    c->cost = 0;
    c->marked = 0;
    c->left = CopyRange(s->disjunctArena, left, 0, cut.nl);
    c->right = CopyRange(s->disjunctArena, right, 0, cut.nr);
    return c;
}

int FindLabel(const ConjunctionTables& t, const Disjunct* d)
{
    for (int i : t.hash[DisjunctHash(d)])
        if (SameDisjunctType(t.labels[static_cast<size_t>(i)].elements.front(), d))
            return i;
    return -1;
}

void Enter(CSentence* s, ConjunctionTables& t, Disjunct* cut)
{
    int label = FindLabel(t, cut);
    if (label < 0) {
        t.hash[DisjunctHash(cut)].push_back(static_cast<int>(t.labels.size()));
        t.labels.push_back(AndLabel{{cut}, {}});
        return;
    }
    std::vector<Disjunct*>& list = t.labels[static_cast<size_t>(label)].elements;
    for (const Disjunct* e : list)
        if (SameDisjunct(e, cut))
            return;
    size_t before = list.size();
    list.push_back(cut);
    for (size_t i = 0; i < before && list.size() < kMaxLabelElements; ++i) {
        Disjunct* m = Merge(s, list[i], cut);
        bool known = false;
        for (const Disjunct* e : list)
            if (SameDisjunct(e, m)) {
                known = true;
                break;
            }
        if (!known)
            list.push_back(m);
    }
}

// The and-connector text of one connector: its subscript padded with "*" to
// `width`, then "*" for a multi connector, "^" for another.
std::string AndConnectorText(const Connector* c, size_t width)
{
    std::string t = SubscriptOf(c->text);
    while (t.size() < width)
        t += '*';
    t += c->multi ? '*' : '^';
    return t;
}

void GiveTexts(CSentence* s, AndLabel& label)
{
    std::vector<size_t> widths;
    for (const Disjunct* e : label.elements) {
        size_t k = 0;
        for (int side = 0; side < 2; ++side)
            for (const Connector* c = side ? e->right : e->left; c; c = c->next, ++k) {
                if (widths.size() <= k)
                    widths.push_back(0);
                widths[k] = std::max(widths[k], std::strlen(SubscriptOf(c->text)));
            }
    }
    for (const Disjunct* e : label.elements) {
        std::string text;
        size_t k = 0;
        for (int side = 0; side < 2; ++side)
            for (const Connector* c = side ? e->right : e->left; c; c = c->next, ++k)
                text += AndConnectorText(c, widths[k]);
        label.texts.push_back(Intern(s->stringSet, text.c_str()));
    }
}

Connector* FatConnector(CSentence* s, int label, const char* text, uint8_t priority)
{
    Connector* c = NewConnector(s->disjunctArena, text, false);
    c->label = static_cast<int16_t>(label);
    c->priority = priority;
    return c;
}

// The fat forms of d: for every and-able cut, d without the cut and with an "up"
// connector naming the cut's element, once on each side. Newest first.
Disjunct* FatForms(CSentence* s, ConjunctionTables& t, const Disjunct* d)
{
    Disjunct* out = nullptr;
    std::vector<Connector*> left = ListOf(d->left), right = ListOf(d->right);
    for (Cut cut : CutsOf(d)) {
        Disjunct* c = MakeCut(s, d, cut);
        if (!AllAndable(s->dictionary, c))
            continue;
        int label = FindLabel(t, c);
        if (label < 0)
            ThrowParserLimit("and-list label missing");
        const AndLabel& l = t.labels[static_cast<size_t>(label)];
        int element = -1;
        for (size_t e = 0; e < l.elements.size(); ++e)
            if (SameDisjunct(l.elements[e], c)) {
                element = static_cast<int>(e);
                break;
            }
        if (element < 0)
            ThrowParserLimit("and-list element missing");
        for (int form = 0; form < 2; ++form) {
            Disjunct* f = s->disjunctArena.New<Disjunct>();
            *f = *d;
            f->left = CopyRange(s->disjunctArena, left, cut.nl, left.size());
            f->right = CopyRange(s->disjunctArena, right, cut.nr, right.size());
            Connector* up = FatConnector(s, label, l.texts[static_cast<size_t>(element)], kUpPriority);
            Connector*& head = form == 0 ? f->right : f->left;
            up->next = head;
            head = up;
            f->next = out;
            out = f;
        }
    }
    return out;
}

// "and" takes plural subjects; "or" and "nor" take the number of the nearer one.
void AdjustSubjects(const std::string& word, CSentence* s, Disjunct* d)
{
    auto subjectWithNumber = [](const char* text, const char* upper) {
        size_t n = std::strlen(upper);
        if (std::strncmp(text, upper, n) != 0 || IsUpper(text[n]))
            return 0; // not this upper-case part
        char c = text[n];
        if (c == 0)
            return 1; // bare
        return (c == '^' || c == 's' || c == 'p') && text[n + 1] == 0 ? 2 : 0;
    };
    for (int side = 0; side < 2; ++side) {
        const char* upper = side ? "S" : "SI";
        for (Connector* c = side ? d->right : d->left; c; c = c->next) {
            if (c->priority != 0)
                continue;
            int kind = subjectWithNumber(c->text, upper);
            if (word == "and" && kind)
                c->text = Intern(s->stringSet, side ? "Sp" : "SIp");
            else if ((word == "or" || word == "nor") && kind == 2)
                c->text = Intern(s->stringSet, upper);
        }
    }
}

Disjunct* SpecialDisjunct(CSentence* s, int16_t label, bool right, const char* word)
{
    Disjunct* d = s->disjunctArena.New<Disjunct>();
    d->next = nullptr;
    d->cost = 0;
    d->marked = 0;
    d->text = word;
    Connector* c = NewConnector(s->disjunctArena, "", false);
    c->label = label;
    d->left = right ? nullptr : c;
    d->right = right ? c : nullptr;
    return d;
}

Connector* LastOf(Connector* c)
{
    while (c && c->next)
        c = c->next;
    return c;
}

// Every disjunct of the partner word whose nearest left connector is an ordinary
// one gets a connector of `label` just before that one.
void MarkPartner(CSentence* s, int w, int16_t label, bool keepUnchanged)
{
    Disjunct* added = nullptr;
    for (Disjunct* d = s->words[w].d; d; d = d->next) {
        Connector* last = LastOf(d->left);
        if (!last || last->label < 0)
            continue;
        if (keepUnchanged) {
            Disjunct* copy = CopyDisjunct(s->disjunctArena, d);
            copy->next = added;
            added = copy;
        }
        std::vector<Connector*> left = ListOf(d->left);
        Connector* mark = NewConnector(s->disjunctArena, "", false);
        mark->label = label;
        mark->next = last;
        if (left.size() == 1)
            d->left = mark;
        else
            left[left.size() - 2]->next = mark;
    }
    s->words[w].d = CatenateDisjuncts(s->words[w].d, added);
}

void SpecialWords(CSentence* s)
{
    int n = s->numWords;
    auto has = [&](const char* w) { return s->SentenceHasWord(w); };
    auto word = [&](int i) -> const std::string& { return s->words[static_cast<size_t>(i)].text; };
    auto front = [&](int w, Disjunct* d) {
        d->next = s->words[w].d;
        s->words[w].d = d;
    };
    struct Pair {
        const char* leader;
        const char* partner;
        int16_t label;
        bool keep;
    };
    const Pair pairs[] = {{"either", "or", kEitherLabel, true}, {"neither", "nor", kNeitherLabel, false},
                          {"not", "but", kNotButLabel, true}, {"both", "and", kBothLabel, true}};
    for (const Pair& p : pairs) {
        if (!has(p.leader))
            continue;
        for (int w = 0; w < n; ++w) {
            if (word(w) != p.leader)
                continue;
            front(w, SpecialDisjunct(s, p.label, true, Intern(s->stringSet, p.leader)));
            if (p.label == kNotButLabel && w + 1 < n && word(w + 1) == "only") {
                front(w + 1, SpecialDisjunct(s, kNotOnlyLabel, false, Intern(s->stringSet, "only")));
                Disjunct* both = SpecialDisjunct(s, kNotButLabel, true, Intern(s->stringSet, p.leader));
                Connector* only = NewConnector(s->disjunctArena, "", false);
                only->label = kNotOnlyLabel;
                both->right->next = only; // -5 farther, -6 nearer
                both->next = s->words[w].d;
                s->words[w].d = both;
            }
        }
        for (int w = 0; w < n; ++w)
            if (word(w) == p.partner)
                MarkPartner(s, w, p.label, p.keep);
    }
    for (int w = 0; w + 1 < n; ++w) {
        if (word(w) != "," || !s->isConjunction[static_cast<size_t>(w + 1)])
            continue;
        front(w, SpecialDisjunct(s, kCommaLabel, true, Intern(s->stringSet, ",")));
        Disjunct* added = nullptr;
        for (Disjunct* d = s->words[w + 1].d; d; d = d->next) {
            Connector* last = LastOf(d->left);
            if (!last || last->label < 0)
                continue;
            Disjunct* copy = CopyDisjunct(s->disjunctArena, d);
            copy->next = added;
            added = copy;
            Connector* mark = NewConnector(s->disjunctArena, "", false);
            mark->label = kCommaLabel;
            last->next = mark;
        }
        s->words[w + 1].d = CatenateDisjuncts(s->words[w + 1].d, added);
    }
}

} // namespace

bool SameDisjunctType(const Disjunct* a, const Disjunct* b)
{
    return SameLists(a->left, b->left, SameConnectorType) && SameLists(a->right, b->right, SameConnectorType);
}

bool SameDisjunct(const Disjunct* a, const Disjunct* b)
{
    return SameLists(a->left, b->left, SameConnector) && SameLists(a->right, b->right, SameConnector);
}

const char* IntersectTexts(CSentence* s, const char* a, const char* b)
{
    if (std::strlen(a) < std::strlen(b))
        std::swap(a, b);
    std::string u;
    for (; *b; ++a, ++b) {
        if (*a == *b || *b == '*')
            u += *a;
        else if (*a == '*')
            u += *b;
        else
            u += '^';
    }
    u += a;
    return Intern(s->stringSet, u.c_str());
}

void BuildConjunctionDisjuncts(CSentence* s)
{
    auto tables = std::make_shared<ConjunctionTables>();
    ConjunctionTables& t = *tables;
    s->andTables = tables;
    int n = s->numWords;
    for (int w = 0; w < n; ++w)
        for (const Disjunct* d = s->words[w].d; d; d = d->next)
            for (Cut cut : CutsOf(d)) {
                Disjunct* c = MakeCut(s, d, cut);
                if (AllAndable(s->dictionary, c))
                    Enter(s, t, c);
            }
    for (AndLabel& label : t.labels)
        GiveTexts(s, label);

    for (int w = 0; w < n; ++w) {
        const std::string& text = s->words[static_cast<size_t>(w)].text;
        Disjunct* added = nullptr;
        if (!s->isConjunction[static_cast<size_t>(w)]) {
            for (const Disjunct* d = s->words[w].d; d; d = d->next)
                added = CatenateDisjuncts(FatForms(s, t, d), added);
        } else {
            const char* word = Intern(s->stringSet, text.c_str());
            for (size_t l = 0; l < t.labels.size(); ++l) {
                const AndLabel& label = t.labels[l];
                for (size_t e = 0; e < label.elements.size(); ++e) {
                    Disjunct* forms = CopyDisjunct(s->disjunctArena, label.elements[e]);
                    forms->next = FatForms(s, t, label.elements[e]);
                    for (Disjunct* f = forms; f;) {
                        Disjunct* next = f->next;
                        f->text = word;
                        f->cost = label.elements[e]->cost;
                        f->left = Append(f->left, FatConnector(s, static_cast<int>(l), label.texts[e], kDownPriority));
                        f->right = Append(f->right, FatConnector(s, static_cast<int>(l), label.texts[e], kDownPriority));
                        AdjustSubjects(text, s, f);
                        t.madeFrom[f] = {static_cast<int>(l), static_cast<int>(e)};
                        f->next = added;
                        added = f;
                        f = next;
                    }
                }
            }
        }
        if (text == ",") {
            const char* comma = Intern(s->stringSet, ",");
            for (size_t l = 0; l < t.labels.size(); ++l)
                for (size_t e = 0; e < t.labels[l].elements.size(); ++e) {
                    const char* et = t.labels[l].texts[e];
                    Disjunct* d = s->disjunctArena.New<Disjunct>();
                    d->cost = 0;
                    d->marked = 0;
                    d->text = comma;
                    d->left = FatConnector(s, static_cast<int>(l), et, kDownPriority);
                    d->right = FatConnector(s, static_cast<int>(l), et, kUpPriority);
                    d->right->next = FatConnector(s, static_cast<int>(l), et, kDownPriority);
                    t.madeFrom[d] = {static_cast<int>(l), static_cast<int>(e)};
                    d->next = added;
                    added = d;
                }
        }
        s->words[w].d = CatenateDisjuncts(s->words[w].d, added);
    }
    SpecialWords(s);
}

void ConjunctionPrune(CSentence* s, ParseOptions* options)
{
    int n = s->numWords;
    for (int w = 0; w < n; ++w)
        for (Disjunct* d = s->words[w].d; d; d = d->next)
            d->marked = 0;
    {
        // A parse that may leave words out must keep what such linkages use.
        ParseOptions o = *options;
        bool nulls = s->prunedForNullWords || options->minNullCount > 0;
        if (nulls && o.minNullCount == 0) {
            o.minNullCount = 1;
            s->BuildDeletable(&o); // with words left out, every stretch may go
        }
        RegionMarker marker(s, &o, PruneMatch);
        if (!nulls) {
            for (int w = 0; w < n; ++w) {
                if (!s->Deletable(-1, w))
                    continue;
                for (Disjunct* d = s->words[w].d; d; d = d->next)
                    if (!d->left && marker.RegionValid(w, n, d->right, nullptr)) {
                        d->marked = 1;
                        marker.MarkRegion(w, n, d->right, nullptr);
                    }
            }
        } else {
            marker.MarkRegion(-1, n, nullptr, nullptr);
        }
    }
    for (int w = 0; w < n; ++w)
        s->words[w].d = KeepMarkedDisjuncts(s->words[w].d);
    s->deletable.clear();
}

void SimplePrune(CSentence* s)
{
    int n = s->numWords;
    // Connectors meet only with equal labels and upper-case parts: the table
    // is keyed by both, the upper-case part as a view into the connector text.
    struct Key {
        std::string_view upper;
        int label;
        bool operator==(const Key& o) const { return label == o.label && upper == o.upper; }
    };
    struct KeyHash {
        size_t operator()(const Key& k) const
        {
            return std::hash<std::string_view>()(k.upper) * 31u + static_cast<size_t>(static_cast<unsigned>(k.label));
        }
    };
    auto keyOf = [](const Connector* c) {
        return Key{std::string_view(c->text, static_cast<size_t>(SubscriptOf(c->text) - c->text)), c->label};
    };
    auto pass = [&](bool leftToRight) {
        std::unordered_map<Key, std::vector<const Connector*>, KeyHash> table;
        bool changed = false;
        for (int i = 0; i < n; ++i) {
            int w = leftToRight ? i : n - 1 - i;
            // Survivors are put back at the head of the word's list, which
            // reverses it on every pass.
            Disjunct* kept = nullptr;
            for (Disjunct* d = s->words[w].d; d;) {
                Disjunct* next = d->next;
                bool dead = false;
                for (const Connector* c = leftToRight ? d->left : d->right; c && !dead; c = c->next) {
                    bool found = false;
                    auto it = table.find(keyOf(c));
                    if (it != table.end())
                        for (const Connector* e : it->second)
                            if (leftToRight ? PruneMatch(e, c, 0, 0, s) : PruneMatch(c, e, 0, 0, s)) {
                                found = true;
                                break;
                            }
                    dead = !found;
                }
                if (dead) {
                    changed = true;
                } else {
                    d->next = kept;
                    kept = d;
                }
                d = next;
            }
            s->words[w].d = kept;
            // One entry per distinct connector (text, label, priority): the
            // fat disjuncts of conjunctions repeat the same ones many times.
            for (Disjunct* d = s->words[w].d; d; d = d->next)
                for (const Connector* c = leftToRight ? d->right : d->left; c; c = c->next) {
                    std::vector<const Connector*>& bucket = table[keyOf(c)];
                    bool present = false;
                    for (const Connector* e : bucket)
                        if (e->label == c->label && e->priority == c->priority && std::strcmp(e->text, c->text) == 0) {
                            present = true;
                            break;
                        }
                    if (!present)
                        bucket.push_back(c);
                }
        }
        return changed;
    };
    pass(true);
    while (pass(false))
        if (!pass(true))
            break;
}
