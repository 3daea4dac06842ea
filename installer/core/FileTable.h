#pragma once
// The files the installer puts in place and the walks over them: how many files a component mask
// installs, and how many bytes. Platform-free.

#include <cstdint>
#include <functional>
#include <string>

namespace qvsetup {

enum : uint32_t {
    kComponentDirectX = 0x1,
    kComponentVst = 0x2,
    kComponentCommon = 0x4,
    kComponentAll = 0x7,
    kEntryDirectory = 0x10000,  // only the subdirectory is made; never counted
    kEntryRegister = 0x20000,   // a DirectShow filter to register
};

struct FileEntry {
    const char* name;
    const char* subdirectory;  // null: the install directory itself
    const char* shortcut;      // Start-menu shortcut name, or null
    int product;               // index into kProductClsid
    uint32_t flags;
};

// Ends with an entry whose name is null.
extern const FileEntry kFileTable[];

// Calls visit(entry) for each file entry of each component in the mask, component by component in
// table order; an entry of two components is visited once per component.
void forEachFile(uint32_t mask, const std::function<void(const FileEntry&, uint32_t component)>& visit);
// Files installed by the mask; a VST entry counts once however many host directories there are.
int countFiles(uint32_t mask);
// Bytes of the source files of the mask; sizeOf(name) gives 0 for a file it cannot open. Saturates.
uint32_t componentSize(uint32_t mask, const std::function<uint32_t(const FileEntry&)>& sizeOf);

// The component sizes the two check boxes show: DirectX carries the common files while it is
// checked, VST carries them while DirectX is not.
uint32_t directXLabelMask(bool directXChecked);
uint32_t vstLabelMask(bool directXChecked);

}  // namespace qvsetup
