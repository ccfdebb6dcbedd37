// Making grammar containers from grammar text (build-time tools and tests).
#pragma once
#include <string>

// A grammar file: the text as one ZLComp stream.
std::string PackGrammarFile(const std::string& text);

// A plug-in dictionary block: a header of 9 characters and the signature, stored
// inverted up to and including its closing "^", then the text (whose ^n^
// escapes stay as written), all as one ZLComp stream. False when the header
// would not fit or the signature holds a "^".
bool PackDictionaryBlock(const std::string& text, const std::string& signature, std::string& block);
