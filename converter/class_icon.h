// Small helpers that both converter dialogs share: the class icon "AppIcon" and opening
// the maker's web address with the shell.
#pragma once

#include <windows.h>

// Sets the icon of the dialog's window class to the application icon "AppIcon".
void SetDialogClassIcon(HWND dialog);

// Opens the maker's web address with the platform's default handler, shown normally.
void OpenWebAddress();
