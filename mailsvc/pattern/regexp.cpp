#include "pattern/regexp.h"

#include <cstring>

namespace {

// Node layout: opcode byte, 16-bit big-endian offset to the next node (0 = none;
// BACK points backwards), then the operand.
enum : unsigned char {
    END = 0, BOL = 1, EOL = 2, ANY = 3, ANYOF = 4, ANYBUT = 5, BRANCH = 6, BACK = 7,
    EXACTLY = 8, NOTHING = 9, STAR = 10, PLUS = 11, OPEN = 20, CLOSE = 30,
};

// Parse flags of a piece of the pattern.
enum { WORST = 0, HASWIDTH = 1, SIMPLE = 2, SPSTART = 4 };

const char kMeta[] = "^$.[()|?+*\\";
const size_t kMaxProgram = 65535;  // every offset must fit in 16 bits
const int kMaxDepth = 3000;        // keeps the matcher's recursion off the stack's end

bool isMult(char c) { return c == '*' || c == '+' || c == '?'; }

} // namespace

// Builds the node program from a pattern; any syntax error leaves ok false.
struct CRegularExpression::Parser {
    const char* pat;
    size_t pos = 0;
    std::vector<unsigned char>& prog;
    int npar = 1;
    bool ok = true;

    Parser(const char* p, std::vector<unsigned char>& out) : pat(p), prog(out) {}

    char peek() const { return pat[pos]; }
    int fail() { ok = false; return -1; }

    bool room(size_t more)
    {
        if (prog.size() + more > kMaxProgram) ok = false;
        return ok;
    }
    int node(unsigned char op)
    {
        if (!room(3)) return -1;
        int at = static_cast<int>(prog.size());
        prog.push_back(op);
        prog.push_back(0);
        prog.push_back(0);
        return at;
    }
    void byte(unsigned char b)
    {
        if (room(1)) prog.push_back(b);
    }
    // Inserts a node in front of the operand at opnd (the operand moves up).
    void insert(unsigned char op, int opnd)
    {
        if (!room(3)) return;
        const unsigned char n[3] = {op, 0, 0};
        prog.insert(prog.begin() + opnd, n, n + 3);
    }
    int nextOf(int p) const
    {
        int off = (prog[p + 1] << 8) | prog[p + 2];
        if (off == 0) return -1;
        return prog[p] == BACK ? p - off : p + off;
    }
    // Points the last node of the chain at p to val.
    void tail(int p, int val)
    {
        if (!ok || p < 0 || val < 0) return;
        int scan = p;
        for (int t; (t = nextOf(scan)) >= 0;) scan = t;
        int off = prog[scan] == BACK ? scan - val : val - scan;
        if (off <= 0 || off > 0xFFFF) { ok = false; return; }
        prog[scan + 1] = static_cast<unsigned char>(off >> 8);
        prog[scan + 2] = static_cast<unsigned char>(off & 0xFF);
    }
    // tail() on the operand of a BRANCH node.
    void opTail(int p, int val)
    {
        if (!ok || p < 0 || prog[p] != BRANCH) return;
        tail(p + 3, val);
    }

    int reg(bool paren, int& flags)
    {
        flags = HASWIDTH;
        int ret = -1, parno = 0;
        if (paren) {
            if (npar >= kGroups) return fail();
            parno = npar++;
            ret = node(static_cast<unsigned char>(OPEN + parno));
        }
        int f;
        int br = branch(f);
        if (!ok || br < 0) return fail();
        if (ret >= 0) tail(ret, br); else ret = br;
        if (!(f & HASWIDTH)) flags &= ~HASWIDTH;
        flags |= f & SPSTART;
        while (peek() == '|') {
            ++pos;
            br = branch(f);
            if (!ok || br < 0) return fail();
            tail(ret, br);
            if (!(f & HASWIDTH)) flags &= ~HASWIDTH;
            flags |= f & SPSTART;
        }
        int ender = node(static_cast<unsigned char>(paren ? CLOSE + parno : END));
        tail(ret, ender);
        for (br = ret; ok && br >= 0; br = nextOf(br)) opTail(br, ender);
        if (paren) {
            if (peek() != ')') return fail();
            ++pos;
        } else if (peek() != '\0') {
            return fail();  // an unmatched ")"
        }
        return ok ? ret : -1;
    }

    int branch(int& flags)
    {
        flags = WORST;
        int ret = node(BRANCH);
        int chain = -1;
        while (ok && peek() != '\0' && peek() != '|' && peek() != ')') {
            int f;
            int latest = piece(f);
            if (!ok || latest < 0) return fail();
            flags |= f & HASWIDTH;
            if (chain < 0) flags |= f & SPSTART; else tail(chain, latest);
            chain = latest;
        }
        if (chain < 0) node(NOTHING);
        return ok ? ret : -1;
    }

