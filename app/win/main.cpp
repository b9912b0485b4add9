// tavro.exe start-up: common controls, the command line, then the main window run
// modally; there is no message loop of our own beyond the dialog's. The registry
// company key "Orlent" is part of the settings store's key path.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/ui/open_selection.h"
#include "app/win/main_window.h"
#include "app/win/model_window_driver.h"
#include "app/win/program_folder.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    char module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
    if (length > 0 && length < MAX_PATH) tavro::setProgramFolder(tavro::programFolderOf(module));

    std::vector<std::string> args;
    for (int i = 0; i < __argc; ++i)
        args.push_back(__argv[i] ? __argv[i] : "");
    tavro::MainWindow window(tavro::commandLineFiles(args));
    window.setDriver(std::make_unique<tavro::ModelWindowDriver>(window, window.settings()));
    const INT_PTR result = window.run(instance);
    return result == -1 ? 1 : 0;
}
