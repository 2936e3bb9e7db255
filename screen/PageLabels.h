// When the 「前へ」 and 「次へ」 labels under the results are active: drawn,
// greyed under the pointer and followed on a click.
#pragma once

#include "search/HitPresence.h"

inline bool IsPrevLabelActive(const CSearchEngin& engine) {
    return engine.m_nPage >= 1;
}

inline bool IsNextLabelActive(const CSearchEngin& engine) {
    return IsPagePresent(engine, engine.m_nPage + 1);
}
