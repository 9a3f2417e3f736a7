# The formula, track and theme editors: their window handlers, and the logic
# they share with the tests.
target_sources(mainform PRIVATE
  rhythm/form_formulas.cpp
  rhythm/form_temas.cpp
  rhythm/notation.h
  rhythm/notation.cpp
)
target_sources(rhythm PRIVATE
  rhythm/editor_logic.h
  rhythm/editor_logic.cpp
)
