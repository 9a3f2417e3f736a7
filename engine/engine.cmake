add_library(engine STATIC
  engine/wav.cpp
)
target_link_libraries(engine PUBLIC rhythm)
