#pragma once

#include <cstdio>

// A one-line progress bar on a terminal: "[#####-----] 120/800", redrawn in
// place. Draws nothing when disabled (not a terminal, or --quiet).
class TProgressBar final
{
public:
    TProgressBar(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}

    void Update(int done, int total);
    // Clears the bar's line so that a message can be written there.
    void Clear();
    // Leaves the last state on its own line.
    void Finish();

private:
    std::FILE* out_;
    bool enabled_;
    bool drawn_ = false;
};
