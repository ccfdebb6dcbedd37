// The rule file's lexer: cuts the text into labelled lists of tokens.
#pragma once
#include <string>
#include <vector>

// A label table holds at most this many labels; a file that defines more is
// refused rather than silently losing its later sections.
constexpr int kMaxRuleLabels = 512;
// References copy whole lists, so a short text could ask for an enormous one
// ("A: a @A @A @A ..." doubles with every reference); the tokens of all labels
// together are bounded.
constexpr size_t kMaxRuleTokens = 262144;

class PPLexTable {
public:
    // Reads the whole text. False (with Error() set) when the text breaks a limit.
    bool Read(const std::string& text);
    const std::string& Error() const { return m_error; }

    // Makes `label` the active one; false when it does not occur.
    bool SetLabel(const char* label);
    int CountTokens() const;
    int CountCommas() const;
    // The next token of the active label, null at its end.
    const char* NextToken();
    // The tokens up to the next "," (or the end); the cursor moves past the ",".
    std::vector<const char*> NextGroup();

    int NumLabels() const { return static_cast<int>(m_labels.size()); }

private:
    struct Label {
        std::string name;
        std::vector<std::string> tokens;
    };
    int FindLabel(const std::string& name) const;
    bool Activate(const std::string& name);
    bool Add(std::string token);
    bool AppendLabel(const std::string& name);

    std::vector<Label> m_labels;
    int m_active = -1;
    size_t m_cursor = 0;
    size_t m_tokens = 0;
    std::string m_error;
};
