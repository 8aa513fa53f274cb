#pragma once
#include "app/core/settings/ProgramSettings.h"

namespace kd {

// The advert banner's own texts, five per language: the project, its help, and
// Kordyne's backups, restore and self-extracting archives.
const AdvertTables& builtInAdverts();

} // namespace kd
