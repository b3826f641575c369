// The link watcher's dealings with the client that can go wrong on a real
// system: a click that the client never got (higher rights, a restarted
// client), a prompt that the key can't reach (another program in front, a
// locked screen, an input method, a hung client), and the offer to restart
// with administrator rights.
#pragma once

#include <cstdint>
#include <string>

namespace watch {

// Whether the offer to restart as administrator has been made in this run.
extern bool elevationOffered;
// The prompt that the last answering tick sent the key to; 0 for none.
extern int32_t keyedPrompt;

// Start's part: remembers what identifies the dial target besides its handle
// and, when its program runs with higher rights than ours, makes the offer.
void RememberDialTarget();

// A down tick's click. When the dial target no longer names the button taken
// at Start, the same button is looked for in the running client and used
// under its new handle (标签1 shows it). The click counts (标签3) only when the
// system took it; otherwise 标签1 says why, and a refusal for want of rights
// makes the offer.
void DialOnce();

// Answers an open prompt (a handle of 0 or less: none is open): with the N key where it can land, else, and on the
// tick after a key that left the prompt open, by posted messages alone.
void AnswerPrompt(int32_t prompt);

// The only argument that the program takes, written by the restart as
// administrator: "/redial-target:" and a handle in decimal. False when the
// arguments are anything else.
bool ReadTargetArgument(const std::wstring& arguments, int32_t& handle);

// Start-up with that argument: the handle goes into 编辑框1 and Start runs.
// Any other arguments change nothing.
void TakeTargetArgument(const std::wstring& arguments);

}  // namespace watch
