#pragma once
#include "app/core/settings/ProgramSettings.h"

#include <string_view>

namespace kd {

// The advert banner's own texts, five per language: the project, its help, and
// Kordyne's backups, restore and self-extracting archives.
const AdvertTables& builtInAdverts();
// The table of a language code: English, Slovak, else Czech.
const AdvertTexts& advertsIn(const AdvertTables& tables, std::string_view languageCode);

} // namespace kd
