// tavro.exe start-up: common controls, the command line, then the main window run
// modally; there is no message loop of our own beyond the dialog's. The registry
// company key "Orlent" is part of the settings store's key path.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/ui/open_selection.h"
#include "app/win/main_window.h"
#include "app/win/model_window_driver.h"
#include "app/win/program_folder.h"
#include "common/win/wide_text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    std::vector<wchar_t> module(32768);
    const DWORD length = GetModuleFileNameW(nullptr, module.data(), 32768);
    if (length > 0 && length < 32768)
        tavro::setProgramFolder(tavro::programFolderOf(tavro::utf8FromWide(module.data(), length)));

    // The wide command line: the narrow one cannot hold every file name. Paths are
    // UTF-8 from here on.
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            args.push_back(tavro::utf8FromWide(wide[i], lstrlenW(wide[i])));
        LocalFree(wide);
    }
    tavro::MainWindow window(tavro::commandLineFiles(args));
    window.setDriver(std::make_unique<tavro::ModelWindowDriver>(window, window.settings()));
    const INT_PTR result = window.run(instance);
    return result == -1 ? 1 : 0;
}
