#include "assets/missing_picture.h"

#include <cstdio>
#include <cstdlib>

void exitForMissingPicture(const std::string& fileName) {
    std::fprintf(stderr, "cannot open picture file %s\n", fileName.c_str());
    std::exit(1);
}