    int piece(int& flags)
    {
        int f;
        int ret = atom(f);
        if (!ok || ret < 0) return fail();
        char op = peek();
        if (!isMult(op)) {
            flags = f;
            return ret;
        }
        if (!(f & HASWIDTH) && op != '?') return fail();  // repeats something that may be empty
        flags = op != '+' ? (WORST | SPSTART) : (WORST | HASWIDTH);
        if (op == '*' && (f & SIMPLE)) {
            insert(STAR, ret);
        } else if (op == '*') {  // x* as (x&|): a loop of BRANCH and BACK
            insert(BRANCH, ret);
            opTail(ret, node(BACK));
            opTail(ret, ret);
            tail(ret, node(BRANCH));
            tail(ret, node(NOTHING));
        } else if (op == '+' && (f & SIMPLE)) {
            insert(PLUS, ret);
        } else if (op == '+') {  // x+ as x(&|)
            int next = node(BRANCH);
            tail(ret, next);
            tail(node(BACK), ret);
            tail(next, node(BRANCH));
            tail(ret, node(NOTHING));
        } else {  // x? as (x|)
            insert(BRANCH, ret);
            tail(ret, node(BRANCH));
            int next = node(NOTHING);
            tail(ret, next);
            opTail(ret, next);
        }
        ++pos;
        if (isMult(peek())) return fail();  // an operator after an operator
        return ok ? ret : -1;
    }

    int atom(int& flags)
    {
        flags = WORST;
        int ret = -1;
        char c = pat[pos++];
        switch (c) {
        case '^': ret = node(BOL); break;
        case '$': ret = node(EOL); break;
        case '.':
            ret = node(ANY);
            flags |= HASWIDTH | SIMPLE;
            break;
        case '[': {
            if (peek() == '^') {
                ret = node(ANYBUT);
                ++pos;
            } else {
                ret = node(ANYOF);
            }
            if (peek() == ']' || peek() == '-') byte(static_cast<unsigned char>(pat[pos++]));
            while (ok && peek() != '\0' && peek() != ']') {
                if (peek() == '-') {
                    ++pos;
                    if (peek() == ']' || peek() == '\0') {
                        byte('-');
                    } else {
                        int from = static_cast<unsigned char>(pat[pos - 2]) + 1;
                        int to = static_cast<unsigned char>(pat[pos]);
                        if (from > to + 1) return fail();  // reversed range
                        for (; from <= to; ++from) byte(static_cast<unsigned char>(from));
                        ++pos;
                    }
                } else {
                    byte(static_cast<unsigned char>(pat[pos++]));
                }
            }
            byte(0);
            if (peek() != ']') return fail();
            ++pos;
            flags |= HASWIDTH | SIMPLE;
            break;
        }
        case '(': {
            int f;
            ret = reg(true, f);
            if (ret < 0) return fail();
            flags |= f & (HASWIDTH | SPSTART);
            break;
        }
        case '\0':
        case '|':
        case ')':
            --pos;
            return fail();
        case '?':
        case '+':
        case '*':
            return fail();  // an operator after nothing
        case '\\':
            if (peek() == '\0') return fail();
            ret = node(EXACTLY);
            byte(static_cast<unsigned char>(pat[pos++]));
            byte(0);
            flags |= HASWIDTH | SIMPLE;
            break;
        default: {
            --pos;
            size_t len = std::strcspn(pat + pos, kMeta);
            if (len == 0) return fail();
            // A run followed by an operator gives it only its last character.
            if (len > 1 && isMult(pat[pos + len])) --len;
            flags |= HASWIDTH;
            if (len == 1) flags |= SIMPLE;
            ret = node(EXACTLY);
            if (!room(len + 1)) return fail();
            for (size_t k = 0; k < len; ++k) byte(static_cast<unsigned char>(pat[pos + k]));
            byte(0);
            pos += len;
            break;
        }
        }
        return ok ? ret : -1;
    }
};

CRegularExpression::CRegularExpression()
{
    for (int i = 0; i < kGroups; ++i) m_groupStart[i] = m_groupEnd[i] = -1;
}

