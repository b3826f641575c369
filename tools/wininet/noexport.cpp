// A wininet.dll without InternetGetConnectedState, for the test of a binding
// that finds the module but not the export.
extern "C" __declspec(dllexport) int StandinHasNoLinkTest() {
    return 0;
}
