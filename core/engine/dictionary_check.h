// The dictionary test: every loaded plug-in's test sentences parsed with the
// dictionary a real request would use and offered to that plug-in's own rows;
// one block per plug-in in the running log, with a line for each sentence
// that reached none of them.
#pragma once

#define DICTIONARY_TEXT_HEAD "----------\r\nName : %s | Ver: %s\r\n"        // 61231
#define DICTIONARY_TEXT_FAILED "Dictionary Test Failed: \"%s\" (%d)\r\n"   // 61223
#define DICTIONARY_TEXT_NO_SENTENCE "Sentence allocation failed!"
#define DICTIONARY_REQUESTER "Vindalex Personal Assistant"
#define DICTIONARY_SUBJECT "Dictionary Testing"

// 1 when it ran to its end, 0 when a sentence could not be allocated. The
// request lock is held throughout, so no mail or web request reaches a
// plug-in while it is in test mode; g_bHoldLog is set meanwhile.
int RunDictionaryTest();
