// The word and number reader of the .a3f model format. It works on a file already read
// into memory and follows the classic formatted-input rules the format was written for:
// words are runs of non-blank characters, numbers are read the way "%f" and "%u" read
// them, and a section opener or closer ("{" / "}") after a word is taken only when it is
// the next non-blank character. Nothing is ever read past the end of the buffer.
#pragma once

#include <cstddef>
#include <cstring>
#include <cstdint>

// Size of a word buffer: a word keeps at most 259 characters.
constexpr size_t ModelWordSize = 260;
// Size of a bone, animation or frame name field: at most 31 characters.
constexpr size_t ModelNameSize = 32;
// Larger files are refused before parsing: the game's biggest model is a small fraction
// of this, and every count in a file is bounded by the file's size.
constexpr size_t MaxModelFileBytes = 16u * 1024u * 1024u;

struct ModelText {
    const char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    // Bytes not yet promised to declared records. Every declared count claims the least
    // number of bytes its records can take; records of one file never share bytes, so the
    // claims of one pass can never add up to more than the file.
    size_t budget = 0;
    // Set when a number read was NaN or infinite ("nan", "inf", or beyond the float
    // range): no model of ours has one, and they would spread through the bounds, the
    // skinning and the animation clock.
    bool nonFinite = false;
};

ModelText MakeModelText(const char* data, size_t size);
size_t RemainingBytes(const ModelText& text);

// "%s": the next word into out (cap bytes with the terminator). A longer word is cut to
// cap - 1 characters and its rest is skipped. False at the end of the text, leaving out
// as it was.
bool ReadWord(ModelText& text, char* out, size_t cap);
// Skips blanks and takes c when it is the next character (the " {" / " }" of a pattern).
void TakeOptional(ModelText& text, char c);
// "%s {" and "%s }": a word, then an optional opener or closer.
bool ReadWordThen(ModelText& text, char* out, size_t cap, char c);
// Reads words up to and including one that is exactly "}" (or to the end of the text).
void SkipToClose(ModelText& text);

// "%f": the number, or 0 when none can be read (then nothing but blanks is consumed).
float ReadFloat(ModelText& text);
bool ReadFloat(ModelText& text, float& out);
// "%u": an optionally signed decimal number taken modulo 2^32 the way the C library does;
// 0 when none can be read.
uint32_t ReadUnsigned(ModelText& text);

// Whether a word read is exactly the keyword.
inline bool Is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

// Claims the bytes for count records of at least minBytes each. False when the rest of
// the text, or the pass's budget, cannot hold them; nothing is claimed then.
bool ClaimRecords(ModelText& text, uint64_t count, size_t minBytes);

// MediaPath of fileName read whole; false after reporting "Could not open file:" with the
// full path, or "Bad model:" for a file over the size limit.
bool ReadMediaModelFile(const char* fileName, uint8_t*& data, size_t& size);

// Reports "Bad model:" with "<fileName>: <problem>" as the detail.
void ReportBadModel(const char* fileName, const char* problem);
