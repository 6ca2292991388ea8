// StopRequest: raised by a signal handler when the user asks the process to end, so that a long
// wait for another program's lock, or a long read or write of the store, gives up at once instead
// of holding the quit back. Work that gives up says so (honour), and the quit then knows not to
// start the same long work again; when nothing gave up, the quit clears the request and saves as
// usual. Nothing is ever written half because of it: every write to the store is one transaction
// that either commits or rolls back. Raising it is async-signal-safe.
#pragma once

#include <csignal>

namespace allot {

class StopRequest {
 public:
  static void raise() noexcept { raised() = 1; }
  static bool isRaised() noexcept { return raised() != 0; }

  // Asked by work that can stop: true when it should, and remembered.
  static bool honour() noexcept {
    if (raised() == 0) return false;
    honoured() = 1;
    return true;
  }
  static bool wasHonoured() noexcept { return honoured() != 0; }

  // Called as the quit begins: a request that stopped no work is done with, so the last save runs.
  static void clearUnlessHonoured() noexcept {
    if (honoured() == 0) raised() = 0;
  }
  // Forgets everything, for a process that goes on after the quit was called off.
  static void reset() noexcept {
    raised() = 0;
    honoured() = 0;
  }

 private:
  static volatile std::sig_atomic_t& raised() noexcept {
    static volatile std::sig_atomic_t flag = 0;
    return flag;
  }
  static volatile std::sig_atomic_t& honoured() noexcept {
    static volatile std::sig_atomic_t flag = 0;
    return flag;
  }
};

}  // namespace allot
