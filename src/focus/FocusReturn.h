#pragma once

// Lives while a field that refused to be left takes the focus back. The
// control that was about to get the focus loses it again at once; that is
// not the user leaving it, so its own leave check must stay quiet while any
// FocusReturn lives (two refused fields would otherwise hand the focus back
// and forth, each showing its message). Every leave check of a window, and
// every refusal that puts the focus back, goes through this one flag.
class FocusReturn {
public:
    FocusReturn() { ++s_depth; }
    ~FocusReturn() { --s_depth; }
    FocusReturn(const FocusReturn &) = delete;
    FocusReturn &operator=(const FocusReturn &) = delete;

    static bool active() { return s_depth > 0; }

private:
    static inline int s_depth = 0;
};
