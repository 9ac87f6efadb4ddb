// A file that appears only when it is whole: it is written under a temporary
// name in the same folder ("party.mp4.1a2B3c.part") and renamed into place at
// the end, so a stopped or failed job leaves nothing, and never half a file.
#pragma once

#include <string>

class PendingFile {
public:
    // Makes the temporary file beside Final. Raises Exception "Cannot write
    // "<Final>": <reason>" when the folder cannot take it or Final is a folder.
    explicit PendingFile(const std::string& Final);
    // Removes the temporary file unless it was kept.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The temporary file's name, to write to.
    const std::string& Path() const { return FPath; }
    // Renames the temporary file to the final name, replacing any file of that
    // name, with the permissions a new file gets. Raises Exception as above.
    void Keep();

private:
    std::string FFinal;
    std::string FPath;
    bool FKept = false;
};
