# Factory content: sample bank, factory data set and working-folder layout.
add_library(content STATIC
  content/synth.cpp
  content/factory_set.cpp
)
target_link_libraries(content PUBLIC rhythm engine platform)

# The program's pictures (drawn, then JPEG-encoded) and the user manual (PDF).
add_library(shellcontent STATIC
  content/pictures.h
  content/pictures.cpp
  content/manual.h
  content/manual.cpp
)
target_link_libraries(shellcontent PUBLIC platform Qt6::Gui JPEG::JPEG)

add_executable(make_factory content/make_factory.cpp)
target_link_libraries(make_factory PRIVATE content shellcontent)
