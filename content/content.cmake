# Factory content: sample bank, factory data set and working-folder layout.
add_library(content STATIC
  content/synth.cpp
  content/factory_set.cpp
)
target_link_libraries(content PUBLIC rhythm engine platform)

add_executable(make_factory content/make_factory.cpp)
target_link_libraries(make_factory PRIVATE content)
