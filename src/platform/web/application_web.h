// The loop in a web page: the show runs on the browser's animation frames.
// Its frame timer reads the show clock, which stands still between animation
// frames and which the loop moves on in the steps the timer waits for, as far
// as real time has gone. So the show keeps its pace of one frame per 30 ms
// whatever the display's refresh rate: the frames that fall between two
// animation frames are all drawn and the last of them is seen. A device too
// slow for that falls behind by a few frames at most and then plays slower.
// Keys, the page's close button and the page being hidden or shown arrive as
// events.
#pragma once

#include <cstdint>

#include "platform/application.h"
#include "platform/clock.h"

class WebApplication : public Application {
public:
    // Listens to the page (dropping what it said before) and sets ShowTime,
    // the clock the frame timer reads, to the present.
    explicit WebApplication(FakeClock& ShowTime);

protected:
    bool DispatchNextEvent() override;
    // When the show clock plus Timeout has been reached in real time, moves it
    // there and returns at once; otherwise waits for the next animation frame
    // or page event and handles the event.
    bool WaitForEvent(uint32_t Timeout) override;

private:
    void SetShowTime(int64_t Milliseconds);

    FakeClock& FShowTime;
    int64_t FShowMilliseconds = 0; // the show clock before it wraps at 32 bits
    int FSteps = 0;                // clock steps since the last animation frame
};
