#include "render/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// The system's reason for the last failed file call, as the runtime words it.
std::string SystemReason() {
    return std::strerror(errno);
}

} // namespace

// [SECTION] TStream

int64_t TStream::Remaining() const {
    return std::max<int64_t>(0, Size() - Position());
}

void TStream::ReadBuffer(void* Buffer, size_t Count) {
    if (Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

// [SECTION] TMemoryStream

TMemoryStream::TMemoryStream(const void* Bytes, size_t Count)
    : FData(static_cast<const uint8_t*>(Bytes), static_cast<const uint8_t*>(Bytes) + Count) {}

size_t TMemoryStream::Read(void* Buffer, size_t Count) {
    const size_t available = FData.size() - std::min(FPosition, FData.size());
    const size_t taken = std::min(Count, available);
    if (taken > 0) std::memcpy(Buffer, FData.data() + FPosition, taken);
    FPosition += taken;
    return taken;
}

void TMemoryStream::Write(const void* Buffer, size_t Count) {
    if (Count == 0) return;
    if (FPosition + Count > FData.size()) FData.resize(FPosition + Count);
    std::memcpy(FData.data() + FPosition, Buffer, Count);
    FPosition += Count;
}

void TMemoryStream::SetPosition(int64_t Offset) {
    FPosition = static_cast<size_t>(std::clamp<int64_t>(Offset, 0, Size()));
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

// [SECTION] TFileStream

TFileStream::TFileStream(const std::string& AFileName, TMode Mode) : FileName(AFileName) {
    FFile = std::fopen(FileName.c_str(), Mode == fmCreate ? "wb" : "rb");
    if (FFile == nullptr) {
        const char* text = Mode == fmCreate ? "Cannot create file \"%s\". %s" : "Cannot open file \"%s\". %s";
        const std::string message = Format(text, FileName.c_str(), SystemReason().c_str());
        if (Mode == fmCreate) throw EFCreateError(message);
        throw EFOpenError(message);
    }
    if (Mode == fmOpenRead && std::fseek(FFile, 0, SEEK_END) == 0) {
        FSize = std::max<int64_t>(0, std::ftell(FFile));
        std::fseek(FFile, 0, SEEK_SET);
    }
}

TFileStream::~TFileStream() {
    std::fclose(FFile);
}

size_t TFileStream::Read(void* Buffer, size_t Count) {
    const size_t taken = std::fread(Buffer, 1, Count, FFile);
    FPosition += static_cast<int64_t>(taken);
    return taken;
}

void TFileStream::Write(const void* Buffer, size_t Count) {
    // Flushed at once, so that a full disk is reported here and not lost at closing.
    if (std::fwrite(Buffer, 1, Count, FFile) != Count || std::fflush(FFile) != 0)
        throw EWriteError("Stream write error");
    FPosition += static_cast<int64_t>(Count);
    FSize = std::max(FSize, FPosition);
}

void TFileStream::SetPosition(int64_t Offset) {
    const int64_t target = std::clamp<int64_t>(Offset, 0, FSize);
    if (std::fseek(FFile, static_cast<long>(target), SEEK_SET) == 0) FPosition = target;
}
