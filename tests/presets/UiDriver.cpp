#include "UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace qvtest {

namespace {
UiDriver* gDriver = nullptr;

BOOL CALLBACK collect(HWND window, LPARAM param)
{
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
}  // namespace

UiDriver::UiDriver()
{
    gDriver = this;
    timer_ = SetTimer(nullptr, 0, 25, tick);
}

UiDriver::~UiDriver()
{
    KillTimer(nullptr, timer_);
    gDriver = nullptr;
    EXPECT_TRUE(finished()) << "steps left: " << steps_.size() - next_;
}

UiDriver& UiDriver::then(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

void CALLBACK UiDriver::tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (gDriver)
        gDriver->onTick();
}

void UiDriver::onTick()
{
    if (busy_)
        return;
    busy_ = true;
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&dialogs));
    HWND top = dialogs.empty() ? nullptr : dialogs.front();
    if (top != nullptr && top == lastActed_ && idleTicks_ < 2) {
        // Give the last action time to take effect before acting on the same window again.
        ++idleTicks_;
    } else if (top != nullptr) {
        std::string text = messageBoxText(top);
        if (next_ < steps_.size() && steps_[next_](top)) {
            ++next_;
            lastActed_ = top;
            idleTicks_ = 0;
        } else if (++idleTicks_ > 200) {
            ADD_FAILURE() << "unexpected window \"" << windowText(top) << "\": " << text;
            EndDialog(top, IDCANCEL);
            idleTicks_ = 0;
        }
    }
    busy_ = false;
}

UiDriver::Step UiDriver::answer(const std::string& expected, int button)
{
    return [this, expected, button](HWND box) {
        std::string text = messageBoxText(box);
        if (text.empty())
            return false;
        boxes_.push_back(text);
        EXPECT_EQ(text, expected);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

UiDriver::Step UiDriver::inDialog(const std::string& title, std::function<void(HWND)> action)
{
    return [title, action](HWND dialog) {
        if (!messageBoxText(dialog).empty() || windowText(dialog) != title)
            return false;
        action(dialog);
        return true;
    };
}

std::string windowText(HWND window)
{
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string messageBoxText(HWND box)
{
    // Message boxes keep their text in a static control of a fixed id (0xFFFF, 100 in some versions);
    // our dialogs' labels have 0xFFFF too, but they also have edit fields.
    if (GetDlgItem(box, 1511) || GetDlgItem(box, 1513) || GetDlgItem(box, 1510) || GetDlgItem(box, 0x47c))
        return std::string();
    for (int id : {0xFFFF, 100}) {
        HWND item = GetDlgItem(box, id);
        char cls[32] = {};
        if (item && GetClassNameA(item, cls, sizeof cls) && std::string(cls) == "Static")
            return windowText(item);
    }
    return std::string();
}

void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string treeItemText(HWND tree, HTREEITEM item)
{
    char text[256] = {};
    TVITEMA data = {};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

namespace {
HTREEITEM findIn(HWND tree, HTREEITEM first, const std::string& text)
{
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
        if (treeItemText(tree, item) == text)
            return item;
        if (HTREEITEM found = findIn(tree, TreeView_GetChild(tree, item), text))
            return found;
    }
    return nullptr;
}

std::string shapeOf(HWND tree, HTREEITEM first)
{
    std::string shape;
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
        if (!shape.empty())
            shape += ",";
        shape += treeItemText(tree, item);
        if (HTREEITEM child = TreeView_GetChild(tree, item))
            shape += "{" + shapeOf(tree, child) + "}";
    }
    return shape;
}
}  // namespace

HTREEITEM findTreeItem(HWND tree, const std::string& text) { return findIn(tree, TreeView_GetRoot(tree), text); }

std::string treeShape(HWND tree) { return shapeOf(tree, TreeView_GetRoot(tree)); }

}  // namespace qvtest
