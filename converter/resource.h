// Identifiers of the converter's resources: dialog controls, menu items, icons.
// Shared by zenconv.rc and the dialog procedures.
#pragma once

// Main dialog "ZenconvMain".
#define IDC_ADD_FILE 100
#define IDC_FILE_LIST 101
#define IDC_ADD_TYPE 102
#define IDC_TYPE_LIST 103
#define IDC_CONVERT 104
#define IDC_INFORMATION 105
#define IDC_ANIMATION 106
#define IDC_DELAY_LABEL 107
#define IDC_DELAY 108
#define IDC_WEB_LINK 110

// "ZenconvMenu": popup "filetype_menu"; display types are 256 + profile position.
#define IDM_TYPE_FIRST 256
#define IDM_TYPE_LAST 511

// Static controls without an identifier of their own.
#define IDC_STATIC_UNNAMED -1

// The maker's web address: what a click on control 110 opens, and the control's text
// (without the scheme, so that it fits the control's 80 dialog units).
#define ZENCONV_WEB_ADDRESS "https://zentra.example.com/"
#define ZENCONV_WEB_ADDRESS_TEXT "zentra.example.com"

// "Options...", the item that the main dialog adds to its system menu (system-menu
// commands are multiples of 16 below 0xF000).
#define IDM_OPTIONS 0x0210

// Options dialog "ZenconvOptions".
#define IDC_OPT_TONE 120
#define IDC_OPT_BACKGROUND 121
#define IDC_OPT_THRESHOLD 122
#define IDC_OPT_AUTO_THRESHOLD 123
#define IDC_OPT_DITHER 124
#define IDC_OPT_INVERT 125
#define IDC_OPT_RESIZE 126
#define IDC_OPT_WIDTH 127
#define IDC_OPT_HEIGHT 128
#define IDC_OPT_FIT 129
#define IDC_OPT_ROTATE 130
#define IDC_OPT_MIRROR_X 131
#define IDC_OPT_MIRROR_Y 132
#define IDC_OPT_PALETTE 133
#define IDC_OPT_PALETTE_BROWSE 134
#define IDC_OPT_ADAPTIVE 135
#define IDC_OPT_COLOURS 136
#define IDC_OPT_CODING 137
#define IDC_OPT_SATURATION 138
