// toml++ is compiled into this file (header-only), so that the fuzzer's
// coverage reaches into the parser as well.
#define TOML_HEADER_ONLY 1
#include "show/invitation_reader.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include "show/utf8.h"

namespace {

namespace fs = std::filesystem;

// Far more than 100 lines of 200 characters need: a larger file is no invitation.
constexpr uintmax_t kMaxFileBytes = 1 << 20;

// What a value is, as a host would call it.
std::string Describe(const toml::node& Node) {
    switch (Node.type()) {
    case toml::node_type::string:
        return "a text";
    case toml::node_type::integer:
        return "a whole number";
    case toml::node_type::floating_point:
        return "a decimal number";
    case toml::node_type::boolean:
        return "true or false";
    case toml::node_type::array:
        return "a list";
    case toml::node_type::table:
        return "a table";
    case toml::node_type::date:
        return "a date";
    case toml::node_type::time:
        return "a time";
    case toml::node_type::date_time:
        return "a date and time";
    default:
        return "nothing";
    }
}

bool HasControlCharacter(std::string_view Text) {
    return std::any_of(Text.begin(), Text.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; });
}

// Reads the keys of one parsed file into an Invitation, checking each against
// what the show can play. Every failure names the file, line and column.
class InvitationReader {
public:
    InvitationReader(std::string FileName, const toml::table& Root)
        : FFile(std::move(FileName)), FRoot(Root) {
        FFolder = fs::absolute(fs::path(FFile)).parent_path();
    }

    Invitation Read() {
        CheckKeys(FRoot, {"title", "lines", "first_year", "last_year", "date", "time", "pictures"});
        Invitation result;
        if (const toml::node* title = FRoot.get("title")) result.Title = Text(*title, "title", 200);
        if (const toml::node* lines = FRoot.get("lines")) result.Lines = Lines(*lines);
        if (const toml::node* first = FRoot.get("first_year")) result.FirstYear = Year(*first, "first_year");
        if (const toml::node* last = FRoot.get("last_year")) result.LastYear = Year(*last, "last_year");
        CheckYears(result);
        if (const toml::node* date = FRoot.get("date"))
            result.Date = Text(*date, "date", kMaxCaptionCharacters);
        if (const toml::node* time = FRoot.get("time"))
            result.Time = Text(*time, "time", kMaxCaptionCharacters);
        if (const toml::node* pictures = FRoot.get("pictures")) ReadFiles(*pictures, result.Files);
        return result;
    }

private:
    [[noreturn]] void Fail(const toml::source_region& Where, const std::string& What) const {
        throw EInvitationError(Format("%s:%u:%u: %s", FFile.c_str(), unsigned(Where.begin.line),
                                      unsigned(Where.begin.column), What.c_str()));
    }

    void CheckKeys(const toml::table& Table, std::initializer_list<std::string_view> Known) const {
        for (const auto& [key, value] : Table) {
            if (std::find(Known.begin(), Known.end(), key.str()) != Known.end()) continue;
            std::string known;
            for (std::string_view name : Known)
                known += (known.empty() ? "" : ", ") + std::string(name);
            Fail(key.source(), "unknown key \"" + std::string(key.str()) + "\" (known here: " + known + ")");
        }
    }

    // A text of at most MaxCharacters characters, without control characters.
    std::string Text(const toml::node& Node, const std::string& Key, size_t MaxCharacters) const {
        const auto* value = Node.as_string();
        if (value == nullptr)
            Fail(Node.source(), Key + " must be a text in double quotes, not " + Describe(Node));
        const std::string& text = value->get();
        if (HasControlCharacter(text))
            Fail(Node.source(), Key + " holds a control character (a tab, a new line, ...)");
        if (Utf8CharacterCount(text) > MaxCharacters)
            Fail(Node.source(), Key + " has " + std::to_string(Utf8CharacterCount(text)) +
                                    " characters; at most " + std::to_string(MaxCharacters) + " fit");
        return text;
    }

