# The guitar's sound: the note table and tuning, the sample banks and the
# renderers of the track, the beat audition and the single note.
add_library(guitar_sound STATIC
  ${CMAKE_CURRENT_LIST_DIR}/notes.h
  ${CMAKE_CURRENT_LIST_DIR}/notes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bank.h
  ${CMAKE_CURRENT_LIST_DIR}/bank.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render.h
  ${CMAKE_CURRENT_LIST_DIR}/render.cpp
)
target_link_libraries(guitar_sound PUBLIC engine platform)
