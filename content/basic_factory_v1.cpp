// The basic factory set's older record files: sonidos.van with the sounds'
// samples, formulas.van and temas.van from a few factory formulas and themes.
#include <cstring>

#include "basic/basic_set.h"
#include "basic/v1_bridge.h"
#include "content/basic_factory.h"
#include "content/factory_set.h"

namespace {
constexpr size_t kBasicFactoryFormulas = 6;
}

void AddBasicFactoryRecords(const std::vector<BasicFactorySound>& sounds, const std::string& folder,
                            std::vector<FileToWrite>* files) {
  SoundsV1 mem;
  std::vector<std::string> list;
  for (const BasicFactorySound& s : sounds) {
    const size_t bytes = s.samples.size() * 2;
    const size_t j = list.size();
    if (j >= static_cast<size_t>(kBasicSounds) || mem.SoundDataTotal + bytes > mem.SoundDataV1.size()) break;
    mem.SoundOffsetsV1[j] = static_cast<uint32_t>(mem.SoundDataTotal);
    mem.SoundCountsV1[j] = static_cast<uint32_t>(bytes / 2);  // samples
    if (bytes) std::memcpy(mem.SoundDataV1.data() + mem.SoundDataTotal, s.samples.data(), bytes);
    mem.SoundDataTotal += static_cast<int>(bytes);
    list.push_back(s.name);
  }
  files->push_back({folder + "/sonidos.van", BancoSonidosV1Bytes(mem, list)});
  const FactorySet set = BuildFactorySet();
  std::vector<FormulaV1> fv;
  std::vector<TemaV1> tv;
  for (size_t i = 0; i < set.formulas.size() && i < set.temas.size() && fv.size() < kBasicFactoryFormulas; ++i) {
    fv.push_back(FormulaToV1(set.formulas[i]));
    tv.push_back(TemaToV1(set.temas[i]));  // theme i plays formula i, both kept
  }
  files->push_back({folder + "/formulas.van", BytesOfRecords(fv.data(), fv.size())});
  files->push_back({folder + "/temas.van", BytesOfRecords(tv.data(), tv.size())});
}
