#pragma once
// What the uninstaller finds and removes: the component list (registered filters of the product
// family and the plug-in files of the install log), unregistering and deleting, and the clean-up when
// nothing is left.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qvsetup {

constexpr const char* kUninstallCaption = "Zorvath Velquin:qv R3 plug-in uninstaller";

struct DirectXRecord {
    int product;             // index into the product class id table
    std::string name;        // the class key's default value, kept for re-creating it
    std::string pluginPath;  // its "PluginPath"
    bool foreign = false;    // registered to a file that is not our filter: left alone
};

struct ComponentList {
    std::vector<std::unique_ptr<DirectXRecord>> directX;
    std::vector<std::string> vstPaths;
    size_t total() const { return directX.size() + vstPaths.size(); }
    // What an uninstall pass can still remove; none left means the clean-up follows.
    size_t ownTotal() const
    {
        size_t n = vstPaths.size();
        for (const auto& record : directX)
            n += record->foreign ? 0 : 1;
        return n;
    }
};

struct UninstallContext {
    std::string installDirectory;
    std::string startMenuGroup;     // everyone's
    std::string ownStartMenuGroup;  // this account's, where earlier versions put the group
    std::string userPresetFile;     // this account's own preset file, wherever it may be
    ComponentList list;
};

void buildComponentList(UninstallContext& context);
// The registered server path of a product's class, read when the list shows it.
std::string serverPath(int product);
std::string className(int product);

// One uninstall pass over the ticked items (indices into the list); false when an item failed.
bool uninstallItems(UninstallContext& context, HWND owner, const std::vector<size_t>& ticked);
// Removes the uninstall entry, leftover class keys, documentation, log and Start-menu group, and
// offers to delete the preset files.
void removeRest(UninstallContext& context, HWND owner);

int warnBox(HWND owner, const std::string& text);
int askBox(HWND owner, const std::string& text);

}  // namespace qvsetup
