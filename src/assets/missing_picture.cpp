#include "assets/missing_picture.h"

std::string missingPictureMessage(const MissingPicture& missing) {
    return "cannot open picture file " + missing.fileName + ": " + missing.reason + "\n";
}
