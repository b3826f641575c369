// The answer to the client's prompt where a real system gets in the way: a
// key that can't reach it (another program in front, a locked screen, an
// input method, a hung client).
#pragma once

#include <cstdint>

namespace watch {

struct Watch;

// What makes a window the client's prompt: its program, its class and a piece
// of its title.
constexpr wchar_t kClientImage[] = L"ZorvicClient.exe";
constexpr wchar_t kPromptClass[] = L"#32770";
constexpr wchar_t kPromptTitle[] = L"提示";
// The key that answers it (its 否(&N)): typed, or posted as its mnemonic. A
// letter's virtual-key code is the letter in upper case.
constexpr char kAnswerLetter = 'N';

enum class PromptAnswer {
    Done,     // answered, or left for a later tick
    Refused,  // the client's higher rights refused the posted answer: the caller makes the offer
};

// Answers an open prompt (winkit::kNoWindow: none is open): with the N key
// where it can land, else by posted messages alone. A prompt still open after
// its key gets the posted answer only once the key has had its chance: a whole
// prompt period after it, and once the client is back at its queue (a posted
// message is read before input, so an answer posted while the key still waits
// would close the prompt and let the key land in whatever window takes the
// focus next). A hung client is not waited for.
PromptAnswer AnswerPrompt(Watch& watch, int32_t prompt);

// Looks for an open prompt, keeps the result as the prompt handle and shows it
// in kPromptLine; returns it (winkit::kNoWindow: none). The dialog hook follows
// the client processes that the search found.
int32_t SearchPrompt(Watch& watch);

}  // namespace watch
