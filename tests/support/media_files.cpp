#include "support/media_files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace {

struct Words {
    std::istringstream in;
    std::string error;
    explicit Words(const std::string& text) : in(text) {}
    std::string Next() {
        std::string w;
        if (!(in >> w) && error.empty()) error = "unexpected end of file";
        return w;
    }
    void Expect(const std::string& word) {
        std::string w = Next();
        if (w != word && error.empty()) error = "expected " + word + ", found " + w;
    }
    float Number() {
        std::string w = Next();
        char* end = nullptr;
        float v = std::strtof(w.c_str(), &end);
        if ((end == w.c_str() || *end != '\0') && error.empty()) error = "not a number: " + w;
        return v;
    }
    uint32_t Count() {
        std::string w = Next();
        char* end = nullptr;
        unsigned long v = std::strtoul(w.c_str(), &end, 10);
        if ((w.empty() || *end != '\0' || w[0] == '-') && error.empty()) error = "not a count: " + w;
        return static_cast<uint32_t>(v);
    }
    Mat4 Matrix() {
        Mat4 m;
        for (float& e : m.m) e = Number();
        return m;
    }
};

uint32_t Le32(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
           static_cast<uint8_t>(s[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
uint16_t Le16(const std::string& s, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}
uint32_t Be32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 | static_cast<uint8_t>(s[at + 1]) << 16 |
           static_cast<uint8_t>(s[at + 2]) << 8 | static_cast<uint8_t>(s[at + 3]);
}

}  // namespace

A3fFile ReadA3f(const std::string& path) {
    A3fFile file;
    std::string text = ReadFileBytes(path);
    if (text.empty()) {
        file.error = "missing or empty";
        return file;
    }
    Words w(text);
    w.Expect("A3F");
    while (w.error.empty()) {
        std::string section;
        if (!(w.in >> section)) break;
        if (section == "VERSION") {
            w.Expect("{");
            w.Number();
            w.Expect("}");
        } else if (section == "COMMENT") {
            w.Expect("{");
            while (w.error.empty() && w.Next() != "}") {
            }
        } else if (section == "VERTICES") {
            w.Expect("{");
            w.Expect("POSITION_NORMAL_TEXCOORDS");
            uint32_t n = w.Count();
            for (uint32_t i = 0; i < n && w.error.empty(); ++i) {
                Vertex v;
                v.position = {w.Number(), w.Number(), w.Number()};
                v.normal = {w.Number(), w.Number(), w.Number()};
                v.u = w.Number();
                v.v = w.Number();
                file.vertices.push_back(v);
            }
            w.Expect("}");
        } else if (section == "FACES") {
            w.Expect("{");
            uint32_t n = w.Count();
            for (uint32_t i = 0; i < n && w.error.empty(); ++i) {
                Face f = {w.Count(), w.Count(), w.Count()};
                w.Count();
                file.faces.push_back(f);
            }
            w.Expect("}");
        } else if (section == "MATERIALS") {
            w.Expect("{");
            w.Expect("1");
            w.Expect("{");
            for (std::string key = w.Next(); w.error.empty() && key != "}"; key = w.Next()) {
                if (key == "NAME") {
                    w.Next();
                } else if (key == "AMBIENT" || key == "DIFFUSE" || key == "SPECULAR" || key == "EMISSION") {
                    float c[4] = {w.Number(), w.Number(), w.Number(), w.Number()};
                    if (key == "DIFFUSE")
                        for (int i = 0; i < 4; ++i) file.diffuse[i] = c[i];
                } else if (key == "SHININESS") {
                    w.Count();
                } else if (key == "TEXTURE") {
                    w.Expect("{");
                    w.Expect("FILE");
                    file.textureFile = w.Next();
                    w.Expect("ALPHA");
                    file.alpha = w.Next();
                    w.Expect("}");
                } else {
                    w.error = "unknown material field " + key;
                }
            }
            w.Expect("}");
        } else if (section == "BONES") {
            w.Expect("{");
            uint32_t n = w.Count();
            for (uint32_t i = 0; i < n && w.error.empty(); ++i) {
                A3fBone bone;
                w.Expect("{");
                w.Expect("NAME");
                bone.name = w.Next();
                w.Expect("PARENT");
                bone.parent = w.Next();
                w.Expect("MATRIX");
                bone.matrix = w.Matrix();
                w.Expect("GRAMS");
                w.Number();
                w.Expect("VERTEX_WEIGHTS");
                w.Expect("{");
                uint32_t weights = w.Count();
                for (uint32_t k = 0; k < weights && w.error.empty(); ++k) {
                    uint32_t vertex = w.Count();
                    bone.weights.push_back({vertex, w.Number()});
                }
                w.Expect("}");
                w.Expect("}");
                file.bones.push_back(bone);
            }
            w.Expect("}");
        } else if (section == "ANIMATIONS") {
            w.Expect("{");
            uint32_t n = w.Count();
            for (uint32_t i = 0; i < n && w.error.empty(); ++i) {
                A3fAnimation anim;
                w.Expect("ANIMATION");
                w.Expect("{");
                anim.name = w.Next();
                anim.length = w.Number();
                uint32_t keys = w.Count();
                for (uint32_t k = 0; k < keys && w.error.empty(); ++k) {
                    A3fKey key;
                    w.Expect("ANIM_KEY");
                    w.Expect("{");
                    key.time = w.Number();
                    uint32_t frames = w.Count();
                    for (uint32_t f = 0; f < frames && w.error.empty(); ++f) {
                        A3fFrame frame;
                        w.Expect("ANIM_FRAME");
                        w.Expect("{");
                        frame.bone = w.Next();
                        frame.matrix = w.Matrix();
                        w.Expect("}");
                        key.frames.push_back(frame);
                    }
                    w.Expect("}");
                    anim.keys.push_back(key);
                }
                w.Expect("}");
                file.animations.push_back(anim);
            }
            w.Expect("}");
        } else {
            w.error = "unknown section " + section;
        }
    }
    file.error = w.error;
    return file;
}

WavFile ReadWav(const std::string& path) {
    WavFile wav;
    std::string s = ReadFileBytes(path);
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0) {
        wav.error = "not a RIFF WAVE file";
        return wav;
    }
    if (Le32(s, 4) + 8 != s.size()) wav.error = "RIFF length does not match the file";
    size_t at = 12;
    while (at + 8 <= s.size()) {
        RiffChunk c = {s.substr(at, 4), Le32(s, at + 4), at + 8};
        if (c.offset + c.size > s.size()) {
            wav.error = "chunk " + c.id + " runs past the end";
            return wav;
        }
        wav.chunks.push_back(c);
        if (c.id == "fmt " && c.size >= 16) {
            wav.formatSize = c.size;
            wav.formatTag = Le16(s, c.offset);
            wav.channels = Le16(s, c.offset + 2);
            wav.sampleRate = Le32(s, c.offset + 4);
            wav.blockAlign = Le16(s, c.offset + 12);
            wav.bitsPerSample = Le16(s, c.offset + 14);
        }
        if (c.id == "data") {
            wav.dataSize = c.size;
            if (wav.formatTag == 1 && wav.bitsPerSample == 16)
                for (uint32_t i = 0; i + 1 < c.size; i += 2)
                    wav.samples.push_back(static_cast<int16_t>(Le16(s, c.offset + i)));
        }
        at = c.offset + c.size + (c.size & 1);
    }
    return wav;
}

