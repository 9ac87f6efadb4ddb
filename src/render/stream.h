// Byte streams the graphics read from and write to: TStream, an in-memory
// TMemoryStream and a TFileStream on a file, with the runtime's open errors
// ("Cannot open file "%s". %s") naming the file and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/exception.h"
#include "core/object.h"

// A file that cannot be opened for reading ("Cannot open file "%s". %s").
FUIFJE_EXCEPTION(EFOpenError, Exception);
// A file that cannot be created ("Cannot create file "%s". %s").
FUIFJE_EXCEPTION(EFCreateError, Exception);
// Fewer bytes than asked for ("Stream read error").
FUIFJE_EXCEPTION(EReadError, Exception);
// A write the medium refused ("Stream write error").
FUIFJE_EXCEPTION(EWriteError, Exception);

class TStream : public TObject {
public:
    std::string ClassName() const override { return "TStream"; }

    // Reads up to Count bytes and returns how many came.
    virtual size_t Read(void* Buffer, size_t Count) = 0;
    // Writes Count bytes; raises EWriteError when the medium refuses.
    virtual void Write(const void* Buffer, size_t Count) = 0;
    // Total length in bytes.
    virtual int64_t Size() const = 0;
    // Offset of the next byte read or written.
    virtual int64_t Position() const = 0;
    // Moves to an offset from the start (clamped to 0 .. Size).
    virtual void SetPosition(int64_t Offset) = 0;

    // Bytes left between the position and the end.
    int64_t Remaining() const;
    // Reads exactly Count bytes or raises EReadError.
    void ReadBuffer(void* Buffer, size_t Count);
};

// A stream over a growable block of memory, starting at position 0.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    // A stream holding a copy of Count bytes.
    TMemoryStream(const void* Bytes, size_t Count);
    std::string ClassName() const override { return "TMemoryStream"; }

    size_t Read(void* Buffer, size_t Count) override;
    void Write(const void* Buffer, size_t Count) override;
    int64_t Size() const override { return static_cast<int64_t>(FData.size()); }
    int64_t Position() const override { return static_cast<int64_t>(FPosition); }
    void SetPosition(int64_t Offset) override;

    // The bytes held.
    const std::vector<uint8_t>& Memory() const { return FData; }
    // Empties the stream.
    void Clear();

private:
    std::vector<uint8_t> FData;
    size_t FPosition = 0;
};

// A stream on a file, opened for reading or created (truncated) for writing.
class TFileStream : public TStream {
public:
    enum TMode { fmOpenRead, fmCreate };

    // Opens FileName; raises EFOpenError or EFCreateError with the system's reason.
    TFileStream(const std::string& FileName, TMode Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    std::string ClassName() const override { return "TFileStream"; }

    size_t Read(void* Buffer, size_t Count) override;
    void Write(const void* Buffer, size_t Count) override;
    int64_t Size() const override { return FSize; }
    int64_t Position() const override { return FPosition; }
    void SetPosition(int64_t Offset) override;

    const std::string FileName;

private:
    std::FILE* FFile = nullptr;
    int64_t FSize = 0;
    int64_t FPosition = 0;
};
