// The class icon and the web address. SetClassLongPtrA with GCLP_HICON is exactly
// SetClassLongA with GCL_HICON on 32-bit Windows; the Ptr form also serves the 64-bit build.
#include "class_icon.h"

#include "blocking_calls.h"
#include "program_values.h"
#include "resource.h"

void SetDialogClassIcon(HWND dialog) {
    SetClassLongPtrA(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(ProgramInstance, "AppIcon")));
}

void OpenWebAddress() {
    PlatformCalls.ShellExecuteA(nullptr, nullptr, ZENCONV_WEB_ADDRESS, nullptr, nullptr,
                                SW_SHOWNORMAL);
}
