// The page export. The web module holds two marks: one in its <title>, one
// where the invitation's files go. Each file becomes a script element of a
// type browsers do not run, its bytes in base64; the page's loader writes
// them into the show's file system before the show starts. Pictures travel
// as PNG, already fitted as the show fits them, so the page reads them with
// the browser's decoder and shows exactly the native program's pixels.
#include "show/page_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/exception.h"
#include "platform/audio.h"
#include "platform/audio_check.h"
#include "platform/png_writer.h"
#include "platform/text_renderer.h"
#include "render/picture.h"
#include "show/data_folder.h"
#include "show/invitation_printer.h"
#include "show/main_form.h"
#include "show/picture_fit.h"

namespace {

constexpr const char* kTitleMark = "<!--fuifje-title-->";
constexpr const char* kFilesMark = "<!--fuifje-files-->";
// Where the page's loader puts the files in the show's file system: the data
// folder of a program in "/", the folder the program in the page runs from.
constexpr const char* kPageFolder = "/graph/";

using Bytes = std::vector<uint8_t>;

// One file of the page: where it goes and what it holds.
struct PageFile {
    std::string Attributes; // data-path="..." and the like
    Bytes Content;
};

std::string Base64(const Bytes& Data) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((Data.size() + 2) / 3 * 4);
    for (size_t i = 0; i < Data.size(); i += 3) {
        // Three bytes make 24 bits, written as four digits of six bits; a short
        // last group is padded with "=".
        const size_t count = std::min<size_t>(3, Data.size() - i);
        uint32_t group = uint32_t(Data[i]) << 16;
        if (count > 1) group |= uint32_t(Data[i + 1]) << 8;
        if (count > 2) group |= Data[i + 2];
        for (size_t k = 0; k < 4; ++k)
            text += k <= count ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

// Text as HTML text or attribute value.
std::string EscapeHtml(const std::string& Text) {
    std::string escaped;
    for (char c : Text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

Bytes ReadFile(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in) throw Exception(Format("Cannot open file \"%s\"", FileName.c_str()));
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The picture in FileName as the show shows it, as PNG.
Bytes ScenePicturePng(const std::string& FileName, bool Background) {
    TPicture picture;
    LoadScenePicture(picture, FileName, Background);
    TBitmap& bitmap = picture.Bitmap();
    bitmap.SetPixelFormat(pf24bit); // palette pictures have no pixel view
    return EncodePng(bitmap.DIB().View());
}

std::string PathAttribute(const std::string& Path) {
    return "data-path=\"" + EscapeHtml(Path) + "\"";
}

// The six pictures as PNG files of the page; Page gets their names.
void AddPictures(std::vector<PageFile>& Files, Invitation& Page, const std::string& DataFolder) {
    InvitationFiles& files = Page.Files;
    const struct {
        std::string* File;
        const char* Name;
        bool Background;
    } pictures[] = {{&files.Night, "night", true}, {&files.Day, "day", true},    {&files.Boat, "boat", false},
                    {&files.Star, "star", false},  {&files.Moon, "moon", false}, {&files.Sun, "sun", false}};
    for (const auto& picture : pictures) {
        const std::string path = std::string(kPageFolder) + picture.Name + ".png";
        Files.push_back({PathAttribute(path),
                         ScenePicturePng(InvitationFile(DataFolder, *picture.File), picture.Background)});
        *picture.File = path;
    }
}

// The music as it is (the browser decodes it). A file that cannot be read
// stays out, and the page reports it missing as the program would.
void AddMusic(std::vector<PageFile>& Files, Invitation& Page, const std::string& DataFolder) {
    const std::string source = InvitationFile(DataFolder, Page.Files.Music);
    Page.Files.Music = std::string(kPageFolder) + "music" + ExtensionOf(source);
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error)) return;
    std::ifstream in(source, std::ios::binary);
    if (in) Files.push_back({PathAttribute(Page.Files.Music), Bytes(std::istreambuf_iterator<char>(in), {})});
}

// The font the show letters in, registered by the page under its name, when
// this machine's file of it may travel.
void AddFont(std::vector<PageFile>& Files) {
    const std::string file = EmbeddableFontFile(FontSpec{kLetteringFont, 24, true});
    if (!file.empty()) Files.push_back({"data-font=\"" + EscapeHtml(kLetteringFont) + "\"", ReadFile(file)});
}

std::string FileElements(const std::vector<PageFile>& Files) {
    std::string elements;
    for (const PageFile& file : Files)
        elements += "<script type=\"application/x-fuifje-file\" " + file.Attributes + ">" +
                    Base64(file.Content) + "</script>\n";
    return elements;
}

// Module with Mark replaced by Text; Mark must be there exactly once.
std::string Replace(const std::string& Module, const std::string& Mark, const std::string& Text) {
    const size_t at = Module.find(Mark);
    if (at == std::string::npos || Module.find(Mark, at + 1) != std::string::npos)
        throw Exception("The web module has no place for the invitation (" + Mark + "); build it again");
    return Module.substr(0, at) + Text + Module.substr(at + Mark.size());
}

// Writes Text to FileName through a temporary file beside it, so that a
// failure leaves no half page (and an older page stays whole).
void WriteWhole(const std::string& FileName, const std::string& Text) {
    const std::string part = FileName + ".part";
    std::error_code error;
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(Text.data(), std::streamsize(Text.size()));
        out.close();
        if (!out) error = std::error_code(errno ? errno : EIO, std::generic_category());
    }
    if (!error) std::filesystem::rename(part, FileName, error);
    if (!error) return;
    std::error_code ignored;
    std::filesystem::remove(part, ignored);
    throw Exception(Format("Cannot write \"%s\": %s", FileName.c_str(), error.message().c_str()));
}

} // namespace

std::string ComposePage(const std::string& Module, const Invitation& Content, const std::string& DataFolder,
                        std::optional<uint32_t> Seed) {
    Invitation page = Content;
    std::vector<PageFile> files;
    AddPictures(files, page, DataFolder);
    AddMusic(files, page, DataFolder);
    AddFont(files);
    const std::string printed = PrintInvitation(page);
    std::string attributes = PathAttribute(std::string(kPageFolder) + "invitation.toml") + " data-invitation";
    if (Seed) attributes += " data-seed=\"" + std::to_string(*Seed) + "\"";
    files.push_back({attributes, Bytes(printed.begin(), printed.end())});
    return Replace(Replace(Module, kTitleMark, EscapeHtml(Content.Title)), kFilesMark, FileElements(files));
}

int ExportPage(const CommandLine& Options, const Invitation& Content) {
    const std::string module = WebModuleFile(ExecutableFolder());
    if (module.empty()) {
        std::fprintf(stderr,
                     "fuifje: cannot write %s: the web module %s was not built (it needs emscripten)\n",
                     Options.Export.c_str(), kWebModuleName);
        return 2;
    }
    try {
        const std::string dataFolder = DataFolder(ExecutableFolder());
        const std::string music = InvitationFile(dataFolder, Content.Files.Music);
        if (CheckAudioFile(music) != kAudioOk)
            std::fprintf(stderr, "fuifje: the page will be silent: \"%s\" is not music the program plays\n",
                         music.c_str());
        const Bytes moduleBytes = ReadFile(module);
        const std::string page = ComposePage(std::string(moduleBytes.begin(), moduleBytes.end()), Content,
                                             dataFolder, Options.Seed);
        WriteWhole(Options.Export, page);
        std::printf("fuifje: wrote %s (%.1f MB)\n", Options.Export.c_str(), double(page.size()) / 1e6);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuifje: %s\n", error.what());
        return 1;
    }
}
