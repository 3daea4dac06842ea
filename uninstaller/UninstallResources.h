#pragma once
// Resource and control ids of the uninstaller.

#define IDD_UNINSTALL 101
#define IDI_UNINSTALL 103
#define IDI_TICKED    104
#define IDI_UNTICKED  105

#define IDC_COMPONENTS  1002
#define IDC_CLOSE       1003
#define IDC_UNINSTALL   1004
#define IDC_SELECTALL   1005
#define IDC_UNSELECTALL 1006
