#include "show/invitation.h"

#include <filesystem>

std::string InvitationFile(const std::string& DataFolder, const std::string& File) {
    return std::filesystem::path(File).is_absolute() ? File : DataFolder + File;
}

Invitation WithAbsoluteFiles(const Invitation& Content, const std::string& DataFolder) {
    Invitation result = Content;
    InvitationFiles& files = result.Files;
    for (std::string* file :
         {&files.Night, &files.Day, &files.Boat, &files.Star, &files.Moon, &files.Sun, &files.Music}) {
        const std::filesystem::path absolute = std::filesystem::absolute(InvitationFile(DataFolder, *file));
        *file = absolute.lexically_normal().string();
    }
    return result;
}