CRegularExpression* CRegularExpression::Compile(const char* pattern)
{
    m_bCompiled = false;
    m_program.clear();
    m_start = -1;
    m_bAnchored = false;
    m_must = -1;
    m_mustLen = 0;
    m_matchText.clear();
    m_matchStart = -1;
    if (!pattern) return nullptr;

    Parser p(pattern, m_program);
    int flags;
    if (p.reg(false, flags) != 0 || !p.ok) {
        m_program.clear();
        return nullptr;
    }
    // Hints that let Find skip hopeless positions; the top level must be a
    // single alternative for them to be safe.
    int scan = 0;
    int after = next(scan);
    if (after < 0 || m_program[after] == END) {
        scan += 3;
        if (m_program[scan] == EXACTLY)
            m_start = m_program[scan + 3];
        else if (m_program[scan] == BOL)
            m_bAnchored = true;
        if (flags & SPSTART) {
            int longest = -1, len = 0;
            for (; scan >= 0; scan = next(scan)) {
                if (m_program[scan] == EXACTLY) {
                    int l = static_cast<int>(std::strlen(reinterpret_cast<const char*>(&m_program[scan + 3])));
                    if (l >= len) {
                        longest = scan + 3;
                        len = l;
                    }
                }
            }
            m_must = longest;
            m_mustLen = len;
        }
    }
    m_bCompiled = true;
    return this;
}

int CRegularExpression::next(int node) const
{
    int off = (m_program[node + 1] << 8) | m_program[node + 2];
    if (off == 0) return -1;
    return m_program[node] == BACK ? node - off : node + off;
}

long CRegularExpression::StepBudgetFor(int textLength)
{
    return 2000000L + 200L * (textLength > 0 ? textLength : 0);
}

int CRegularExpression::Find(const char* text)
{
    return Find(text, text ? static_cast<int>(std::strlen(text)) : 0, 0);
}

int CRegularExpression::Find(const char* text, int length, int start)
{
    m_matchText.clear();
    m_matchStart = -1;
    for (int i = 0; i < kGroups; ++i) m_groupStart[i] = m_groupEnd[i] = -1;
    if (!text || !m_bCompiled || length < 0 || start < 0 || start > length) return -1;

    if (m_must >= 0) {
        const char* lit = reinterpret_cast<const char*>(&m_program[m_must]);
        bool found = false;
        for (int s = start; s + m_mustLen <= length; ++s) {
            const void* hit = std::memchr(text + s, lit[0], static_cast<size_t>(length - s));
            if (!hit) break;
            s = static_cast<int>(static_cast<const char*>(hit) - text);
            if (s + m_mustLen <= length && std::memcmp(text + s, lit, static_cast<size_t>(m_mustLen)) == 0) {
                found = true;
                break;
            }
        }
        if (!found) return -1;
    }

    m_text = text;
    m_textLen = length;
    m_steps = 0;
    m_aborted = false;
    int at = -1;
    if (m_bAnchored) {
        if (start == 0 && tryAt(0)) at = 0;
    } else if (m_start >= 0) {
        for (int s = start; s < length && !m_aborted; ++s) {
            const void* hit = std::memchr(text + s, m_start, static_cast<size_t>(length - s));
            if (!hit) break;
            s = static_cast<int>(static_cast<const char*>(hit) - text);
            if (tryAt(s)) { at = s; break; }
        }
    } else {
        for (int s = start; s <= length && !m_aborted; ++s)
            if (tryAt(s)) { at = s; break; }
    }
    m_text = nullptr;
    if (at < 0) {
        for (int i = 0; i < kGroups; ++i) m_groupStart[i] = m_groupEnd[i] = -1;
        return -1;
    }
    // Keep the matched text: replacements may be built after the searched text is gone.
    m_matchStart = m_groupStart[0];
    m_matchText.assign(text + m_groupStart[0], static_cast<size_t>(m_groupEnd[0] - m_groupStart[0]));
    return at;
}

int CRegularExpression::GetMatchLength() const
{
    if (m_matchStart < 0) return 0;
    return m_groupEnd[0] - m_groupStart[0];
}

bool CRegularExpression::tryAt(int pos)
{
    m_input = pos;
    for (int i = 0; i < kGroups; ++i) m_groupStart[i] = m_groupEnd[i] = -1;
    if (match(0, 0)) {
        m_groupStart[0] = pos;
        m_groupEnd[0] = m_input;
        return true;
    }
    return false;
}

int CRegularExpression::repeat(int node) const
{
    const unsigned char* opnd = &m_program[node + 3];
    const unsigned char* s = reinterpret_cast<const unsigned char*>(m_text) + m_input;
    const unsigned char* end = reinterpret_cast<const unsigned char*>(m_text) + m_textLen;
    const unsigned char* p = s;
    switch (m_program[node]) {
    case ANY: p = end; break;
    case EXACTLY: while (p < end && *p == opnd[0]) ++p; break;
    case ANYOF: {
        size_t n = std::strlen(reinterpret_cast<const char*>(opnd));
        while (p < end && *p && std::memchr(opnd, *p, n)) ++p;
        break;
    }
    case ANYBUT: {
        size_t n = std::strlen(reinterpret_cast<const char*>(opnd));
        while (p < end && (!*p || !std::memchr(opnd, *p, n))) ++p;
        break;
    }
    default: break;
    }
    return static_cast<int>(p - s);
}

