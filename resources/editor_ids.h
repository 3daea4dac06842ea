/*
 * Dialog and control ids of the editor that the resource scripts and the code both name: the
 * DirectShow property page's template with its two clip lamps, and the clip lamps the VST editor
 * creates itself.
 *
 * Plain #defines only: this file is read by C++ and by windres.
 */
#ifndef QV_EDITOR_IDS_H
#define QV_EDITOR_IDS_H

/* The DirectShow filter's property page (dshow/qvEqualizer.rc). */
#define IDD_EQUALIZER_PAGE   106
#define IDC_PAGE_CLIP_LEFT   1020
#define IDC_PAGE_CLIP_RIGHT  1021

/* The VST editor's clip lamps, created at run time. */
#define IDC_VST_CLIP_LEFT    10600
#define IDC_VST_CLIP_RIGHT   10601

#endif
