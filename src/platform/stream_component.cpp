#include "platform/stream_component.h"

namespace dvx {

StreamComponent::StreamComponent(AudioBackend& backend, AudioEventPump& pump, bool isInput)
    : m_slot(backend), m_pump(pump), m_isInput(isInput) {
    m_pump.add(*this);
}

StreamComponent::~StreamComponent() {
    m_pump.remove(*this);
    m_slot.close();
}

bool StreamComponent::takeDeviceFailure() {
    if (!m_slot.takeFailure()) {
        return false;
    }
    if (m_onDeviceFailed) {
        m_onDeviceFailed();
    }
    return true;
}

}  // namespace dvx
