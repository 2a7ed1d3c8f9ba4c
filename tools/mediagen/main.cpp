// Writes every media file of the game into one folder: mediagen <output folder>;
// mediagen --icons <folder> writes the icon theme's sizes of the desktop icon instead.
// Everything is computed from fixed seeds, so every run writes identical bytes.
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "media_output.h"
#include "pictures.h"

std::string OutputPath(const MediaOutput& out, const std::string& name) { return out.folder + "/" + name; }

void ReportFailure(MediaOutput& out, const std::string& name, const std::string& why) {
    std::fprintf(stderr, "mediagen: %s: %s\n", name.c_str(), why.c_str());
    ++out.failures;
}

void SaveFile(MediaOutput& out, const std::string& name, const std::string& bytes) {
    std::ofstream file(OutputPath(out, name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) ReportFailure(out, name, "cannot write the file");
}

void SaveFile(MediaOutput& out, const std::string& name, const std::vector<uint8_t>& bytes) {
    SaveFile(out, name, std::string(bytes.begin(), bytes.end()));
}

int main(int argc, char** argv) {
    const bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: mediagen <output folder> | mediagen --icons <folder>\n");
        return 2;
    }
    MediaOutput out;
    out.folder = argv[argc - 1];
    mkdir(out.folder.c_str(), 0755);
    struct stat info;
    if (stat(out.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        std::fprintf(stderr, "mediagen: cannot create the folder %s\n", out.folder.c_str());
        return 1;
    }
    if (icons) {
        MakeIcons(out);
        return out.failures == 0 ? 0 : 1;
    }
    MakeTerrain(out);
    MakeAircraft(out);
    MakeScenery(out);
    MakeTargets(out);
    MakeSounds(out);
    MakeTune(out);
    MakePictures(out);
    return out.failures == 0 ? 0 : 1;
}
