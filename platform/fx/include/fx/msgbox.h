// Message boxes. Every modal message box of the layer (AfxMessageBox,
// CWnd::MessageBox, CWinApp::DoMessageBox) goes through AfxShowMessageBox, so
// a test can install a hook that answers instead of showing a window.
#pragma once

#include "fx/fx.h"

#include <functional>

// Answers a message box (IDOK, IDYES, ...) in place of the modal window.
using AfxMessageBoxHook = std::function<int(HWND hWndOwner, LPCTSTR lpszText,
                                            LPCTSTR lpszCaption, UINT nType)>;

// Installs hook (an empty one restores the real message box); returns the previous one.
AfxMessageBoxHook AfxSetMessageBoxHook(AfxMessageBoxHook hook);

// Shows a modal message box, or asks the installed hook.
int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

// A message box owned by the main window with the application's name as caption.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The same with string nIDPrompt of the resource chain as text.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
