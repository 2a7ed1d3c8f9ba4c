// A desktop without a single font, for as long as the object lives: fontconfig is pointed
// at an empty configuration (FONTCONFIG_FILE), put back as it was afterwards.
#pragma once

#include <string>

class NoFonts {
public:
    NoFonts();
    ~NoFonts();
    NoFonts(const NoFonts&) = delete;
    NoFonts& operator=(const NoFonts&) = delete;

private:
    std::string config_, saved_;
    bool hadSaved_ = false;
};
