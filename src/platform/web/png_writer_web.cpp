// PNG writing in a web page: there is none. A page shows its frames and
// exports nothing, so these only say so.
#include "core/exception.h"
#include "platform/png_writer.h"

void WritePng(const std::string& FileName, const PixelView& /*Image*/) {
    throw Exception(Format("Cannot write \"%s\": a web page writes no files", FileName.c_str()));
}

std::vector<uint8_t> EncodePng(const PixelView& /*Image*/) {
    throw Exception("A web page encodes no PNG pictures");
}
