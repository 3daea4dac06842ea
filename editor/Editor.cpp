#include "Editor.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "DisplayScale.h"
#include "EditorSession.h"
#include "Skin.h"
#include "ScaledArt.h"

namespace qv {

// ---- Editor: the entry points ---------------------------------------------------------------------

Editor::Editor(HINSTANCE module, EqualizerModel& model, const EditorProfile& profile)
    : module_(module), model_(model), profile_(profile)
{}

Editor::~Editor() { close(); }

HWND Editor::window() const { return session_ ? session_->window() : nullptr; }

HWND Editor::open(HWND parent)
{
    if (!parent || !IsWindow(parent))
        return nullptr;
    close();
    if (!acquireEditorClasses(module_))
        return nullptr;
    // Shown only once built (EditorSession::build): a window shown at creation is erased and
    // painted before the editor behind it exists.
    const DWORD style = WS_CHILD | WS_CLIPCHILDREN;
    const Scale told = sizingScale();
    const Scale scale = windowScale(parent);
    told_ = scale;
    HWND w = CreateWindowExA(0, kEditorWindowClass, "Window", style, 0, 0, layout::editorWidth(scale),
                             layout::editorHeight(scale), parent, nullptr, module_, this);
    if (w) {
        session_ = std::make_shared<EditorSession>(module_, model_, profile_, firstTickPending_);
        if (!session_->build(w, true, scale)) {
            close();
            w = nullptr;
        }
    }
    releaseEditorClasses(module_);  // the session holds its own count
    if (w && scale != told)
        announceSize(scale);
    return w;
}

Scale Editor::sizingScale() const { return told_ ? *told_ : windowScale(GetDesktopWindow()); }

bool Editor::attach(HWND window)
{
    if (!window || !IsWindow(window))
        return false;
    close();
    const Scale told = sizingScale();
    const Scale scale = windowScale(window);
    told_ = scale;
    session_ = std::make_shared<EditorSession>(module_, model_, profile_, firstTickPending_);
    if (!session_->build(window, false, scale)) {
        close();
        return false;
    }
    if (scale != told)
        announceSize(scale);
    return true;
}

void Editor::close()
{
    if (!session_)
        return;
    // Moved out first: closing sends messages that come back here.
    std::shared_ptr<EditorSession> session = std::move(session_);
    firstTickPending_ = session->firstTickPending();
    session->close();
}

bool Editor::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // A local owner: a modal loop inside may close this editor, or delete it.
    std::shared_ptr<EditorSession> session = session_;
    if (!session || session->closed() || window != session->window())
        return false;
    if (message == kDpiChangedAfterParent) {
        followDpi();
        *result = 0;
        return true;
    }
    return session->handle(window, message, wParam, lParam, result);
}

void Editor::followDpi()
{
    std::shared_ptr<EditorSession> session = session_;
    const Scale scale = session->hostScale();
    if (!session->rescale(scale))
        return;
    told_ = scale;
    announceSize(scale);
}

void Editor::announceSize(Scale scale)
{
    if (onResized_)
        onResized_(layout::editorWidth(scale), layout::editorHeight(scale));
}

void Editor::update()
{
    if (session_ && !session_->closed())
        session_->refreshControls(kRefreshAll);
}

void Editor::modelConnected()
{
    if (session_ && !session_->closed())
        session_->modelConnected();
}

void Editor::modelDisconnecting()
{
    if (session_ && !session_->closed())
        session_->modelDisconnecting();
}

void Editor::onNotice(Notice notice)
{
    if (session_ && !session_->closed() && model_.editorOpen())
        session_->refreshControls(notice == Notice::kSettingsReplaced ? kRefreshAll : kRefreshStates);
}

// ---- building ----------------------------------------------------------------------------------

EditorSession::EditorSession(HINSTANCE module, EqualizerModel& model, const EditorProfile& profile,
                             bool firstTickPending)
    : module_(module), model_(&model), profile_(profile), firstTickPending_(firstTickPending)
{}

EditorSession::~EditorSession() { close(); }

// The 100 % sprites have other ids in the filter's DLL; the scaled ones are the same in both.
const uint8_t* EditorSession::sprite(int vstId) const
{
    return GetSkinSprite(module_, scale_ == kScale100 ? vstId - profile_.spriteShift : scaledSpriteId(vstId, scale_));
}

