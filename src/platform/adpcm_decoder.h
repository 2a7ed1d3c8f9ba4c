// Microsoft ADPCM sound data decoded to the mixer's format: signed 16-bit mono samples at
// the mixer's rate.
#pragma once

#include <cstddef>
#include <cstdint>

// format: the file's format chunk as it stands (formatLength bytes: the wave format with
// its ADPCM extension and coefficient table); data: the compressed blocks. The format is
// checked before anything is decoded. On success *samples is a buffer of *count samples
// allocated with std::malloc (the caller frees it) and the result is true; on any failure
// nothing is allocated and the result is false.
bool DecodeAdpcm(const uint8_t* format, size_t formatLength, const uint8_t* data,
                 size_t dataLength, int outputRate, int16_t** samples, int32_t* count);
