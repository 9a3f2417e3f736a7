// The reference renderer of the guitar's beat: the plain, one source sample
// at a time loop the track was first rendered with, kept only for the tests
// that check the program's renderer against it value for value.
#pragma once

#include <cstddef>
#include <cstdint>

#include "guitar/render.h"

void ReferenceRenderGuitarBeat(const TiempoG& beat, int samplesPerBeat, int capo, const GuitarTuning& tuning,
                               const BancoGuitarra& bank, GuitarVoiceState& voices, int16_t* out,
                               size_t outValues);
