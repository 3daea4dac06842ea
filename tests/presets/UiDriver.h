#pragma once
// Answers modal dialogs and message boxes for a test: a thread timer finds the one enabled dialog of
// the test's thread and hands it to the next scripted step.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace qvtest {

class UiDriver {
public:
    // A step gets the enabled dialog and returns true when it acted on it (false: not the window it
    // waits for yet).
    using Step = std::function<bool(HWND)>;

    UiDriver();
    ~UiDriver();
    UiDriver& then(Step step);
    bool finished() const { return next_ == steps_.size(); }
    // Every message box text seen, in order.
    const std::vector<std::string>& boxes() const { return boxes_; }

    // Steps for message boxes: the whole text must match; then press the button.
    Step answer(const std::string& text, int button);
    // Steps for our dialogs, found by title.
    Step inDialog(const std::string& title, std::function<void(HWND)> action);

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void onTick();

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    std::vector<std::string> boxes_;
    UINT_PTR timer_;
    int idleTicks_ = 0;
    HWND lastActed_ = nullptr;
    bool busy_ = false;
};

std::string windowText(HWND window);
std::string messageBoxText(HWND box);  // empty when the window is no message box
void click(HWND dialog, int id);       // posts the button's command
// The tree item with this text anywhere in the tree, or null.
HTREEITEM findTreeItem(HWND tree, const std::string& text);
std::string treeItemText(HWND tree, HTREEITEM item);
// The tree's shape as text: "root{bank{a,b},c}".
std::string treeShape(HWND tree);

}  // namespace qvtest
