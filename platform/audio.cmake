# Filled in with the wave-audio layer.
add_library(waveaudio INTERFACE)