bool CRegularExpression::match(int node, int depth)
{
    if (depth > kMaxDepth) {
        m_aborted = true;
        return false;
    }
    const long budget = StepBudgetFor(m_textLen);
    const unsigned char* text = reinterpret_cast<const unsigned char*>(m_text);
    for (int scan = node; scan >= 0;) {
        if (++m_steps > budget) {
            m_aborted = true;
            return false;
        }
        int nxt = next(scan);
        unsigned char op = m_program[scan];
        const unsigned char* opnd = &m_program[scan + 3];
        switch (op) {
        case BOL:
            if (m_input != 0) return false;
            break;
        case EOL:
            if (m_input != m_textLen) return false;
            break;
        case ANY:
            if (m_input >= m_textLen) return false;
            ++m_input;
            break;
        case EXACTLY: {
            int len = static_cast<int>(std::strlen(reinterpret_cast<const char*>(opnd)));
            if (len > m_textLen - m_input || std::memcmp(text + m_input, opnd, static_cast<size_t>(len)) != 0)
                return false;
            m_input += len;
            break;
        }
        case ANYOF:
        case ANYBUT: {
            if (m_input >= m_textLen) return false;
            unsigned char c = text[m_input];
            bool in = c != 0 && std::memchr(opnd, c, std::strlen(reinterpret_cast<const char*>(opnd))) != nullptr;
            if (in != (op == ANYOF)) return false;
            ++m_input;
            break;
        }
        case NOTHING:
        case BACK:
            break;
        case BRANCH:
            if (nxt < 0 || m_program[nxt] != BRANCH) {
                nxt = scan + 3;  // one alternative: no choice to remember
            } else {
                for (int alt = scan; alt >= 0 && m_program[alt] == BRANCH; alt = next(alt)) {
                    int save = m_input;
                    if (match(alt + 3, depth + 1)) return true;
                    if (m_aborted) return false;
                    m_input = save;
                }
                return false;
            }
            break;
        case STAR:
        case PLUS: {
            int nextch = (nxt >= 0 && m_program[nxt] == EXACTLY) ? m_program[nxt + 3] : -1;
            int min = op == STAR ? 0 : 1;
            int save = m_input;
            int no = repeat(scan + 3);
            while (no >= min) {
                if (++m_steps > budget) {
                    m_aborted = true;
                    return false;
                }
                m_input = save + no;
                if (nextch < 0 || (m_input < m_textLen && text[m_input] == nextch)) {
                    if (match(nxt, depth + 1)) return true;
                    if (m_aborted) return false;
                }
                --no;
            }
            m_input = save;
            return false;
        }
        case END:
            return true;
        default:
            if (op > OPEN && op < OPEN + int(kGroups)) {
                int n = op - OPEN, save = m_input;
                if (!match(nxt, depth + 1)) return false;
                if (m_groupStart[n] < 0) m_groupStart[n] = save;  // the last repetition wins
                return true;
            }
            if (op > CLOSE && op < CLOSE + int(kGroups)) {
                int n = op - CLOSE, save = m_input;
                if (!match(nxt, depth + 1)) return false;
                if (m_groupEnd[n] < 0) m_groupEnd[n] = save;
                return true;
            }
            return false;  // not a node we wrote
        }
        scan = nxt;
    }
    return false;
}

std::optional<CString> CRegularExpression::GetReplaceString(const char* replacement) const
{
    if (m_matchStart < 0) return std::nullopt;
    std::string out;
    const char* src = replacement ? replacement : "";
    while (char c = *src++) {
        int no;
        if (c == '&') {
            no = 0;
        } else if (c == '\\' && *src >= '0' && *src <= '9') {
            no = *src++ - '0';
        } else {
            if (c == '\\' && (*src == '\\' || *src == '&')) c = *src++;
            out += c;
            continue;
        }
        int s = m_groupStart[no], e = m_groupEnd[no];
        if (s < 0 || e < s) continue;  // the group took no part in the match
        s -= m_matchStart;
        e -= m_matchStart;
        if (s < 0 || e > static_cast<int>(m_matchText.size())) continue;
        out.append(m_matchText, static_cast<size_t>(s), static_cast<size_t>(e - s));
    }
    return CString(out.data(), static_cast<int>(out.size()));
}
