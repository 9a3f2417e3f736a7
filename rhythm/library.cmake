# Library commands: older-generation records and their converter, whole-record
# operations (clipboards, sorting, deletion, search, theme import), and their
# window handlers with the theme import dialog.
target_sources(rhythm PRIVATE
  rhythm/formats_v1.h
  rhythm/formats_v1.cpp
  rhythm/library_ops.h
  rhythm/library_ops.cpp
)
target_sources(mainform PRIVATE
  rhythm/form_library.cpp
  rhythm/form_import.h
  rhythm/form_import.cpp
)
