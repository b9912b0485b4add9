// tavro.exe start-up: company key, command line, program folder, then the main
// window run modally; no message loop of our own beyond the dialog's.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/win/main_window.h"

namespace {

// First parameter that is not a switch ("-" or "/") names the start-up file.
std::string startupFileFromCommandLine() {
    for (int i = 1; i < __argc; ++i) {
        const char* arg = __argv[i];
        if (arg && arg[0] != '\0' && arg[0] != '-' && arg[0] != '/') return arg;
    }
    return std::string();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tavro::MainWindow window(startupFileFromCommandLine());
    INT_PTR result = window.run(instance);
    return result == -1 ? 1 : 0;
}
