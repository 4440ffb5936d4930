// The operation-mode bits the host passes to the transfer entry points; no
// other bit is looked at.
#pragma once

// The host runs without a user to ask: no question and no progress notice.
constexpr unsigned OpModeQuiet = 1;
// The host shows progress itself: no progress notice.
constexpr unsigned OpModeNoProgress = 2;
