#include "parser/postprocess/pp_lexer.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
// Characters of a label, a reference or a plain token.
bool IsWordChar(char c) { return !IsBlank(c) && c != '"' && c != ':'; }
} // namespace

int PPLexTable::FindLabel(const std::string& name) const
{
    for (size_t i = 0; i < m_labels.size(); ++i)
        if (m_labels[i].name == name)
            return static_cast<int>(i);
    return -1;
}

bool PPLexTable::Activate(const std::string& name)
{
    int i = FindLabel(name);
    if (i < 0) {
        if (static_cast<int>(m_labels.size()) >= kMaxRuleLabels) {
            m_error = "the rule file defines more than 512 labels";
            return false;
        }
        m_labels.push_back(Label{name, {}});
        i = static_cast<int>(m_labels.size()) - 1;
    }
    m_active = i;
    return true;
}

bool PPLexTable::Add(std::string token)
{
    // Tokens before the first label belong to no section.
    if (m_active < 0)
        return true;
    if (++m_tokens > kMaxRuleTokens) {
        m_error = "the rule file holds too many tokens";
        return false;
    }
    m_labels[static_cast<size_t>(m_active)].tokens.push_back(std::move(token));
    return true;
}

bool PPLexTable::AppendLabel(const std::string& name)
{
    int i = FindLabel(name);
    if (i < 0 || m_active < 0)
        return true;
    size_t count = m_labels[static_cast<size_t>(i)].tokens.size();
    if (count > kMaxRuleTokens - m_tokens) {
        m_error = "the rule file holds too many tokens";
        return false;
    }
    m_tokens += count;
    // A copy first: a label that names itself doubles its tokens once instead of
    // chasing its own growing end.
    std::vector<std::string> tokens = m_labels[static_cast<size_t>(i)].tokens;
    std::vector<std::string>& to = m_labels[static_cast<size_t>(m_active)].tokens;
    to.insert(to.end(), tokens.begin(), tokens.end());
    return true;
}

bool PPLexTable::Read(const std::string& text)
{
    m_labels.clear();
    m_active = -1;
    m_cursor = 0;
    m_tokens = 0;
    m_error.clear();
    const size_t n = text.size();
    size_t i = 0;
    bool lineStart = true; // the text matched just before ended with a newline (or none yet)
    while (i < n) {
        char c = text[i];
        if (IsBlank(c)) {
            size_t start = i;
            bool newline = false;
            while (i < n && IsBlank(text[i]))
                newline |= text[i++] == '\n';
            lineStart = text[i - 1] == '\n' || (start == 0 && !newline);
            continue;
        }
        if (c == ';' && lineStart) {
            size_t end = text.find('\n', i);
            if (end != std::string::npos) {
                i = end; // the newline starts the next blank run
                lineStart = false;
                continue;
            }
        }
        lineStart = false;
        if (c == '"') {
            size_t j = i + 1;
            while (j < n && text[j] != '\t' && text[j] != '\n' && text[j] != '"' && text[j] != ':')
                ++j;
            if (j < n && text[j] == '"' && j > i + 1) {
                if (!Add(text.substr(i, j + 1 - i)))
                    return false;
                i = j + 1;
            } else {
                ++i; // a quote that opens nothing
            }
            continue;
        }
        if (c == ':') {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && IsWordChar(text[j]))
            ++j;
        if (j < n && text[j] == ':') {
            if (!Activate(text.substr(i, j - i)))
                return false;
            i = j + 1;
        } else if (c == '@' && j > i + 1) {
            if (!AppendLabel(text.substr(i + 1, j - i - 1)))
                return false;
            i = j;
        } else {
            if (!Add(text.substr(i, j - i)))
                return false;
            i = j;
        }
    }
    m_active = -1;
    return true;
}

bool PPLexTable::SetLabel(const char* label)
{
    m_active = FindLabel(label);
    m_cursor = 0;
    return m_active >= 0;
}

int PPLexTable::CountTokens() const
{
    return m_active < 0 ? 0 : static_cast<int>(m_labels[static_cast<size_t>(m_active)].tokens.size());
}

int PPLexTable::CountCommas() const
{
    if (m_active < 0)
        return 0;
    int n = 0;
    for (const std::string& t : m_labels[static_cast<size_t>(m_active)].tokens)
        n += t == ",";
    return n;
}

const char* PPLexTable::NextToken()
{
    if (m_active < 0)
        return nullptr;
    const std::vector<std::string>& tokens = m_labels[static_cast<size_t>(m_active)].tokens;
    return m_cursor < tokens.size() ? tokens[m_cursor++].c_str() : nullptr;
}

std::vector<const char*> PPLexTable::NextGroup()
{
    std::vector<const char*> group;
    if (m_active < 0)
        return group;
    const std::vector<std::string>& tokens = m_labels[static_cast<size_t>(m_active)].tokens;
    while (m_cursor < tokens.size() && tokens[m_cursor] != ",")
        group.push_back(tokens[m_cursor++].c_str());
    if (m_cursor < tokens.size())
        ++m_cursor; // the ","
    return group;
}
