// RIFF WAVE files of 16-bit PCM with the plain 44-byte header.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kWavHeaderBytes = 44;

// The 44-byte header of a 16-bit PCM file holding dataBytes of samples.
std::array<uint8_t, kWavHeaderBytes> WavHeader(uint32_t dataBytes, int channels, int sampleRate);

// A whole file image: header followed by the samples (interleaved when stereo).
std::vector<uint8_t> WavFileImage(const std::vector<int16_t>& samples, int channels, int sampleRate);
