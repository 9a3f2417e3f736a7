# Wave output and input, WAV previews and the tick count: small interfaces
# with a PortAudio backend and a test backend each.
find_package(Threads REQUIRED)
# libsamplerate converts rates for devices that run at their own; ALSA and
# JACK are linked for their message handlers only (PortAudio uses them).
pkg_check_modules(SAMPLERATE REQUIRED IMPORTED_TARGET samplerate)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)

add_library(waveaudio STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wave_out.h
  ${CMAKE_CURRENT_LIST_DIR}/wave_out.cpp
  ${CMAKE_CURRENT_LIST_DIR}/portaudio_stream.h
  ${CMAKE_CURRENT_LIST_DIR}/portaudio_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resampler.h
  ${CMAKE_CURRENT_LIST_DIR}/resampler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_out_portaudio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_out_test.h
  ${CMAKE_CURRENT_LIST_DIR}/wave_out_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wave_in.h
  ${CMAKE_CURRENT_LIST_DIR}/wave_in.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sound_play.h
  ${CMAKE_CURRENT_LIST_DIR}/sound_play.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tick.h
  ${CMAKE_CURRENT_LIST_DIR}/tick.cpp
)
target_include_directories(waveaudio PUBLIC ${CMAKE_SOURCE_DIR})
# Plain C++: nothing here for the Qt code generators.
set_target_properties(waveaudio PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_link_libraries(waveaudio PUBLIC PkgConfig::PORTAUDIO PkgConfig::SAMPLERATE PkgConfig::ALSA PkgConfig::JACK
  Threads::Threads)
