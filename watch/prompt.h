// The answer to the client's prompt: its No clicked by a posted message, which
// reaches the prompt alone, on a locked screen, behind another program, past
// an input method and into a busy or hung client; a typed key only where
// nothing else answers (the rules are at the top of prompt.cpp).
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
// The letter that answers it: the mnemonic of its 否(&N), posted or typed where
// it has no such button. A letter's virtual-key code is the letter in upper case.
constexpr char kAnswerLetter = 'N';

enum class AnswerWay {
    None,    // nothing has been tried for the prompt yet
    Keyed,   // the letter was typed into it
    Posted,  // the answer was posted to it (or refused by its client)
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
