#include <windows.h>

#include "app/popup_app.h"

namespace {
// The one application object, built before WinMain like the framework's.
CPopupApp theApp;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return theApp.Run(instance);
}