    std::vector<std::string> Lines(const toml::node& Node) const {
        const toml::array* list = Node.as_array();
        if (list == nullptr) Fail(Node.source(), "lines must be a list of texts, not " + Describe(Node));
        if (list->empty()) Fail(Node.source(), "lines is empty; the invitation needs at least one line");
        if (list->size() > kMaxInvitationLines)
            Fail((*list)[kMaxInvitationLines].source(),
                 "lines has " + std::to_string(list->size()) + " entries; at most " +
                     std::to_string(kMaxInvitationLines) + " are played");
        std::vector<std::string> lines;
        for (size_t i = 0; i < list->size(); ++i)
            lines.push_back(Text((*list)[i], "line " + std::to_string(i + 1), kMaxLineCharacters));
        return lines;
    }

    int32_t Year(const toml::node& Node, const std::string& Key) const {
        const auto* value = Node.as_integer();
        if (value == nullptr) Fail(Node.source(), Key + " must be a whole number, not " + Describe(Node));
        const int64_t year = value->get();
        if (year < kMinYear || year > kMaxYear)
            Fail(Node.source(), Key + " " + std::to_string(year) + " lies outside " +
                                    std::to_string(kMinYear) + " to " + std::to_string(kMaxYear));
        return static_cast<int32_t>(year);
    }

    // The range points at last_year where the file gives it, else at first_year.
    void CheckYears(const Invitation& Content) const {
        const toml::node* where = FRoot.get("last_year") ? FRoot.get("last_year") : FRoot.get("first_year");
        if (where == nullptr) return;
        const int64_t count = int64_t(Content.LastYear) - Content.FirstYear + 1;
        const std::string range =
            std::to_string(Content.FirstYear) + " to " + std::to_string(Content.LastYear);
        if (count < 1) Fail(where->source(), "the years run the wrong way round: " + range);
        if (count > kMaxYearCaptions)
            Fail(where->source(), "the years " + range + " make " + std::to_string(count) +
                                      " captions; at most " + std::to_string(kMaxYearCaptions) +
                                      " are shown");
    }

    void ReadFiles(const toml::node& Node, InvitationFiles& Files) const {
        const toml::table* table = Node.as_table();
        if (table == nullptr)
            Fail(Node.source(), "pictures must be a table ([pictures]), not " + Describe(Node));
        CheckKeys(*table, {"night", "day", "boat", "star", "moon", "sun", "music"});
        const std::pair<const char*, std::string*> keys[] = {
            {"night", &Files.Night}, {"day", &Files.Day}, {"boat", &Files.Boat},  {"star", &Files.Star},
            {"moon", &Files.Moon},   {"sun", &Files.Sun}, {"music", &Files.Music}};
        for (const auto& [key, file] : keys)
            if (const toml::node* value = table->get(key)) *file = FileName(*value, key);
    }

    // A file name relative to the invitation's folder, made absolute.
    std::string FileName(const toml::node& Node, const std::string& Key) const {
        const std::string name = Text(Node, Key, SIZE_MAX); // the file itself is at most 1 MiB
        if (name.empty()) Fail(Node.source(), Key + " names no file");
        const fs::path path(name);
        return (path.is_absolute() ? path : FFolder / path).lexically_normal().string();
    }

    std::string FFile;
    const toml::table& FRoot;
    fs::path FFolder;
};

} // namespace

Invitation ParseInvitation(std::string_view Text, const std::string& FileName) {
    toml::table root;
    try {
        root = toml::parse(Text, FileName);
    } catch (const toml::parse_error& error) {
        const toml::source_position& where = error.source().begin;
        throw EInvitationError(Format("%s:%u:%u: %s", FileName.c_str(), unsigned(where.line),
                                      unsigned(where.column), std::string(error.description()).c_str()));
    }
    return InvitationReader(FileName, root).Read();
}

Invitation ReadInvitation(const std::string& FileName) {
    std::error_code error;
    if (!fs::is_regular_file(FileName, error))
        throw EInvitationError(FileName +
                               (fs::exists(FileName, error) ? ": is not a file" : ": no such file"));
    if (fs::file_size(FileName, error) > kMaxFileBytes)
        throw EInvitationError(FileName + ": is larger than an invitation can be (1 MiB)");
    std::ifstream in(FileName, std::ios::binary);
    if (!in) throw EInvitationError(FileName + ": cannot be opened");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw EInvitationError(FileName + ": cannot be read");
    return ParseInvitation(text.str(), FileName);
}
