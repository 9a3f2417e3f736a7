# The real-time check of the sound output: realtime_play plays through the
# program's window and its real output, realtime_onsets checks a recording of
# the device against what was played. Built with the benchmarks and with the
# tests (the JACK check in tests/ runs them), in <build>/bench either way.
include_guard(GLOBAL)

add_executable(realtime_play ${CMAKE_CURRENT_LIST_DIR}/realtime_play.cpp)
target_link_libraries(realtime_play PRIVATE mainform content)

add_executable(realtime_onsets ${CMAKE_CURRENT_LIST_DIR}/realtime_onsets.cpp)
target_link_libraries(realtime_onsets PRIVATE waveaudio)
set_target_properties(realtime_onsets PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)

set_target_properties(realtime_play realtime_onsets PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
