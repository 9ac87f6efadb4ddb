#include "show/pending_file.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/exception.h"

namespace {

[[noreturn]] void Refuse(const std::string& File, const std::string& Reason) {
    throw Exception(Format("Cannot write \"%s\": %s", File.c_str(), Reason.c_str()));
}

// The permissions a file created now gets (0666 less the umask).
mode_t NewFilePermissions() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

PendingFile::PendingFile(const std::string& Final) : FFinal(Final) {
    std::error_code ignored;
    if (std::filesystem::is_directory(Final, ignored)) Refuse(Final, "it is a folder");
    FPath = Final + ".XXXXXX.part";
    const int file = mkstemps(FPath.data(), 5);
    if (file < 0) Refuse(Final, std::strerror(errno));
    const bool permitted = fchmod(file, NewFilePermissions()) == 0;
    const int error = errno;
    close(file);
    if (!permitted) {
        std::remove(FPath.c_str());
        Refuse(Final, std::strerror(error));
    }
}

PendingFile::~PendingFile() {
    if (!FKept) std::remove(FPath.c_str());
}

void PendingFile::Keep() {
    if (std::rename(FPath.c_str(), FFinal.c_str()) != 0) Refuse(FFinal, std::strerror(errno));
    FKept = true;
}
