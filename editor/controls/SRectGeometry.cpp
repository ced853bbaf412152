#include "controls/SRectGeometry.h"

#include <algorithm>

namespace controls {

bool SRectSelection::IsSelected(std::int32_t index) const {
    return std::find(m_indexes.begin(), m_indexes.end(), index) != m_indexes.end();
}

bool SRectSelection::Set(SRectKind kind, std::int32_t index, bool flag) {
    switch (kind) {
        case kSRectButton:
        case kSRectList: {
            // One entry at most. Clearing leaves none, so a cleared row has no first selected
            // index to release and IsSelected holds for no index at all.
            std::vector<std::int32_t> next;
            if (flag) {
                next.push_back(index);
            }
            if (next == m_indexes) {
                return false;
            }
            m_indexes = std::move(next);
            return true;
        }
        case kSRectChecks: {
            const auto found = std::find(m_indexes.begin(), m_indexes.end(), index);
            if (flag == (found != m_indexes.end())) {
                return false;
            }
            if (flag) {
                m_indexes.push_back(index);
            } else {
                m_indexes.erase(found);
            }
            return true;
        }
        case kSRectText:
        default:
            return false;
    }
}

}  // namespace controls
