// The basic edition's working folder: the factory set "Original" in the older
// list format with its own sounds at 22050 Hz.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"

constexpr int kBasicFactoryRate = 22050;
constexpr int kBasicFactoryMaxSounds = 16;
constexpr size_t kBasicFactorySampleBytes = 131008;  // the device's sound memory

struct BasicFactorySound {
  std::string name;
  std::vector<int16_t> samples;  // 22050 Hz mono
};

// The factory sounds: at most 16, their samples together within the budget,
// each named in at most 8 characters (as the device stores the names).
std::vector<BasicFactorySound> BuildBasicFactorySounds();

// sonidos.van, formulas.van and temas.van of the factory set in folder.
void AddBasicFactoryRecords(const std::vector<BasicFactorySound>& sounds, const std::string& folder,
                            std::vector<FileToWrite>* files);

// Writes root/datos/Original.ole, root/datos/Original/<sound>.wav and the
// record files above.
bool WriteBasicWorkingFolder(const std::string& root, std::string* error);
