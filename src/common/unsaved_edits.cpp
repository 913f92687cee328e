#include "common/unsaved_edits.h"

namespace dvx {

bool UnsavedEdits::mayClose(const Handlers& handlers) {
    if (!m_edited) {
        return true;
    }
    switch (handlers.ask()) {
        case SaveAnswer::Save:
            if (!handlers.apply()) {
                return false;
            }
            m_edited = false;
            return true;
        case SaveAnswer::Discard:
            handlers.discard();
            m_edited = false;
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    return false;
}

}  // namespace dvx
