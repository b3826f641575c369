// The Network List Manager's notices of changed connectivity
// (INetworkListManagerEvents::ConnectivityChanged through its connection
// point). The sink only posts a message to a window: COM may deliver a notice
// inside any wait of the thread, in the middle of a handler, so the notice is
// acted on where that message is dispatched.
#pragma once

#include <windows.h>

namespace winkit {

// Advises the sink on a manager created through the system-function table's
// CoCreateInstance (OLE is started for the thread if need be); from then on
// each notice posts message to window. An earlier advice is ended first.
// False, and nothing held, without a manager or when it takes no sink.
bool AdviseLinkNotices(HWND window, UINT message);

// Ends the advice and releases the manager; nothing when none is held.
void UnadviseLinkNotices();

bool LinkNoticesAdvised();

}  // namespace winkit
