// Frames on their way from the drawing thread to an encoder's thread: a few
// buffers that go round, so drawing goes on while the encoder works and waits
// only when the encoder is that many frames behind.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/pixel_view.h"

class FrameQueue {
public:
    explicit FrameQueue(size_t Buffers) : FSlots(Buffers) {}

    // Copies Frame into a free buffer and queues it, waiting while every buffer
    // is queued or in use. False (nothing queued) once stopped or ended.
    bool Push(const PixelView& Frame);
    // The oldest queued frame, waiting for one; an empty view once the input
    // has ended and every frame was taken, or once stopped. The view stays
    // valid until Release.
    PixelView Pop();
    // Gives the buffer of the last Pop back for new frames.
    void Release();
    // No frames follow: Pop hands out the queued ones, then empty views.
    void EndInput();
    // Both sides stop at once: Push fails, Pop gives empty views.
    void Stop();

private:
    struct Slot {
        std::vector<uint8_t> Bytes;
        PixelView View;
    };

    std::mutex FLock;
    std::condition_variable FChanged;
    std::vector<Slot> FSlots;
    std::deque<size_t> FQueued;
    size_t FNextFree = 0; // slots are used round in order, so the free ones follow the queued
    size_t FInUse = 0;    // queued plus the one Pop handed out
    bool FEnded = false;
    bool FStopped = false;
};
