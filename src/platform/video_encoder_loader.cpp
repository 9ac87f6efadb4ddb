// The program's side of the video encoder: the encoder and FFmpeg live in the
// video module (video_module.h), opened by the first call that needs it, so
// that every run without a video export starts without loading FFmpeg. The
// module lies beside the program in a build folder, else in the installed
// private library folder relative to the program ("<prefix>/lib/<triplet>/fuifje/"
// from "<prefix>/bin/", cmake/install.cmake).
#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "platform/executable_folder.h"
#include "platform/video_encoder.h"
#include "platform/video_module.h"

namespace {

// The module's file: beside the program if it is there, else the installed one.
// FUIFJE_INSTALLED_MODULES is the private library folder as seen from the
// installed program's folder; the build derives it from the install folders.
std::string ModuleFile() {
    const std::filesystem::path folder(ExecutableFolder());
    const std::filesystem::path beside = folder / kVideoModuleName;
    std::error_code error;
    if (std::filesystem::exists(beside, error)) return beside.string();
    return (folder / FUIFJE_INSTALLED_MODULES / kVideoModuleName).lexically_normal().string();
}

// The reason of the last failed dl call, without the file name it starts with.
std::string LoadFailure(const std::string& File) {
    const char* text = dlerror();
    std::string reason = text ? text : "unknown reason";
    if (reason.rfind(File + ": ", 0) == 0) reason.erase(0, File.size() + 2);
    return reason;
}

// The one error of a module that cannot be used: its file and why.
[[noreturn]] void Refuse(const std::string& File, const std::string& Reason) {
    throw EVideoError(Format("Cannot load the video encoder \"%s\": %s", File.c_str(), Reason.c_str()));
}

// Opens the module and checks that it is of this build. It stays loaded for
// the rest of the run: encoders it made and errors it raised use its code.
const VideoModule& OpenModule() {
    const std::string file = ModuleFile();
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) Refuse(file, LoadFailure(file));
    using Entry = const VideoModule* (*)();
    const auto entry = reinterpret_cast<Entry>(dlsym(library, kVideoModuleEntry));
    if (!entry) Refuse(file, LoadFailure(file));
    const VideoModule& module = *entry();
    if (module.Abi != kVideoModuleAbi)
        Refuse(file,
               Format("it is of version %d, this program needs version %d", module.Abi, kVideoModuleAbi));
    return module;
}

// The module, opened on first use; a failed opening is tried again next time.
const VideoModule& Module() {
    static const VideoModule* module = nullptr;
    if (!module) module = &OpenModule();
    return *module;
}

} // namespace

std::unique_ptr<VideoEncoder> CreateVideoEncoder(const VideoSettings& Settings) {
    return Module().CreateEncoder(Settings);
}

int64_t SoundMilliseconds(const std::string& File) {
    return Module().SoundMilliseconds(File);
}
