# The basic edition's data set and its transfer to the device (no window).
add_library(basic_logic STATIC
  basic_set.h
  basic_set.cpp
  transfer.h
  transfer.cpp
  v1_bridge.h
  v1_bridge.cpp
)
set_target_properties(basic_logic PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
target_include_directories(basic_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(basic_logic PUBLIC rhythm engine links)
