// The converter's About box: the shared box on the template "ZenconvAbout", with the
// application icon in its window class and the web address opened as the main dialog opens it.
#include "about_dialog.h"

#include "about_box.h"
#include "class_icon.h"
#include "program_values.h"

namespace {

void OpenWebAddressFromBox(HWND /*dialog*/) {
    OpenWebAddress();
}

const AboutBoxSetup CONVERTER_ABOUT_BOX{SetDialogClassIcon, OpenWebAddressFromBox};

} // namespace

INT_PTR ShowAboutBox(HWND owner) {
    return RunAboutBox(ProgramInstance, "ZenconvAbout", owner, CONVERTER_ABOUT_BOX);
}
