#pragma once
// Resource and control ids of the setup program.

#define IDD_STEP1    107
#define IDD_STEP2    108
#define IDD_STEP4    109
#define IDD_STEP5    110
#define IDD_STEP3    111
#define IDB_SIDE     104
#define IDB_SIDE_200 105  // the side picture drawn at twice the size, for 150 % and 200 % displays
#define IDI_SETUP    104

#define IDC_WELCOME     1000
#define IDC_README      1011
#define IDC_INSTRUCTION 1009
#define IDC_INSTALLDIR  1001
#define IDC_BROWSE      1002
#define IDC_DIRECTX     1003
#define IDC_VST         1004
#define IDC_VSTTEXT     1015
#define IDC_ADD         1016
#define IDC_REMOVE      1003
#define IDC_VSTLIST     1012
#define IDC_STATUS      1010
#define IDC_SOURCE      1014
#define IDC_DESTINATION 1015
#define IDC_PROGRESS    1011
#define IDC_RESULT      1013
