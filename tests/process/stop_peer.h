// Exit codes of stop_peer.exe, bits that the stop tests read one by one.
#pragma once

namespace stop_peer {
constexpr int kBoxStillUp = 1;
constexpr int kFlagSet = 2;
constexpr int kNoEvent = 64;
constexpr int kUsage = 128;
}  // namespace stop_peer
