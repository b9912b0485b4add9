// A DLL that looks like a plug-in but lacks winampDSPGetHeader2.
extern "C" __declspec(dllexport) int __cdecl winampDSPGetHeader() {
    return 0;
}
