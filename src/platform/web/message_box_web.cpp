#include "platform/web/message_box_web.h"

#include <emscripten.h>

namespace {

// Shows the page's panel "message" with the caption and the text and returns
// when its button "message-ok" is pressed (a plain alert where the page has
// no panel).
EM_ASYNC_JS(void, ShowPageMessage, (const char* Caption, const char* Text), {
    var caption = UTF8ToString(Caption);
    var text = UTF8ToString(Text);
    var panel = document.getElementById("message");
    if (!panel) {
        alert(caption + ": " + text);
        return;
    }
    document.getElementById("message-caption").textContent = caption;
    document.getElementById("message-text").textContent = text;
    panel.hidden = false;
    var ok = document.getElementById("message-ok");
    ok.focus();
    await new Promise(function(resolve) { ok.onclick = resolve; });
    panel.hidden = true;
});

} // namespace

void WebMessageBox::ShowError(const std::string& Caption, const std::string& Text) {
    ShowPageMessage(Caption.c_str(), Text.c_str());
}
