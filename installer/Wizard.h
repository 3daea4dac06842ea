#pragma once
// The wizard's shared pieces: the page on screen (owner of every message box), the heading font,
// the side picture and heading every page paints, and the sheet itself.

#include <windows.h>

#include <string>

namespace qvsetup {

constexpr const char* kSetupCaption = "Zorvath setup:marlin";

extern HINSTANCE gInstance;
extern HFONT gHeadingFont;
extern HWND gPage;

int ask(const std::string& text);
void warn(const std::string& text);

// Draws the side picture and the heading, and names the step in the sheet's title.
void paintPage(HWND page, int step, const char* heading);
// The page's answer to a notification.
INT_PTR pageResult(HWND page, LONG_PTR result);
// Where a system's sheet gives its pages less room than their templates ask for at the display's
// scale (its font measured otherwise than theirs), the sheet grows and the page takes its size.
void fitSheet(HWND sheet, HWND page);
void fitPage(HWND page);
std::string itemText(HWND dialog, int id);
// Runs the five-step wizard; false when the sheet could not be opened.
bool runWizard();

// Page procedures.
INT_PTR CALLBACK welcomePage(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK directoryPage(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK vstPage(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK installPage(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK resultPage(HWND, UINT, WPARAM, LPARAM);

// The folder chooser over the system's Open dialog; false on Cancel.
bool chooseDirectory(HWND owner, const char* title, const std::string& start, std::string& folder);

}  // namespace qvsetup
