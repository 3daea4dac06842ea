#pragma once
// The Preset Manager under a test's hand: the preset file its cases start from, and the clicks and keys
// on its tree and context menu. Shared by the Preset Manager's tests and the tool that pictures it.

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "UiDriver.h"

namespace qvtest {

constexpr char kManager[] = "qv:Equalizer Preset Manager";

// A preset file's identity section, naming this plug-in, and one preset of it.
std::string header();
std::string section(int n, const std::string& name, const std::string& bank);
// Kick and Snare in Drums, Rough in Live, Clean in Studio and Flat in no bank.
std::string startingPresets();

HWND treeOf(HWND dialog);
void select(HWND dialog, const std::string& text);
// Right-clicks a tree item as the mouse would: the press selects the item and asks for the menu.
void rightClick(HWND dialog, const std::string& text);
// Picks from the open context menu by keys: downs in the menu, then downs in "Move Preset".
UiDriver::Step inContextMenu(int downs, int subDowns);
// Names `file` in the file dialog titled `title` and presses OK; with `proposed`, the name the dialog
// proposed first is checked.
UiDriver::Step chooseInFileDialog(UiDriver& ui, const char* title, const std::string& file,
                                  const char* proposed = nullptr);

}  // namespace qvtest
