// Grammar containers: the packed forms in which the parser receives its sources.
// A reader turns a container into the plain text, held in memory and read from
// its first byte.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

// The plain text of one container, read one character at a time.
class GrammarSource {
public:
    explicit GrammarSource(std::string text) : m_text(std::move(text)) {}
    // The next byte, or -1 at the end.
    int Get() { return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos++]) : -1; }
    const std::string& Text() const { return m_text; }
    size_t Position() const { return m_pos; }

private:
    std::string m_text;
    size_t m_pos = 0;
};

// Shape of a plug-in's GetActionsName: (row, information code) -> text or null.
using GrammarEscapeCallback = const char* (*)(int row, int code);

// Grammar texts are small; a stream that would decode to more is refused.
constexpr size_t kGrammarTextLimit = 64u * 1024u * 1024u;
// The container's bytes decoded from their ZLComp stream (unpacked text reads as
// it stands); false when the stream is corrupt or too large.
bool DecodeGrammarStream(const std::string& packed, std::string& plain);

// Called with the message text when a grammar file cannot be found (the program
// shows it in a message box); null by default.
using GrammarNotFoundHandler = void (*)(const char* message);
void SetGrammarNotFoundHandler(GrammarNotFoundHandler handler);

constexpr size_t kContainerHeaderLimit = 512;
constexpr size_t kContainerEscapeLimit = 512;

// A plug-in's dictionary block. Throws ParserLimitException when the block is unreadable.
std::unique_ptr<GrammarSource> ReadGrammarContainer(int unused, const void* block, unsigned length,
                                                    GrammarEscapeCallback callback);
// A grammar file, looked up through the dictionary name's search path. Throws
// ParserLimitException (after the not-found handler) when it cannot be opened.
std::unique_ptr<GrammarSource> OpenGrammarFile(const char* dictionaryName, const char* fileName,
                                               unsigned openMode);
