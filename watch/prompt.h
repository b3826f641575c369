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

// Answers an open prompt (winkit::kNoWindow: none is open): with the N key
// where it can land, else, and on the tick after a key that left the prompt
// open, by posted messages alone.
void AnswerPrompt(Watch& watch, int32_t prompt);

// Looks for an open prompt, keeps the result as the prompt handle and shows it
// in kPromptLine; returns it (winkit::kNoWindow: none).
int32_t SearchPrompt(Watch& watch);

}  // namespace watch
