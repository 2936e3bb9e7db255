// Which hits and pages exist, read from the engine's page map. An index at or
// past the end of the map counts as absent, so nothing beyond the last
// possible page is ever drawn or acted on.
#pragma once

#include "search/SearchEngin.h"

inline bool IsHitPresent(const CSearchEngin& engine, int nHit) {
    return nHit >= 0 && nHit < CSearchEngin::kMaxHits && engine.m_hitFlags[nHit] == 1;
}

// A page that the map has room for, present or not.
inline bool IsPageInMap(int nPage) {
    return nPage >= 0 && nPage < CSearchEngin::kMaxPages;
}

inline bool IsPagePresent(const CSearchEngin& engine, int nPage) {
    return IsPageInMap(nPage) && IsHitPresent(engine, nPage * CSearchEngin::kRowsPerPage);
}
