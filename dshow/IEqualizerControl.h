#pragma once
// The filter's control interface over its engine, for the property page and the editor. Every
// operation locks the engine; column arguments outside 0..6 give E_INVALIDARG.

#include <windows.h>
#include <mmreg.h>
#include <unknwn.h>

#include "AnalyzerRing.h"
#include "BandDesign.h"
#include "ParameterModel.h"

extern "C" const IID IID_IEqualizerControl;  // its text in ClassIds.h

struct IEqualizerControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetParameters(qv::ParameterRecord* record) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetParameters(const qv::ParameterRecord* record) = 0;
    // The stored stream format; VFW_E_NOT_CONNECTED while there is none.
    virtual HRESULT STDMETHODCALLTYPE GetStreamFormat(WAVEFORMATEX* format) = 0;
    // Registers a window for WM_COMMAND notices with this id; id 0 removes it.
    virtual HRESULT STDMETHODCALLTYPE SetNotifyWindow(HWND window, WORD id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(int column, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEnabled(int column, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFilterType(int column, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFilterType(int column, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFrequency(int column, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFrequency(int column, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetQ(int column, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetQ(int column, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetGain(int column, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetGain(int column, int value) = 0;
    // Selector 0: the engine's counter; 1: the editor's.
    virtual HRESULT STDMETHODCALLTYPE GetClipCounterLeft(int selector, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipCounterLeft(int selector, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClipCounterRight(int selector, int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetClipCounterRight(int selector, int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE DesignCoefficients() = 0;
    // The column's display record, which the EQ graph reads and edits in place.
    virtual HRESULT STDMETHODCALLTYPE GetBandRecord(int column, qv::BandRecord** record) = 0;
    // A format for the frequency limit and display while no input is connected.
    virtual HRESULT STDMETHODCALLTYPE SetStreamFormat(const WAVEFORMATEX* format) = 0;
    virtual float STDMETHODCALLTYPE ReadPeakLeft() = 0;
    virtual float STDMETHODCALLTYPE ReadPeakRight() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEditorOpen(int open) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEditorOpen(int* open) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEditorState(int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEditorState(int value) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsBypassed(int* on) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetBypass(int on) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentSetup(int* setup) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectSetup(int setup) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopySetup(int from, int to) = 0;
    virtual HRESULT STDMETHODCALLTYPE SnapshotForUndo(int tag) = 0;
    virtual HRESULT STDMETHODCALLTYPE Undo() = 0;
};

// The filter's side of the analyzer, kept apart so that IEqualizerControl stays as it was.
// The ring is a pointer into the filter: the interface is for the filter's own property page in the
// same process, and for one editor at a time, since the ring has a single consumer.
extern "C" const IID IID_IEqualizerAnalyzer;  // its text in ClassIds.h

struct IEqualizerAnalyzer : public IUnknown {
    // The ring the streaming thread fills while the claimant attaches it; E_ACCESSDENIED while
    // another editor holds it. The ring lives as long as the filter.
    virtual HRESULT STDMETHODCALLTYPE ClaimAnalyzerRing(qv::AnalyzerRing** ring) = 0;
    // Detaches the ring and lets another editor claim it.
    virtual HRESULT STDMETHODCALLTYPE ReleaseAnalyzerRing() = 0;
};

// {36A22460-0CC9-11D0-8574-00A0C9053912}
extern "C" const IID IID_IPresetList;

struct IPresetList : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPresetCount(int* count) = 0;
    // The name, cut to `length` characters including the terminator.
    virtual HRESULT STDMETHODCALLTYPE GetPresetName(int index, WCHAR* buffer, int length) = 0;
    virtual HRESULT STDMETHODCALLTYPE SelectPreset(int index) = 0;
};

extern "C" const CLSID CLSID_qvEqualizer;              // the filter
extern "C" const CLSID CLSID_qvEqualizerPropertyPage;  // its page
