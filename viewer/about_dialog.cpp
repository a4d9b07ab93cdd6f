// The viewer's About box: the shared box on the template "AboutDialog", placed over the
// viewer window, its web address opened with the box as the owner of anything the shell shows.
#include "about_dialog.h"

#include "about_box.h"
#include "blocking_calls.h"
#include "centre_window.h"
#include "program_values.h"
#include "resource.h"

namespace {

void CentreOverOwner(HWND dialog) {
    CentreWindow(dialog, GetParent(dialog), 0);
}

void OpenWebAddressOwnedBy(HWND dialog) {
    PlatformCalls.ShellExecuteA(dialog, nullptr, ZENVIEW_WEB_ADDRESS, nullptr, nullptr,
                                SW_SHOWNORMAL);
}

const AboutBoxSetup VIEWER_ABOUT_BOX{CentreOverOwner, OpenWebAddressOwnedBy};

} // namespace

INT_PTR ShowAboutBox(HWND owner) {
    return RunAboutBox(ViewerInstance, "AboutDialog", owner, VIEWER_ABOUT_BOX);
}
