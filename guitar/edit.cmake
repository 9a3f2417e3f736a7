# Editing the guitar track: the chord panel's logic and chord files, the
# division clipboard with its undo ring, and the tablature editor's keys.
add_library(guitar_edit STATIC
  ${CMAKE_CURRENT_LIST_DIR}/chords.h
  ${CMAKE_CURRENT_LIST_DIR}/chords.cpp
  ${CMAKE_CURRENT_LIST_DIR}/division_clipboard.h
  ${CMAKE_CURRENT_LIST_DIR}/division_clipboard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit.h
  ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit_keys.h
  ${CMAKE_CURRENT_LIST_DIR}/edit_keys.cpp
)
target_link_libraries(guitar_edit PUBLIC guitar guitar_sound)
