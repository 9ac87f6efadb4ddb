// The web page's composition from a module with its two marks: the title
// escaped, every file of the invitation inside and readable back (the printed
// invitation, the pictures as fitted PNG), and clear errors for a picture
// that cannot be read and for a module without a place for the invitation.
#include <gtest/gtest.h>

#include <map>

#include "platform/png_reader.h"
#include "show/invitation_reader.h"
#include "show/page_export.h"
#include "show/show_rig.h"

namespace {

const std::string kModule = "<title><!--fuifje-title--></title><!--fuifje-files--><script>run()</script>";

std::string DecodeBase64(const std::string& Text) {
    static const std::string kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (char c : Text) {
        if (c == '=') break;
        bits = bits << 6 | uint32_t(kDigits.find(c));
        if ((count += 6) >= 8) bytes += char((bits >> (count -= 8)) & 0xFF);
    }
    return bytes;
}

// The page's files by their path attribute (the font by its family), decoded.
std::map<std::string, std::string> PageFiles(const std::string& Page) {
    std::map<std::string, std::string> files;
    const std::string open = "<script type=\"application/x-fuifje-file\" data-";
    for (size_t at = Page.find(open); at != std::string::npos; at = Page.find(open, at + 1)) {
        const size_t name = Page.find('"', Page.find('=', at + open.size())) + 1;
        const size_t body = Page.find('>', at) + 1;
        files[Page.substr(name, Page.find('"', name) - name)] =
            DecodeBase64(Page.substr(body, Page.find('<', body) - body));
    }
    return files;
}

} // namespace

TEST(PageExport, TheInvitationTravelsWholeInsideThePage) {
    Invitation content;
    content.Title = "Sam & <Kim>";
    content.Lines = {"Kom je ook?", "Tot dan!"};
    const std::string page = ComposePage(kModule, content, std::string(FUIFJE_BUILD_DIR) + "graph/", 7);

    EXPECT_NE(page.find("<title>Sam &amp; &lt;Kim&gt;</title>"), std::string::npos);
    EXPECT_NE(page.find("<script>run()</script>"), std::string::npos) << "the module's own script stays";
    EXPECT_NE(page.find("data-seed=\"7\""), std::string::npos);
    const std::map<std::string, std::string> files = PageFiles(page);

    const std::string& printed = files.at("/graph/invitation.toml");
    const Invitation read = ParseInvitation(printed, "invitation.toml");
    EXPECT_EQ(read.Title, content.Title);
    EXPECT_EQ(read.Lines, content.Lines);
    EXPECT_EQ(read.Files.Night, "/graph/night.png");
    EXPECT_EQ(read.Files.Music, "/graph/music.mp3");
    EXPECT_EQ(files.at("/graph/music.mp3").size(),
              fs::file_size(fs::path(FUIFJE_BUILD_DIR) / "graph/soundtrack.mp3"));

    for (const char* name : {"night", "day", "boat", "star", "moon", "sun"}) {
        SCOPED_TRACE(name);
        const std::string& png = files.at(std::string("/graph/") + name + ".png");
        const auto* bytes = reinterpret_cast<const uint8_t*>(png.data());
        const DecodedPicture picture = DecodePng(bytes, png.size(), int64_t(1) << 24);
        const bool background = std::string(name) == "night" || std::string(name) == "day";
        EXPECT_TRUE(background ? picture.Width == 800 : picture.Width > 0) << picture.Width;
    }
}

TEST(PageExport, RefusesWhatCannotMakeAPage) {
    TempFolder folder;
    fs::remove(folder.Asset("moon.bmp"));
    try {
        ComposePage(kModule, Invitation(), folder.Folder() + "graph/", std::nullopt);
        ADD_FAILURE() << "a page without its moon";
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find("moon.bmp"), std::string::npos) << error.what();
    }
    EXPECT_THROW(ComposePage("<title></title>", Invitation(), std::string(FUIFJE_BUILD_DIR) + "graph/", 1),
                 Exception);
}
