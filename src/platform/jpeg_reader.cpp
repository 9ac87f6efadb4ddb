// The JPEG reader. libjpeg reports errors by calling error_exit, which here
// longjmps back into the one function that holds no object with a destructor;
// everything it fills lives in the caller. A file that ends early only raises a
// warning in libjpeg (it pads with grey), which is counted and refused.
#include "platform/jpeg_reader.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <string>
#include <vector>

namespace {

// More scans than any encoder writes: a file with many tiny progressive scans
// would otherwise cost minutes to decode.
constexpr int kMaxScans = 500;
// libjpeg's own working memory (a progressive image keeps all its coefficients);
// beyond it the decoder fails cleanly instead of growing.
constexpr long kMaxWorkingMemory = 512L << 20;

// libjpeg's error manager with a way back and a record of what happened.
struct JpegErrors {
    jpeg_error_mgr Manager{};
    std::jmp_buf Back{};
    bool CutOff = false;
    char Message[JMSG_LENGTH_MAX] = {};
};

void OnErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    info->err->format_message(info, errors->Message);
    std::longjmp(errors->Back, 1);
}

// Level -1 is a warning about damaged data; the end of the data coming early is
// the one that matters. Trace messages (levels 1 and up) are ignored.
void OnMessage(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) errors->CutOff = true;
}

void LimitScans(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans) {
        std::snprintf(reinterpret_cast<JpegErrors*>(info->err)->Message, JMSG_LENGTH_MAX,
                      "more than %d scans", kMaxScans);
        std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->Back, 1);
    }
}

// One CMYK pixel to RGB. Adobe's files store the inks inverted (255 = no ink),
// so there a channel is C x K / 255; plain CMYK is (255 - C) x (255 - K) / 255.
void CmykToRgba(const uint8_t* Cmyk, uint8_t* Rgba, bool Inverted) {
    const int k = Inverted ? Cmyk[3] : 255 - Cmyk[3];
    for (int c = 0; c < 3; ++c) {
        const int ink = Inverted ? Cmyk[c] : 255 - Cmyk[c];
        Rgba[c] = uint8_t((ink * k + 127) / 255);
    }
    Rgba[3] = 0xFF;
}

// The Exif orientation of the file's APP1 segments, 1 when there is none.
int OrientationOf(const jpeg_decompress_struct& Info) {
    for (jpeg_saved_marker_ptr marker = Info.marker_list; marker != nullptr; marker = marker->next) {
        const int orientation = ExifOrientation(marker->data, marker->data_length);
        if (orientation != 1) return orientation;
    }
    return 1;
}

// Reads the header only; false on an error. Picture gets the size, Orientation the
// Exif orientation (the saved segments are freed when decoding finishes).
bool ReadHeader(jpeg_decompress_struct& Info, DecodedPicture& Picture, int& Orientation) {
    if (setjmp(reinterpret_cast<JpegErrors*>(Info.err)->Back)) return false;
    jpeg_read_header(&Info, TRUE);
    Picture.Width = int32_t(Info.image_width);
    Picture.Height = int32_t(Info.image_height);
    Orientation = OrientationOf(Info);
    return true;
}

// Decodes every row into Picture.Rgba (sized by the caller); CMYK rows go through Row
// (4 x width bytes). False on an error.
bool ReadRows(jpeg_decompress_struct& Info, DecodedPicture& Picture, uint8_t* Row) {
    if (setjmp(reinterpret_cast<JpegErrors*>(Info.err)->Back)) return false;
    const bool cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
    Info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(&Info);
    while (Info.output_scanline < Info.output_height) {
        uint8_t* target = Picture.Rgba.data() + size_t(Info.output_scanline) * Info.output_width * 4;
        JSAMPROW rows[1] = {cmyk ? Row : target};
        jpeg_read_scanlines(&Info, rows, 1);
        for (JDIMENSION x = 0; cmyk && x < Info.output_width; ++x)
            CmykToRgba(Row + x * 4, target + x * 4, Info.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&Info);
    return true;
}

} // namespace

DecodedPicture DecodeJpeg(const uint8_t* Data, size_t Size, int64_t MaxPixels) {
    DecodedPicture picture;
    JpegErrors errors;
    jpeg_decompress_struct info{};
    info.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = OnErrorExit;
    errors.Manager.emit_message = OnMessage;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = LimitScans;
    jpeg_create_decompress(&info);
    info.progress = &progress;
    info.mem->max_memory_to_use = kMaxWorkingMemory;
    jpeg_mem_src(&info, Data, static_cast<unsigned long>(Size));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF); // Exif: phones store pictures sideways
    std::string reason;
    std::vector<uint8_t> row;
    int orientation = 1;
    if (!ReadHeader(info, picture, orientation)) {
        reason = errors.CutOff ? Format("it is cut off after %zu bytes", Size)
                               : std::string("it is a damaged JPEG (") + errors.Message + ")";
    } else if (picture.Width <= 0 || picture.Height <= 0) {
        reason = Format("it is a JPEG of %d x %d pixels", picture.Width, picture.Height);
    } else if (int64_t(picture.Width) * picture.Height > MaxPixels) {
        reason = Format("it is a JPEG of %d x %d pixels, more than this program can hold", picture.Width,
                        picture.Height);
    } else {
        picture.Rgba.resize(size_t(picture.Width) * size_t(picture.Height) * 4);
        row.resize(size_t(picture.Width) * 4);
        const bool read = ReadRows(info, picture, row.data());
        if (errors.CutOff)
            reason = Format("it is cut off after %zu bytes", Size);
        else if (!read)
            reason = std::string("it is a damaged JPEG (") + errors.Message + ")";
        else
            OrientPicture(picture, orientation);
    }
    jpeg_destroy_decompress(&info);
    if (!reason.empty()) throw EPictureDecode(reason);
    return picture;
}
