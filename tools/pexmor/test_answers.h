// For the tester's own end-to-end test: with PEXMOR_MESSAGE_LOG set, every
// message box is answered in place of the user - yes/no boxes from the list
// in PEXMOR_ANSWERS ("yes,no", then no), the others with OK - and its text
// is appended to that log together with the report at that moment. With
// PEXMOR_HOLD_FILE set, the first box after the tests completed waits (up
// to two minutes) for that file, so the finished report can be photographed.
#pragma once

void InstallTestAnswers();
