#include "platform/message_box.h"

#include <cstdio>

void HeadlessMessageBox::ShowError(const std::string& Caption, const std::string& Text) {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    FShown.push_back({Caption, Text});
}