TuneFile ReadTune(const std::string& path) {
    TuneFile midi;
    std::string s = ReadFileBytes(path);
    if (s.size() < 14 || s.compare(0, 4, "MThd") != 0 || Be32(s, 4) != 6) {
        midi.error = "no MIDI header";
        return midi;
    }
    midi.format = static_cast<uint8_t>(s[8]) << 8 | static_cast<uint8_t>(s[9]);
    midi.trackCount = static_cast<uint8_t>(s[10]) << 8 | static_cast<uint8_t>(s[11]);
    midi.division = static_cast<uint8_t>(s[12]) << 8 | static_cast<uint8_t>(s[13]);
    size_t at = 14;
    while (at + 8 <= s.size() && midi.error.empty()) {
        uint32_t length = Be32(s, at + 4);
        if (s.compare(at, 4, "MTrk") != 0 || at + 8 + length > s.size()) {
            midi.error = "bad track chunk";
            break;
        }
        size_t p = at + 8, end = p + length;
        std::vector<TuneEvent> events;
        int tick = 0;
        uint8_t status = 0;
        bool ended = false;
        auto byte = [&]() -> uint8_t {
            if (p >= end) {
                if (midi.error.empty()) midi.error = "track data runs out";
                return 0;
            }
            return static_cast<uint8_t>(s[p++]);
        };
        auto varLength = [&]() {
            uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                uint8_t b = byte();
                v = (v << 7) | (b & 0x7F);
                if ((b & 0x80) == 0) break;
            }
            return v;
        };
        while (p < end && midi.error.empty() && !ended) {
            tick += static_cast<int>(varLength());
            uint8_t b = byte();
            if (b & 0x80) {
                status = b;
            } else {
                --p;  // running status
            }
            TuneEvent e = {tick, status, {}};
            if (status == 0xFF) {
                uint8_t type = byte();
                uint32_t n = varLength();
                e.data.push_back(type);
                for (uint32_t i = 0; i < n; ++i) e.data.push_back(byte());
                if (type == 0x2F) ended = true;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t n = varLength();
                for (uint32_t i = 0; i < n; ++i) byte();
            } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                e.data.push_back(byte());
            } else if (status >= 0x80) {
                e.data.push_back(byte());
                e.data.push_back(byte());
            } else {
                midi.error = "data before any status";
            }
            events.push_back(e);
        }
        if (!ended && midi.error.empty()) midi.error = "track without end-of-track";
        midi.tracks.push_back(events);
        at = end;
    }
    return midi;
}

