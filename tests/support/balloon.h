// Alarm observation from outside the ringing program: the balloon that the
// shell of the virtual desktop shows, and the sound file that Wine's
// output is sent to (tools/run-tests.sh names it in HALVITRUM_SOUND_FILE).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct Balloon {
    std::wstring title;
    std::wstring text;
};

// Reads the balloon the shell shows: a visible tooltip window with
// TTS_BALLOON, owned by the shell's process. Whether one is shown.
bool findBalloon(Balloon &balloon);

// Whether the desktop's shell shows balloons. Wine 10's taskbar shows none
// for an icon's NIF_INFO (the icon shows and NIM_MODIFY succeeds, but no
// tooltip appears; its notification area without a taskbar shows them, as
// Wine 8's taskbar does).
bool shellShowsBalloons();

// The size of the sound file so far; 0 when it does not exist yet.
ULONGLONG soundBytes();

// The sound file's samples so far, read as the 16-bit samples that the
// alarm tests' wave files (and so Wine's output of them) have.
std::vector<short> capturedSound();

// Whether the sound file grows within the next periodMs: whether a sound
// plays.
bool soundGrows(DWORD periodMs = 1500);
