// The answer to the client's prompt where a real system gets in the way: a
// key that can't reach it (another program in front, a locked screen, an
// input method, a hung client), a client busy or slow while it raises it.
#pragma once

#include "winkit/window_search.h"

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

enum class AnswerWay {
    None,    // nothing has reached the prompt yet
    Keyed,   // the N key was typed into it
    Posted,  // the system took the posted answer
};

// The answer to the open prompt, as the looks for it have left it; part of
// the Watch value.
struct PromptAnswer {
    int32_t prompt = winkit::kNoWindow;  // the prompt it is of (kNoWindow: none open)
    AnswerWay way = AnswerWay::None;
    uint32_t at = 0;                     // the tick count (ms) as that answer went
    bool looking = false;                // a look is under way, maybe inside its waits
};

// Looks for the client's prompt (SearchPrompt) and answers it by the rules
// at the top of prompt.cpp. The prompt tick and the dialog hook's search both
// come here; a look that comes while another is under way does nothing.
void LookForPrompt(Watch& watch);

// Looks for an open prompt, keeps the result as the prompt handle and shows it
// in kPromptLine; returns it (winkit::kNoWindow: none). The dialog hook follows
// the client processes that the search found.
int32_t SearchPrompt(Watch& watch);

}  // namespace watch
