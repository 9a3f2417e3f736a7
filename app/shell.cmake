# The application shell's window files: the language switch, the help menu
# with its manual and web actions, the about box and the panels' pictures.

# JPEG pictures decoded with libjpeg.
add_library(jpegcodec STATIC
  app/jpeg.h
  app/jpeg.cpp
)
target_link_libraries(jpegcodec PUBLIC Qt6::Gui JPEG::JPEG)

target_sources(mainform PRIVATE
  app/language.h
  app/language.cpp
  app/about.h
  app/about.cpp
  app/shell_menus.cpp
  platform/desktop.h
  platform/desktop.cpp
)
target_link_libraries(mainform PUBLIC jpegcodec Qt6::Gui Qt6::Widgets)

# The tests of the codec, the pictures and the manual need these too; the
# test targets only exist once the tests directory has been read.
cmake_language(DEFER CALL target_link_libraries logic_tests PRIVATE jpegcodec shellcontent)
cmake_language(DEFER CALL target_link_libraries gui_tests PRIVATE shellcontent)
