// Where a picture request's file comes from and goes: a fresh name per
// request, and the camera program's picture taken over once it is free.
#pragma once

#include "fx/fxwin.h"

// A name in the "Temporary Files" folder of the installation folder that no
// earlier request used: "SP_4rw51-<n>.bmp". The folder is made when missing.
CString FreshPictureFile(const CString& installDir);

// Copies the camera program's picture to target once it can be opened for
// reading and writing, trying until timeoutMs passes and handling the
// thread's messages meanwhile. False when it never came free or the copy
// failed: such a picture is not reported as captured.
bool TakeCameraPicture(const CString& cameraPicture, const CString& target, DWORD timeoutMs);
