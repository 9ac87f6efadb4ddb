#include "platform/stop_signals.h"

#include <signal.h>

#include <csignal>

namespace {

volatile std::sig_atomic_t ReceivedSignal = 0;
struct sigaction PreviousActions[3];
constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGXFSZ};

extern "C" void RecordStop(int Signal) {
    if (ReceivedSignal == 0) ReceivedSignal = Signal;
}

} // namespace

StopSignals::StopSignals() {
    ReceivedSignal = 0;
    for (int i = 0; i < 3; ++i) {
        struct sigaction action = {};
        action.sa_handler = kSignals[i] == SIGXFSZ ? SIG_IGN : RecordStop;
        sigemptyset(&action.sa_mask);
        sigaction(kSignals[i], &action, &PreviousActions[i]);
    }
}

StopSignals::~StopSignals() {
    for (int i = 0; i < 3; ++i)
        sigaction(kSignals[i], &PreviousActions[i], nullptr);
}

int StopSignals::Received() const {
    return ReceivedSignal;
}