int EditorSession::scaledArt(int scaledItem, int id100) const { return scaledArtId(scaledItem, id100, scale_); }

// The type icons have the same ids in both DLLs.
int EditorSession::typeIcon(int32_t type) const { return scaledTypeIconId(typeImage(type), scale_); }

void EditorSession::buttonImages(HWND button, int normal, int pressed)
{
    SendMessageA(button, PB_SETSPRITES, reinterpret_cast<WPARAM>(sprite(normal)),
                 reinterpret_cast<LPARAM>(sprite(pressed)));
}

// `r` at 100 %; the control is placed at the session's scale and, if skinned, told the scale before
// it is given its art.
HWND EditorSession::addControl(const char* cls, const char* caption, int id, layout::Rect r, DWORD bits,
                               HBITMAP createParam)
{
    const layout::Rect p = layout::scaled(r, scale_);
    HWND control = CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | bits, p.x, p.y, p.w, p.h, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_, createParam);
    if (control && scale_ != kScale100 && std::strncmp(cls, "qv:", 3) == 0)
        SendMessageA(control, QV_SETSCALE, static_cast<WPARAM>(percentOf(scale_)), 0);
    return control;
}

bool EditorSession::build(HWND window, bool own, Scale scale)
{
    window_ = window;
    scale_ = scale;
    ownWindow_ = own;
    if (!acquireEditorClasses(module_))
        return false;
    classesHeld_ = true;
    model_->setEditorOpen(true);

    layOut();
    {
        WindowDC dc(window_);
        bitsPerPixel_ = dc ? GetDeviceCaps(dc.get(), BITSPIXEL) : 0;
    }

    store_.reset(new (std::nothrow) PresetStore(module_, window_, kPluginName));
    if (store_) {
        if (profile_.alternativePresetKey)
            store_->setAlternativeKey(profile_.alternativePresetKey);
        store_->load(kPluginKey, kPresetFileName);
        store_->setCurrent(model_->currentPreset());
    }

    refreshControls(kRefreshAll);
    refreshMeters();
    analyzerMode_ = rememberedAnalyzer();
    startAnalyzer();
    building_ = false;

    firstPaint_ = true;
    if (own)
        ShowWindow(window_, SW_SHOWNA);
    SetTimer(window_, profile_.timerId, 50, nullptr);
    SetFocus(item(kPresetsId));
    return item(kGraphId) != nullptr;
}

void EditorSession::createControls()
{
    HBITMAP bg = background_.get();
    HWND graph = addControl("qv:EQGraph", nullptr, kGraphId, layout::kGraph, 0, graphSkin_.get());
    graphRate_ = graphRateFor(model_->sampleRate());
    SendMessageA(graph, EQ_SETSAMPLERATE, static_cast<WPARAM>(graphRate_), 0);

    for (const TopButton& t : kTopButtons) {
        HWND b = addControl("qv:PushButton", t.caption, t.id, t.rect, WS_TABSTOP | t.style, bg);
        buttonImages(b, t.normal, t.pressed);
        if (t.focusLeft || t.focusRight) {
            int adjust[4] = {px(t.focusLeft), 0, px(t.focusRight), 0};
            SendMessageA(b, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(adjust), 0);
        }
    }
    SendMessageA(item(kBypassId), PB_SETCHECK, model_->bypassed() ? 1 : 0, 0);
    setupCaption();

    for (int c = 1; c <= 6; ++c)
        createBand(c);

    HWND flat = addControl("qv:PushButton", "Flat", kFlatId, layout::kFlat, WS_TABSTOP, bg);
    buttonImages(flat, SKIN_VST_RAW_FLAT, SKIN_VST_RAW_FLAT_DOWN);
    HWND gain = addControl("qv:Edit", nullptr, controlId(0, kOffGain), layout::kOutGain, WS_TABSTOP | kFieldStyle, bg);
    SendMessageA(gain, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    SendMessageA(gain, ED_SETSPRITE, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_EDIT)), 0);
    SendMessageA(gain, ED_SETSQUARELAW, 1, 0);
    HWND slider = addControl("qv:Slider", nullptr, controlId(0, kOffSlider), layout::kOutSlider, WS_TABSTOP, bg);
    SendMessageA(slider, SL_SETPAGESTEP, 10, 0);
    SendMessageA(slider, SL_SETRANGE, static_cast<WPARAM>(-240), 240);
    SendMessageA(slider, SL_SETTHUMB, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_THUMB)), 0);

    for (int m = 0; m < 2; ++m) {
        HWND meter = addControl("qv:Meter", nullptr, kMeterLeftId + m, layout::meter(m), kMeterStyle);
        SendMessageA(meter, MT_SETSPRITES, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_METER)),
                     reinterpret_cast<LPARAM>(sprite(SKIN_VST_RAW_METER_LIT)));
        SendMessageA(meter, MT_SETRANGE, static_cast<WPARAM>(-600), 0);
    }
    HWND peak = addControl("qv:StaticText", "-Inf    -Inf", kPeakTextId, layout::kReadout, SS_CENTER | SS_NOTIFY, bg);
    HGDIOBJ font = peakFont_ ? static_cast<HGDIOBJ>(peakFont_.get()) : GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(peak, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
}

