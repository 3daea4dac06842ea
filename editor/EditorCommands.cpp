// The editor's message handlers, commands and menus.
#include <windows.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DataText.h"
#include "DisplayScale.h"
#include "EditorSession.h"
#include "PluginContract.h"
#include "Skin.h"
#include "SkinMath.h"

namespace qv {

namespace {

bool isControlNotice(UINT message)
{
    switch (message) {
    case PBN_RCLICK:
    case SLN_CHANGED:
    case SLN_DBLCLK:
    case SLN_RELEASED:
    case EDN_STEP:
    case EQN_CHANGED:
    case EQN_DBLCLK:
    case EQN_RELEASED:
    case EQN_RCLICK:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool EditorSession::handle(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    if (message == WM_DESTROY) {
        window_ = nullptr;  // the host took the window away: nothing of it is ours to destroy
        close();
        return false;
    }
    const bool open = model_->editorOpen();
    if (!open && (message == WM_COMMAND || message == WM_TIMER || message == WM_ERASEBKGND || message == WM_PAINT ||
                  message == WM_PRINTCLIENT || isControlNotice(message)))
        return false;
    switch (message) {
    case WM_COMMAND:
        return onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TIMER:
        if (wParam == kAnalyzerTimerId && wParam != profile_.timerId) {
            onAnalyzerTick();
            return true;
        }
        if (wParam != profile_.timerId)
            return false;
        onTick();
        return true;
    case WM_ERASEBKGND:
        // The paint draws the background: an erase lost before the session was there, or sent to
        // a window proc that is not ours yet, cannot leave it missing.
        *result = 1;
        return true;
    case WM_PAINT:
        onPaint();
        return true;
    case WM_PRINTCLIENT:
        drawBackground(reinterpret_cast<HDC>(wParam));
        return true;
    case WM_RBUTTONDOWN:
        if (GET_Y_LPARAM(lParam) < px(layout::kBackgroundPopupTop))
            return false;
        onBackgroundRightClick(lParam);
        return true;
    case WM_LBUTTONDOWN:
        if (HWND entry = inPlaceEntryWindow())
            if (IsChild(window_, entry))
                DestroyWindow(entry);
        return false;
    case kPresetDataRequest:
        onDataRequest(reinterpret_cast<char**>(wParam));
        return true;
    default:
        return onControlNotice(message, wParam, lParam);
    }
}

bool EditorSession::onControlNotice(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case PBN_RCLICK: {
        const ControlSlot slot = controlSlot(static_cast<int>(wParam));
        if (slot.valid() && slot.column > 0 && slot.offset == kOffEnabled)
            bandMenu(slot.column);
        return true;
    }
    case SLN_CHANGED:
        onSlider(reinterpret_cast<HWND>(lParam), static_cast<int>(wParam));
        return true;
    case SLN_DBLCLK:
        onSliderReset(static_cast<int>(wParam));
        return true;
    case SLN_RELEASED:
    case EQN_RELEASED:
        if (profile_.undo.taggedGestures)
            model_->snapshotForUndo(-1);
        return true;
    case EDN_STEP:
        onStep(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        return true;
    case EQN_CHANGED:
        onGraphChanged(wParam != 0);
        return true;
    case EQN_DBLCLK:
        onGraphToggle(static_cast<int>(lParam));
        return true;
    case EQN_RCLICK: {
        // The graph reports the position of its own mouse message.
        POINT at{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)};
        ClientToScreen(item(kGraphId), &at);
        rangeMenu(at);
        return true;
    }
    default:
        return false;
    }
}

bool EditorSession::onCommand(int id, int code, HWND control)
{
    if (code == static_cast<int>(EDN_CHANGE_CODE)) {
        onEntry(id, control);
        return true;
    }
    if (id == profile_.clipLampIds[0] || id == profile_.clipLampIds[1]) {
        if (code == STN_CLICKED) {
            model_->setClipCounter(0, 0, 0);
            model_->setClipCounter(1, 0, 0);
        }
        return true;
    }
    if (id == kPeakTextId) {
        SendMessageA(item(kMeterLeftId), MT_RESETMAX, 0, 0);
        SendMessageA(item(kMeterRightId), MT_RESETMAX, 0, 0);
        refreshMeters();
        return true;
    }
    if (code == static_cast<int>(PBN_CLICKED) || code == static_cast<int>(PBN_PRESSED))
        onButton(id, code);
    return true;
}

void EditorSession::onButton(int id, int code)
{
    const ControlSlot slot = controlSlot(id);
    if (code == static_cast<int>(PBN_PRESSED)) {
        HWND button = item(id);
        if (id == kSetupArrowId)
            setupMenu();
        else if (id == kPresetsId)
            presetsMenu();
        else if (slot.valid() && slot.column > 0 && slot.offset == kOffTypeArrow)
            typeMenu(slot.column);
        else
            return;
        if (!closed())
            SendMessageA(button, PB_CANCELPRESS, 0, 0);
        return;
    }
    switch (id) {
    case kBypassId: {
        const bool on = !model_->bypassed();
        model_->setBypass(on);
        SendMessageA(item(kBypassId), PB_SETCHECK, on ? 1 : 0, 0);
        return;
    }
    case kUndoId:
        model_->undo();
        refreshControls(kRefreshAll);
        return;
    case kSetupId:
        switchSetup(1 - model_->currentSetup(), profile_.undo.setupClick);
        return;
    case kResetId:
        reset();
        return;
    case kHelpId:
        help();
        return;
    case kFlatId:
        flat();
        return;
    default:
        break;
    }
    if (!slot.valid() || slot.column == 0)
        return;
    if (slot.offset == kOffEnabled) {
        snapshot();
        setFromControl(id, getFromControl(id) ? 0 : 1);
        refreshControls(kRefreshAll);
    } else if (slot.offset == kOffType) {
        snapshot();
        const int32_t type = getFromControl(id);
        setFromControl(id, type >= kHighpass || type < 0 ? kPeakDip : type + 1);
        const int qId = controlId(slot.column, kOffQ);
        setFromControl(qId, getFromControl(qId));  // clamped to the new type's range
        refreshControls(Refresh::control(id));
        refreshControls(Refresh::control(qId));
    }
}

void EditorSession::onEntry(int id, HWND control)
{
    const ControlSlot slot = controlSlot(id);
    HWND field = item(id);
    if (slot.valid() && slot.offset >= kOffFreq && slot.offset <= kOffGain && field) {
        char text[32] = {};
        GetWindowTextA(field, text, 31);
        const int32_t value = slot.offset == kOffFreq ? readTypedInteger(text) : ParseFixed(text, 1);
        if (profile_.undo.editCommit)
            snapshot();
        setFromControl(id, value);
        // A gain entry refreshes through its slider, which rewrites the field as well.
        refreshControls(slot.offset == kOffGain ? Refresh::control(controlId(slot.column, kOffSlider)) : kRefreshDrag);
    }
    if (control && IsWindow(control))
        SendMessageA(control, ED_ACKCHANGE, 0, 0);
}

void EditorSession::onStep(int id, int step)
{
    const ControlSlot slot = controlSlot(id);
    if (!slot.valid() || slot.offset < kOffFreq || slot.offset > kOffGain)
        return;
    // Step 0 follows every entry and focus loss: the field is rewritten, nothing is stored again
    // (and the host hears of no change).
    if (step == 0) {
        refreshControls(Refresh::control(slot.offset == kOffGain ? controlId(slot.column, kOffSlider) : id));
        return;
    }
    taggedSnapshot(id);
    const int64_t next = static_cast<int64_t>(getFromControl(id)) + step;
    setFromControl(id, next > INT32_MAX ? INT32_MAX : next < INT32_MIN ? INT32_MIN : static_cast<int32_t>(next));
    refreshControls(Refresh::control(slot.offset == kOffGain ? controlId(slot.column, kOffSlider) : id));
}

void EditorSession::onSlider(HWND slider, int value)
{
    const int id = GetDlgCtrlID(slider);
    if (controlSlot(id).offset != kOffSlider || GetParent(slider) != window_)
        return;
    taggedSnapshot(id);
    setFromControl(id, value);
    refreshControls(Refresh::control(id));
}

void EditorSession::onSliderReset(int id)
{
    if (controlSlot(id).offset != kOffSlider)
        return;
    snapshot();
    setFromControl(id, 0);
    refreshControls(Refresh::control(id));
    SendMessageA(item(id), SL_SETPOS, 0, 1);
}

void EditorSession::onGraphChanged(bool wheel)
{
    taggedSnapshot(1);
    for (int c = 1; c <= 6; ++c) {
        const BandRecord* band = model_->bandRecord(c);
        if (!band || band->selected == 0.0f)
            continue;
        // Read all three first: each store may redesign the record.
        const int32_t frequency = truncateToInt(band->frequency);
        const int32_t gain = truncateToInt(band->gain);
        const int32_t q = truncateToInt(band->q);
        setFromControl(controlId(c, kOffFreq), frequency);
        setFromControl(controlId(c, kOffGain), gain);
        setFromControl(controlId(c, kOffQ), q);
    }
    refreshControls(wheel ? kRefreshDragQ : kRefreshDrag);
}

void EditorSession::onGraphToggle(int band)
{
    if (band < 1 || band > 6)
        return;
    snapshot();
    const int id = controlId(band, kOffEnabled);
    setFromControl(id, getFromControl(id) ? 0 : 1);
    refreshControls(Refresh::control(id));
}

void EditorSession::onTick()
{
    // Hosts aware of each display but not passing WM_DPICHANGED_AFTERPARENT on to their children (an
    // older kind of awareness) still move the editor to another DPI: the tick notices.
    if (modalDepth_ == 0 && hostScale() != scale_)
        PostMessageA(window_, kDpiChangedAfterParent, 0, 0);
    for (int channel = 0; channel < 2; ++channel) {
        const int32_t s = model_->clipCounter(channel, 0);
        if (s != model_->clipCounter(channel, 1)) {
            showClipLamp(channel, s);
            model_->setClipCounter(channel, 1, s);
        }
        if (s > 1)
            model_->setClipCounter(channel, 0, s - 1);
    }
    if (firstTickPending_) {
        firstTickPending_ = false;
        snapshot();
        model_->copySetup(0, 1);
        if (GetFocus() == item(kBypassId))
            SetFocus(item(controlId(1, kOffSlider)));
    }
    refreshMeters();
    pollAnalyzer();
}

void EditorSession::onPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (dc)
        drawBackground(dc);
    EndPaint(window_, &ps);
    if (firstPaint_) {
        firstPaint_ = false;
        // Hosts that show editors in tool windows draw the frame late: paint the whole window once more.
        HWND up = GetParent(window_);
        for (int level = 0; level < 3 && up; ++level, up = GetParent(up))
            if (GetWindowLongPtrA(up, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) {
                InvalidateRect(window_, nullptr, FALSE);
                break;
            }
    }
}

void EditorSession::drawBackground(HDC dc)
{
    CompatibleDC memory(dc);
    if (!memory || !background_)
        return;
    SelectedPalette palette(dc, palette_.get());
    SelectedObject bitmap(memory.get(), background_.get());
    BitBlt(dc, 0, 0, layout::editorWidth(scale_), layout::editorHeight(scale_), memory.get(), 0, 0, SRCCOPY);
}

void EditorSession::onDataRequest(char** out)
{
    if (!out)
        return;
    *out = nullptr;
    // The store frees it with free(); a failed allocation leaves the store without data.
    char* buffer = static_cast<char*>(std::malloc(kPresetDataBufferSize));
    if (!buffer)
        return;
    ParameterRecord record;
    for (int i = 0; i < kParamCount; ++i)
        record.values[i] = model_->value(i);
    formatDataText(record, buffer, kPresetDataBufferSize);
    *out = buffer;
}

// ---- menus -------------------------------------------------------------------------------------

int EditorSession::trackMenu(HMENU menu, HWND anchor, const POINT* at, bool rightButton)
{
    if (!menu)
        return 0;
    POINT p{0, 0};
    if (anchor) {
        RECT r;
        GetWindowRect(anchor, &r);
        p = {r.left + 1, r.bottom - 1};
    } else if (at) {
        p = *at;
    }
    Modal modal(*this);
    const UINT flags =
        TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY | (rightButton ? TPM_RIGHTBUTTON : 0u);
    return static_cast<int>(TrackPopupMenu(menu, flags, p.x, p.y, 0, window_, nullptr));
}

void EditorSession::bandMenu(int column)
{
    Menu menu(LoadMenuA(module_, MAKEINTRESOURCEA(kBandMenu)));
    HMENU items = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!items)
        return;
    EnableMenuItem(items, kCmdCopyToBand1 + column - 1, MF_BYCOMMAND | MF_GRAYED);
    const int command = trackMenu(items, item(controlId(column, kOffEnabled)), nullptr, true);
    if (closed())
        return;
    if (command != 0 || profile_.undo.dismissedMenu)
        snapshot();
    if (command == kCmdBandDefaults) {
        const BandDefault& d = profile_.bandDefaults[column - 1];
        setFromControl(controlId(column, kOffType), d.type);
        setFromControl(controlId(column, kOffFreq), d.frequency);
        setFromControl(controlId(column, kOffQ), d.q);
        setFromControl(controlId(column, kOffGain), 0);
    } else if (command >= kCmdCopyToBand1 && command < kCmdCopyToBand1 + 6) {
        copyBand(column, command - kCmdCopyToBand1 + 1);
    } else if (command == kCmdCopyToAll) {
        for (int band = 1; band <= 6; ++band)
            copyBand(column, band);
    } else {
        return;
    }
    refreshControls(kRefreshAll);
}

void EditorSession::copyBand(int from, int to)
{
    for (int offset = kOffEnabled; offset <= kOffGain; ++offset)
        setFromControl(controlId(to, offset), getFromControl(controlId(from, offset)));
}

void EditorSession::typeMenu(int column)
{
    Menu menu(LoadMenuA(module_, MAKEINTRESOURCEA(kTypeMenu)));
    HMENU items = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!items)
        return;
    const int typeId = controlId(column, kOffType);
    const int32_t current = getFromControl(typeId);
    if (current >= 0 && current < kFilterTypeCount)
        CheckMenuRadioItem(items, 0, kFilterTypeCount - 1, static_cast<UINT>(current), MF_BYPOSITION);
    const int command = trackMenu(items, item(typeId), nullptr);
    if (closed())
        return;
    if (command != 0 || profile_.undo.dismissedMenu)
        snapshot();
    const int type = typeOfMenuCommand(command);
    if (type < 0)
        return;
    setFromControl(typeId, type);
    const int qId = controlId(column, kOffQ);
    setFromControl(qId, getFromControl(qId));
    refreshControls(kRefreshAll);
}

void EditorSession::rangeMenu(POINT screen)
{
    Menu menu(LoadMenuA(module_, MAKEINTRESOURCEA(kRangeMenu)));
    HMENU items = menu ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!items)
        return;
    HWND graph = item(kGraphId);
    const int position = rangeMenuPosition(static_cast<int>(SendMessageA(graph, EQ_GETRANGE, 0, 0)));
    if (position >= 0)
        CheckMenuRadioItem(items, 0, 3, static_cast<UINT>(position), MF_BYPOSITION);
    // The analyzer's choice after the ranges, which keep their places.
    AppendMenuA(items, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(items, MF_STRING, kCmdAnalyzerOff, "Analyzer: Off");
    AppendMenuA(items, MF_STRING, kCmdAnalyzerOutput, "Analyzer: Output");
    AppendMenuA(items, MF_STRING, kCmdAnalyzerBoth, "Analyzer: Input and output");
    CheckMenuRadioItem(items, kCmdAnalyzerOff, kCmdAnalyzerBoth, static_cast<UINT>(analyzerMenuCommand(analyzerMode_)),
                       MF_BYCOMMAND);
    const int command = trackMenu(items, nullptr, &screen, true);
    if (closed())
        return;
    for (const GraphRange& r : kGraphRanges)
        if (r.command == command)
            SendMessageA(graph, EQ_SETRANGE, static_cast<WPARAM>(r.range), r.second);
    const int mode = analyzerModeOfCommand(command);
    if (mode >= 0)
        chooseAnalyzer(static_cast<AnalyzerMode>(mode));
}

void EditorSession::setupCaption()
{
    SetWindowTextA(item(kSetupId), model_->currentSetup() == 1 ? "Setup B" : "Setup A");
}

void EditorSession::switchSetup(int setup, bool takeSnapshot)
{
    if (takeSnapshot)
        snapshot();
    model_->selectSetup(setup);
    setupCaption();
    refreshControls(kRefreshAll);
}

void EditorSession::setupMenu()
{
    Menu menu(CreatePopupMenu());
    if (!menu)
        return;
    const bool onB = model_->currentSetup() == 1;
    AppendMenuA(menu.get(), MF_STRING, kCmdSetupA, "Setup A");
    AppendMenuA(menu.get(), MF_STRING, kCmdSetupB, "Setup B");
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu.get(), MF_STRING, kCmdCopyTo, onB ? "Copy to A" : "Copy to B");
    AppendMenuA(menu.get(), MF_STRING, kCmdCopyFrom, onB ? "Copy from A" : "Copy from B");
    CheckMenuRadioItem(menu.get(), 0, 2, onB ? 1 : 0, MF_BYPOSITION);
    const int command = trackMenu(menu.get(), item(kSetupId), nullptr);
    if (closed())
        return;
    switch (command) {
    case kCmdSetupA:
    case kCmdSetupB:
        switchSetup(command == kCmdSetupB ? 1 : 0, true);
        break;
    case kCmdCopyTo:
        model_->copySetup(0, 1);
        break;
    case kCmdCopyFrom:
        snapshot();
        model_->copySetup(1, 0);
        refreshControls(kRefreshAll);
        break;
    default:
        break;
    }
}

