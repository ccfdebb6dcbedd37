// Text renderings of a linkage: the list of links with their domains, and the
// diagram of links drawn above the words.
#pragma once
#include <cstdarg>
#include <string>

class CLinkage;

// Growable output text: grows to (piece + 2 x capacity + 1) when the piece does not fit.
class OutString {
public:
    void Append(const char* format, ...);
    const std::string& Text() const { return m_text; }
    size_t Capacity() const { return m_capacity; }

private:
    std::string m_text;
    size_t m_capacity = 1;
};

std::string PrintLinksAndDomains(const CLinkage& linkage);
// Empty when the drawing would need more than 14 rows.
std::string PrintDiagram(const CLinkage& linkage);
std::string DiagramHeader(int mode);
// Diagnostic dumps to standard output: each word with its number of disjuncts
// ("%s(%d) "), or with the connectors of its expressions ("%s[%d] ").
void PrintDisjunctCounts(const class CSentence& sentence);
void PrintExpressionSizes(const class CSentence& sentence);
std::string DiagramTrailer(int mode);