RgbaImage ReadBmpOrTga(const std::string& path) {
    RgbaImage image;
    std::string s = ReadFileBytes(path);
    std::string ext = path.size() >= 3 ? path.substr(path.size() - 3) : "";
    if (ext == "bmp" && s.size() >= 54 && s.compare(0, 2, "BM") == 0 && Le16(s, 28) == 24) {
        int w = static_cast<int>(Le32(s, 18)), h = static_cast<int>(Le32(s, 22));
        size_t offset = Le32(s, 10), row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
        if (w <= 0 || h <= 0 || offset + row * h > s.size()) return image;
        image.width = w;
        image.height = h;
        image.rgba.resize(4 * static_cast<size_t>(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                size_t src = offset + row * (h - 1 - y) + 3 * static_cast<size_t>(x);  // bottom row first
                uint8_t* d = &image.rgba[4 * (static_cast<size_t>(y) * w + x)];
                d[0] = static_cast<uint8_t>(s[src + 2]);
                d[1] = static_cast<uint8_t>(s[src + 1]);
                d[2] = static_cast<uint8_t>(s[src]);
                d[3] = 255;
            }
        return image;
    }
    if (ext != "tga" || s.size() < 18) return image;
    int type = static_cast<uint8_t>(s[2]), mapLength = Le16(s, 5), mapBits = static_cast<uint8_t>(s[7]);
    int w = Le16(s, 12), h = Le16(s, 14), depth = static_cast<uint8_t>(s[16]), descriptor = static_cast<uint8_t>(s[17]);
    size_t p = 18 + static_cast<uint8_t>(s[0]);
    std::string map;
    if (type == 1) {
        if (mapBits != 24 || depth != 8) return image;
        map = s.substr(p, 3 * static_cast<size_t>(mapLength));
        p += map.size();
    } else if ((type != 2 && type != 10) || (depth != 24 && depth != 32)) {
        return image;
    }
    size_t n = static_cast<size_t>(w) * h, bytes = static_cast<size_t>(depth / 8);
    std::vector<uint8_t> rgba(4 * n, 255);
    size_t k = 0;
    auto put = [&](size_t at) {
        if (at + bytes > s.size()) return false;
        size_t slot = descriptor == 0 ? n - 1 - k : k;
        uint8_t* d = &rgba[4 * slot];
        if (type == 1) {
            size_t i = 3 * static_cast<uint8_t>(s[at]);
            if (i + 3 > map.size()) return false;
            d[0] = static_cast<uint8_t>(map[i + 2]);
            d[1] = static_cast<uint8_t>(map[i + 1]);
            d[2] = static_cast<uint8_t>(map[i]);
        } else {
            d[0] = static_cast<uint8_t>(s[at + 2]);
            d[1] = static_cast<uint8_t>(s[at + 1]);
            d[2] = static_cast<uint8_t>(s[at]);
            if (depth == 32) d[3] = static_cast<uint8_t>(s[at + 3]);
        }
        ++k;
        return true;
    };
    while (k < n) {
        if (type != 10) {
            if (!put(p)) return image;
            p += bytes;
            continue;
        }
        if (p >= s.size()) return image;
        uint8_t header = static_cast<uint8_t>(s[p++]);
        if (header < 128) {
            for (int i = 0; i <= header && k < n; ++i, p += bytes)
                if (!put(p)) return image;
        } else {
            for (int i = 0; i < header - 127 && k < n; ++i)
                if (!put(p)) return image;
            p += bytes;
        }
    }
    image.width = w;
    image.height = h;
    image.rgba = rgba;
    return image;
}

bool ReadJpegSize(const std::string& path, int& width, int& height) {
    std::string s = ReadFileBytes(path);
    if (s.size() < 4 || static_cast<uint8_t>(s[0]) != 0xFF || static_cast<uint8_t>(s[1]) != 0xD8) return false;
    size_t p = 2;
    while (p + 4 <= s.size() && static_cast<uint8_t>(s[p]) == 0xFF) {
        uint8_t marker = static_cast<uint8_t>(s[p + 1]);
        size_t length = static_cast<uint8_t>(s[p + 2]) << 8 | static_cast<uint8_t>(s[p + 3]);
        if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (p + 9 > s.size()) return false;
            height = static_cast<uint8_t>(s[p + 5]) << 8 | static_cast<uint8_t>(s[p + 6]);
            width = static_cast<uint8_t>(s[p + 7]) << 8 | static_cast<uint8_t>(s[p + 8]);
            return true;
        }
        p += 2 + length;
    }
    return false;
}
