// Control identifiers of the hyperlink test dialog.
#pragma once

#define IDC_LINK_FIRST 110
#define IDC_PLAIN 111
#define IDC_LINK_SECOND 112
