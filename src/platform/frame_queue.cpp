#include "platform/frame_queue.h"

#include <cstring>

bool FrameQueue::Push(const PixelView& Frame) {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return FStopped || FEnded || FInUse < FSlots.size(); });
    if (FStopped || FEnded) return false;
    Slot& slot = FSlots[FNextFree];
    const size_t rowBytes = size_t(Frame.Width) * BytesPerPixel(Frame.Format);
    slot.Bytes.resize(rowBytes * size_t(Frame.Height));
    lock.unlock(); // the consumer never touches a free slot: copy without holding the lock
    for (int y = 0; y < Frame.Height; ++y)
        std::memcpy(slot.Bytes.data() + rowBytes * size_t(y), Frame.Row(y), rowBytes);
    slot.View = PixelView{slot.Bytes.data(), Frame.Width, Frame.Height, ptrdiff_t(rowBytes), Frame.Format};
    lock.lock();
    FQueued.push_back(FNextFree);
    FNextFree = (FNextFree + 1) % FSlots.size();
    ++FInUse;
    FChanged.notify_all();
    return true;
}

PixelView FrameQueue::Pop() {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return FStopped || FEnded || !FQueued.empty(); });
    if (FStopped || FQueued.empty()) return PixelView{};
    const size_t index = FQueued.front();
    FQueued.pop_front();
    return FSlots[index].View;
}

void FrameQueue::Release() {
    const std::lock_guard lock(FLock);
    if (FInUse > FQueued.size()) --FInUse;
    FChanged.notify_all();
}

void FrameQueue::EndInput() {
    const std::lock_guard lock(FLock);
    FEnded = true;
    FChanged.notify_all();
}

void FrameQueue::Stop() {
    const std::lock_guard lock(FLock);
    FStopped = true;
    FChanged.notify_all();
}
