// Ctrl-C and SIGTERM during a long job that writes a file: recorded instead of
// ending the program at once, so the job stops within a frame or two and
// removes what it half made. A file-size limit's signal (SIGXFSZ) is ignored
// meanwhile, so writing past the limit fails as a full disk does.
#pragma once

class StopSignals {
public:
    // Installs the handlers (one set at a time).
    StopSignals();
    // Puts the earlier handlers back.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that asked to stop (SIGINT or SIGTERM), 0 while none has.
    int Received() const;
};
