#pragma once
// Resource and control ids of the preset dialogs and the Preset Manager's menu and icons. Plain
// defines: the resource compiler reads this file too.

#define IDD_PRESET_MANAGER 503
#define IDD_PRESET_ADD     504
#define IDD_PRESET_RENAME  505
#define IDD_PRESET_NEWBANK 506
#define IDM_PRESET_CONTEXT 511

#define IDI_PRESET_ROOT     506
#define IDI_PRESET_ITEM     231
#define IDI_PRESET_BANK     236
#define IDI_PRESET_OPENBANK 235

#define IDC_PRESET_IMPORT    1500
#define IDC_PRESET_ADD       1501
#define IDC_PRESET_RENAME    1502
#define IDC_PRESET_UPDATE    1503
#define IDC_PRESET_DELETE    1504
#define IDC_PRESET_TREE      1510
#define IDC_PRESET_NAME      1511
#define IDC_PRESET_EXPORT    1512
#define IDC_PRESET_BANK      1513
#define IDC_PRESET_CANCEL    1514
#define IDC_PRESET_EXPORT_EQ 1515

#define IDC_MOVE_TO_ROOT     5000
#define IDC_MOVE_TO_NEW_BANK 5001
