#include "ManagerSteps.h"

#include <gtest/gtest.h>

#include "PresetResources.h"
#include "PresetTestEnv.h"

namespace qvtest {

std::string header() { return "[Plug-in]\r\nPluginName=qv:Equalizer\r\nCLSID=" + ownKey() + "\r\n"; }

std::string section(int n, const std::string& name, const std::string& bank)
{
    return "[Preset" + std::to_string(n) + "]\r\nVersion=3\r\nName=" + name + "\r\nBank=" + bank +
           "\r\nData=" + std::to_string(n) + "\r\n";
}

std::string startingPresets()
{
    return header() + section(1, "Kick", "Drums") + section(2, "Snare", "Drums") + section(3, "Rough", "Live") +
           section(4, "Clean", "Studio") + section(5, "Flat", "");
}

HWND treeOf(HWND dialog) { return GetDlgItem(dialog, IDC_PRESET_TREE); }

void select(HWND dialog, const std::string& text)
{
    HTREEITEM item = findTreeItem(treeOf(dialog), text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_SelectItem(treeOf(dialog), item);
}

void rightClick(HWND dialog, const std::string& text)
{
    HWND tree = treeOf(dialog);
    HTREEITEM item = findTreeItem(tree, text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_EnsureVisible(tree, item);
    RECT rect;
    TreeView_GetItemRect(tree, item, &rect, TRUE);
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // The tree follows a press until the button goes up again.
    PostMessageA(tree, WM_RBUTTONUP, 0, at);
    SendMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, at);
}

UiDriver::Step inContextMenu(int downs, int subDowns)
{
    return [downs, subDowns](HWND dialog) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (menu == nullptr || !IsWindowVisible(menu))
            return false;
        auto key = [dialog](WPARAM vk) {
            PostMessageA(dialog, WM_KEYDOWN, vk, 0);
            PostMessageA(dialog, WM_KEYUP, vk, 0);
        };
        for (int i = 0; i < downs; ++i)
            key(VK_DOWN);
        if (subDowns >= 0)
            key(VK_RIGHT);
        for (int i = 0; i < subDowns; ++i)
            key(VK_DOWN);
        key(VK_RETURN);
        return true;
    };
}

UiDriver::Step chooseInFileDialog(UiDriver& ui, const char* title, const std::string& file, const char* proposed)
{
    return ui.inDialog(title, [file, proposed](HWND d) {
        if (proposed) {
            char name[MAX_PATH] = {};
            GetDlgItemTextA(d, 0x47c, name, sizeof name);
            EXPECT_STREQ(name, proposed);
        }
        SetDlgItemTextA(d, 0x47c, file.c_str());
        click(d, IDOK);
    });
}

}  // namespace qvtest
