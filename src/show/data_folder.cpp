#include "show/data_folder.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "core/exception.h"

// FUIFJE_INSTALLED_DATA is the data folder as seen from the installed program's
// folder; the build derives it from the install folders, so the two agree.
std::string DataFolder(const std::string& ExecutableFolder) {
    const std::filesystem::path folder(ExecutableFolder);
    const std::vector<std::filesystem::path> candidates = {
        (folder / "graph/").lexically_normal(),
        (folder / FUIFJE_INSTALLED_DATA "/").lexically_normal(),
    };
    std::string looked;
    for (const std::filesystem::path& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_directory(candidate, error)) return candidate.string();
        looked += (looked.empty() ? "\"" : " and \"") + candidate.string() + "\"";
    }
    throw Exception("Data folder not found: looked in " + looked);
}

std::string WebModuleFile(const std::string& ExecutableFolder) {
    std::vector<std::string> folders = {ExecutableFolder};
    try {
        folders.push_back(DataFolder(ExecutableFolder));
    } catch (const Exception&) { // no data folder: only the program's own folder can hold it
    }
    for (const std::string& folder : folders) {
        const std::string file = folder + kWebModuleName;
        std::error_code error;
        if (std::filesystem::is_regular_file(file, error)) return file;
    }
    return {};
}
