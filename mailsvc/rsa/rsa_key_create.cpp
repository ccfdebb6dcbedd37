// rsa_key::CreateKey: key pairs are made outside this library.
#include "rsa_key.h"

#if defined(_WIN32) && __has_include("fx/msgbox.h")
#include "fx/msgbox.h"
#define RSA_KEY_HAS_MESSAGE_BOX 1
#endif

int rsa_key::CreateKey(CString, CString)
{
#ifdef RSA_KEY_HAS_MESSAGE_BOX
    AfxMessageBox("Key creation code not compiled (#ifdef ALLOW_KEY_GEN).");
#endif
    return 0;
}
