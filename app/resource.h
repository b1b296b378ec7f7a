#pragma once
// Identifiers shared by the resource script and the code.

#define IDI_QUORVEL 1
#define IDR_MAINMENU 100
#define IDR_ACCEL 101
// The common controls of version 6, activated once the program has started.
#define IDR_CONTROLS_MANIFEST 102
// The CP437 TrueType fonts (RCDATA, app/NfoFont.rc), one per Terminus cell
// height: face "Quorvel CP437 <N>" for cells N pixels high. Consecutive, in
// order of size.
#define IDR_NFO_FONT_12 110
#define IDR_NFO_FONT_14 111
#define IDR_NFO_FONT_16 112
#define IDR_NFO_FONT_18 113
#define IDR_NFO_FONT_20 114
#define IDR_NFO_FONT_22 115
#define IDR_NFO_FONT_24 116
#define IDR_NFO_FONT_28 117
#define IDR_NFO_FONT_32 118
// The carried font the text box's font choice loads: the 12 pixel cut.
#define IDR_NFO_FONT IDR_NFO_FONT_12

// Menu items of frmMain, named after the menu they stand for.
#define IDM_mnuOpen 1001
#define IDM_mnuSave 1002
#define IDM_mnuMakeWrite 1003
#define IDM_mnuFC 1004
#define IDM_mnuBC 1005
#define IDM_mnuOnTop 1006
#define IDM_mnuTransP 1007
#define IDM_mnuAss 1008
#define IDM_mnuUrl 1009
#define IDM_mnuExit 1010
#define IDM_mnuUndo 1020
#define IDM_mnuCut 1021
#define IDM_mnuCopy 1022
#define IDM_mnuPaste 1023
#define IDM_mnuDelete 1024
#define IDM_mnuGoto 1025
#define IDM_mnuSelAll 1026
#define IDM_mnuNow 1027
#define IDM_mnuAbout 1030

// Controls of frmMain.
#define IDC_txtnfo 2001
#define IDC_txtTransp 2002
