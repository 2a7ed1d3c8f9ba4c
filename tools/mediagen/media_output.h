// The folder the generator writes into, and the generators of each kind of media file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MediaOutput {
    std::string folder;
    int failures = 0;
};

std::string OutputPath(const MediaOutput& out, const std::string& name);
// Writes the bytes to folder/name, counting a failure (with a message) when it cannot.
void SaveFile(MediaOutput& out, const std::string& name, const std::string& bytes);
void SaveFile(MediaOutput& out, const std::string& name, const std::vector<uint8_t>& bytes);
void ReportFailure(MediaOutput& out, const std::string& name, const std::string& why);

void MakeTerrain(MediaOutput& out);
void MakeAircraft(MediaOutput& out);   // biplane, triplane
void MakeScenery(MediaOutput& out);    // hangar, runway, sky dome, shot, smoke
void MakeTargets(MediaOutput& out);    // zeppelin, tank
void MakeSounds(MediaOutput& out);
void MakeTune(MediaOutput& out);
void MakePictures(MediaOutput& out);   // splash picture, desktop icon
