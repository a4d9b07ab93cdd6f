// Identifiers of the viewer's resources and controls, shared by zenview.rc and the
// window and dialog procedures.
#pragma once

// Menu "AppMenu".
#define IDM_OPEN 100
#define IDM_EXIT 101
#define IDM_USAGE_GUIDE 102
#define IDM_INFORMATION 103
#define IDM_ZOOM_1 104
#define IDM_ZOOM_2 105
#define IDM_ZOOM_4 106
#define IDM_INVERT 107
#define IDM_BUILD_UP 108
#define IDM_PLAY 109
#define IDM_SAVE_PICTURE 111
#define IDM_COPY 112

// The record list, a child of the main window.
#define IDC_RECORD_LIST 200

// About box "AboutDialog": the maker's web address, made a hyperlink.
#define IDC_WEB_LINK 110
#define IDC_STATIC_UNNAMED -1

// The maker's web address: the text of control 110 and what a click on it opens.
#define ZENVIEW_WEB_ADDRESS "https://zentra.example.com/"
