// Hosts without a registry have no protocol prefix.
#include "addrbook/address_book.h"

CString AddressBook::GetProtocolPrefix() { return CString(); }
