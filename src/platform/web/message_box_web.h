// Error messages in a web page: the page's message panel shows the caption
// and the text over the show, and the show waits until the guest closes it
// with its button, as it waits for a message box natively.
#pragma once

#include <string>

#include "platform/message_box.h"

class WebMessageBox : public MessageBox {
public:
    void ShowError(const std::string& Caption, const std::string& Text) override;
};
