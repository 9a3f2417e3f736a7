# Engine logic: WAV files, the sound bank and the beat mixer.
add_library(engine STATIC
  engine/wav.cpp
  engine/engine_state.h
  engine/sound_bank.h
  engine/sound_bank.cpp
  engine/mixer.h
  engine/mixer.cpp
  engine/normalize.h
  engine/normalize.cpp
  engine/sequencer.h
  engine/sequencer.cpp
  engine/player.h
  engine/player.cpp
  engine/wav_export.h
  engine/wav_export.cpp
)
target_link_libraries(engine PUBLIC rhythm waveaudio)
# The mixer's inner loops (one stretch of a sound between two strokes) only
# pay off when vectorised; GCC's -O2 cost model leaves them scalar.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_source_files_properties(engine/mixer.cpp PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")
endif()
