# The sound engine's handlers in the main window.
target_sources(mainform PRIVATE
  engine/form_sounds.cpp
  engine/form_mixer.cpp
  engine/form_output.cpp
  engine/form_transport.cpp
  engine/form_export.cpp
  engine/sample_chart.cpp
)
target_link_libraries(mainform PUBLIC waveaudio)
