// Driving the test stand-ins from a test: the "ZorvicClient.exe" dial-up client
// and the wininet.dll whose link state a test sets. Both are built beside the
// tests (build/x64); scripts/wine-env puts the wininet.dll in the system
// directory, where the program takes it from.
#pragma once

#include "tools/zorvic/protocol.h"

#include <windows.h>

#include <string>

namespace support {

struct Client {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;        // the client's main window
    HWND dialButton = nullptr;  // its dial button
};

// Shapes of real clients that the stand-in can take.
enum ClientShape {
    kWindowClient = 0,  // a window of its own class, dial button ID 100 reading 拨号
    kDialogClient = 1,  // a dialog ("#32770"), dial button IDOK reading 断开
    kFrontClicks = 2,   // the dial button loses a BM_CLICK while its window is not in front
    kGreyedButton = 4,  // the dial button is disabled
    kToggleButton = 8,  // (window shape) a push-like check box 连接: checked dials, unchecked hangs up;
                        // a dial leaves it unchecked, as a dial that left the link down
};

// Starts the stand-in client under the given image name (a copy is made in the
// build directory when the name differs) and waits until its windows are up.
bool StartClient(Client& client, const wchar_t* imageName = L"ZorvicClient.exe", int shape = kWindowClient);
// Ends the client by its process id and waits for it.
void StopClient(Client& client);

// Clicks (BN_CLICKED) that the dial button has sent its window; of a toggle, its
// dials. Every count is -1 when the client does not answer.
int ClickCount(const Client& client);
// Clicks that found a toggle dial button unchecked: hang-ups.
int HangUpCount(const Client& client);

// Makes the client raise a prompt with the given title and zorvic::PromptFlags;
// returns its handle (a message box's once the box is up).
HWND RaisePrompt(const Client& client, const std::wstring& title = L"提示", int flags = 0);
// Key-downs of the N key that the client's prompts (or their children) have
// received, typed or posted. A prompt answers the key as a dialog of the
// system does: its character clicks 否(&N) (counted by ButtonAnswerCount); a
// prompt without that mnemonic takes no letter. The click closes the prompt
// unless it stays open, before the key-up comes.
int AnsweredCount(const Client& client);
// Key-ups of the N key that the client's prompts have received.
int KeyUpCount(const Client& client);
// Prompts raised by the client that still exist (message boxes included).
int OpenPromptCount(const Client& client);
// Clicks of a prompt's 否(&N) button (its BN_CLICKED, however it came); a
// message box answered 否 counts too.
int ButtonAnswerCount(const Client& client);
// Injected N key-downs that a key-swallowing prompt's hook ate.
int SwallowedKeyCount(const Client& client);
// Characters typed into the client's name box (zorvic::kNameBoxId), which has
// the focus whenever the client's main window is active.
int BoxCharCount(const Client& client);
// Makes the client's one thread sleep for the given time, from now on; returns at once.
void HangClient(const Client& client, int milliseconds);
// Waits until the client's thread stops answering (busy, keys queued);
// false when it still answers after the time.
bool WaitUntilClientBusy(const Client& client, int timeoutMs);
// Whether a kPromptProbedThenBusy client awaits its probe, reading nothing of its queue.
bool ClientAwaitsProbe(const Client& client);

// The answer of the stand-in wininet's InternetGetConnectedState, for every
// process, until changed again. Connected until first set.
void SetLinkState(bool connected);
// Calls of the stand-in InternetGetConnectedState, by any process, since this
// test process first called SetLinkState or LinkQueryCount.
int LinkQueryCount();

}  // namespace support
