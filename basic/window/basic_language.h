// The basic window's language table: the professional window's rows for the
// elements both windows have, with the basic edition's own rows in place of
// those that differ and beside them.
#pragma once

#include <vector>

#include "app/window/language.h"

class QObject;

namespace bornace {

// The maker's download pages, one per language.
inline constexpr const char* kBasicDownloadUrlEnglish = "https://www.velarto-quendrel.example/en/download/";
inline constexpr const char* kBasicDownloadUrlSpanish = "https://www.velarto-quendrel.example/es/descargas/";

// The rows the basic switch applies, in order.
const std::vector<LanguageRow>& BasicLanguageTable();
// Applies every row whose element the window has; returns how many were set.
// Pages of a tab widget take their row's caption as their tab's text.
int ApplyBasicLanguageTable(QObject* root, bool english);

}  // namespace bornace
