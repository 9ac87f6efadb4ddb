// Modal error messages: a caption and a text shown to the viewer until they
// close it. On a display it is SDL's simple message box; headless, the message
// goes to standard error and is recorded for tests.
#pragma once

#include <string>
#include <vector>

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Shows Text under Caption with an error icon and returns once it is closed.
    virtual void ShowError(const std::string& Caption, const std::string& Text) = 0;
};

class SdlPresenter;

// SDL_ShowSimpleMessageBox over the presenter's window (or alone). When no box
// can be shown the message goes to standard error instead.
class SdlMessageBox : public MessageBox {
public:
    explicit SdlMessageBox(const SdlPresenter* Owner = nullptr) : FOwner(Owner) {}
    void ShowError(const std::string& Caption, const std::string& Text) override;

private:
    const SdlPresenter* FOwner;
};

class HeadlessMessageBox : public MessageBox {
public:
    struct Message {
        std::string Caption;
        std::string Text;
        bool operator==(const Message&) const = default;
    };
    // Writes "Caption: Text" to standard error and records the message.
    void ShowError(const std::string& Caption, const std::string& Text) override;
    // Every message shown so far, oldest first.
    const std::vector<Message>& Shown() const { return FShown; }

private:
    std::vector<Message> FShown;
};
