#include "support/no_fonts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

NoFonts::NoFonts() : config_(::testing::TempDir() + "kelvane-no-fonts.conf") {
    if (FILE* f = std::fopen(config_.c_str(), "w")) {
        std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", f);
        std::fclose(f);
    } else {
        ADD_FAILURE() << "cannot write " << config_;
    }
    if (const char* saved = std::getenv("FONTCONFIG_FILE")) {
        saved_ = saved;
        hadSaved_ = true;
    }
    setenv("FONTCONFIG_FILE", config_.c_str(), 1);
}

NoFonts::~NoFonts() {
    if (hadSaved_) setenv("FONTCONFIG_FILE", saved_.c_str(), 1);
    else unsetenv("FONTCONFIG_FILE");
    std::remove(config_.c_str());
}