void EditorSession::createBand(int column)
{
    HBITMAP bg = background_.get();
    char caption[4];
    std::snprintf(caption, sizeof caption, "%d", column);
    HWND number = addControl("qv:PushButton", caption, controlId(column, kOffEnabled), layout::bandNumber(column),
                             WS_TABSTOP, bg);
    buttonImages(number, SKIN_VST_RAW_BAND, SKIN_VST_RAW_BAND_DOWN);

    HWND type =
        addControl("qv:PushButton", nullptr, controlId(column, kOffType), layout::bandType(column), WS_TABSTOP, bg);
    buttonImages(type, SKIN_VST_RAW_TYPE, SKIN_VST_RAW_TYPE_DOWN);
    SendMessageA(type, PB_SETICONKEY, 0xC0C0C0, 0);
    SendMessageA(type, PB_SETICON, static_cast<WPARAM>(scaledTypeIconId(SKIN_VST_BMP_TYPE_PEAK, scale_)), 0);
    int typeFocus[4] = {0, 0, px(1), 0};
    SendMessageA(type, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(typeFocus), 0);

    HWND arrow = addControl("qv:PushButton", "", controlId(column, kOffTypeArrow), layout::bandArrow(column),
                            WS_TABSTOP | PBS_ARROW, bg);
    buttonImages(arrow, SKIN_VST_RAW_ARROW, SKIN_VST_RAW_ARROW_DOWN);
    int arrowFocus[4] = {px(-2), 0, 0, 0};
    SendMessageA(arrow, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(arrowFocus), 0);

    const layout::Rect fields[3] = {layout::bandFreq(column), layout::bandQ(column), layout::bandGain(column)};
    for (int f = 0; f < 3; ++f) {
        HWND field =
            addControl("qv:Edit", nullptr, controlId(column, kOffFreq + f), fields[f], WS_TABSTOP | kFieldStyle, bg);
        SendMessageA(field, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        SendMessageA(field, ED_SETSPRITE, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_EDIT)), 0);
        if (f == 2)
            SendMessageA(field, ED_SETSQUARELAW, 1, 0);
    }
    HWND slider =
        addControl("qv:Slider", nullptr, controlId(column, kOffSlider), layout::bandSlider(column), WS_TABSTOP, bg);
    SendMessageA(slider, SL_SETPAGESTEP, 10, 0);
    SendMessageA(slider, SL_SETRANGE, static_cast<WPARAM>(-180), 180);
    SendMessageA(slider, SL_SETTHUMB, reinterpret_cast<WPARAM>(sprite(SKIN_VST_RAW_THUMB)), 0);
}

// The art and the controls at the session's scale; from here nothing is drawn alone until the
// caller has given the controls their values and ended building_.
void EditorSession::layOut()
{
    loadArt();
    building_ = true;
    createControls();
    createClipLamps();
}