void EditorSession::presetsMenu()
{
    Menu menu(CreatePopupMenu());
    if (!menu || !store_)
        return;
    AppendMenuA(menu.get(), MF_STRING, kAddPresetCommand, "Add Preset...");
    AppendMenuA(menu.get(), MF_STRING, kPresetManagerCommand, "Preset Manager...");
    store_->addMenuItems(menu.get());
    int command = trackMenu(menu.get(), item(kPresetsId), nullptr);
    if (closed() || command <= 0)
        return;
    Modal modal(*this);  // the dialogs and the update question below run their own loops
    if (command == kPresetManagerCommand) {
        command = runPresetManager(*store_);
        if (closed())
            return;
    } else if (command == kAddPresetCommand) {
        store_->addPreset();
        if (closed())
            return;
    }
    int32_t version = 0;
    const char* selected = store_->select(command, &version);
    if (closed() || !selected)
        return;
    const std::string data = selected;  // the record may go with the next store change
    snapshot();
    applyData(data.c_str());
    refreshControls(kRefreshAll);
}

void EditorSession::applyData(const char* data)
{
    const DataFields d = readDataText(data);
    for (int i = 0; i < d.count; ++i)
        if (d.present[i])
            setFromControl(dataControlId(i), d.values[i]);
}

void EditorSession::reset()
{
    snapshot();
    for (int c = 0; c < kColumns; ++c) {
        setFromControl(controlId(c, kOffEnabled), 1);
        setFromControl(controlId(c, kOffType), kResetTable[c].type);
        setFromControl(controlId(c, kOffFreq), kResetTable[c].frequency);
        setFromControl(controlId(c, kOffQ), resetQForType(kResetTable[c].type));
        setFromControl(controlId(c, kOffGain), 0);
    }
    refreshControls(kRefreshAll);
}

void EditorSession::flat()
{
    snapshot();
    for (int c = 0; c < kColumns; ++c) {
        const int32_t type = getFromControl(controlId(c, kOffType));
        if (type == kLowpass || type == kHighpass)
            setFromControl(controlId(c, kOffEnabled), 0);
        setFromControl(controlId(c, kOffGain), 0);
    }
    refreshControls(kRefreshAll);
}

void EditorSession::help()
{
    Modal modal(*this);
    showManual(window_, profile_.help, module_);
}

void EditorSession::onBackgroundRightClick(LPARAM position)
{
    Menu menu(CreatePopupMenu());
    if (!menu)
        return;
    AppendMenuA(menu.get(), MF_STRING, kCmdHomePage, "Go to Zorvath home page...");
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ClientToScreen(window_, &at);
    const int command = trackMenu(menu.get(), nullptr, &at, true);
    if (!closed() && command == kCmdHomePage)
        ShellExecuteA(window_, "open", kHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace qv
