// The media generator: a fixed set of files, identical bytes on every run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "core/services.h"
#include "assets/model.h"
#include "assets/model_text.h"
#include "assets/texture_cache.h"
#include "support/media.h"
#include "support/temp_dir.h"

namespace {

// Everything the game and its launcher load, plus the desktop icon (BMP, and PNG for the
// desktop entry).
const std::set<std::string> MediaFiles = {
    "terrain.a3f", "terrain.jpg", "biplane.a3f", "biplane.bmp", "triplane.a3f", "triplane.tga",
    "hangar.a3f",  "hangar.tga",  "runway.a3f",  "runway.jpg",  "skydome.a3f",  "sky.jpg",
    "shot.a3f",    "smoke.a3f",   "smoke.tga",   "blimp.a3f",   "blimp.tga",    "tank.a3f",
    "tank.bmp",    "engine.wav",  "wind.wav",    "siren.wav",   "guns.wav",     "crash.wav",
    "RuleBrittany.mid", "splash.jpg", "icon.bmp", "icon.png"};

std::string Generator() { return GeneratedMediaDir() + "/../mediagen"; }

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

int RunCommand(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

}  // namespace

TEST(MediaGenerator, TwoRunsWriteTheSameFilesAsTheBuild) {
    if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
    TempDir first, second;
    ASSERT_EQ(RunCommand("'" + Generator() + "' '" + first.path + "/media'"), 0);
    ASSERT_EQ(RunCommand("'" + Generator() + "' '" + second.path + "/media'"), 0);
    EXPECT_EQ(FilesIn(first.path + "/media"), MediaFiles);
    EXPECT_EQ(FilesIn(second.path + "/media"), MediaFiles);
    for (const std::string& name : MediaFiles) {
        std::string a = ReadFileBytes(first.path + "/media/" + name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_EQ(a, ReadFileBytes(second.path + "/media/" + name)) << name << " differs between runs";
        EXPECT_EQ(a, ReadFileBytes(GeneratedMediaDir() + "/" + name)) << name << " differs from the build's";
    }
}

TEST(MediaGenerator, RefusesAMissingOrUnusableFolder) {
    if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
    EXPECT_NE(RunCommand("'" + Generator() + "'"), 0);
    TempDir dir;
    std::string file = dir.Write("taken", "x");
    EXPECT_NE(RunCommand("'" + Generator() + "' '" + file + "'"), 0);
}

TEST(MediaGenerator, EveryTextureIsAPowerOfTwoAndEveryNamedTextureExists) {
    if (GeneratedMediaDir().empty()) GTEST_SKIP() << "KELVANE_MEDIA_DIR is not set";
    auto powerOfTwo = [](int n) { return n > 0 && (n & (n - 1)) == 0; };
    UseGeneratedMedia();
    for (const std::string& name : MediaFiles) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".a3f") != 0) continue;
        std::string text = ReadFileBytes(GeneratedMediaDir() + "/" + name);
        Model model;
        ASSERT_TRUE(LoadModelFromMemory(name.c_str(), text.data(), text.size(), model)) << name;
        std::string texture = model.textureFile;
        ReleaseModel(model);
        if (texture.empty()) continue;
        EXPECT_EQ(MediaFiles.count(texture), 1u) << name << " names " << texture;
        int w = 0, h = 0;
        delete[] LoadImagePixels(texture.c_str(), h, w);
        EXPECT_TRUE(powerOfTwo(w) && powerOfTwo(h)) << texture << " is " << w << " x " << h;
    }
    int w = 0, h = 0;
    delete[] LoadImagePixels("splash.jpg", h, w);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    SetMediaFolderOverride(nullptr);
}
