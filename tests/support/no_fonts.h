// A desktop without a single font, for as long as the object lives: fontconfig is pointed
// at an empty configuration (FONTCONFIG_FILE), put back as it was afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

class NoFonts {
public:
    NoFonts() {
        if (FILE* f = std::fopen(config_.c_str(), "w")) {
            std::fputs("<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n", f);
            std::fclose(f);
        } else {
            ADD_FAILURE() << "cannot write " << config_;
        }
        if (const char* saved = std::getenv("FONTCONFIG_FILE")) saved_ = saved;
        setenv("FONTCONFIG_FILE", config_.c_str(), 1);
    }
    ~NoFonts() {
        if (saved_) setenv("FONTCONFIG_FILE", saved_->c_str(), 1);
        else unsetenv("FONTCONFIG_FILE");
        std::remove(config_.c_str());
    }
    NoFonts(const NoFonts&) = delete;
    NoFonts& operator=(const NoFonts&) = delete;

private:
    const std::string config_ = ::testing::TempDir() + "kelvane-no-fonts.conf";
    std::optional<std::string> saved_;
};