// The pictures and the font the controls borrow, at the session's scale.
void EditorSession::loadArt()
{
    HPALETTE palette = nullptr;
    background_.reset(
        LoadSkinBitmap(module_, scaledArt(SKIN_SCALED_BMP_BACKGROUND, profile_.backgroundBitmap), &palette));
    palette_.reset(palette);
    graphSkin_.reset(LoadSkinBitmap(module_, scaledArt(SKIN_SCALED_BMP_GRAPH, profile_.graphBitmap), nullptr));
    peakFont_.reset(CreateFontA(px(12), 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    clipImages_[0].reset(LoadSkinBitmap(module_, scaledArt(SKIN_SCALED_BMP_CLIP_OFF, profile_.clipOffBitmap), nullptr));
    clipImages_[1].reset(
        LoadSkinBitmap(module_, scaledArt(SKIN_SCALED_BMP_CLIP_HELD, profile_.clipHeldBitmap), nullptr));
    clipImages_[2].reset(
        LoadSkinBitmap(module_, scaledArt(SKIN_SCALED_BMP_CLIP_ACTIVE, profile_.clipActiveBitmap), nullptr));
}

void EditorSession::createClipLamps()
{
    for (int c = 0; c < 2; ++c) {
        const int id = profile_.clipLampIds[c];
        // A dialog template brings its own lamps; they are moved into place.
        // Rounded on its own, a lamp's height would overlap its meter at 150 %: clipLamp(side, scale).
        const layout::Rect r = layout::clipLamp(c, scale_);
        HWND lamp = item(id);
        if (lamp)
            SetWindowPos(lamp, nullptr, r.x, r.y, r.w, r.h, SWP_NOZORDER | SWP_NOACTIVATE);
        else
            lamp = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY, r.x, r.y, r.w,
                                   r.h, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_, nullptr);
        SendMessageA(lamp, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(clipImages_[0].get()));
    }
}

void EditorSession::showClipLamp(int channel, int32_t state)
{
    const HBITMAP image = clipImages_[state <= 0 ? 0 : state == 1 ? 1 : 2].get();
    SendDlgItemMessageA(window_, profile_.clipLampIds[channel], STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(image));
}

// ---- another scale -------------------------------------------------------------------------------

Scale EditorSession::hostScale() const
{
    HWND shownIn = ownWindow_ ? GetParent(window_) : window_;
    return windowScale(shownIn ? shownIn : window_);
}

EditorSession::Modal::~Modal()
{
    EditorSession& s = *keep_;
    if (--s.modalDepth_ == 0 && s.rescaleDeferred_ && !s.closed()) {
        s.rescaleDeferred_ = false;
        PostMessageA(s.window_, kDpiChangedAfterParent, 0, 0);
    }
}

bool EditorSession::rescale(Scale scale)
{
    if (closed() || scale == scale_)
        return false;
    if (modalDepth_ > 0) {
        // A menu or dialog anchored on our controls is open: after it.
        rescaleDeferred_ = true;
        return false;
    }
    // The controls are built again as an open at this scale builds them: every place, size, picture,
    // font and drag step follows. The values, the selection (in the band records) and the undo step
    // live in the model; what lives only in the controls is carried over.
    HWND focus = GetFocus();
    const int focusId = focus && IsChild(window_, focus) ? GetDlgCtrlID(focus) : 0;
    const int rangePosition = rangeMenuPosition(static_cast<int>(SendMessageA(item(kGraphId), EQ_GETRANGE, 0, 0)));
    const int32_t lampStates[2] = {model_->clipCounter(0, 1), model_->clipCounter(1, 1)};

    // Nothing is painted half built. WM_SETREDRAW works by the window's visible bit, so a window
    // hidden now (a page behind another) is left hidden.
    const bool shown = (GetWindowLongPtrA(window_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown)
        SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    stopAnalyzer();
    destroyControls();
    scale_ = scale;
    SetWindowPos(window_, nullptr, 0, 0, layout::editorWidth(scale_), layout::editorHeight(scale_),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    layOut();
    for (int c = 0; c < 2; ++c)
        showClipLamp(c, lampStates[c]);
    if (rangePosition >= 0)
        SendMessageA(item(kGraphId), EQ_SETRANGE, static_cast<WPARAM>(kGraphRanges[rangePosition].range),
                     kGraphRanges[rangePosition].second);
    refreshControls(kRefreshAll);
    shownHeld_[0] = shownHeld_[1] = INT_MIN;
    refreshMeters();
    startAnalyzer();  // on the new graph's axes
    // Focus first: a control that paints itself as it takes the focus would be painted over by a
    // parent without WS_CLIPCHILDREN (the page's dialog) and not again.
    if (focusId && item(focusId))
        SetFocus(item(focusId));
    building_ = false;
    if (shown)
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return true;
}

// ---- closing -----------------------------------------------------------------------------------

void EditorSession::close()
{
    if (!model_)
        return;
    stopAnalyzer();
    EqualizerModel* model = model_;
    model_ = nullptr;  // from here every handler leaves at once
    if (modalDepth_ > 0)
        EndMenu();  // a menu of ours on the stack returns 0; owned dialogs go with the window
    if (window_ && IsWindow(window_))
        KillTimer(window_, profile_.timerId);
    if (store_)
        model->setCurrentPreset(store_->getCurrent());
    model->setEditorOpen(false);
    if (window_ && IsWindow(window_)) {
        if (ownWindow_)
            DestroyWindow(window_);
        else
            destroyControls();  // a dialog keeps its own controls; ours go, so that the classes can go too
    }
    window_ = nullptr;
    // The store may be inside its Preset Manager further up the stack: it goes with the session then.
    if (modalDepth_ == 0)
        store_.reset();
    if (classesHeld_) {
        classesHeld_ = false;
        releaseEditorClasses(module_);
    }
}

void EditorSession::destroyControls()
{
    HWND child = GetWindow(window_, GW_CHILD);
    while (child) {
        HWND next = GetWindow(child, GW_HWNDNEXT);
        const int id = GetDlgCtrlID(child);
        if (ownWindow_ || (id != profile_.clipLampIds[0] && id != profile_.clipLampIds[1]))
            DestroyWindow(child);
        else
            SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0);
        child = next;
    }
}

// ---- the model through the controls ------------------------------------------------------------

void EditorSession::setFromControl(int id, int32_t value)
{
    const ControlSlot slot = controlSlot(id);
    const int index = slotParameter(slot);
    if (index < 0)
        return;
    const int32_t type = model_->value(paramIndex(kRowFilter, slot.column));
    model_->store(index, clampForSlot(slot, value, type, frequencyBound(model_->sampleRate())));
}

int32_t EditorSession::getFromControl(int id)
{
    const int index = slotParameter(controlSlot(id));
    return index < 0 ? 0 : model_->value(index);
}

void EditorSession::taggedSnapshot(int tag)
{
    if (profile_.undo.taggedGestures)
        model_->snapshotForUndo(tag);
}

void EditorSession::setText(HWND control, const char* text)
{
    char current[64];
    GetWindowTextA(control, current, sizeof current);
    if (std::strcmp(current, text) != 0)
        SetWindowTextA(control, text);
}

void EditorSession::repaintNow(HWND control)
{
    if (control && !building_)
        UpdateWindow(control);
}

void EditorSession::enable(HWND control, bool on)
{
    if (control && (IsWindowEnabled(control) != FALSE) != on) {
        EnableWindow(control, on ? TRUE : FALSE);
        if (!building_)
            UpdateWindow(control);
    }
}

void EditorSession::refreshColumn(int column, Refresh request, bool qMode)
{
    // The new texts, images and positions go in before the enable changes, so that a control that
    // changes in both ways is repainted once, showing both; the repaints at once come last.
    char text[32];
    bool selected = false;
    bool enabled = false, hasGain = false;
    HWND freqNow = nullptr, gainNow = nullptr;
    if (column > 0) {
        const int32_t on = model_->value(paramIndex(kRowEnabled, column));
        const int32_t type = model_->value(paramIndex(kRowFilter, column));
        const BandRecord* band = model_->bandRecord(column);
        selected = request.dragging() && band && band->selected != 0.0f;
        enabled = on != 0;
        hasGain = enabled && type >= kPeakDip && type <= kHighShelf;

        const int numberId = controlId(column, kOffEnabled);
        if (refreshesField(request, numberId, kOffEnabled, selected, qMode))
            SendMessageA(item(numberId), PB_SETCHECK, static_cast<WPARAM>(on), 1);  // repainted at once
        const int typeId = controlId(column, kOffType);
        if (refreshesField(request, typeId, kOffType, selected, qMode))
            SendMessageA(item(typeId), PB_SETICON, static_cast<WPARAM>(typeIcon(type)), 0);
        const int freqId = controlId(column, kOffFreq);
        if (refreshesField(request, freqId, kOffFreq, selected, qMode)) {
            std::snprintf(text, sizeof text, "%ld", static_cast<long>(getFromControl(freqId)));
            freqNow = item(freqId);
            setText(freqNow, text);
        }
        const int qId = controlId(column, kOffQ);
        if (refreshesField(request, qId, kOffQ, selected, qMode)) {
            formatTenths(getFromControl(qId), text, sizeof text);
            setText(item(qId), text);
        }
    }
    const int gainId = controlId(column, kOffGain);
    const int32_t gain = getFromControl(gainId);
    formatTenths(gain, text, sizeof text);
    if (refreshesField(request, gainId, kOffGain, selected, qMode)) {
        gainNow = item(gainId);
        setText(gainNow, text);
    }
    const int sliderId = controlId(column, kOffSlider);
    if (refreshesField(request, sliderId, kOffSlider, selected, qMode)) {
        SendMessageA(item(sliderId), SL_SETPOS, static_cast<WPARAM>(gain), 0);
        gainNow = item(gainId);
        setText(gainNow, text);
    }
    if (column > 0) {
        for (int offset : {kOffType, kOffFreq, kOffQ, kOffTypeArrow})
            enable(item(controlId(column, offset)), enabled);
        enable(item(gainId), hasGain);
        enable(item(sliderId), hasGain);
    }
    repaintNow(freqNow);
    repaintNow(gainNow);
}

void EditorSession::refreshControls(Refresh request)
{
    if (closed())
        return;
    model_->designDisplay();
    const bool qMode = GetKeyState(VK_SHIFT) < 0 || request.kind == Refresh::kDragQ;
    for (int c = 0; c < kColumns; ++c)
        refreshColumn(c, request, qMode);
    HWND graph = item(kGraphId);
    const bool all = request.kind == Refresh::kAll;
    if (all || request.kind == Refresh::kStates) {
        // A host may set its rate while the editor is open, and a stream's new format brings one.
        const int rate = graphRateFor(model_->sampleRate());
        if (rate != graphRate_) {
            graphRate_ = rate;
            SendMessageA(graph, EQ_SETSAMPLERATE, static_cast<WPARAM>(rate), 0);
            if (ring_ && analyzer_)
                configureAnalyzer();
        }
    }
    SendMessageA(graph, EQ_SETBANDS, reinterpret_cast<WPARAM>(model_->bandRecord(1)), 6);
    InvalidateRect(graph, nullptr, FALSE);
    if (request.dragging())
        UpdateWindow(graph);
    if (all)
        InvalidateRect(item(controlId(0, kOffGain)), nullptr, FALSE);
}

void EditorSession::modelConnected()
{
    if (store_)
        store_->setCurrent(model_->currentPreset());
    refreshControls(kRefreshAll);
    startAnalyzer();
}

void EditorSession::modelDisconnecting()
{
    stopAnalyzer();
    if (store_)
        model_->setCurrentPreset(store_->getCurrent());
}

void EditorSession::refreshMeters()
{
    float left = 0.0f, right = 0.0f;
    model_->readPeaks(left, right);
    HWND meters[2] = {item(kMeterLeftId), item(kMeterRightId)};
    const int levels[2] = {peakTenths(left), peakTenths(right)};
    int held[2] = {kSilentLevel, kSilentLevel};
    for (int m = 0; m < 2; ++m) {
        SendMessageA(meters[m], MT_SETLEVELS, static_cast<WPARAM>(levels[m]), 0);
        int second = 0;
        SendMessageA(meters[m], MT_GETMAX, reinterpret_cast<WPARAM>(&held[m]), reinterpret_cast<LPARAM>(&second));
    }
    if (held[0] == shownHeld_[0] && held[1] == shownHeld_[1])
        return;
    shownHeld_[0] = held[0];
    shownHeld_[1] = held[1];
    HWND peak = item(kPeakTextId);
    char text[64];
    FormatDbPair(peak, peakFont_.get(), scale_, text, sizeof text, held[0], held[1]);
    setText(peak, text);
}

}  // namespace qv
