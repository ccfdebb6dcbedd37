// Resource ids of the set-up mail tester.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_ABOUTBOX 100
#define IDC_STATIC_MAKER 1000
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif
