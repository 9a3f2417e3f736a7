# Importing Standard MIDI Files into a theme's guitar track.
add_library(guitar_midi STATIC
  ${CMAKE_CURRENT_LIST_DIR}/midi.h
  ${CMAKE_CURRENT_LIST_DIR}/midi.cpp
)
target_link_libraries(guitar_midi PUBLIC guitar guitar_sound)
